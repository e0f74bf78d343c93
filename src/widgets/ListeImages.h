#pragma once

// A list of 16 x 16 images with their transparency, drawn at the screens'
// pixel ratio, shared by all trees (ImageListExt): 0 closed folder, 1 open
// folder, then one icon per extension of the table, whose rows keep their
// icon's index.

#include "shared/Categorie.h"

#include <QIcon>
#include <QImage>
#include <QPixmap>

#include <string>
#include <vector>

class ListeImages
{
public:
    static constexpr int Cote = 16;

    // Appends the image, fitted into 16 x 16 (times the pixel ratio); returns its index.
    int Ajouter(const QImage& image);
    // Appends an icon rendered at 16 x 16 at the pixel ratio; returns its
    // index, or -1 for a null icon.
    int AjouterIcone(const QIcon& icone);
    // Appends the desktop's icon for files of an extension (lower case,
    // without the dot), else the category's; its index, or -1 when the icon
    // theme has neither (nothing is appended then).
    int AjouterIconeExtension(const std::string& ext, Categorie categorie);
    int Nombre() const { return static_cast<int>(images_.size()); }
    // The image at index, or a null pixmap for -1 and any index out of range.
    QPixmap Image(int index) const;

private:
    std::vector<QPixmap> images_;
};
