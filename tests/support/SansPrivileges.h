#pragma once

// Runs a check in a child process without root's privileges (as "nobody"
// when the tests run as root), so that permission tests mean something.
// The check's result is the child's exit status.

#include <functional>

bool ExecuterSansPrivileges(const std::function<bool()>& verification);

// Takes root's rights from the whole process, every thread (its effective
// user and group become "nobody"), until it goes: for checks that need the
// process's own threads. Does nothing when the tests do not run as root.
class PrivilegesSuspendus
{
public:
    PrivilegesSuspendus();
    ~PrivilegesSuspendus();
    PrivilegesSuspendus(const PrivilegesSuspendus&) = delete;
    PrivilegesSuspendus& operator=(const PrivilegesSuspendus&) = delete;

private:
    bool root_ = false;
};
