#pragma once

#include "runtime/NativeFile.h"

#include <string>

namespace runtime {

// Closes the file once; an error there can mean that written bytes never reached the medium,
// and is thrown as a FileError naming path.
void closeChecked(NativeHandle& handle, const std::string& path);

} // namespace runtime
