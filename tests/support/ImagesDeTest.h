#pragma once

// An image list that starts like the main window's: two folder pictures,
// then the extension table appends its icons.

#include "ui/ListeImages.h"

#include <QImage>

inline void AjouterDossiers(ListeImages& images)
{
    QImage dossier(ListeImages::Cote, ListeImages::Cote, QImage::Format_RGB32);
    dossier.fill(Qt::yellow);
    images.Ajouter(dossier);
    images.Ajouter(dossier);
}
