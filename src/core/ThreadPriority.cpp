#include "core/ThreadPriority.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace quillon {

void lowerThisThreadsPriority() {
    ::setpriority(PRIO_PROCESS, id_t(::syscall(SYS_gettid)), 5);
}

} // namespace quillon
