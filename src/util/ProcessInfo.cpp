#include "util/ProcessInfo.h"

#include <unistd.h>

unsigned CurrentUserId() {
    return static_cast<unsigned>(::getuid());
}

long ClockTicksPerSecond() {
    return ::sysconf(_SC_CLK_TCK);
}
