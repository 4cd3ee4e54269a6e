#include "form/CopyCommand.h"

#include "form/Texts.h"
#include "runtime/LeadingNumber.h"
#include "runtime/Rounding.h"

namespace form {

double TeilBytes(CopyCommandWindow& window)
{
    const double kilobytes = runtime::leadingNumber(window.sizeFieldText());
    const double bytes = kilobytes * 1024;
    // A size too large for any file's length is no more valid than a negative one.
    if (kilobytes > 0 && runtime::roundHalfEven(bytes))
        return bytes;
    window.showMessage(texts::invalidSize);
    window.focusSizeField();
    return 0;
}

void buttonKopieren_Click(CopyCommandWindow& window)
{
    const auto pieceLength = runtime::roundHalfEven(TeilBytes(window));
    if (!pieceLength || *pieceLength <= 0)
        return;
    const std::string source = window.DateiDialog();
    if (source.empty())
        return;
    window.startCutting(source, *pieceLength);
}

} // namespace form
