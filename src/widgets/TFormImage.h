#pragma once

// The skin's pictures that the rooms copy or paint into the main window,
// loaded once; a plain value handed around by const reference.

#include <QPixmap>
#include <QString>

class TFormImage
{
public:
    // Loads every picture; raises std::runtime_error when one is missing.
    TFormImage();

    // A skin picture from the resources: JPEGs through libjpeg, bitmaps
    // through Qt; its 2x drawing when the screens' pixel ratio is above 1.
    // Raises std::runtime_error when the picture is missing.
    static QPixmap Charger(const QString& nom);
    static QPixmap Charger(const QString& nom, qreal ratio);

    QPixmap ImgMenuHome, ImgMenuVideo, ImgMenuSon, ImgMenuImage, ImgMenuTexte, ImgMenuTransfert;
    QPixmap ImgHomeSelection, ImgVideoSelection, ImgSonSelection, ImgImageSelection, ImgTexteSelection,
        ImgTransfertSelection;
    QPixmap ImgCloseBase, ImgCloseClick, ImgCloseMove, ImgReduireBase, ImgReduireCilck, ImgReduireMove;
    QPixmap ImgImageNonSupporte, ImgNonTrouve;
    QPixmap ImgPlay, ImgPause, ImgStop;
    QPixmap ImageTexte;
};
