#include "JoinScript.h"

#include "PieceNaming.h"
#include "runtime/CodePage.h"

#include <algorithm>

namespace engine {

namespace {

constexpr std::string_view kLineEnd = "\r\n";

using Out = std::function<void(std::string_view line)>;

void line(const Out& out, const std::string& text)
{
    out(text + std::string(kLineEnd));
}

// A name as the checks write it: in quotes, whatever it holds, and with % doubled so that no
// variable is expanded. Nothing else in a name needs care there: within quotes cmd takes
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

// A file's length as cmd gives it, in decimal digits: compared as text, since cmd's numbers
// end at 2^31 - 1.
std::string lengthText(ByteCount length)
{
    return std::to_string(length);
}

// Wherever it was started (as administrator: in the system folder; from a network share: in
// the Windows folder), the script works in its own folder; pushd reaches a share through a
// drive letter of its own.
void writeStart(const Out& out)
{
    line(out, "@echo off");
    line(out, "rem Von Palvo geschrieben: setzt die Teile Byte für Byte wieder zur Datei zusammen.");
    line(out, "setlocal EnableExtensions DisableDelayedExpansion");
    line(out, "set \"Ist=\"");
    line(out, "ver > nul");
    line(out, "pushd \"%~dp0\"");
    line(out, "if errorlevel 1 goto OrdnerFehlt");
}

// A piece that is missing, a folder, or of another length ends the script before it writes.
// The length comes from a for whose body is one command, since cmds differ on where an & after
// for ends its body (Wine's ends it there); the lines after it act on what it found: a missing
// file has the empty length, a folder none but 0. The name stands only in the lines
// themselves, never in a variable, which some cmds would expand once more.
void writePieceCheck(const std::string& name, ByteCount length, const Out& out)
{
    const std::string piece = inBatchQuotes(name), bytes = lengthText(length);
    line(out, "for %%L in (" + piece + ") do if not \"%%~zL\"==\"" + bytes + "\" set \"Ist= %%~zL\"");
    line(out, "if \"%Ist%\"==\" \" echo Das Teil " + piece + " fehlt. & goto TeilFalsch");
    line(out, "if defined Ist if exist " + inBatchQuotes(name + "\\*") + " echo " + piece +
                  " ist ein Ordner, kein Teil. & goto TeilFalsch");
    line(out, "if defined Ist echo Das Teil " + piece + " hat%Ist% Bytes, es muss genau " + bytes +
                  " Bytes haben. & goto TeilFalsch");
}

// Before the copy command: nothing may bear the target's name, not even the source the pieces
// were cut from.
void writeTargetIsNew(const CuttingPlan& plan, const Out& out)
{
    line(out, "if exist " + inBatchQuotes(plan.target) + " goto ZielDa");
}

// After the copy command: the target came out whole.
void writeTargetIsWhole(const CuttingPlan& plan, const Out& out)
{
    line(out, "if errorlevel 1 goto ZielFalsch");
    line(out, "for %%L in (" + inBatchQuotes(plan.target) + ") do if not \"%%~zL\"==\"" + lengthText(plan.sourceLength) +
                  "\" goto ZielFalsch");
    line(out, "popd");
    line(out, "exit /b 0");
}

// What the user reads where something is wrong; the window waits for a key, so that a
// script started by a double click stays readable.
void writeFailures(const CuttingPlan& plan, const Out& out)
{
    const std::string target = inBatchQuotes(plan.target);
    const std::string again = " und starten Sie \"%~nx0\" dann noch einmal.";
    line(out, ":TeilFalsch");
    line(out, "echo Bitte kopieren Sie alle Teile vollständig in den Ordner \"%CD%\"" + again);
    line(out, "goto NichtsGeschrieben");
    line(out, ":ZielDa");
    line(out, "echo Die Datei " + target + " gibt es in diesem Ordner schon.");
    line(out, "echo Bitte verschieben Sie sie zuerst an einen anderen Ort oder benennen Sie sie um" + again);
    line(out, ":NichtsGeschrieben");
    line(out, "echo Es wurde nichts zusammengefügt.");
    line(out, "goto Ende");
    line(out, ":ZielFalsch");
    line(out, "if exist " + target + " del /f /q " + target);
    line(out, "echo Die Datei " + target +
                  " konnte nicht vollständig geschrieben werden, vielleicht ist der Datenträger voll.");
    line(out, "echo Was davon geschrieben war, wurde wieder gelöscht. Bitte schaffen Sie Platz" + again);
    line(out, ":Ende");
    line(out, "popd");
    line(out, "pause");
    line(out, "exit /b 1");
    line(out, ":OrdnerFehlt");
    line(out, "echo Der Ordner von \"%~f0\" ist nicht erreichbar. Es wurde nichts zusammengefügt.");
    line(out, "pause");
    line(out, "exit /b 1");
}

std::uint64_t oemBytes(const std::string& text)
{
    return runtime::toOemCodePage(text).bytes.size();
}

// The bytes of the checks of the piece of that number, were it of the full piece length.
std::uint64_t pieceCheckBytes(const CuttingPlan& plan, std::int64_t number)
{
    std::uint64_t bytes = 0;
    writePieceCheck(plan.pieceFileName(number), plan.pieceLength, [&](std::string_view text) {
        bytes += oemBytes(std::string(text));
    });
    return bytes;
}

} // namespace

void writeJoinScript(const CuttingPlan& plan, const Out& out, std::size_t lineLimit)
{
    writeStart(out);
    for (std::int64_t number = 1; number <= plan.pieceCount; ++number)
        writePieceCheck(plan.pieceFileName(number), plan.lengthOf(number), out);
    writeTargetIsNew(plan, out);
    // The copy command as it has always stood.
    writeCopyLines(plan.pieceStem, plan.pieceCount, plan.target, out, lineLimit);
    writeTargetIsWhole(plan, out);
    writeFailures(plan, out);
}

std::string joinScript(const CuttingPlan& plan, std::size_t lineLimit)
{
    std::string script;
    writeJoinScript(plan, [&](std::string_view text) { script += text; }, lineLimit);
    return script;
}

std::uint64_t joinScriptBytesAtMost(const CuttingPlan& plan, std::size_t lineLimit)
{
    // All but the piece checks and the copy command, as they are written.
    std::uint64_t bytes = 0;
    const auto count = [&](std::string_view text) { bytes += oemBytes(std::string(text)); };
    writeStart(count);
    writeTargetIsNew(plan, count);
    writeTargetIsWhole(plan, count);
    writeFailures(plan, count);
    // The checks of each piece: those of the first, and a few bytes more for every digit its
    // number grows by at 1000, 10000, ...
    const std::uint64_t threeDigits = pieceCheckBytes(plan, 100), perDigit = pieceCheckBytes(plan, 1000) - threeDigits;
    const auto pieces = static_cast<std::uint64_t>(plan.pieceCount);
    for (std::uint64_t digits = 3, from = 1, below = 1000; from <= pieces; ++digits, from = below, below *= 10)
        bytes += (std::min(below, pieces + 1) - from) * (threeDigits + (digits - 3) * perDigit);
    const auto copyName = [&](const std::string& name) { return oemBytes(cmdName(name)); };
    return bytes + copyLinesBytesAtMost(copyName(plan.pieceFileName(1)), plan.pieceCount, copyName(plan.target),
                                        lineLimit);
}

} // namespace engine
