#include "runtime/NumberText.h"

namespace runtime {

std::string threeDigitText(std::uint64_t number)
{
    std::string text = std::to_string(number);
    if (text.size() < 3)
        text.insert(0, 3 - text.size(), '0');
    return text;
}

std::string groupedNumber(std::uint64_t number)
{
    std::string digits = std::to_string(number);
    for (auto at = static_cast<std::ptrdiff_t>(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(static_cast<std::size_t>(at), 1, '.');
    return digits;
}

} // namespace runtime
