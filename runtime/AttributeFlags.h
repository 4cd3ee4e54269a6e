#pragma once

#include <linux/fs.h>
#include <sys/ioctl.h>

namespace runtime {

// The file's attribute flags (immutable, append-only, casefolded); none where the medium has none.
inline int attributeFlags(int descriptor)
{
    int flags = 0;
    return ::ioctl(descriptor, FS_IOC_GETFLAGS, &flags) == 0 ? flags : 0;
}

} // namespace runtime
