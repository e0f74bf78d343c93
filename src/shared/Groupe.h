#pragma once

// A group of files of the store, as one group node of a tree shows it: the
// tree (category and order) and what the node groups in that order.

#include "shared/CleArbre.h"

#include <cstdint>

struct Groupe
{
    CleArbre Arbre;
    // By directory: the directory group's number in the category (the
    // node's row). Alphabetical: the letter bucket (0 digits, 1 to 26 the
    // letters, 27 anything else). By extension: the extension's row in the
    // extension table. -1: no group.
    int32_t Index = -1;

    bool Valide() const { return Index >= 0; }
};
