#include "widgets/TFormImage.h"

#include "media/DecodeurJpeg.h"

#include <QFile>
#include <QGuiApplication>
#include <QImage>

#include <stdexcept>

TFormImage::TFormImage()
{
    ImgMenuHome = Charger("ImgMenuHome.jpg");
    ImgMenuVideo = Charger("ImgMenuVideo.jpg");
    ImgMenuSon = Charger("ImgMenuSon.jpg");
    ImgMenuImage = Charger("ImgMenuImage.jpg");
    ImgMenuTexte = Charger("ImgMenuTexte.jpg");
    ImgMenuTransfert = Charger("ImgMenuTransfert.jpg");
    ImgHomeSelection = Charger("ImgHomeSelection.bmp");
    ImgVideoSelection = Charger("ImgVideoSelection.bmp");
    ImgSonSelection = Charger("ImgSonSelection.bmp");
    ImgImageSelection = Charger("ImgImageSelection.bmp");
    ImgTexteSelection = Charger("ImgTexteSelection.bmp");
    ImgTransfertSelection = Charger("ImgTransfertSelection.bmp");
    ImgCloseBase = Charger("ImgCloseBase.jpg");
    ImgCloseClick = Charger("ImgCloseClick.jpg");
    ImgCloseMove = Charger("ImgCloseMove.jpg");
    ImgReduireBase = Charger("ImgReduireBase.jpg");
    ImgReduireCilck = Charger("ImgReduireCilck.jpg");
    ImgReduireMove = Charger("ImgReduireMove.jpg");
    ImgImageNonSupporte = Charger("ImgImageNonSupporte.jpg");
    ImgNonTrouve = Charger("ImgNonTrouve.jpg");
    ImgPlay = Charger("ImgPlay.bmp");
    ImgPause = Charger("ImgPause.bmp");
    ImgStop = Charger("ImgStop.bmp");
    ImageTexte = Charger("ImageTexte.jpg");
}

QPixmap TFormImage::Charger(const QString& nom)
{
    return Charger(nom, qGuiApp ? qGuiApp->devicePixelRatio() : 1.0);
}

QPixmap TFormImage::Charger(const QString& nom, qreal ratio)
{
    // On a high-density screen the skin's 2x drawing ("ImgFond@2x.jpg"),
    // shown at the same size in window pixels.
    const bool haute = ratio > 1.0;
    const QString fichierNom = haute ? nom.section('.', 0, -2) + "@2x." + nom.section('.', -1) : nom;
    QFile fichier(":/skin/" + fichierNom);
    if (!fichier.open(QIODevice::ReadOnly))
        throw std::runtime_error("Image de l'habillage introuvable : " + fichierNom.toStdString());
    const QByteArray donnees = fichier.readAll();
    QImage image;
    if (nom.endsWith(".jpg")) {
        DecodeurJpeg::Resultat resultat;
        if (DecodeurJpeg::Decoder(donnees, resultat))
            image = std::move(resultat.Image);
    } else {
        image.loadFromData(donnees);
    }
    if (image.isNull())
        throw std::runtime_error("Image de l'habillage illisible : " + fichierNom.toStdString());
    QPixmap pixmap = QPixmap::fromImage(image);
    pixmap.setDevicePixelRatio(haute ? 2.0 : 1.0);
    return pixmap;
}
