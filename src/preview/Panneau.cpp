#include "preview/Panneau.h"

#include "classification/NomFichier.h"
#include "widgets/Etiquette.h"
#include "widgets/Fabrique.h"

#include <QColor>
#include <QWidget>

namespace {

const QColor CouleurMessage(0x90, 0x10, 0x10);

} // namespace

const QString Panneau::TailleSeule = "Taille :";
const QString Panneau::PrefixeTaille = "Taille : ";
const QString Panneau::TailleNulle = "0 Ko";

Panneau::Panneau(QWidget* fenetre, const TFormImage& skin) : fenetre_(fenetre), skin_(skin) {}

void Panneau::Montrer(bool montrer)
{
    montre_ = montrer;
    for (QWidget* composant : composants_)
        composant->setVisible(montrer);
}

void Panneau::AppliquerRegleTaille(Etiquette* label, const QString& taille)
{
    label->DefinirTexte(TailleSeule);
    if (taille != TailleNulle)
        label->DefinirTexte(PrefixeTaille + taille);
}

void Panneau::AfficherNom(Etiquette* nom, Etiquette* extension, const FichierApercu& fichier, const QString& prefixe)
{
    nom->DefinirTexte(fichier.Nom);
    nom->DefinirHint(NomFichier::Texte(fichier.Chemin), true);
    extension->DefinirTexte(prefixe + fichier.Ext.toUpper());
}

Etiquette* Panneau::CreerMessage(QWidget* fenetre, const QString& nom)
{
    Etiquette* message = Fabrique::Label(fenetre, nom, {}, QPoint(413, 233), Fabrique::Verdana, 10, false,
                                         CouleurMessage, Fabrique::Fond, QSize(160, 32));
    message->setAlignment(Qt::AlignCenter);
    message->setWordWrap(true);
    message->hide();
    return message;
}

void Panneau::DireMessage(Etiquette* message, const QString& texte) const
{
    message->DefinirTexte(texte);
    message->setVisible(montre_ && !texte.isEmpty());
}
