#pragma once

#include <cstdint>
#include <string>

namespace runtime {

// The number in decimal with at least three digits, zeros in front: 1 gives "001",
// 1000 gives "1000".
std::string threeDigitText(std::uint64_t number);

// The number in decimal with a dot between groups of three digits, as German texts write it:
// 1234567 gives "1.234.567".
std::string groupedNumber(std::uint64_t number);

} // namespace runtime
