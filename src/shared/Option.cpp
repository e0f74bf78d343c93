#include "shared/Option.h"

#include "shared/Registre.h"

#include <iostream>
#include <utility>

namespace {

constexpr int32_t DessinMin = 1;
constexpr int32_t DessinMax = 3;

// A stored boolean: read as true for any non-zero value; missing, it is
// read as true and 1 is to be written.
bool ChargerBooleen(const char* nom, Registre::Valeurs& manquants)
{
    int32_t valeur = 0;
    if (LireRegistre(Option::Racine, Option::Cle, nom, valeur))
        return valeur != 0;
    manquants.emplace_back(nom, 1);
    return true;
}

int32_t LireOuZero(const char* nom)
{
    int32_t valeur = 0;
    return LireRegistre(Option::Racine, Option::Cle, nom, valeur) ? valeur : 0;
}

}  // namespace

void Option::Charger()
{
    Registre::Valeurs manquants;
    FichierCache = ChargerBooleen("FichierCache", manquants);
    RepertoireCache = ChargerBooleen("RepertoireCache", manquants);
    SousRepertoire = ChargerBooleen("SousRepertoire", manquants);

    int32_t dessin = 0;
    if (LireRegistre(Racine, Cle, "DessinSon", dessin)) {
        DessinSon = dessin;
    } else {
        manquants.emplace_back("DessinSon", 1);
        DessinSon = 0;
    }

    // Read as stored; the tree manager turns an invalid order into its default.
    TreeVideo = LireOuZero("TreeVideo");
    TreeSon = LireOuZero("TreeSon");
    TreeImage = LireOuZero("TreeImage");
    TreeTexte = LireOuZero("TreeTexte");

    // The defaults of the missing values, in one write. A folder that takes
    // no file does not keep the user out: the run goes on with the values
    // read, and the user is told once.
    try {
        Registre::EcrireValeurs(Racine, Cle, manquants);
    } catch (const ErreurRegistre& erreur) {
        std::cerr << "Ruvizaro: settings cannot be saved in " << Registre::Dossier() << " (" << erreur.what()
                  << ")" << std::endl;
    }
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
    // The sound player keeps the drawing in range once it has chosen one;
    // until then the field may hold 0, which is never stored.
    const int32_t dessin = DessinSon >= DessinMin && DessinSon <= DessinMax ? DessinSon : DessinMin;
    Registre::EcrireValeurs(Racine, Cle,
                            {{"SousRepertoire", SousRepertoire ? 1 : 0},
                             {"RepertoireCache", RepertoireCache ? 1 : 0},
                             {"FichierCache", FichierCache ? 1 : 0},
                             {"TreeVideo", TreeVideo},
                             {"TreeSon", TreeSon},
                             {"TreeImage", TreeImage},
                             {"TreeTexte", TreeTexte},
                             {"DessinSon", dessin}});
}
