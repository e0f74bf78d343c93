#include "ui/TFormPropos.h"

#include "widgets/Etiquette.h"
#include "widgets/ImageComposant.h"
#include "widgets/TFormImage.h"

#include <QCoreApplication>
#include <QPushButton>

namespace {

const QColor Argent(192, 192, 192);

Etiquette* CreerEtiquette(QWidget* parent, const QString& texte, int y)
{
    auto* etiquette = new Etiquette(parent, texte, QPoint(120, y));
    etiquette->DefinirPolice("Liberation Sans", 11, true);
    etiquette->DefinirCouleurTexte(Argent);
    etiquette->DefinirCouleurFond(QColor());
    return etiquette;
}

} // namespace

TFormPropos::TFormPropos(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    setObjectName("FormPropos");
    setWindowTitle("A Propos . . .");
    setFixedSize(Largeur, Hauteur);
    setModal(true);

    ImageFond = new ImageComposant(this, QRect(0, 0, Largeur, Hauteur));
    ImageFond->DefinirImage(TFormImage::Charger("ImageFondPropos.jpg"));

    ButtonOK = new QPushButton("OK", this);
    ButtonOK->setGeometry(256, 88, 75, 25);
    ButtonOK->setDefault(true);
    connect(ButtonOK, &QPushButton::clicked, this, &QDialog::accept);

    LabelLogiciel = CreerEtiquette(this, " Ruvizaro", 16);
    LabelLogiciel->resize(135, 14);
    LabelVersion = CreerEtiquette(this, " Version " + QCoreApplication::applicationVersion(), 36);
    LabelDescription = CreerEtiquette(this, " Vos fichiers classés par catégorie", 56);
    ButtonOK->setFocus();
}

int TFormPropos::Montrer(const QWidget* fenetre)
{
    if (fenetre) {
        const QRect cadre = fenetre->geometry();
        move(cadre.x() + (cadre.width() - width()) / 2, cadre.y() + (cadre.height() - height()) / 2);
    }
    // Read now: the box is built before the program has set its version.
    LabelVersion->setText(" Version " + QCoreApplication::applicationVersion());
    ButtonOK->setFocus();
    return exec();
}
