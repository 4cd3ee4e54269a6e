#include "SystemErrorText.h"

#include <cerrno>
#include <system_error>

namespace runtime {

const char* errnoText(int error)
{
    switch (static_cast<std::errc>(error)) {
    case std::errc::no_such_file_or_directory: return "Die Datei oder der Ordner existiert nicht";
    case std::errc::permission_denied:
    case std::errc::operation_not_permitted: return "Der Zugriff wurde verweigert";
    case std::errc::read_only_file_system: return "Der Datenträger ist schreibgeschützt";
    case std::errc::no_space_on_device: return "Auf dem Datenträger ist kein Platz mehr frei";
    case std::errc::file_too_large: return "Die Datei wäre größer, als das System erlaubt";
    case std::errc::is_a_directory: return "Unter diesem Namen gibt es einen Ordner";
    case std::errc::not_a_directory: return "Ein Teil des Pfads ist kein Ordner";
    case std::errc::filename_too_long: return "Der Pfad ist zu lang";
    case std::errc::file_exists: return "Die Datei existiert bereits";
    case std::errc::device_or_resource_busy:
    case std::errc::text_file_busy: return "Die Datei wird gerade benutzt";
    case std::errc::too_many_files_open:
    case std::errc::too_many_files_open_in_system: return "Es sind zu viele Dateien geöffnet";
    case std::errc::io_error: return "Beim Zugriff auf den Datenträger ist ein Ein-/Ausgabefehler aufgetreten";
    case std::errc::no_such_device_or_address:
    case std::errc::no_such_device: return "Hinter diesem Namen steht kein erreichbares Gerät";
    case std::errc::too_many_symbolic_link_levels: return "Der Pfad führt über zu viele Verknüpfungen";
    case std::errc::invalid_argument: return "Das System lehnt den Vorgang für diese Datei ab";
    case std::errc::operation_not_supported: return "Der Datenträger unterstützt diesen Vorgang nicht";
    case std::errc::not_enough_memory: return "Es ist nicht genug Arbeitsspeicher frei";
    case std::errc::timed_out: return "Der Datenträger hat nicht rechtzeitig geantwortet";
    case std::errc::not_connected:
    case std::errc::connection_reset: return "Die Verbindung zum Datenträger ist unterbrochen";
    case std::errc::directory_not_empty: return "Der Ordner ist nicht leer";
    case std::errc::cross_device_link: return "Die Dateien liegen auf verschiedenen Datenträgern";
    case std::errc::resource_unavailable_try_again: return "Die Datei ist gerade gesperrt";
    case std::errc::interrupted: return "Der Vorgang wurde unterbrochen";
    case std::errc::bad_file_descriptor: return "Die Datei ist nicht mehr geöffnet";
    default: break;
    }
#ifdef EDQUOT
    if (error == EDQUOT)
        return "Das Speicherkontingent ist erschöpft";
#endif
#ifdef ESTALE
    if (error == ESTALE)
        return "Die Datei ist auf dem Netzlaufwerk nicht mehr vorhanden";
#endif
    return nullptr;
}

} // namespace runtime
