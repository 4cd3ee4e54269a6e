#pragma once

#include "runtime/Path.h"

#include <cstdint>
#include <string>
#include <string_view>

// Names of the pieces and of the join script, formed from the source's path by plain string
// work. film.avi gives film.001, film.002, ... and film.bat beside it.
namespace engine {

// The path cut after the last "." of its file name (the dot stays), or with "." appended when
// the file name has none. Only the file name counts, so that the pieces always lie beside the
// source: C:\Neu.Ordner\LIESMICH gives C:\Neu.Ordner\LIESMICH.
std::string BasisPfad(std::string_view path, char separator = runtime::kFolderSeparator);

// What follows the last "." of the file name; empty when the file name holds no dot.
std::string_view suffixOf(std::string_view path, char separator = runtime::kFolderSeparator);

// The part after the last separator; the whole path when there is none.
std::string NurDateiname(std::string_view path, char separator = runtime::kFolderSeparator);

// The base path followed by the number with at least three digits.
std::string pieceName(std::string_view basePath, std::int64_t number);

std::string scriptName(std::string_view basePath);

} // namespace engine
