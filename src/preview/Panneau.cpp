#include "preview/Panneau.h"

#include "widgets/Etiquette.h"

const QString Panneau::TailleSeule = "Taille :";
const QString Panneau::PrefixeTaille = "Taille : ";
const QString Panneau::TailleNulle = "0 Ko";

void Panneau::AppliquerRegleTaille(Etiquette* label, const QString& taille)
{
    label->DefinirTexte(TailleSeule);
    if (taille != TailleNulle)
        label->DefinirTexte(PrefixeTaille + taille);
}
