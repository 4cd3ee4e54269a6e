#include "runtime/ProgramStart.h"

#include <csignal>

namespace runtime {

void prepareProgram()
{
#ifdef SIGXFSZ
    std::signal(SIGXFSZ, SIG_IGN);
#endif
}

} // namespace runtime
