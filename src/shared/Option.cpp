#include "shared/Option.h"

#include "shared/Registre.h"

#include <cstdint>
#include <iostream>
#include <optional>
#include <utility>

namespace {

Resultat<std::optional<int32_t>> Lire(const char* nom)
{
    return LireRegistre(Option::Racine, Option::Cle, nom);
}

const char* NomOrdre(Categorie categorie)
{
    switch (categorie) {
    case Categorie::Video:
        return "TreeVideo";
    case Categorie::Son:
        return "TreeSon";
    case Categorie::Image:
        return "TreeImage";
    default:
        return "TreeTexte";
    }
}

}  // namespace

Ordre Option::OrdreParDefaut(Categorie categorie)
{
    return categorie == Categorie::Texte ? Ordre::Extension : Ordre::Repertoire;
}

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

    // The drawing: 1..3 kept, any other number the waveform; missing, it is
    // the waveform and 1 is to be written.
    const auto dessin = Lire("DessinSon");
    if (!dessin)
        return dessin.Echec();
    if (!dessin.Valeur())
        manquants.emplace_back("DessinSon", Code(Dessin::Onde));
    const int32_t codeDessin = dessin.Valeur().value_or(0);
    DessinSon = DessinValide(codeDessin) ? static_cast<Dessin>(codeDessin) : Dessin::Onde;

    // An order out of range, or missing, is its category's default in
    // memory; Sauver stores it at close.
    for (Categorie categorie : Categories) {
        const auto ordre = Lire(NomOrdre(categorie));
        if (!ordre)
            return ordre.Echec();
        const int32_t code = ordre.Valeur().value_or(0);
        OrdreArbre(categorie) = OrdreValide(code) ? static_cast<Ordre>(code) : OrdreParDefaut(categorie);
    }

    // The defaults of the missing values, in one write. A folder that takes
    // no file does not keep the user out: the run goes on with the values
    // read, and the user is told once.
    if (const Resultat<void> ecrite = Registre::EcrireValeurs(Racine, Cle, manquants); !ecrite)
        std::cerr << "Ruvizaro : les réglages ne peuvent pas être enregistrés dans " << Registre::Dossier() << " ("
                  << ecrite.Echec().Complet() << ")" << std::endl;
    return {};
}

Ordre& Option::OrdreArbre(Categorie categorie)
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
    // The fields hold valid values once loaded. The orders are stored as
    // they are held; a drawing forced out of range by a cast is still never
    // stored, as the file has only ever held 1..3 there.
    const int32_t dessin = DessinValide(Code(DessinSon)) ? Code(DessinSon) : Code(Dessin::Onde);
    return Registre::EcrireValeurs(Racine, Cle,
                                   {{"SousRepertoire", SousRepertoire ? 1 : 0},
                                    {"RepertoireCache", RepertoireCache ? 1 : 0},
                                    {"FichierCache", FichierCache ? 1 : 0},
                                    {NomOrdre(Categorie::Video), Code(TreeVideo)},
                                    {NomOrdre(Categorie::Son), Code(TreeSon)},
                                    {NomOrdre(Categorie::Image), Code(TreeImage)},
                                    {NomOrdre(Categorie::Texte), Code(TreeTexte)},
                                    {"DessinSon", dessin}});
}
