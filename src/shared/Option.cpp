#include "shared/Option.h"

#include "shared/Registre.h"

#include <iostream>
#include <optional>
#include <utility>

namespace {

constexpr int32_t DessinMin = 1;
constexpr int32_t DessinMax = 3;

Resultat<std::optional<int32_t>> Lire(const char* nom)
{
    return LireRegistre(Option::Racine, Option::Cle, nom);
}

}  // namespace

Resultat<void> Option::Charger()
{
    Registre::Valeurs manquants;
    // A stored boolean: true for any non-zero value; missing, it is true
    // and 1 is to be written.
    for (auto [nom, champ] : {std::pair{"FichierCache", &FichierCache}, std::pair{"RepertoireCache", &RepertoireCache},
                              std::pair{"SousRepertoire", &SousRepertoire}}) {
        const auto lue = Lire(nom);
        if (!lue)
            return lue.Echec();
        *champ = lue.Valeur().value_or(1) != 0;
        if (!lue.Valeur())
            manquants.emplace_back(nom, 1);
    }

    const auto dessin = Lire("DessinSon");
    if (!dessin)
        return dessin.Echec();
    if (!dessin.Valeur())
        manquants.emplace_back("DessinSon", 1);
    DessinSon = dessin.Valeur().value_or(0);

    // Read as stored (0 when missing); the tree manager turns an invalid
    // order into its default.
    for (auto [nom, champ] : {std::pair{"TreeVideo", &TreeVideo}, std::pair{"TreeSon", &TreeSon},
                              std::pair{"TreeImage", &TreeImage}, std::pair{"TreeTexte", &TreeTexte}}) {
        const auto ordre = Lire(nom);
        if (!ordre)
            return ordre.Echec();
        *champ = ordre.Valeur().value_or(0);
    }

    // The defaults of the missing values, in one write. A folder that takes
    // no file does not keep the user out: the run goes on with the values
    // read, and the user is told once.
    if (const Resultat<void> ecrite = Registre::EcrireValeurs(Racine, Cle, manquants); !ecrite)
        std::cerr << "Ruvizaro : les réglages ne peuvent pas être enregistrés dans " << Registre::Dossier() << " ("
                  << ecrite.Echec().Complet() << ")" << std::endl;
    return {};
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

Resultat<void> Option::Sauver()
{
    // The sound player keeps the drawing in range once it has chosen one;
    // until then the field may hold 0, which is never stored.
    const int32_t dessin = DessinSon >= DessinMin && DessinSon <= DessinMax ? DessinSon : DessinMin;
    return Registre::EcrireValeurs(Racine, Cle,
                                   {{"SousRepertoire", SousRepertoire ? 1 : 0},
                                    {"RepertoireCache", RepertoireCache ? 1 : 0},
                                    {"FichierCache", FichierCache ? 1 : 0},
                                    {"TreeVideo", TreeVideo},
                                    {"TreeSon", TreeSon},
                                    {"TreeImage", TreeImage},
                                    {"TreeTexte", TreeTexte},
                                    {"DessinSon", dessin}});
}
