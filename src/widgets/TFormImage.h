#pragma once

// The skin window: never shown, it only holds the skin pictures that the
// managers copy or paint into the main window.

#include <QPixmap>
#include <QString>
#include <QWidget>

class TFormImage : public QWidget
{
    Q_OBJECT
public:
    explicit TFormImage(QWidget* parent = nullptr);

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
    QPixmap ImgPlay, ImgPause;
    QPixmap ImageTexte;
};

extern TFormImage* FormImage;
