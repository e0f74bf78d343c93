#pragma once

// Pictures for tests: an image list that starts like the main window's,
// and a two-colour picture.

#include "shared/ListeImages.h"

#include <QImage>
#include <QPainter>

// Left half red, right half blue: a swapped channel order shows at once.
inline QImage DeuxCouleurs(int largeur, int hauteur)
{
    QImage image(largeur, hauteur, QImage::Format_RGB32);
    image.fill(Qt::blue);
    QPainter(&image).fillRect(0, 0, largeur / 2, hauteur, Qt::red);
    return image;
}

// Two folder pictures, as the main window's list starts; the extension table
// then appends its icons.
inline void AjouterDossiers(ListeImages& images)
{
    QImage dossier(ListeImages::Cote, ListeImages::Cote, QImage::Format_RGB32);
    dossier.fill(Qt::yellow);
    images.Ajouter(dossier);
    images.Ajouter(dossier);
}
