#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The copy command, "Datei auswählen und kopieren": its steps, the same in every window.
namespace form {

// What the copy command asks of the window it runs in; called on the window's thread.
class CopyCommandWindow {
public:
    virtual ~CopyCommandWindow() = default;

    virtual std::string sizeFieldText() = 0;
    virtual void focusSizeField() = 0;
    // A modal box titled Palvo with the text, an OK button and no icon.
    virtual void showMessage(const std::string& text) = 0;
    // The chosen file's full path, or the empty string when none was chosen.
    virtual std::string DateiDialog() = 0;
    virtual void startCutting(const std::string& source, std::int64_t pieceLength) = 0;
};

// The piece size in bytes that the size field holds, or 0 after warning that it holds no
// valid size (the focus is then back in the field).
double TeilBytes(CopyCommandWindow& window);

// Reads the size, asks for the file and starts cutting it; ends quietly wherever the user
// chose nothing.
void buttonKopieren_Click(CopyCommandWindow& window);

// Files dropped on the window: one file is cut as if it had been chosen in the file dialog,
// with the size in the field; more than one, or a folder, is answered with a message.
void cutDroppedFiles(CopyCommandWindow& window, const std::vector<std::string>& paths);

// What the program was started with: the file the dialog is to offer first, or, after a
// message, nothing, where the name is no existing file or there are several.
std::string fileNamedAtStart(CopyCommandWindow& window, const std::vector<std::string>& arguments);

} // namespace form
