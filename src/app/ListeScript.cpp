#include "app/ListeScript.h"

#include "classification/Extension.h"
#include "scan/Exportation.h"
#include "scan/ScanAutonome.h"
#include "scan/Stockage.h"
#include "shared/Groupe.h"
#include "shared/Textes.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <numeric>
#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr size_t TailleTampon = size_t{1} << 20;
constexpr auto PeriodeAvancement = std::chrono::milliseconds(100);

bool EcrireTout(int fd, std::string_view texte)
{
    while (!texte.empty()) {
        const ssize_t n = ::write(fd, texte.data(), texte.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        texte.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

// Standard output through a buffer of ours; nothing more is written after
// the first failed write.
class Sortie
{
public:
    Sortie() { tampon_.reserve(TailleTampon + 4096); }
    std::string& Tampon() { return tampon_; }
    // Writes the buffer once it is full, or whatever it holds with tout;
    // false once a write has failed.
    bool Vider(bool tout = false)
    {
        if (erreur_ != 0)
            return false;
        if (!tout && tampon_.size() < TailleTampon)
            return true;
        if (!EcrireTout(STDOUT_FILENO, tampon_)) {
            erreur_ = errno != 0 ? errno : EIO;
            return false;
        }
        tampon_.clear();
        return true;
    }
    int Erreur() const { return erreur_; }

private:
    std::string tampon_;
    int erreur_ = 0;
};

// One line on stderr, written over and over, when stderr is a terminal.
class Avancement
{
public:
    Avancement() : actif_(::isatty(STDERR_FILENO) == 1) {}
    bool Actif() const { return actif_; }
    // Shows the text, at most once a period unless toujours.
    void Montrer(const std::string& texte, bool toujours = true)
    {
        const auto maintenant = std::chrono::steady_clock::now();
        if (!actif_ || (!toujours && maintenant - dernier_ < PeriodeAvancement))
            return;
        dernier_ = maintenant;
        montre_ = true;
        EcrireTout(STDERR_FILENO, "\r\033[K" + texte);
    }
    void Effacer()
    {
        if (montre_)
            EcrireTout(STDERR_FILENO, "\r\033[K");
        montre_ = false;
    }

private:
    const bool actif_;
    bool montre_ = false;
    std::chrono::steady_clock::time_point dernier_{};
};

// Whether the directory can be listed; says why not on stderr.
bool DossierLisible(const std::string& chemin)
{
    const int fd = Explorateur::OuvrirChemin(chemin, O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::close(fd);
        return true;
    }
    const int cause = errno;
    std::string pourquoi;
    if (cause == ENOENT)
        pourquoi = "n'existe pas";
    else if (cause == ENOTDIR)
        pourquoi = "n'est pas un dossier";
    else if (cause == EACCES || cause == EPERM)
        pourquoi = "ne peut être lu : permission refusée";
    else
        pourquoi = std::string("ne peut être lu : ") + std::strerror(cause);
    std::fprintf(stderr, "ruvizaro : « %s » %s\n", chemin.c_str(), pourquoi.c_str());
    return false;
}

std::string Pluriel(size_t nombre, const char* singulier, const char* pluriel)
{
    return Textes::Nombre(static_cast<int64_t>(nombre)) + " " + (nombre > 1 ? pluriel : singulier);
}

// The directory groups of a category, in the byte order of their
// directories' paths.
std::vector<int32_t> GroupesTries(Stockage& stockage, Categorie categorie)
{
    const int nombre = stockage.NombreRepertoires(categorie);
    std::vector<std::string> dossiers(static_cast<size_t>(nombre));
    for (int32_t groupe = 0; groupe < nombre; ++groupe) {
        std::string chemin = stockage.CheminFichier(Groupe{{categorie, Ordre::Repertoire}, groupe}, 0);
        chemin.resize(std::min(chemin.size(), chemin.rfind('/')));
        dossiers[static_cast<size_t>(groupe)] = std::move(chemin);
    }
    std::vector<int32_t> ordre(dossiers.size());
    std::iota(ordre.begin(), ordre.end(), 0);
    std::sort(ordre.begin(), ordre.end(), [&](int32_t a, int32_t b) {
        return dossiers[static_cast<size_t>(a)] < dossiers[static_cast<size_t>(b)];
    });
    return ordre;
}

} // namespace

int ListeScript::Executer(const LigneCommande& ligne)
{
    // A closed pipe (`| head`) is a failed write, which ends the listing.
    std::signal(SIGPIPE, SIG_IGN);
    const std::string racine = ligne.Repertoire.toStdString();
    if (!DossierLisible(racine))
        return CodeIllisible;
    const LigneCommande::DemandeListe& demande = ligne.Liste;

    Extension extension;
    extension.Remplir();
    Stockage stockage;
    stockage.Lier(&extension);
    Avancement avancement;
    const auto trouves = [&] {
        int64_t total = 0;
        for (Categorie categorie : Categories)
            total += stockage.Compteur(categorie);
        return total;
    };
    ScanAutonome(stockage).Executer(
        racine, demande.Reglages, avancement.Actif() ? PeriodeAvancement : decltype(PeriodeAvancement){}, [&] {
            avancement.Montrer("ruvizaro : parcours, " +
                               Pluriel(static_cast<size_t>(trouves()), "fichier trouvé", "fichiers trouvés"));
        });

    std::vector<Categorie> categories(Categories.begin(), Categories.end());
    if (demande.Cat)
        categories = {*demande.Cat};
    int64_t total = 0;
    for (Categorie categorie : categories)
        total += stockage.Compteur(categorie);

    const bool tableau = demande.Format == LigneCommande::FormatListe::Tableau;
    const Exportation::Format format = tableau ? Exportation::Format::Tableau : Exportation::Format::ListeLecture;
    Sortie sortie;
    std::string& tampon = sortie.Tampon();
    if (demande.Format != LigneCommande::FormatListe::Chemins)
        tampon = Exportation::Texte(format, {});
    size_t omis = 0;
    int64_t ecrits = 0;
    for (Categorie categorie : categories) {
        for (int32_t groupe : GroupesTries(stockage, categorie)) {
            const std::vector<std::string> chemins =
                stockage.CheminsGroupe(Groupe{{categorie, Ordre::Repertoire}, groupe});
            for (const std::string& chemin : chemins) {
                if (demande.Format != LigneCommande::FormatListe::Chemins) {
                    omis += Exportation::AjouterEntree(format, chemin, tampon) ? 0 : 1;
                } else if (demande.Nul) {
                    tampon.append(chemin).push_back('\0');
                } else if (std::memchr(chemin.data(), '\n', chemin.size())) {
                    ++omis;
                } else {
                    tampon.append(chemin).push_back('\n');
                }
            }
            ecrits += static_cast<int64_t>(chemins.size());
            if (!sortie.Vider())
                break;
            avancement.Montrer("ruvizaro : écriture, " + Textes::Nombre(ecrits) + " / " +
                                   Pluriel(static_cast<size_t>(total), "fichier", "fichiers"),
                               false);
        }
        if (sortie.Erreur() != 0)
            break;
    }
    sortie.Vider(true);
    avancement.Effacer();

    if (const int cause = sortie.Erreur(); cause != 0) {
        // The reader has gone (`| head`): nothing to say.
        if (cause != EPIPE)
            std::fprintf(stderr, "ruvizaro : écriture impossible sur la sortie standard : %s\n", std::strerror(cause));
        return CodeEcriture;
    }
    if (omis > 0)
        std::fprintf(
            stderr, "ruvizaro : %s de côté : %s\n",
            Pluriel(omis, "chemin contenant un saut de ligne laissé", "chemins contenant un saut de ligne laissés")
                .c_str(),
            demande.Format == LigneCommande::FormatListe::Chemins
                ? "une ligne ne peut pas le contenir (l'option -0 les écrit)"
                : "une liste M3U8 ne peut pas le contenir");
    return 0;
}
