#pragma once

// Pictures for tests: a two-colour picture.

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
