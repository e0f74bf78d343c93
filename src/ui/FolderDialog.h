#pragma once

// The desktop's folder dialog, centred on the screen, opening at a given
// folder; keeps the last choice.

#include <QString>

class FolderDialog
{
public:
    // depart must be a folder known to exist: given one that is gone, the
    // dialog opens beside it with its name typed in, and refuses it.
    bool Choisir(const QString& invite, const QString& titre, const QString& depart = QString());
    QString Repertoire;
};
