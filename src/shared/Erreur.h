#pragma once

// What went wrong in an operation that can fail. Message is what the user
// is shown: a French sentence, or one of the program's own fixed texts.
// Cause, when there is one, is the failure underneath it (a system call's
// reason, a damaged file), for the error output.

#include <string>
#include <utility>

struct Erreur
{
    Erreur(std::string message, std::string cause = {}) : Message(std::move(message)), Cause(std::move(cause)) {}

    std::string Message;
    std::string Cause;

    // The message followed by its cause, when it has one.
    std::string Complet() const { return Cause.empty() ? Message : Message + " : " + Cause; }
};
