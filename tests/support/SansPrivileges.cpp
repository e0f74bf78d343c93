#include "support/SansPrivileges.h"

#include <sys/wait.h>
#include <unistd.h>

bool ExecuterSansPrivileges(const std::function<bool()>& verification)
{
    const pid_t enfant = fork();
    if (enfant < 0)
        return false;
    if (enfant == 0) {
        constexpr uid_t Personne = 65534;
        if (geteuid() == 0 && (setgid(Personne) != 0 || setuid(Personne) != 0))
            _exit(2);
        _exit(verification() ? 0 : 1);
    }
    int statut = 0;
    if (waitpid(enfant, &statut, 0) != enfant)
        return false;
    return WIFEXITED(statut) && WEXITSTATUS(statut) == 0;
}

PrivilegesSuspendus::PrivilegesSuspendus() : root_(geteuid() == 0)
{
    constexpr uid_t Personne = 65534;
    if (root_ && (setegid(Personne) != 0 || seteuid(Personne) != 0))
        _exit(2); // a permission test as root would prove nothing
}

PrivilegesSuspendus::~PrivilegesSuspendus()
{
    if (root_ && (seteuid(0) != 0 || setegid(0) != 0))
        _exit(2);
}
