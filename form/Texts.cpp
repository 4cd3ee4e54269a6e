#include "form/Texts.h"

#include "Version.h"

namespace form::texts {

std::string windowTitle()
{
    return std::string("Palvo V") + palvo::kVersion;
}

std::string copyingTo(const std::string& piecePath)
{
    return "Kopiere Daten nach " + piecePath;
}

std::string jobFailed(const std::string& reason)
{
    return "Das Zerlegen wurde abgebrochen.\n\n" + reason +
           "\n\nEs wurde keine Batch-Datei geschrieben. Bitte beheben Sie die Ursache und versuchen Sie es erneut.";
}

std::string internalFault(const std::string& detail)
{
    return "Interner Fehler des Programms: " + detail;
}

} // namespace form::texts
