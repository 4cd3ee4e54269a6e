// The rules every window follows, asked by a window of the test's own that records what it was
// asked: the size field read as kilobytes, the copy command, dropped files, the file named at
// the start, and which input passes during a job.
#include "form/CopyCommand.h"
#include "form/InputDuringJob.h"

#include "TestSupport.h"
#include "runtime/Path.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using namespace testsupport;
using Asked = std::vector<std::string>;

class RecordingWindow : public form::CopyCommandWindow {
public:
    // size: what the size field holds; chosen: what the file dialog gives.
    explicit RecordingWindow(std::string size, std::string chosen = {})
        : size_(std::move(size)), chosen_(std::move(chosen))
    {
    }

    std::string sizeFieldText() override { return size_; }
    void focusSizeField() override { asked.push_back("focus on the size field"); }
    void showMessage(const std::string& text) override { asked.push_back(text); }
    std::string DateiDialog() override
    {
        asked.push_back("file dialog");
        return chosen_;
    }
    void startCutting(const std::string& source, std::int64_t pieceLength) override
    {
        asked.push_back("cut " + source + " into " + std::to_string(pieceLength));
    }

    Asked asked;

private:
    std::string size_, chosen_;
};

const Asked warned = {"Geben Sie bitte eine gültige Dateigröße an!", "focus on the size field"};
const std::string oneAtATime = " Palvo zerlegt eine Datei auf einmal: Bitte ziehen Sie genau eine Datei auf das "
                               "Fenster oder wählen Sie sie mit „Datei auswählen und kopieren“.";

TEST(CopyCommand, ReadsTheSizeAsKilobytesBeforeItAsksForTheFile)
{
    const auto cut = [](int length) { return Asked{"file dialog", "cut film.avi into " + std::to_string(length)}; };
    const struct {
        const char* size;
        Asked asked;
    } cases[] = {{"1400", cut(1433600)}, {"1.5", cut(1536)}, {"0.5", cut(512)}, {" 1400kB", cut(1433600)},
                 {"1,5", cut(1024)},     {"0.0005", cut(1)}, {"", warned},      {"abc", warned},
                 {"0", warned},          {"-5", warned},     {"0.0", warned},   {"1e400", warned},
                 {"1e16", warned},  // longer than any file may be
                 {"0.0001", {}}};   // less than a byte: nothing at all
    for (const auto& c : cases) {
        RecordingWindow window(c.size, "film.avi");
        form::buttonKopieren_Click(window);
        EXPECT_EQ(window.asked, c.asked) << '"' << c.size << '"';
    }
    RecordingWindow nothingChosen("1400");
    form::buttonKopieren_Click(nothingChosen);
    EXPECT_EQ(nothingChosen.asked, Asked{"file dialog"});
}

TEST(CopyCommand, CutsOneDroppedFileAndExplainsWhyNotMore)
{
    TempFolder folder;
    writeFile(folder / "film.avi", "");
    makeFolder(folder / "ordner");
    const struct {
        const char* what;
        const char* size;
        std::vector<std::string> dropped;
        Asked asked;
    } cases[] = {
        {"one file", "1", {folder / "film.avi"}, {"cut " + folder / "film.avi" + " into 1024"}},
        {"one file, but no valid size", "0", {folder / "film.avi"}, warned},
        {"two files", "1", {folder / "film.avi", folder / "zweite.avi"},
         {"Es wurden mehrere Dateien auf das Fenster gezogen." + oneAtATime}},
        {"a folder", "1", {folder / "ordner"}, {"„" + folder / "ordner" + "“ ist ein Ordner." + oneAtATime}},
    };
    for (const auto& c : cases) {
        RecordingWindow window(c.size);
        form::cutDroppedFiles(window, c.dropped);
        EXPECT_EQ(window.asked, c.asked) << c.what;
    }
}

TEST(CopyCommand, OffersTheFileNamedAtTheStart)
{
    TempFolder folder;
    writeFile(folder / "film.avi", "");
    makeFolder(folder / "Ordner.avi");
    const auto noFile = [&](const char* name, const char* what) {
        return "Palvo sollte die Datei „" + folder / name + "“ öffnen, doch " + what +
               ". Bitte wählen Sie die Datei mit „Datei auswählen und kopieren“.";
    };
    const struct {
        const char* what;
        std::vector<std::string> arguments;
        std::string offered;
        Asked asked;
    } cases[] = {
        {"nothing", {}, "", {}},
        {"a file", {folder / "film.avi"}, folder / "film.avi", {}},
        {"a name in the folder the program started in", {"film.avi"}, folder / "film.avi", {}},
        {"a name of no file", {folder / "fehlt.avi"}, "", {noFile("fehlt.avi", "die gibt es nicht")}},
        {"a folder", {folder / "Ordner.avi"}, "", {noFile("Ordner.avi", "das ist keine gewöhnliche Datei")}},
        {"two files", {folder / "film.avi", folder / "zweite.avi"}, "",
         {"Palvo wurde mit mehreren Dateien gestartet." + oneAtATime}},
    };
    const std::filesystem::path startedIn = std::filesystem::current_path();
    std::filesystem::current_path(runtime::toFsPath(folder.path()));
    for (const auto& c : cases) {
        RecordingWindow window("1400");
        EXPECT_EQ(form::fileNamedAtStart(window, c.arguments), c.offered) << c.what;
        EXPECT_EQ(window.asked, c.asked) << c.what;
    }
    std::filesystem::current_path(startedIn);
}

TEST(InputDuringAJob, PassesWhatStopsTheJobOrMovesTheFocusAndNoOtherKeyOrClick)
{
    using Kind = form::Input::Kind;
    using Key = form::Input::Key;
    const struct {
        const char* what;
        form::Input input;
        bool passes;
    } cases[] = {
        {"painting, the job's news, the window's frame", {Kind::Other, Key::Other, false, false}, true},
        {"Escape", {Kind::Key, Key::Escape, false, false}, true},
        {"Tab, Shift+Tab", {Kind::Key, Key::Tab, false, false}, true},
        {"Alt+F4", {Kind::Key, Key::F4, true, false}, true},
        {"any key to Ende", {Kind::Key, Key::Other, false, true}, true},
        {"any key with Alt to Ende", {Kind::Key, Key::Other, true, true}, true},
        {"the mouse on Ende", {Kind::Mouse, Key::Other, false, true}, true},
        {"another key", {Kind::Key, Key::Other, false, false}, false},
        {"F4 alone", {Kind::Key, Key::F4, false, false}, false},
        {"Alt+Escape", {Kind::Key, Key::Escape, true, false}, false},
        {"Alt+Tab", {Kind::Key, Key::Tab, true, false}, false},
        {"another key with Alt", {Kind::Key, Key::Other, true, false}, false},
        {"the mouse elsewhere", {Kind::Mouse, Key::Other, false, false}, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(form::passesDuringJob(c.input), c.passes) << c.what;
}

} // namespace
