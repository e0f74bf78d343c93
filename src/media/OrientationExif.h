#pragma once

// A camera's orientation tag (Exif 0x0112) of a JPEG, read from its APP1
// segment, and the turn or mirror that shows the picture upright.

#include <QByteArray>
#include <QImage>

namespace OrientationExif {

constexpr int Normale = 1;

// 1 to 8 as the tag says; 1 when the file has no readable tag.
int Lire(const QByteArray& jpeg);
// Orientations 5 to 8 swap width and height.
bool Transpose(int orientation);
// The stored picture turned and mirrored as the orientation asks.
QImage Appliquer(const QImage& image, int orientation);

} // namespace OrientationExif
