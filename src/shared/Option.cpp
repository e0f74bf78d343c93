#include "shared/Option.h"

#include "shared/Registre.h"
#include "trees/GestionTreeView.h"

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

    const int32_t video = LireOuZero("TreeVideo");
    const int32_t son = LireOuZero("TreeSon");
    const int32_t image = LireOuZero("TreeImage");
    const int32_t texte = LireOuZero("TreeTexte");
    if (arbres_)
        arbres_->InitialiserOrdres(video, son, image, texte);
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
