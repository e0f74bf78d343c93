#include "app/ListeScript.h"

#include "classification/Extension.h"
#include "scan/EcouteStockage.h"
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
#include <condition_variable>
#include <csignal>
#include <cstdio>
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
    // Shows the text, at most once a period.
    void Montrer(const std::string& texte)
    {
        const auto maintenant = std::chrono::steady_clock::now();
        if (!actif_ || maintenant - dernier_ < PeriodeAvancement)
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
// most Fenetre blocks are made ahead of the writing. The first category's
// groups are made while the walk runs, as the store files them; a
// category's last groups, and the next category, once it has ended.
class Fabrique : public EcouteStockage
{
public:
    static constexpr int32_t GroupesParBloc = 256;
    static constexpr size_t Fenetre = 8;

    struct Bloc
    {
        std::string Texte;
        size_t Omis = 0;      // paths the format cannot hold
        int64_t Fichiers = 0; // files looked at
        bool Pret = false;
    };
    enum class Prise { Bloc, Rien, Fin };

    Fabrique(Stockage& stockage, const LigneCommande::DemandeListe& demande, std::vector<Categorie> categories)
        : stockage_(stockage), demande_(demande), categories_(std::move(categories)),
          anneau_(Fenetre), fils_{Travailleur([this](Travailleur& t) { Travailler(t); }),
                                  Travailleur([this](Travailleur& t) { Travailler(t); })}
    {
        for (Travailleur& fil : fils_)
            fil.Demarrer();
    }
    ~Fabrique() override
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

    // Store worker: one more directory group of a category. The makers are
    // woken once a whole block of the category they make is there.
    void RepertoireClasse(Categorie categorie) override
    {
        {
            const std::lock_guard verrou(mutex_);
            if (courante_ >= categories_.size() || categories_[courante_] != categorie ||
                ++annonces_ < static_cast<size_t>(GroupesParBloc))
                return;
            annonces_ = 0;
        }
        change_.notify_all();
    }
    // Store worker: every directory is filed.
    void FinScan()
    {
        {
            const std::lock_guard verrou(mutex_);
            scanFini_ = true;
        }
        change_.notify_all();
    }

    // The calling thread: takes block number `bloc` (blocks are taken in
    // order) once it is made, waiting at most `limite` (0: as long as it
    // takes); Fin once every block is taken.
    Prise Prendre(size_t bloc, std::chrono::milliseconds limite, Bloc& pris)
    {
        std::unique_lock verrou(mutex_);
        Bloc& place = anneau_[bloc % Fenetre];
        const auto pret = [&] { return place.Pret || (courante_ >= categories_.size() && bloc >= suivant_); };
        if (limite.count() > 0)
            change_.wait_for(verrou, limite, pret);
        else
            change_.wait(verrou, pret);
        if (!place.Pret)
            return pret() ? Prise::Fin : Prise::Rien;
        pris = std::move(place);
        place = Bloc{};
        pris_ = bloc + 1;
        verrou.unlock();
        change_.notify_all();
        return Prise::Bloc;
    }

private:
    struct Travail
    {
        size_t Numero = 0;
        Categorie Cat = Categorie::Video;
        int32_t Debut = 0, Fin = 0;
    };

    // Lock held: the next block to make, if one can be made now. Walks on
    // to the next category once the scan has ended and a category is done.
    bool Suivant(Travail& travail)
    {
        while (courante_ < categories_.size()) {
            const Categorie categorie = categories_[courante_];
            const int32_t filed = stockage_.NombreRepertoires(categorie);
            const int32_t fin = std::min(filed, groupe_ + GroupesParBloc);
            if (fin > groupe_ && (scanFini_ || fin - groupe_ == GroupesParBloc)) {
                travail = Travail{suivant_++, categorie, groupe_, fin};
                groupe_ = fin;
                return true;
            }
            if (!scanFini_)
                return false;
            ++courante_;
            groupe_ = 0;
            annonces_ = 0;
        }
        return false;
    }

    void Travailler(Travailleur& travailleur)
    {
        std::unique_lock verrou(mutex_);
        for (;;) {
            Travail travail;
            const auto pret = [&] {
                return arret_ || courante_ >= categories_.size() || (suivant_ < pris_ + Fenetre && Suivant(travail));
            };
            if (!travailleur.Attendre(verrou, change_, pret) || arret_ || courante_ >= categories_.size())
                break;
            verrou.unlock();
            Bloc fait;
            Faire(travail, fait);
            verrou.lock();
            anneau_[travail.Numero % Fenetre] = std::move(fait);
            anneau_[travail.Numero % Fenetre].Pret = true;
            change_.notify_all();
        }
        verrou.unlock();
        // The writer may be waiting for the end.
        change_.notify_all();
    }

    void Faire(const Travail& travail, Bloc& fait) const
    {
        const bool chemins = demande_.Format == LigneCommande::FormatListe::Chemins;
        const Exportation::Format format = demande_.Format == LigneCommande::FormatListe::Tableau
                                               ? Exportation::Format::Tableau
                                               : Exportation::Format::ListeLecture;
        for (int32_t groupe = travail.Debut; groupe < travail.Fin; ++groupe) {
            // The table's sizes come from the store, read during the walk.
            std::vector<int64_t> tailles;
            const std::vector<std::string> liste =
                stockage_.CheminsGroupe(Groupe{{travail.Cat, Ordre::Repertoire}, groupe}, tailles);
            fait.Fichiers += static_cast<int64_t>(liste.size());
            for (size_t i = 0; i < liste.size(); ++i) {
                const std::string& chemin = liste[i];
                if (!chemins) {
                    fait.Omis += Exportation::AjouterEntree(format, chemin, tailles[i], fait.Texte) ? 0 : 1;
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
    const std::vector<Categorie> categories_;
    std::mutex mutex_;
    std::condition_variable_any change_;
    std::vector<Bloc> anneau_; // block b in place b % Fenetre
    size_t courante_ = 0;      // the category being made
    int32_t groupe_ = 0;       // its next directory group
    size_t annonces_ = 0;      // its groups filed since the makers were last woken
    bool scanFini_ = false;
    size_t suivant_ = 0; // the next block's number
    size_t pris_ = 0;    // blocks taken by the writer
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
    std::vector<Categorie> categories(Categories.begin(), Categories.end());
    if (demande.Cat)
        categories = {*demande.Cat};

    Extension extension;
    extension.Remplir();
    Stockage stockage;
    stockage.Lier(&extension);
    Sortie sortie;
    if (demande.Format == LigneCommande::FormatListe::Tableau)
        sortie.Tampon() = Exportation::Texte(Exportation::Format::Tableau, {});
    else if (demande.Format == LigneCommande::FormatListe::ListeLecture)
        sortie.Tampon() = Exportation::Texte(Exportation::Format::ListeLecture, {});
    Avancement avancement;
    size_t omis = 0;
    int64_t faits = 0;
    {
        Fabrique fabrique(stockage, demande, categories);
        stockage.Lier(static_cast<EcouteStockage*>(&fabrique));
        // Gone before the makers: a write that fails stops the walk.
        ScanAutonome scan(stockage);
        scan.AlaFin = [&fabrique] { fabrique.FinScan(); };
        scan.Lancer(racine, demande.Reglages);
        const auto limite = avancement.Actif() ? PeriodeAvancement : std::chrono::milliseconds{};
        Fabrique::Bloc pris;
        for (size_t bloc = 0;;) {
            const Fabrique::Prise prise = fabrique.Prendre(bloc, limite, pris);
            if (prise == Fabrique::Prise::Fin)
                break;
            if (prise == Fabrique::Prise::Bloc) {
                ++bloc;
                sortie.Tampon().append(pris.Texte);
                omis += pris.Omis;
                faits += pris.Fichiers;
                if (!sortie.Vider())
                    break;
            }
            if (avancement.Actif()) {
                int64_t trouves = 0;
                for (Categorie categorie : categories)
                    trouves += stockage.Compteur(categorie);
                avancement.Montrer(
                    "ruvizaro : " + Pluriel(static_cast<size_t>(trouves), "fichier trouvé", "fichiers trouvés") + ", " +
                    Textes::Nombre(faits) + " écrits");
            }
        }
    }
    stockage.Lier(static_cast<EcouteStockage*>(nullptr));
    sortie.Vider(true);
    avancement.Effacer();

    if (const int cause = sortie.Erreur(); cause != 0) {
        // The reader has gone (`| head`): nothing to say.
        if (cause != EPIPE)
            std::fprintf(stderr, "ruvizaro : écriture impossible sur la sortie standard : %s\n", std::strerror(cause));
        return CodeEcriture;
    }
    if (omis > 0)
        std::fprintf(stderr, "ruvizaro : %s de côté : %s\n", Pluriel(omis, "chemin laissé", "chemins laissés").c_str(),
                     demande.Format == LigneCommande::FormatListe::Chemins
                         ? "un saut de ligne dans un chemin ne peut pas s'écrire ligne par ligne (l'option -0 l'écrit)"
                         : "une liste M3U8 ne peut pas contenir un chemin avec un saut de ligne ou un retour chariot");
    return 0;
}
