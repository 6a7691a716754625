// A new string holding a copy of a text (exhausted memory ends the program through main).
#pragma once
#include <string>
#include <string_view>

inline std::string strdp(std::string_view text) { return std::string(text); }
