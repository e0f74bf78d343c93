#pragma once

// One child prepared by a fill job off the user-interface thread: the text
// and image of a file node, applied to the tree later in one batch.

#include <QString>

struct EnfantNoeud
{
    QString Texte;
    int Image = -1;
};
