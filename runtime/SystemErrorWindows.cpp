#include "runtime/FileError.h"

#include "CloseChecked.h"
#include "SystemErrorText.h"

#include <utility>
#include <windows.h>

namespace runtime {

std::error_code lastSystemError()
{
    return {static_cast<int>(::GetLastError()), std::system_category()};
}

void closeChecked(NativeHandle& handle, const std::string& path)
{
    if (!::CloseHandle(std::exchange(handle, INVALID_HANDLE_VALUE)))
        throw FileError(FileOperation::Close, path, lastSystemError());
}

const char* systemErrorText(int error)
{
    switch (static_cast<DWORD>(error)) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return "Die Datei oder der Ordner existiert nicht";
    case ERROR_ACCESS_DENIED: return "Der Zugriff wurde verweigert";
    case ERROR_WRITE_PROTECT: return "Der Datenträger ist schreibgeschützt";
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return "Auf dem Datenträger ist kein Platz mehr frei";
    case ERROR_FILE_TOO_LARGE: return "Die Datei wäre größer, als das System erlaubt";
    case ERROR_DIRECTORY: return "Ein Teil des Pfads ist kein Ordner";
    case ERROR_FILENAME_EXCED_RANGE: return "Der Pfad ist zu lang";
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return "Die Datei existiert bereits";
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return "Die Datei wird gerade von einem anderen Programm benutzt";
    case ERROR_TOO_MANY_OPEN_FILES: return "Es sind zu viele Dateien geöffnet";
    case ERROR_INVALID_NAME: return "Der Name ist unter Windows nicht erlaubt";
    case ERROR_NOT_READY: return "Der Datenträger ist nicht bereit";
    case ERROR_CRC:
    case ERROR_IO_DEVICE: return "Beim Zugriff auf den Datenträger ist ein Ein-/Ausgabefehler aufgetreten";
    case ERROR_DEV_NOT_EXIST:
    case ERROR_BAD_NETPATH:
    case ERROR_NETNAME_DELETED: return "Die Verbindung zum Datenträger ist unterbrochen";
    case ERROR_NOT_SUPPORTED:
    case ERROR_INVALID_FUNCTION: return "Der Datenträger unterstützt diesen Vorgang nicht";
    case ERROR_INVALID_PARAMETER: return "Das System lehnt den Vorgang für diese Datei ab";
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY: return "Es ist nicht genug Arbeitsspeicher frei";
    case ERROR_DIR_NOT_EMPTY: return "Der Ordner ist nicht leer";
    case ERROR_NOT_SAME_DEVICE: return "Die Dateien liegen auf verschiedenen Datenträgern";
    case ERROR_CANT_ACCESS_FILE: return "Auf die Datei kann nicht zugegriffen werden";
    }
    return nullptr;
}

} // namespace runtime
