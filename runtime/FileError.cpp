#include "runtime/FileError.h"

#include <cerrno>
#include <cstring>

namespace runtime {

namespace {

std::string describe(FileOperation operation, const std::string& path)
{
    const std::string quoted = "„" + path + "“";
    switch (operation) {
    case FileOperation::Open: return "Die Datei " + quoted + " konnte nicht geöffnet werden";
    case FileOperation::Create: return "Die Datei " + quoted + " konnte nicht angelegt werden";
    case FileOperation::Read: return "Die Datei " + quoted + " konnte nicht gelesen werden";
    case FileOperation::Write: return "Die Datei " + quoted + " konnte nicht geschrieben werden";
    case FileOperation::Close: return "Die Datei " + quoted + " konnte nicht fertig geschrieben werden";
    case FileOperation::Delete: return "Die alte Datei " + quoted + " konnte nicht gelöscht werden";
    case FileOperation::Rename: return "Die Datei " + quoted + " konnte nicht umbenannt werden";
    case FileOperation::Inspect: return quoted + " konnte nicht geprüft werden";
    case FileOperation::ListFolder: return "Der Ordner " + quoted + " konnte nicht gelesen werden";
    }
    return quoted;
}

} // namespace

FileError::FileError(FileOperation operation, const std::string& path, int errorNumber)
    : FileError(operation, path, errorReason(errorNumber))
{
}

FileError::FileError(FileOperation operation, const std::string& path, const std::string& reason)
    : std::runtime_error(describe(operation, path) + ": " + reason)
    , operation_(operation)
    , path_(path)
    , reason_(reason)
{
}

std::string errorReason(int errorNumber)
{
    switch (errorNumber) {
    case ENOENT: return "Die Datei oder der Ordner existiert nicht.";
    case EACCES:
    case EPERM: return "Der Zugriff wurde verweigert.";
    case EROFS: return "Der Datenträger ist schreibgeschützt.";
    case ENOSPC: return "Auf dem Datenträger ist kein Platz mehr frei.";
#ifdef EDQUOT
    case EDQUOT: return "Das Speicherkontingent ist erschöpft.";
#endif
    case EFBIG: return "Die Datei wäre größer, als das System erlaubt.";
    case EISDIR: return "Unter diesem Namen gibt es einen Ordner.";
    case ENOTDIR: return "Ein Teil des Pfads ist kein Ordner.";
    case ENAMETOOLONG: return "Der Pfad ist zu lang.";
    case EEXIST: return "Die Datei existiert bereits.";
    case EBUSY:
#ifdef ETXTBSY
    case ETXTBSY:
#endif
        return "Die Datei wird gerade benutzt.";
    case EMFILE:
    case ENFILE: return "Es sind zu viele Dateien geöffnet.";
    case EIO: return "Beim Zugriff auf den Datenträger ist ein Ein-/Ausgabefehler aufgetreten.";
    default: return std::strerror(errorNumber) + std::string(" (Fehler ") + std::to_string(errorNumber) + ").";
    }
}

} // namespace runtime
