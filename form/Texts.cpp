#include "form/Texts.h"

#include "Version.h"
#include "runtime/Path.h"

namespace form::texts {

std::string windowTitle()
{
    return std::string("Palvo V") + palvo::kVersion;
}

std::string copyingTo(const std::string& piecePath)
{
    return "Kopiere Daten nach " + piecePath;
}

std::string jobFailed(const std::string& reason, EarlierPieces earlier)
{
    const std::string lost =
        earlier == EarlierPieces::PartlyReplaced
            ? " Für die früheren Teile dieser Datei und die neuen zugleich war kein Platz, deshalb wurden die früheren "
              "nach und nach ersetzt: Die frühere Batch-Datei und die schon ersetzten Teile sind verloren, die übrigen "
              "lassen sich nicht mehr zusammenfügen."
            : "";
    return "Das Zerlegen wurde abgebrochen.\n\n" + reason +
           "\n\nEs wurde keine Batch-Datei geschrieben." + lost +
           " Bitte beheben Sie die Ursache und versuchen Sie es erneut.";
}

std::string internalFault(const std::string& detail)
{
    return "Interner Fehler des Programms: " + detail;
}

std::string folderDropped(const std::string& path)
{
    return runtime::inQuotes(path) + " ist ein Ordner.";
}

std::string oneFileAtATime(const std::string& whatCame)
{
    return whatCame + " Palvo zerlegt eine Datei auf einmal: Bitte ziehen Sie genau eine Datei auf das Fenster "
                      "oder wählen Sie sie mit „Datei auswählen und kopieren“.";
}

std::string noFileToOffer(const std::string& name, bool somethingElseIsThere)
{
    return "Palvo sollte die Datei " + runtime::inQuotes(name) + " öffnen, doch " +
           (somethingElseIsThere ? "das ist keine gewöhnliche Datei" : "die gibt es nicht") +
           ". Bitte wählen Sie die Datei mit „Datei auswählen und kopieren“.";
}

} // namespace form::texts
