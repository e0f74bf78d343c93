#include "widgets/Fabrique.h"

#include "widgets/Etiquette.h"
#include "widgets/ImageComposant.h"
#include "widgets/TFormImage.h"

#include <QSlider>

const QColor Fabrique::Fond(0xF4, 0xF4, 0xF4);
const QColor Fabrique::FondCompteurs(0xE5, 0xE5, 0xE5);
const QColor Fabrique::Pervenche(0x80, 0x80, 0xFF);

const QString Fabrique::Arial = "Liberation Sans";
const QString Fabrique::Verdana = "DejaVu Sans";
const QString Fabrique::TimesNewRoman = "Liberation Serif";
const QString Fabrique::ComicSans = "Comic Neue";

ImageComposant* Fabrique::Image(QWidget* parent, const QString& nom, const QRect& place, const QString& skin)
{
    auto* image = new ImageComposant(parent, place);
    image->setObjectName(nom);
    if (!skin.isEmpty())
        image->DefinirImage(TFormImage::Charger(skin));
    return image;
}

ImageComposant* Fabrique::Bouton(QWidget* parent, const QString& nom, const QRect& place, const QString& skin)
{
    auto* image = Image(parent, nom, place, skin);
    image->setCursor(Qt::PointingHandCursor);
    return image;
}

Etiquette* Fabrique::Label(QWidget* parent, const QString& nom, const QString& texte, const QPoint& position,
                           const QString& famille, int pixels, bool gras, const QColor& couleur, const QColor& fond,
                           const QSize& taille)
{
    auto* etiquette = new Etiquette(parent, texte, position, taille);
    etiquette->setObjectName(nom);
    etiquette->DefinirPolice(famille, pixels, gras);
    etiquette->DefinirCouleurTexte(couleur);
    etiquette->DefinirCouleurFond(fond);
    return etiquette;
}

Etiquette* Fabrique::LabelNom(QWidget* parent, const QString& nom, const QPoint& position)
{
    auto* etiquette = Label(parent, nom, QString(), position, Verdana, 11, true, Qt::black, Fond, QSize(156, 14));
    etiquette->setToolTipDuration(-1);
    etiquette->DefinirElision(Qt::ElideMiddle);
    return etiquette;
}

Etiquette* Fabrique::LabelPrevisu(QWidget* parent, const QString& nom, const QPoint& position, const QString& texte)
{
    return Label(parent, nom, texte, position, Verdana, 11, false, Qt::black, Fond);
}

QSlider* Fabrique::TrackBar(QWidget* parent, const QString& nom, const QRect& place)
{
    auto* barre = new QSlider(Qt::Horizontal, parent);
    barre->setObjectName(nom);
    barre->setGeometry(place);
    barre->setRange(0, 100);
    barre->setTickPosition(QSlider::NoTicks);
    barre->setFocusPolicy(Qt::NoFocus);
    barre->hide();
    return barre;
}

void Fabrique::Message(QWidget* fenetre, const QString& texte, const QString& titre, QMessageBox::Icon icone)
{
    if (fenetre)
        fenetre->setEnabled(false);
    QMessageBox boite(icone, titre, texte, QMessageBox::Ok);
    boite.exec();
    if (fenetre)
        fenetre->setEnabled(true);
}
