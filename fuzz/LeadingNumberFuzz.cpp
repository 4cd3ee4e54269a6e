// The size field's number reading against the C library's strtod (the fuzzer runs in the
// "C" locale, where strtod reads "." as the decimal point) wherever both read the same forms.
#include "runtime/LeadingNumber.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

// Forms that strtod reads and the size field does not: other blanks in front, hexadecimal
// numbers, "inf" and "nan".
bool strtodReadsMore(const std::string& text)
{
    std::size_t at = text.find_first_not_of(" \t");
    if (at == std::string::npos)
        return false;
    if (text[at] == '\n' || text[at] == '\v' || text[at] == '\f' || text[at] == '\r')
        return true;
    if (text[at] == '+' || text[at] == '-')
        ++at;
    const std::string rest = text.substr(at, 2);
    return rest == "0x" || rest == "0X" || (!rest.empty() && std::isalpha(static_cast<unsigned char>(rest[0])));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const double value = runtime::leadingNumber(text);
    if (std::isnan(value))
        __builtin_trap();
    if (!strtodReadsMore(text)) {
        const double expected = std::strtod(text.c_str(), nullptr);
        if (!(value == expected))
            __builtin_trap();
    }
    return 0;
}
