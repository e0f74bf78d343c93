#include "preview/Panneau.h"

#include "classification/NomFichier.h"
#include "widgets/Etiquette.h"

#include <QWidget>

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
