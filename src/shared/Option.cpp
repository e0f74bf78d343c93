#include "shared/Option.h"

#include "shared/Registre.h"
#include "shared/Travailleur.h"

#include <condition_variable>
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

// The nine values in the order of a save, with the numbers each may hold
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

// One bit per category.
bool MasqueCategories(int32_t valeur)
{
    return valeur >= 0 && valeur < (1 << NombreCategories);
}

constexpr ValeurStockee ValeursStockees[] = {
    {"SousRepertoire", Booleen}, {"RepertoireCache", Booleen}, {"FichierCache", Booleen},
    {"TreeVideo", OrdreValide},  {"TreeSon", OrdreValide},     {"TreeImage", OrdreValide},
    {"TreeTexte", OrdreValide},  {"DessinSon", DessinValide},  {"ParTaille", MasqueCategories}};

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
    const auto parTaille = Lire("ParTaille");
    if (!parTaille)
        return parTaille.Echec();
    const int32_t masque = MasqueCategories(parTaille.Valeur().value_or(0)) ? parTaille.Valeur().value_or(0) : 0;
    for (size_t i = 0; i < ParTaille.size(); ++i)
        ParTaille[i] = (masque >> i & 1) != 0;

    const auto dernier = LireTexteRegistre(Racine, Cle, "DernierRepertoire");
    if (!dernier)
        return dernier.Echec();
    DernierRepertoire = dernier.Valeur().value_or(std::string());
    {
        const std::lock_guard garde(mutexConnues_);
        connues_ = Stockees();
    }

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
    if (const Resultat<void> ecrite =
            Registre::Modifier(Racine, Cle, defauts, AttenteVerrou{std::chrono::seconds(1), {}, nullptr});
        !ecrite)
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
    int32_t parTaille = 0;
    for (size_t i = 0; i < ParTaille.size(); ++i)
        parTaille |= ParTaille[i] ? 1 << i : 0;
    return {SousRepertoire ? 1 : 0,
            RepertoireCache ? 1 : 0,
            FichierCache ? 1 : 0,
            Code(TreeVideo),
            Code(TreeSon),
            Code(TreeImage),
            Code(TreeTexte),
            dessin,
            parTaille};
}

Resultat<void> Option::Sauver()
{
    return Ecrire(Stockees(), std::nullopt, {});
}

Resultat<void> Option::RetenirRepertoire(const std::string& chemin)
{
    DernierRepertoire = chemin;
    return Ecrire(std::nullopt, chemin, {});
}

Resultat<void> Option::Ecrire(const std::optional<Tenues>& valeurs, const std::optional<std::string>& repertoire,
                              const AttenteVerrou& attente)
{
    const std::lock_guard garde(mutexConnues_);
    // Chosen under the file's lock: what this copy changed, and what the
    // file lacks or holds out of range. The rest may be another copy's.
    const auto aEcrire = [this, &valeurs, &repertoire](const Registre::Cle& surDisque) {
        Registre::Valeurs aSauver;
        for (size_t i = 0; valeurs && i < NombreValeurs; ++i)
            if (!connues_ || (*valeurs)[i] != (*connues_)[i] || !ValideSurDisque(surDisque, ValeursStockees[i]))
                aSauver.emplace_back(ValeursStockees[i].Nom, (*valeurs)[i]);
        if (repertoire)
            aSauver.emplace_back("DernierRepertoire", *repertoire);
        return aSauver;
    };
    bool indisponible = false;
    AttenteVerrou attenteVerrou = attente;
    attenteVerrou.Indisponible = &indisponible;
    const Resultat<void> sauvegarde = Registre::Modifier(Racine, Cle, aEcrire, attenteVerrou);
    if (attente.Indisponible)
        *attente.Indisponible = indisponible;
    if (sauvegarde && valeurs)
        connues_ = *valeurs;
    if (!indisponible)
        return sauvegarde;
    // Named as a refused write: the first value this copy changed.
    std::string premier = valeurs ? ValeursStockees[0].Nom : "DernierRepertoire";
    for (size_t i = 0; valeurs && connues_ && i < NombreValeurs; ++i)
        if ((*valeurs)[i] != (*connues_)[i]) {
            premier = ValeursStockees[i].Nom;
            break;
        }
    return Erreur{"Failed to set data for '" + premier + "'", sauvegarde.Echec().Message};
}

// The saving thread and what it is handed: the latest values and folder
// not yet written, numbered so that a wait knows when its own are.
struct Option::Enregistreur
{
    explicit Enregistreur(Option& option) : Fil([this, &option](Travailleur& fil) { Boucle(option, fil); }) {}

    void Boucle(Option& option, Travailleur& fil);

    std::mutex Mutex;
    std::condition_variable_any Cv; // something handed over, or written
    std::optional<Tenues> Valeurs;
    std::optional<std::string> Repertoire;
    std::function<void(const Erreur&)> SiEchec;
    uint64_t Confiees = 0;   // hand-overs so far
    uint64_t Ecrites = 0;    // hand-overs written, or refused, so far
    Resultat<void> Derniere; // of the last write
    // Why what waits is not written yet: the lock held elsewhere.
    std::optional<Erreur> Retenu;
    Travailleur Fil; // last: stopped before the rest goes
};

void Option::Enregistreur::Boucle(Option& option, Travailleur& fil)
{
    for (;;) {
        if (!fil.PointDeControle())
            return;
        std::unique_lock verrou(Mutex);
        if (!fil.Attendre(verrou, Cv, [this] { return Valeurs || Repertoire; }))
            continue;
        std::optional<Tenues> valeurs = std::exchange(Valeurs, std::nullopt);
        std::optional<std::string> repertoire = std::exchange(Repertoire, std::nullopt);
        std::function<void(const Erreur&)> siEchec = std::exchange(SiEchec, {});
        const uint64_t numero = Confiees;
        verrou.unlock();
        // A bounded wait for the lock, then another try with whatever is
        // newest by then.
        bool indisponible = false;
        const Resultat<void> ecrite =
            option.Ecrire(valeurs, repertoire, AttenteVerrou{std::chrono::seconds(1), fil.Jeton(), &indisponible});
        verrou.lock();
        if (indisponible) {
            if (!Valeurs && valeurs) {
                Valeurs = std::move(valeurs);
                SiEchec = std::move(siEchec);
            }
            if (!Repertoire && repertoire)
                Repertoire = std::move(repertoire);
            Retenu = ecrite.Echec();
            Cv.notify_all();
            continue;
        }
        Retenu.reset();
        Ecrites = numero;
        Derniere = ecrite;
        Cv.notify_all();
        verrou.unlock();
        if (ecrite)
            continue;
        if (valeurs && siEchec)
            siEchec(ecrite.Echec());
        if (repertoire)
            std::cerr << "Ruvizaro : le dernier répertoire ne peut pas être enregistré (" << ecrite.Echec().Complet()
                      << ")" << std::endl;
    }
}

Option::Option() = default;

Option::~Option() = default;

Option::Enregistreur& Option::Enregistrement()
{
    if (!enregistreur_) {
        enregistreur_ = std::make_unique<Enregistreur>(*this);
        enregistreur_->Fil.Demarrer();
    }
    return *enregistreur_;
}

void Option::Confier(std::function<void(const Erreur&)> siEchec)
{
    const Tenues tenues = Stockees();
    Enregistrement();
    {
        const std::lock_guard garde(enregistreur_->Mutex);
        enregistreur_->Valeurs = tenues;
        enregistreur_->SiEchec = std::move(siEchec);
        ++enregistreur_->Confiees;
    }
    enregistreur_->Cv.notify_all();
}

Resultat<void> Option::ConfierRepertoire(const std::string& chemin)
{
    DernierRepertoire = chemin;
    // The file holds one value a line.
    if (chemin.find_first_of("\r\n") != std::string::npos)
        return Erreur{"Failed to set data for 'DernierRepertoire'", "un texte sur plusieurs lignes"};
    Enregistrement();
    {
        const std::lock_guard garde(enregistreur_->Mutex);
        enregistreur_->Repertoire = chemin;
        ++enregistreur_->Confiees;
    }
    enregistreur_->Cv.notify_all();
    return {};
}

Resultat<void> Option::AttendreEnregistrement(std::chrono::milliseconds limite)
{
    if (!enregistreur_)
        return {};
    Enregistreur& e = *enregistreur_;
    std::unique_lock verrou(e.Mutex);
    const uint64_t attendue = e.Confiees;
    if (e.Cv.wait_for(verrou, limite, [&] { return e.Ecrites >= attendue; }))
        return e.Derniere;
    if (e.Retenu)
        return *e.Retenu;
    return Erreur{"Failed to set data for 'SousRepertoire'",
                  "l'enregistrement n'est pas fini au bout de " + std::to_string(limite.count()) + " ms"};
}

void Option::TerminerEnregistrements()
{
    if (!enregistreur_)
        return;
    (void)AttendreEnregistrement(AttenteFermeture);
    enregistreur_->Fil.Arreter();
}

std::string Option::LigneLecture(const Erreur& erreur)
{
    return "Les réglages de " + Registre::FichierRuche(Racine).value_or(Racine) +
           " ne peuvent pas être lus : " + (erreur.Cause.empty() ? erreur.Message : erreur.Cause) + ".";
}

std::string Option::LigneEnregistrement(const Erreur& erreur)
{
    return "Les réglages ne peuvent pas être enregistrés dans " + Registre::FichierRuche(Racine).value_or(Racine) +
           " : " + (erreur.Cause.empty() ? erreur.Message : erreur.Cause) + ".";
}
