#pragma once

// The desktop's folder dialog, centred on the screen; keeps the last choice.

#include <QString>

class FolderDialog
{
public:
    bool Choisir(const QString& invite, const QString& titre);
    QString Repertoire;
};
