#pragma once

#include <string_view>

namespace runtime {

// The number a text begins with, read the same way on every system: blanks in front are
// skipped, then an optional sign, digits with "." as the decimal point (whatever the regional
// settings say) and an optional exponent (1e3). Reading stops at the first character that
// does not continue the number, so "1400 kB" reads 1400 and "1,5" reads 1. A text that does not
// begin with a number reads 0. A number beyond the range of a double reads as infinity.
double leadingNumber(std::string_view text);

} // namespace runtime
