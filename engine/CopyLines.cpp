#include "CopyLines.h"

#include "PieceNaming.h"

#include <algorithm>

namespace engine {

namespace {

constexpr std::string_view kLineEnd = "\r\n";

// Builds one line at a time, never past the limit.
class LineBuilder {
public:
    explicit LineBuilder(std::size_t limit) : limit_(limit) {}

    void start(std::string_view firstName)
    {
        line_ = "copy /b ";
        line_ += firstName;
        length_ = characterCount(line_);
    }
    // Whether " + name" still fits when reserve more characters must follow it.
    bool fits(std::string_view name, std::size_t reserve = 0) const
    {
        return length_ + 3 + characterCount(name) + reserve <= limit_;
    }
    void add(std::string_view name)
    {
        line_ += " + ";
        line_ += name;
        length_ += 3 + characterCount(name);
    }
    std::string finish(std::string_view target)
    {
        if (!target.empty()) {
            line_ += ' ';
            line_ += target;
        }
        line_ += kLineEnd;
        return std::move(line_);
    }

private:
    std::size_t limit_;
    std::string line_;
    std::size_t length_ = 0;
};

} // namespace

std::size_t characterCount(std::string_view utf8)
{
    std::size_t count = 0;
    for (const char c : utf8)
        count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return count;
}

std::string cmdName(std::string_view name)
{
    constexpr std::string_view kNeedsQuotes = " &()[]{}^=;!'+,`~";
    std::string written;
    for (const char c : name) {
        written += c;
        if (c == '%')
            written += '%';
    }
    if (name.find_first_of(kNeedsQuotes) != std::string_view::npos)
        written = '"' + written + '"';
    return written;
}

void writeCopyLines(std::string_view pieceStem, std::int64_t pieceCount, std::string_view target,
                    const std::function<void(std::string_view line)>& out, std::size_t lineLimit)
{
    const std::string targetName = cmdName(target);
    const std::size_t targetReserve = 1 + characterCount(targetName);
    auto piece = [&](std::int64_t number) { return cmdName(pieceName(pieceStem, number)); };

    LineBuilder line(lineLimit);
    line.start(piece(1));
    std::int64_t number = 2;
    for (std::string name; number <= pieceCount && line.fits(name = piece(number), targetReserve); ++number)
        line.add(name);
    out(line.finish(targetName));

    while (number <= pieceCount) {
        line.start(targetName);
        line.add(piece(number++));
        for (std::string name; number <= pieceCount && line.fits(name = piece(number)); ++number)
            line.add(name);
        out(line.finish({}));
    }
}

std::string copyLines(std::string_view pieceStem, std::int64_t pieceCount, std::string_view target,
                      std::size_t lineLimit)
{
    std::string lines;
    writeCopyLines(pieceStem, pieceCount, target, [&](std::string_view line) { lines += line; }, lineLimit);
    return lines;
}

std::uint64_t copyLinesBytesAtMost(std::size_t firstPieceBytes, std::int64_t pieceCount, std::size_t targetBytes,
                                   std::size_t lineLimit)
{
    // Every piece's name with its " + ": names grow by a digit at 1000, 10000, ...
    const std::uint64_t entryWithoutDigits = firstPieceBytes - 3 + std::string_view(" + ").size();
    const auto pieces = static_cast<std::uint64_t>(pieceCount);
    std::uint64_t entries = 0, longestEntry = 0;
    for (std::uint64_t digits = 3, from = 1, below = 1000; from <= pieces; ++digits, from = below, below *= 10) {
        entries += (std::min(below, pieces + 1) - from) * (entryWithoutDigits + digits);
        longestEntry = entryWithoutDigits + digits;
    }
    // Each line: "copy /b ", the target once and its separator, CR LF. A line is only ended
    // when the next name does not fit, so each but the last holds entries nearly to the limit.
    const std::uint64_t perLine = std::string_view("copy /b ").size() + targetBytes + 3 + 2;
    const std::uint64_t filled = lineLimit > perLine + longestEntry ? lineLimit - perLine - longestEntry : 1;
    const std::uint64_t lines = 1 + entries / filled + 1;
    return entries + lines * perLine;
}

} // namespace engine
