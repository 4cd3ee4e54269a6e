#include "runtime/FileError.h"

#include "runtime/Path.h"
#include "SystemErrorText.h"

namespace runtime {

namespace {

class ProblemCategory : public std::error_category {
public:
    const char* name() const noexcept override { return "palvo"; }
    std::string message(int value) const override
    {
        switch (static_cast<FileProblem>(value)) {
        case FileProblem::SourceShrank: return "Die Datei ist während des Zerlegens kürzer geworden.";
        case FileProblem::NotARegularFile: return "Das ist keine gewöhnliche Datei.";
        case FileProblem::SourceChanged:
            return "Die Datei wurde während des Zerlegens verändert. Bitte warten Sie, bis das Programm, das sie "
                   "schreibt, fertig ist.";
        }
        return "Unbekanntes Problem.";
    }
};

std::string describe(FileOperation operation, const std::string& path)
{
    const std::string name = inQuotes(path);
    switch (operation) {
    case FileOperation::Open: return "Die Datei " + name + " konnte nicht geöffnet werden";
    case FileOperation::Create: return "Die Datei " + name + " konnte nicht angelegt werden";
    case FileOperation::Read: return "Die Datei " + name + " konnte nicht gelesen werden";
    case FileOperation::Write: return "Die Datei " + name + " konnte nicht geschrieben werden";
    case FileOperation::Close: return "Die Datei " + name + " konnte nicht fertig geschrieben werden";
    case FileOperation::Delete: return "Die alte Datei " + name + " konnte nicht gelöscht werden";
    case FileOperation::Rename: return "Die Datei " + name + " konnte nicht umbenannt werden";
    case FileOperation::Inspect: return name + " konnte nicht geprüft werden";
    case FileOperation::ListFolder: return "Der Ordner " + name + " konnte nicht gelesen werden";
    case FileOperation::Flush: return "Die Daten in " + name + " konnten nicht sicher auf den Datenträger geschrieben werden";
    }
    return name;
}

} // namespace

std::error_code make_error_code(FileProblem problem)
{
    static const ProblemCategory category;
    return {static_cast<int>(problem), category};
}

std::string reasonText(std::error_code code)
{
    const bool system = code.category() == std::system_category();
    if (!system && code.category() != std::generic_category())
        return code.message();
    const char* text = system ? systemErrorText(code.value()) : errnoText(code.value());
    const std::string number = " (Fehler " + std::to_string(code.value()) + ").";
    return (text ? std::string(text) : "Das System meldet einen Fehler, den Palvo nicht näher beschreiben kann") +
           number;
}

FileError::FileError(FileOperation operation, std::string path, std::error_code code)
    : std::runtime_error(describe(operation, path) + ": " + reasonText(code))
    , operation_(operation)
    , path_(std::move(path))
    , code_(code)
{
}

} // namespace runtime
