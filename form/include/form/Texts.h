#pragma once

#include <string>

// Every text the window shows, the same in every window that draws it.
namespace form::texts {

inline constexpr const char* messageTitle = "Palvo";
inline constexpr const char* beschreibung =
    "Dieses Programm zerteilt die Große Datei in viele beliebig kleine und kann mit einem klick auf die "
    "Dos- Batch Datei wieder zusammen gefügt werden.";
inline constexpr const char* dateigröße = "Dateigröße (in kB):";
inline constexpr const char* startingSize = "1400";
inline constexpr const char* kopieren = "Datei auswählen und kopieren";
inline constexpr const char* ende = "Ende";
inline constexpr const char* contact = "E- Mail:      kontakt@palvo.example";
inline constexpr const char* dialogTitle = "Datei auswählen";
inline constexpr const char* invalidSize = "Geben Sie bitte eine gültige Dateigröße an!";

// "Palvo V1.1": the program's name and its version.
std::string windowTitle();

// The progress line while a piece is written.
std::string copyingTo(const std::string& piecePath);

// A job that failed on the way, with the reason; and, where it replaced an earlier set of
// pieces as it went, that this set is lost.
enum class EarlierPieces { Untouched, PartlyReplaced };
std::string jobFailed(const std::string& reason, EarlierPieces earlier = EarlierPieces::Untouched);

// A fault of the program itself, in German with its own words after it.
std::string internalFault(const std::string& detail);

inline constexpr const char* outOfMemory = "Es ist nicht genug Arbeitsspeicher frei.";
inline constexpr const char* noThreadForTheJob =
    "Das System lässt gerade keinen weiteren Arbeitsablauf zu. Bitte schließen Sie andere Programme.";

inline constexpr const char* stopQuestion = "Soll das Zerlegen abgebrochen werden?";
// The same, where the job replaces the pieces of an earlier one as it goes.
inline constexpr const char* stopQuestionOverEarlierPieces =
    "Soll das Zerlegen abgebrochen werden?\n\nFür die früheren Teile dieser Datei und die neuen zugleich ist auf "
    "dem Datenträger kein Platz, deshalb werden die früheren Teile beim Zerlegen nach und nach ersetzt. Nach einem "
    "Abbruch sind die schon ersetzten früheren Teile und die frühere Batch-Datei verloren; die übrigen lassen sich "
    "nicht mehr zusammenfügen.";

// What was handed to the window instead of one file, and that Palvo cuts one file at a time.
inline constexpr const char* severalFilesDropped = "Es wurden mehrere Dateien auf das Fenster gezogen.";
inline constexpr const char* severalFilesNamed = "Palvo wurde mit mehreren Dateien gestartet.";
std::string folderDropped(const std::string& path);
std::string oneFileAtATime(const std::string& whatCame);

// A name on the command line that is no existing file: nothing of that name, or a folder, a
// device, a pipe.
std::string noFileToOffer(const std::string& name, bool somethingElseIsThere);

} // namespace form::texts
