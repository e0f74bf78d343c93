#pragma once

// Runs a check in a child process without root's privileges (as "nobody"
// when the tests run as root), so that permission tests mean something.
// The check's result is the child's exit status.

#include <functional>

bool ExecuterSansPrivileges(const std::function<bool()>& verification);
