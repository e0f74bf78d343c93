#pragma once

// One unit of work in a waiting list: a directory and its file names for the
// store, or a node text and its category for the tree manager.

#include <cstdint>
#include <string>
#include <vector>

struct TAttente
{
    std::vector<std::string> Fichiers;
    std::string Texte;
    int32_t Categorie = 0;
};
