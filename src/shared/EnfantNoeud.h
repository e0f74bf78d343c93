#pragma once

// One child prepared by a fill job off the user-interface thread: the text
// and image of a file node, applied to the tree later in one batch.

#include <QString>

#include <cstdint>

struct EnfantNoeud
{
    QString Texte;
    int Image = -1;
    int64_t Octets = -1; // the file's size; -1: not known (its size could not be read)
};
