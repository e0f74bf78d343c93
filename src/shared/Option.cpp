#include "shared/Option.h"

#include "shared/Registre.h"

#include <cstdint>
#include <iostream>
#include <variant>
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

// The eight values in the order of a save, with the numbers each may hold
// in the file.
struct ValeurStockee
{
    const char* Nom;
    bool (*Valide)(int32_t);
};

bool Booleen(int32_t valeur)
{
    return valeur == 0 || valeur == 1;
}

constexpr ValeurStockee ValeursStockees[] = {
    {"SousRepertoire", Booleen}, {"RepertoireCache", Booleen}, {"FichierCache", Booleen},  {"TreeVideo", OrdreValide},
    {"TreeSon", OrdreValide},    {"TreeImage", OrdreValide},   {"TreeTexte", OrdreValide}, {"DessinSon", DessinValide}};

// Whether the file holds a number that the value may hold.
bool ValideSurDisque(const Registre::Cle& surDisque, const ValeurStockee& valeur)
{
    const auto lue = surDisque.find(valeur.Nom);
    if (lue == surDisque.end())
        return false;
    const auto* entier = std::get_if<int32_t>(&lue->second);
    return entier && valeur.Valide(*entier);
}

} // namespace

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

    const auto dernier = LireTexteRegistre(Racine, Cle, "DernierRepertoire");
    if (!dernier)
        return dernier.Echec();
    DernierRepertoire = dernier.Valeur().value_or(std::string());
    connues_ = Stockees();

    // The defaults of the missing values, in one write, each only if no
    // other copy has written it meanwhile. A folder that takes no file does
    // not keep the user out: the run goes on with the values read, and the
    // user is told once.
    const auto defauts = [&manquants](const Registre::Cle& surDisque) {
        Registre::Valeurs encoreManquants;
        for (const auto& manquant : manquants)
            if (!surDisque.count(manquant.first))
                encoreManquants.push_back(manquant);
        return encoreManquants;
    };
    if (const Resultat<void> ecrite = Registre::Modifier(Racine, Cle, defauts); !ecrite)
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

std::array<int32_t, Option::NombreValeurs> Option::Stockees()
{
    // The fields hold valid values once loaded. A drawing forced out of
    // range by a cast is still never stored, as the file has only ever held
    // 1..3 there.
    const int32_t dessin = DessinValide(Code(DessinSon)) ? Code(DessinSon) : Code(Dessin::Onde);
    return {SousRepertoire ? 1 : 0, RepertoireCache ? 1 : 0, FichierCache ? 1 : 0, Code(TreeVideo),
            Code(TreeSon),          Code(TreeImage),         Code(TreeTexte),      dessin};
}

Resultat<void> Option::Sauver()
{
    const std::array<int32_t, NombreValeurs> tenues = Stockees();
    // Chosen under the file's lock: what this copy changed, and what the
    // file lacks or holds out of range. The rest may be another copy's.
    const auto aEcrire = [this, &tenues](const Registre::Cle& surDisque) {
        Registre::Valeurs valeurs;
        for (size_t i = 0; i < NombreValeurs; ++i)
            if (!connues_ || tenues[i] != (*connues_)[i] || !ValideSurDisque(surDisque, ValeursStockees[i]))
                valeurs.emplace_back(ValeursStockees[i].Nom, tenues[i]);
        return valeurs;
    };
    const Resultat<void> sauvegarde = Registre::Modifier(Racine, Cle, aEcrire);
    if (sauvegarde)
        connues_ = tenues;
    return sauvegarde;
}

Resultat<void> Option::RetenirRepertoire(const std::string& chemin)
{
    DernierRepertoire = chemin;
    return Registre::EcrireValeurs(Racine, Cle, {{"DernierRepertoire", chemin}});
}
