#include "widgets/TFormImage.h"

#include "media/DecodeurJpeg.h"

#include <QFile>
#include <QImage>

#include <stdexcept>

TFormImage* FormImage = nullptr;

TFormImage::TFormImage(QWidget* parent) : QWidget(parent)
{
    setWindowTitle("TImage");
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
    ImageTexte = Charger("ImageTexte.jpg");
}

QPixmap TFormImage::Charger(const QString& nom)
{
    QFile fichier(":/skin/" + nom);
    if (!fichier.open(QIODevice::ReadOnly))
        throw std::runtime_error("Missing skin picture " + nom.toStdString());
    const QByteArray donnees = fichier.readAll();
    if (nom.endsWith(".jpg")) {
        DecodeurJpeg::Resultat resultat;
        if (!DecodeurJpeg::Decoder(donnees, resultat))
            throw std::runtime_error("Unreadable skin picture " + nom.toStdString());
        return QPixmap::fromImage(resultat.Image);
    }
    QImage image;
    if (!image.loadFromData(donnees))
        throw std::runtime_error("Unreadable skin picture " + nom.toStdString());
    return QPixmap::fromImage(image);
}
