#pragma once

// A list of 16 x 16 images on a white background, shared by all trees
// (ImageListExt): 0 closed folder, 1 open folder, then one icon per extension.

#include <QIcon>
#include <QImage>
#include <QPixmap>

#include <vector>

class ListeImages
{
public:
    static constexpr int Cote = 16;

    // Appends the image, scaled to 16 x 16 over white; returns its index.
    int Ajouter(const QImage& image);
    // Appends an icon rendered at 16 x 16; returns its index, or -1 for a null icon.
    int AjouterIcone(const QIcon& icone);
    int Nombre() const { return static_cast<int>(images_.size()); }
    // The image at index, or a null pixmap for -1 and any index out of range.
    QPixmap Image(int index) const;

private:
    std::vector<QPixmap> images_;
};
