// Numbers typed at prompts or given as arguments: read from the start of the text, as the C
// library's atof/atoi do; a text that does not begin with a number gives 0.
#pragma once
#include <string>

// The decimal number at the start of `text` (leading white space skipped), as a double; 0 when
// the text does not begin with a number.
double text_to_double(const std::string& text);
// The integer at the start of `text` (white space, optional sign, digits), clamped to the range
// of long; 0 when the text does not begin with one.
long text_to_long(const std::string& text);
