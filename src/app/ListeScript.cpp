#include "app/ListeScript.h"

#include "classification/Extension.h"
#include "scan/Exportation.h"
#include "scan/ScanAutonome.h"
#include "scan/Stockage.h"
#include "shared/Groupe.h"
#include "shared/Textes.h"
#include "shared/Travailleur.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <string>
#include <utility>
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

// The listing's text is made by two workers, a block of directory groups
// at a time, while the calling thread writes the blocks out in order; at
// most Fenetre blocks are made ahead of the writing.
class Fabrique
{
public:
    static constexpr size_t GroupesParBloc = 256;
    static constexpr size_t Fenetre = 8;

    struct Bloc
    {
        std::string Texte;
        size_t Omis = 0;      // paths the format cannot hold
        int64_t Fichiers = 0; // files looked at
        bool Pret = false;
    };

    Fabrique(Stockage& stockage, const LigneCommande::DemandeListe& demande,
             std::vector<std::pair<Categorie, int32_t>> groupes)
        : stockage_(stockage), demande_(demande), groupes_(std::move(groupes)),
          blocs_((groupes_.size() + GroupesParBloc - 1) / GroupesParBloc),
          anneau_(Fenetre), fils_{Travailleur([this](Travailleur& t) { Travailler(t); }),
                                  Travailleur([this](Travailleur& t) { Travailler(t); })}
    {
        for (Travailleur& fil : fils_)
            fil.Demarrer();
    }
    ~Fabrique()
    {
        {
            const std::lock_guard verrou(mutex_);
            arret_ = true;
        }
        change_.notify_all();
        for (Travailleur& fil : fils_)
            fil.Joindre();
    }
    Fabrique(const Fabrique&) = delete;
    Fabrique& operator=(const Fabrique&) = delete;

    size_t Blocs() const { return blocs_; }
    // The calling thread: the block numbered bloc once made; blocks are
    // taken in order.
    Bloc Prendre(size_t bloc)
    {
        std::unique_lock verrou(mutex_);
        Bloc& place = anneau_[bloc % Fenetre];
        change_.wait(verrou, [&] { return place.Pret; });
        Bloc pris = std::move(place);
        place = Bloc{};
        pris_ = bloc + 1;
        verrou.unlock();
        change_.notify_all();
        return pris;
    }

private:
    void Travailler(Travailleur& travailleur)
    {
        std::unique_lock verrou(mutex_);
        for (;;) {
            if (!travailleur.Attendre(verrou, change_,
                                      [&] { return arret_ || suivant_ >= blocs_ || suivant_ < pris_ + Fenetre; }) ||
                arret_ || suivant_ >= blocs_)
                return;
            const size_t bloc = suivant_++;
            verrou.unlock();
            Bloc fait;
            Faire(bloc, fait);
            verrou.lock();
            anneau_[bloc % Fenetre] = std::move(fait);
            anneau_[bloc % Fenetre].Pret = true;
            change_.notify_all();
        }
    }

    void Faire(size_t bloc, Bloc& fait) const
    {
        const bool chemins = demande_.Format == LigneCommande::FormatListe::Chemins;
        const Exportation::Format format = demande_.Format == LigneCommande::FormatListe::Tableau
                                               ? Exportation::Format::Tableau
                                               : Exportation::Format::ListeLecture;
        const size_t fin = std::min(groupes_.size(), (bloc + 1) * GroupesParBloc);
        for (size_t i = bloc * GroupesParBloc; i < fin; ++i) {
            const auto [categorie, groupe] = groupes_[i];
            const std::vector<std::string> liste =
                stockage_.CheminsGroupe(Groupe{{categorie, Ordre::Repertoire}, groupe});
            fait.Fichiers += static_cast<int64_t>(liste.size());
            for (const std::string& chemin : liste) {
                if (!chemins) {
                    fait.Omis += Exportation::AjouterEntree(format, chemin, fait.Texte) ? 0 : 1;
                } else if (demande_.Nul) {
                    fait.Texte.append(chemin).push_back('\0');
                } else if (std::memchr(chemin.data(), '\n', chemin.size())) {
                    ++fait.Omis;
                } else {
                    fait.Texte.append(chemin).push_back('\n');
                }
            }
        }
    }

    Stockage& stockage_;
    const LigneCommande::DemandeListe& demande_;
    const std::vector<std::pair<Categorie, int32_t>> groupes_;
    const size_t blocs_;
    std::mutex mutex_;
    std::condition_variable_any change_;
    std::vector<Bloc> anneau_; // block b in place b % Fenetre
    size_t suivant_ = 0;       // the next block to make
    size_t pris_ = 0;          // blocks taken by the writer
    bool arret_ = false;
    std::array<Travailleur, 2> fils_; // last: started once everything above exists
};

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
        return static_cast<size_t>(total);
    };
    ScanAutonome(stockage).Executer(
        racine, demande.Reglages, avancement.Actif() ? PeriodeAvancement : std::chrono::milliseconds{}, [&] {
            avancement.Montrer("ruvizaro : parcours, " + Pluriel(trouves(), "fichier trouvé", "fichiers trouvés"));
        });

    std::vector<std::pair<Categorie, int32_t>> groupes;
    int64_t total = 0;
    for (Categorie categorie : Categories) {
        if (demande.Cat && *demande.Cat != categorie)
            continue;
        // The directory groups in filing order: the walk's.
        for (int32_t groupe = 0, n = stockage.NombreRepertoires(categorie); groupe < n; ++groupe)
            groupes.emplace_back(categorie, groupe);
        total += stockage.Compteur(categorie);
    }

    Sortie sortie;
    if (demande.Format == LigneCommande::FormatListe::Tableau)
        sortie.Tampon() = Exportation::Texte(Exportation::Format::Tableau, {});
    else if (demande.Format == LigneCommande::FormatListe::ListeLecture)
        sortie.Tampon() = Exportation::Texte(Exportation::Format::ListeLecture, {});
    size_t omis = 0;
    int64_t faits = 0;
    {
        Fabrique fabrique(stockage, demande, std::move(groupes));
        for (size_t bloc = 0; bloc < fabrique.Blocs(); ++bloc) {
            const Fabrique::Bloc pris = fabrique.Prendre(bloc);
            sortie.Tampon().append(pris.Texte);
            omis += pris.Omis;
            faits += pris.Fichiers;
            if (!sortie.Vider())
                break;
            if (avancement.Actif())
                avancement.Montrer("ruvizaro : écriture, " + Textes::Nombre(faits) + " / " +
                                       Pluriel(static_cast<size_t>(total), "fichier", "fichiers"),
                                   false);
        }
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
