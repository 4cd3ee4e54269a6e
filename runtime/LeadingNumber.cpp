#include "runtime/LeadingNumber.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace runtime {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::size_t skipDigits(std::string_view text, std::size_t at)
{
    while (at < text.size() && isDigit(text[at]))
        ++at;
    return at;
}

// The length of the decimal number at the start of text (no sign), 0 when there is none.
std::size_t numberLength(std::string_view text)
{
    std::size_t end = skipDigits(text, 0);
    bool digits = end > 0;
    if (end < text.size() && text[end] == '.') {
        const std::size_t fractionEnd = skipDigits(text, end + 1);
        digits = digits || fractionEnd > end + 1;
        end = fractionEnd;
    }
    if (!digits)
        return 0;
    if (end < text.size() && (text[end] == 'e' || text[end] == 'E')) {
        std::size_t exponent = end + 1;
        if (exponent < text.size() && (text[exponent] == '+' || text[exponent] == '-'))
            ++exponent;
        const std::size_t exponentEnd = skipDigits(text, exponent);
        if (exponentEnd > exponent)
            end = exponentEnd;
    }
    return end;
}

// For a number too large or too small for a double: whether it is too small. Its first
// significant digit's power of ten, with the exponent added, is then negative.
bool isTiny(std::string_view number)
{
    const std::size_t e = std::min(number.find_first_of("eE"), number.size());
    const std::string_view mantissa = number.substr(0, e);
    const std::size_t point = std::min(mantissa.find('.'), mantissa.size());
    const std::size_t first = mantissa.find_first_of("123456789");
    long long power = first < point ? static_cast<long long>(point - first - 1) : -static_cast<long long>(first - point);
    if (e < number.size()) {
        const std::string_view exponent = number.substr(e + 1);
        long long value = 0;
        for (const char c : exponent)
            if (isDigit(c))
                value = std::min(value * 10 + (c - '0'), 1LL << 40);
        power += exponent.starts_with('-') ? -value : value;
    }
    return power < 0;
}

} // namespace

double leadingNumber(std::string_view text)
{
    std::size_t at = text.find_first_not_of(" \t");
    if (at == std::string_view::npos)
        return 0.0;
    double sign = 1.0;
    if (text[at] == '-' || text[at] == '+') {
        sign = text[at] == '-' ? -1.0 : 1.0;
        ++at;
    }
    const std::string_view number = text.substr(at, numberLength(text.substr(at)));
    if (number.empty())
        return 0.0;

    double value = 0.0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value,
                                              std::chars_format::general);
    if (error == std::errc::result_out_of_range)
        value = isTiny(number) ? 0.0 : std::numeric_limits<double>::infinity();
    return sign * value;
}

} // namespace runtime
