// printf-style formatting of the program's console and file texts. The texts are kept byte for
// byte as the old program printed them, where a '%' followed by a tab or a line end prints as it
// stands; format_text gives them that meaning, everything else is plain printf.
#pragma once
#include <cstdarg>
#include <string>

std::string format_text(const char* fmt, ...);
std::string vformat_text(const char* fmt, va_list ap);
