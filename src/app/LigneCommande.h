#pragma once

// The command line a desktop entry needs: `ruvizaro [DIR]`, `--help` and
// `--version`. Read before Qt starts, so that help and refusals need no
// display; anything else is refused.

#include <QString>

class LigneCommande
{
public:
    enum class Action { Lancer, Aide, Version, Refus };

    static constexpr const char* Version = "1.0";
    static constexpr int CodeRefus = 2;

    // argv as main received it.
    static LigneCommande Analyser(int argc, const char* const* argv);

    // Prints what the action asks for (help, version or the refusal) and
    // gives the exit code; -1 when the program is to start.
    int Repondre() const;

    Action Quoi = Action::Lancer;
    QString Repertoire;   // absolute, or empty: the directory to scan at once
    QString Erreur;       // why the line was refused
};
