#pragma once

// A list of 16 x 16 images with their transparency, drawn at the screens'
// pixel ratio, shared by all trees (ImageListExt): 0 closed folder, 1 open
// folder, then one icon per extension.

#include <QIcon>
#include <QImage>
#include <QPixmap>

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
    int Nombre() const { return static_cast<int>(images_.size()); }
    // The image at index, or a null pixmap for -1 and any index out of range.
    QPixmap Image(int index) const;

private:
    std::vector<QPixmap> images_;
};
