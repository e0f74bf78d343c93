#pragma once

// Turns one root directory into the stream of directories the store files:
// a depth-first, pre-order walk with the walker.

#include <string>

class Explorateur;
class Stockage;
class Travailleur;

class Scanneur
{
public:
    void Lier(Stockage* stockage) { stockage_ = stockage; }
    void Lier(Explorateur* explorateur) { explorateur_ = explorateur; }

    static bool RepertoireInexistant(const std::string& chemin);
    // The whole walk; returns early (without marking the end) when stopped.
    void Scanner(const std::string& racine, Travailleur& travailleur);

private:
    // The walk below the root, iterative so that depth costs no stack;
    // false when the worker was stopped.
    bool ParcourirRepertoire(const std::string& racine, Travailleur& travailleur);

    Stockage* stockage_ = nullptr;
    Explorateur* explorateur_ = nullptr;
};
