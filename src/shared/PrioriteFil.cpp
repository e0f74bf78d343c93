#include "shared/PrioriteFil.h"

#include <cerrno>

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

void PrioriteFil::CederALaFenetre()
{
    const auto fil = id_t(syscall(SYS_gettid));
    errno = 0;
    const int gentillesse = getpriority(PRIO_PROCESS, fil);
    if (errno == 0)
        (void)setpriority(PRIO_PROCESS, fil, gentillesse + Gentillesse);
}
