#include "JoinScript.h"

#include "JobNames.h"
#include "JoinScriptTemplate.h"
#include "PieceNaming.h"
#include "ScriptEncoding.h"
#include "runtime/NumberText.h"

#include <algorithm>
#include <stdexcept>

namespace engine {

namespace {

using Fill = std::function<void(std::string_view hole, const ScriptOut& out)>;

// A name as the script's checks write it: in quotes, whatever it holds, and with % doubled so
// that no variable is expanded. Nothing else in a name needs care there: within quotes cmd takes
// blanks, & ( ) ^ ; , = as they are, and ! too with delayed expansion off.
std::string inBatchQuotes(std::string_view name)
{
    std::string written = "\"";
    for (const char c : name) {
        written += c;
        if (c == '%')
            written += '%';
    }
    return written + "\"";
}

// Writes a template to out: its own text with CR LF at every line's end, and what fill gives
// for each {hole}. A hole alone on its line brings its own line ends, or none.
void render(std::string_view text, const Fill& fill, const ScriptOut& out)
{
    std::string own;
    bool lineStart = true;
    const auto addOwn = [&](std::string_view part) {
        for (const char c : part)
            own += c == '\n' ? std::string_view("\r\n") : std::string_view(&c, 1);
        if (!part.empty())
            lineStart = part.back() == '\n';
    };
    for (std::size_t open; (open = text.find('{')) != std::string_view::npos;) {
        addOwn(text.substr(0, open));
        const std::size_t close = text.find('}', open);
        const bool wholeLine = lineStart && close + 1 < text.size() && text[close + 1] == '\n';
        if (!own.empty())
            out(own, ScriptText::Own);
        own.clear();
        fill(text.substr(open + 1, close - open - 1), out);
        text.remove_prefix(close + 1 + (wholeLine ? 1 : 0));
        lineStart = wholeLine;
    }
    addOwn(text);
    if (!own.empty())
        out(own, ScriptText::Own);
}

[[noreturn]] void unknownHole(std::string_view hole)
{
    throw std::logic_error("join script: no value for {" + std::string(hole) + "}");
}

// The characters beyond ASCII in the names the script writes, each once.
std::vector<std::string> charactersBeyondAscii(const CuttingPlan& plan)
{
    std::vector<std::string> found;
    for (const std::string& name : {plan.pieceStem, plan.target}) {
        for (std::size_t at = 0; at < name.size();) {
            std::size_t length = 1;
            while (at + length < name.size() && (static_cast<unsigned char>(name[at + length]) & 0xC0) == 0x80)
                ++length;
            const std::string character = name.substr(at, length);
            if (static_cast<unsigned char>(character[0]) >= 0x80 &&
                std::find(found.begin(), found.end(), character) == found.end())
                found.push_back(character);
            at += length;
        }
    }
    return found;
}

// The check that cmd reads the names in the script's code page: each character beyond ASCII,
// followed by an x, must be read as one character. A lead byte of a double-byte code page takes
// the x with it; a double-byte character read in another code page is two.
void writeCodePageCheck(const CuttingPlan& plan, unsigned codePage, const ScriptOut& out)
{
    const std::vector<std::string> characters = charactersBeyondAscii(plan);
    if (characters.empty())
        return;
    std::string probe, read, expected;
    for (std::size_t i = 0; i < characters.size(); ++i) {
        probe += characters[i] + "x";
        read += "%Probe:~" + std::to_string(2 * i + 1) + ",1%";
        expected += "x";
    }
    read += "%Probe:~" + std::to_string(2 * characters.size()) + "%";
    render(scripttext::kCodePageCheck, [&](std::string_view hole, const ScriptOut& to) {
        if (hole == "codePage")
            to(std::to_string(codePage), ScriptText::Own);
        else if (hole == "probe")
            to(probe, ScriptText::Name);
        else if (hole == "probeRead")
            to(read, ScriptText::Own);
        else if (hole == "probeExpected")
            to(expected, ScriptText::Own);
        else
            unknownHole(hole);
    }, out);
}

// The most bytes a file on FAT32 holds: a joined file beyond them fails there however much room
// is left.
constexpr ByteCount kFat32LargestFile = (ByteCount{1} << 32) - 1;

std::string lockFileName(const CuttingPlan& plan)
{
    return joinFolderName(plan.target) + "\\sperre";
}

// The file of certutil's answers, beside the pieces, is named for the target, in ASCII whatever
// its letters: palvo-4b5b5633e05497bc.txt. It tells which file a script joins.
std::string answerFileName(const CuttingPlan& plan)
{
    return "palvo-" + JobNames::digitsOf(plan.target) + ".txt";
}

// What the script's parts around the pieces fill in: the names of the join and its numbers.
// The whole file's digest is known at the end only.
Fill scriptHoles(const CuttingPlan& plan, unsigned codePage, std::size_t lineLimit, const Digest* whole)
{
    return [&plan, codePage, lineLimit, whole](std::string_view hole, const ScriptOut& out) {
        const auto name = [&](const std::string& text) { out(inBatchQuotes(text), ScriptText::Name); };
        if (hole == "codePage")
            out(std::to_string(codePage), ScriptText::Own);
        else if (hole == "codePageCheck")
            writeCodePageCheck(plan, codePage, out);
        else if (hole == "target")
            name(plan.target);
        else if (hole == "workFile")
            name(unfinishedName(plan.target));
        else if (hole == "workFileAsFolder")
            name(unfinishedName(plan.target) + "\\*");
        else if (hole == "workFolder")
            name(joinFolderName(plan.target));
        else if (hole == "lockFile")
            name(lockFileName(plan));
        else if (hole == "answerFile")
            out(answerFileName(plan), ScriptText::Own);
        else if (hole == "longestFolder")
            out(std::to_string(longestJoinFolder(plan)), ScriptText::Own);
        else if (hole == "sourceLength")
            out(std::to_string(plan.sourceLength), ScriptText::Own);
        else if (hole == "fatNote")
            out(plan.sourceLength <= kFat32LargestFile ? ""
                                                    : " Auf einem Datenträger mit FAT32, wie ihn viele USB-Sticks haben, "
                                                      "ist eine Datei höchstens 4 GiB groß: Fügen Sie die Teile dann "
                                                      "bitte auf einem mit NTFS oder exFAT zusammen.",
                ScriptText::Own);
        else if (hole == "digest" && whole)
            out(runtime::hexText(*whole), ScriptText::Own);
        else if (hole == "copyLines")
            writeCopyLines(plan.pieceStem, plan.pieceCount, unfinishedName(plan.target),
                           [&](std::string_view line) { out(line, ScriptText::Name); }, lineLimit);
        else
            unknownHole(hole);
    };
}

void writePiece(const CuttingPlan& plan, std::int64_t number, ByteCount length, const Digest& digest,
                const ScriptOut& out)
{
    const std::string piece = plan.pieceFileName(number), hex = runtime::hexText(digest);
    render(scripttext::kPiece, [&](std::string_view hole, const ScriptOut& to) {
        if (hole == "piece")
            to(inBatchQuotes(piece), ScriptText::Name);
        else if (hole == "pieceAsFolder")
            to(inBatchQuotes(piece + "\\*"), ScriptText::Name);
        else if (hole == "length")
            to(std::to_string(length), ScriptText::Own);
        else if (hole == "number")
            to(runtime::threeDigitText(static_cast<std::uint64_t>(number)), ScriptText::Own);
        else if (hole == "digest")
            to(hex, ScriptText::Own);
        else if (hole == "digestFront")
            to(hex.substr(0, 32), ScriptText::Own);
        else if (hole == "digestBack")
            to(hex.substr(32), ScriptText::Own);
        else
            unknownHole(hole);
    }, out);
}

constexpr std::string_view kPiecesHole = "{pieces}\n";

std::string_view beforePieces()
{
    return scripttext::kScript.substr(0, scripttext::kScript.find(kPiecesHole));
}

std::string_view afterPieces()
{
    return scripttext::kScript.substr(scripttext::kScript.find(kPiecesHole) + kPiecesHole.size());
}

} // namespace

std::string unfinishedName(std::string_view target)
{
    return std::string(target) + ".unfertig";
}

std::string joinFolderName(std::string_view target)
{
    return std::string(target) + ".palvo";
}

std::int64_t longestJoinFolder(const CuttingPlan& plan)
{
    const auto characters = [](const std::string& name) { return static_cast<std::int64_t>(characterCount(name)); };
    // A file's path may have 259 characters, a folder's only 247 when it is made.
    const std::int64_t longestFile = std::max({characters(lockFileName(plan)), characters(answerFileName(plan)),
                                               characters(plan.pieceFileName(plan.pieceCount))});
    return std::min(259 - 1 - longestFile, 247 - 1 - characters(joinFolderName(plan.target)));
}

JoinScriptWriter::JoinScriptWriter(const CuttingPlan& plan, unsigned codePage, ScriptOut out, std::size_t lineLimit)
    : plan_(plan)
    , codePage_(codePage)
    , out_(std::move(out))
    , lineLimit_(lineLimit)
{
}

void JoinScriptWriter::begin() const
{
    render(beforePieces(), scriptHoles(plan_, codePage_, lineLimit_, nullptr), out_);
}

void JoinScriptWriter::piece(std::int64_t number, const Digest& digest) const
{
    writePiece(plan_, number, plan_.lengthOf(number), digest, out_);
}

void JoinScriptWriter::end(const Digest& whole) const
{
    render(afterPieces(), scriptHoles(plan_, codePage_, lineLimit_, &whole), out_);
}

std::string joinScript(const CuttingPlan& plan, unsigned codePage, const std::vector<Digest>& pieces,
                       const Digest& whole, std::size_t lineLimit)
{
    std::string script;
    const JoinScriptWriter writer(plan, codePage, [&](std::string_view text, ScriptText) { script += text; },
                                  lineLimit);
    writer.begin();
    for (std::size_t k = 0; k < pieces.size(); ++k)
        writer.piece(static_cast<std::int64_t>(k + 1), pieces[k]);
    writer.end(whole);
    return script;
}

ScriptOrigin originOfScript(const CuttingPlan& plan, std::string_view script, bool whole)
{
    const auto inScript = [](const std::string& name) { return inScriptCodePage(cmdName(name), ScriptText::Name); };
    const std::string copyCommand = "copy /b " + inScript(plan.pieceFileName(1)) + " ";
    std::size_t copy = 0;
    // Each of Palvo's scripts with checks begins so, whatever its code page and even where a
    // line of it was cut short. Those that name the file of certutil's answers for their target
    // do so in their first lines; earlier ones name it in their copy command, after each piece's
    // checks.
    if (script.starts_with("@echo off\r\nrem Von Palvo geschrieben")) {
        const std::string setAnswer = "\r\nset \"Ausgabe=";
        if (const std::size_t answer = script.find(setAnswer + "palvo-"); answer != std::string_view::npos)
            return script.substr(answer + setAnswer.size()).starts_with(answerFileName(plan) + "\"")
                       ? ScriptOrigin::OursForThisFile
                       : ScriptOrigin::OursForAnotherFile;
        copy = script.find("\r\n" + copyCommand);
        if (copy == std::string_view::npos)
            return ScriptOrigin::Unclear;
        copy += 2;
    } else if (!script.starts_with(copyCommand)) {
        return ScriptOrigin::NotOurs;
    }
    // The earliest were the copy command alone. The command's first line ends with the file it
    // joins into: the target, or, in scripts with checks, its working name.
    const std::size_t end = script.find("\r\n", copy);
    if (end == std::string_view::npos && !whole)
        return ScriptOrigin::Unclear;
    const std::string_view line = script.substr(copy, end - copy);
    for (const std::string& into : {plan.target, unfinishedName(plan.target)}) {
        if (line.ends_with(" " + inScript(into)))
            return ScriptOrigin::OursForThisFile;
    }
    return ScriptOrigin::OursForAnotherFile;
}

std::uint64_t joinScriptBytesAtMost(const CuttingPlan& plan, std::size_t lineLimit)
{
    std::uint64_t bytes = 0;
    const ScriptOut count = [&](std::string_view text, ScriptText kind) { bytes += inScriptCodePage(text, kind).size(); };
    // All but the pieces and the copy command, as they are written; a code page's number has at
    // most five digits.
    const Digest anyDigest{};
    render(beforePieces(), scriptHoles(plan, 65001, lineLimit, nullptr), count);
    render(afterPieces(), [&](std::string_view hole, const ScriptOut& out) {
        if (hole != "copyLines")
            scriptHoles(plan, 65001, lineLimit, &anyDigest)(hole, out);
    }, count);
    // Each piece's lines: those of a piece of three digits, and more for every digit its number
    // grows by at 1000, 10000, ...
    const auto pieceBytes = [&](std::int64_t number) {
        const std::uint64_t before = bytes;
        writePiece(plan, number, plan.pieceLength, anyDigest, count);
        const std::uint64_t piece = bytes - before;
        bytes = before;
        return piece;
    };
    const std::uint64_t threeDigits = pieceBytes(100), perDigit = pieceBytes(1000) - threeDigits;
    const auto pieces = static_cast<std::uint64_t>(plan.pieceCount);
    for (std::uint64_t digits = 3, from = 1, below = 1000; from <= pieces; ++digits, from = below, below *= 10)
        bytes += (std::min(below, pieces + 1) - from) * (threeDigits + (digits - 3) * perDigit);
    const auto copyName = [&](const std::string& name) { return inScriptCodePage(cmdName(name), ScriptText::Name).size(); };
    return bytes + copyLinesBytesAtMost(copyName(plan.pieceFileName(1)), plan.pieceCount,
                                        copyName(unfinishedName(plan.target)), lineLimit);
}

} // namespace engine
