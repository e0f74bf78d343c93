#include "shared/Option.h"

#include "shared/Registre.h"

namespace {

// A stored boolean: read as true for any non-zero value; missing, it is
// written as 1 and read as true.
bool ChargerBooleen(const char* nom)
{
    int32_t valeur = 0;
    if (LireRegistre(Option::Racine, Option::Cle, nom, valeur))
        return valeur != 0;
    EcrireRegistre(Option::Racine, Option::Cle, nom, 1);
    return true;
}

int32_t LireOuZero(const char* nom)
{
    int32_t valeur = 0;
    return LireRegistre(Option::Racine, Option::Cle, nom, valeur) ? valeur : 0;
}

void Ecrire(const char* nom, int32_t valeur)
{
    EcrireRegistre(Option::Racine, Option::Cle, nom, valeur);
}

}  // namespace

void Option::Charger()
{
    FichierCache = ChargerBooleen("FichierCache");
    RepertoireCache = ChargerBooleen("RepertoireCache");
    SousRepertoire = ChargerBooleen("SousRepertoire");

    int32_t dessin = 0;
    if (LireRegistre(Racine, Cle, "DessinSon", dessin)) {
        DessinSon = dessin;
    } else {
        EcrireRegistre(Racine, Cle, "DessinSon", 1);
        DessinSon = 0;
    }

    // Read as stored; the tree manager turns an invalid order into its default.
    TreeVideo = LireOuZero("TreeVideo");
    TreeSon = LireOuZero("TreeSon");
    TreeImage = LireOuZero("TreeImage");
    TreeTexte = LireOuZero("TreeTexte");
}

int32_t& Option::OrdreArbre(Categorie categorie)
{
    switch (categorie) {
    case Categorie::Video:
        return TreeVideo;
    case Categorie::Son:
        return TreeSon;
    case Categorie::Image:
        return TreeImage;
    default:
        return TreeTexte;
    }
}

void Option::Sauver()
{
    Ecrire("SousRepertoire", SousRepertoire ? 1 : 0);
    Ecrire("RepertoireCache", RepertoireCache ? 1 : 0);
    Ecrire("FichierCache", FichierCache ? 1 : 0);
    Ecrire("TreeVideo", TreeVideo);
    Ecrire("TreeSon", TreeSon);
    Ecrire("TreeImage", TreeImage);
    Ecrire("TreeTexte", TreeTexte);
    Ecrire("DessinSon", DessinSon);
}
