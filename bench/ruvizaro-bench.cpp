// Runs one whole scan in the real program, off screen, and tells how fast it
// went, how much memory it took and how long the event loop was held.
//   ruvizaro-bench DIR [--no-subdirs] [--no-hidden-files] [--no-hidden-dirs]
//                      [--view video|son|image|texte] [--timeout SECONDS] [--cold] [--readers N]
//                      [--pause-at SECONDS] [--json]
// --pause-at pauses the scan that long after its start, as the "Pause"
// label does, and resumes it PauseDureeS later.
// --cold empties the page cache before the scan (root only) and counts the
// tree after it instead of before, so that the scan meets a cold disk.
// --readers sets how many threads read listings ahead of the walk (0: none).
// The settings live in a temporary directory, never in the user's own.

#include "DossierTemporaire.h"
#include "app/Application.h"
#include "scan/Stockage.h"
#include "trees/ArbreCategorie.h"
#include "trees/ConstructeurArbres.h"
#include "trees/GestionTreeView.h"
#include "widgets/Etiquette.h"
#include "ui/TFormPrincipal.h"
#include "widgets/ZoneSaisie.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimer>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include <dirent.h>
#include <malloc.h>
#include <sys/resource.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The categories by their code, 1 to 4.
Categorie Cat(int code)
{
    return static_cast<Categorie>(code);
}
constexpr int IntervalleSondeMs = 1;
constexpr double DelaiParDefautS = 3600;
constexpr int64_t NanoParMilli = 1'000'000;
constexpr double NanoParSeconde = 1e9;
constexpr double MicroParSeconde = 1e6;
constexpr int64_t OctetsParKo = 1024;
constexpr double SeuilBlocageMs = 50; // blocks longer than this are listed
constexpr size_t BlocagesListesMax = 20;
constexpr int64_t GroupeCible = 100'000; // files in the group expanded
constexpr int PauseDureeMs = 300;        // --pause-at: how long the scan stays paused
constexpr int ApresRepriseMs = 50;       // the pause's phase lasts that long after the resume
constexpr double ApresVuesS = 0.05;      // probing goes on that long after the views are complete
const std::array<const char*, NombreCategories> NomsCategories = {"video", "son", "image", "texte"};

struct Reglages
{
    std::string Repertoire;
    bool SousRepertoires = true;
    bool FichiersCaches = true;
    bool RepertoiresCaches = true;
    bool Json = false;
    bool Froid = false; // --cold
    int Lecteurs = -1;  // --readers N; -1: the program's own
    int Vue = 0;        // 0 home, else the category shown during the scan
    double DelaiS = DelaiParDefautS;
    double PauseS = -1; // --pause-at; -1: no pause
};

int Usage()
{
    std::fprintf(stderr,
                 "usage: ruvizaro-bench DIR [--no-subdirs] [--no-hidden-files] [--no-hidden-dirs]\n"
                 "                      [--view video|son|image|texte] [--timeout SECONDS] [--cold] [--readers N]\n"
                 "                      [--pause-at SECONDS] [--json]\n");
    return 2;
}

// ---------------------------------------------------------------- outside the program

// What the walker lists under the same settings: files (links to files
// included) and directories walked.
struct Compte
{
    uint64_t Fichiers = 0;
    uint64_t Repertoires = 0;
};

Compte CompterArbre(const Reglages& r)
{
    Compte compte;
    std::vector<std::string> pile{r.Repertoire};
    while (!pile.empty()) {
        const std::string chemin = std::move(pile.back());
        pile.pop_back();
        DIR* dossier = ::opendir(chemin.c_str());
        if (!dossier)
            continue;
        ++compte.Repertoires;
        const int fd = ::dirfd(dossier);
        while (const dirent* e = ::readdir(dossier)) {
            const char* nom = e->d_name;
            if (std::strcmp(nom, ".") == 0 || std::strcmp(nom, "..") == 0)
                continue;
            const bool cache = nom[0] == '.';
            bool dossierEntree = e->d_type == DT_DIR;
            bool ignore = false;
            if (e->d_type == DT_LNK || e->d_type == DT_UNKNOWN) {
                struct stat etat;
                const int drapeaux = e->d_type == DT_LNK ? 0 : AT_SYMLINK_NOFOLLOW;
                if (::fstatat(fd, nom, &etat, drapeaux) != 0) {
                    ignore = e->d_type == DT_UNKNOWN;
                } else if (S_ISDIR(etat.st_mode)) {
                    // Links to directories are neither walked nor listed.
                    dossierEntree = e->d_type == DT_UNKNOWN;
                    ignore = e->d_type == DT_LNK;
                } else if (S_ISLNK(etat.st_mode) && ::fstatat(fd, nom, &etat, 0) == 0 && S_ISDIR(etat.st_mode)) {
                    ignore = true;
                }
            }
            if (ignore)
                continue;
            if (dossierEntree) {
                if (r.SousRepertoires && (r.RepertoiresCaches || !cache))
                    pile.push_back(chemin + "/" + nom);
            } else if (r.FichiersCaches || !cache) {
                ++compte.Fichiers;
            }
        }
        ::closedir(dossier);
    }
    return compte;
}

// A field of /proc/self/status in bytes (0 when missing).
int64_t ChampStatus(const char* champ)
{
    std::ifstream status("/proc/self/status");
    std::string ligne;
    const size_t longueur = std::strlen(champ);
    while (std::getline(status, ligne))
        if (ligne.compare(0, longueur, champ) == 0 && ligne.size() > longueur && ligne[longueur] == ':')
            return std::strtoll(ligne.c_str() + longueur + 1, nullptr, 10) * OctetsParKo;
    return 0;
}

// Starts the peak over from the current size; false where the kernel refuses.
bool RemettrePic()
{
    std::ofstream clearRefs("/proc/self/clear_refs");
    clearRefs << "5";
    clearRefs.flush();
    return bool(clearRefs);
}

// ---------------------------------------------------------------- event loop probe

// This thread's time on a core and waiting for one, from the kernel's schedstat.
class TempsFil
{
public:
    struct Temps
    {
        int64_t SurCoeur = -1; // ns; -1 when the kernel does not tell
        int64_t Attente = -1;  // ns runnable, waiting for a core
    };
    TempsFil() : fd_(::open("/proc/thread-self/schedstat", O_RDONLY | O_CLOEXEC)) {}
    ~TempsFil()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    TempsFil(const TempsFil&) = delete;
    TempsFil& operator=(const TempsFil&) = delete;
    Temps Lire() const
    {
        char texte[96];
        const ssize_t lu = fd_ >= 0 ? ::pread(fd_, texte, sizeof texte - 1, 0) : -1;
        if (lu <= 0)
            return {};
        texte[lu] = '\0';
        char* suite = nullptr;
        Temps t;
        t.SurCoeur = std::strtoll(texte, &suite, 10);
        t.Attente = std::strtoll(suite, nullptr, 10);
        return t;
    }

private:
    int fd_;
};

// What a gap between two ticks counts for: the scan running, a pause (from
// the request to shortly after the resume), or the end (from the end notice
// to every directory node added and laid out).
enum class Phase { Scan, Pause, Fin };
constexpr size_t NombrePhases = 3;

// A 1 ms tick: the largest gap between two ticks, less the interval, is the
// longest time the event loop was held. The thread's schedstat tells how much
// of a gap it spent on a core (work), waiting for a core (the machine's
// load), and the rest asleep (waiting on a lock or a worker).
class Sonde
{
public:
    struct Blocage
    {
        double DebutMs = 0; // from the start of the scan
        double DureeMs = 0;
        double SurCoeurMs = 0;
        double AttenteMs = 0;
    };
    struct Maximum
    {
        Blocage PlusLong;      // the longest gap and what it was made of
        double SurCoeurMs = 0; // the longest time on a core within one gap
    };

    explicit Sonde(const QElapsedTimer& origine) : origine_(origine)
    {
        minuterie_.setTimerType(Qt::PreciseTimer);
        minuterie_.setInterval(IntervalleSondeMs);
        QObject::connect(&minuterie_, &QTimer::timeout, [this] { Tic(); });
    }
    void Demarrer()
    {
        dernier_ = origine_.nsecsElapsed();
        dernierTemps_ = temps_.Lire();
        minuterie_.start();
    }
    void Arreter() { minuterie_.stop(); }
    // A gap counts for the phase in force when it ends.
    void DefinirPhase(Phase phase) { phase_ = phase; }
    // Called at every tick, after the measure.
    std::function<void()> ApresTic;

    const Blocage& PlusLong() const { return plusLong_; }
    const Maximum& MaxPhase(Phase phase) const { return phases_[static_cast<size_t>(phase)]; }
    double MaxSurCoeurMs() const
    {
        double m = 0;
        for (const Maximum& p : phases_)
            m = std::max(m, p.SurCoeurMs);
        return m;
    }
    const std::vector<Blocage>& Longs() const { return longs_; }
    uint64_t NombreLongs() const { return nombreLongs_; }

private:
    void Tic()
    {
        const int64_t maintenant = origine_.nsecsElapsed();
        const TempsFil::Temps temps = temps_.Lire();
        Blocage b;
        b.DebutMs = double(dernier_) / NanoParMilli;
        b.DureeMs = double(maintenant - dernier_ - IntervalleSondeMs * NanoParMilli) / NanoParMilli;
        if (temps.SurCoeur >= 0 && dernierTemps_.SurCoeur >= 0) {
            // Less the interval too, as the gap.
            b.SurCoeurMs = std::max(
                0.0, double(temps.SurCoeur - dernierTemps_.SurCoeur - IntervalleSondeMs * NanoParMilli) / NanoParMilli);
            b.AttenteMs = double(temps.Attente - dernierTemps_.Attente) / NanoParMilli;
        }
        if (b.DureeMs > plusLong_.DureeMs)
            plusLong_ = b;
        Maximum& m = phases_[static_cast<size_t>(phase_)];
        if (b.DureeMs > m.PlusLong.DureeMs)
            m.PlusLong = b;
        m.SurCoeurMs = std::max(m.SurCoeurMs, b.SurCoeurMs);
        if (b.DureeMs > SeuilBlocageMs) {
            ++nombreLongs_;
            if (longs_.size() < BlocagesListesMax)
                longs_.push_back(b);
        }
        dernier_ = maintenant;
        dernierTemps_ = temps;
        if (ApresTic)
            ApresTic();
    }

    const QElapsedTimer& origine_;
    QTimer minuterie_;
    TempsFil temps_;
    int64_t dernier_ = 0;
    TempsFil::Temps dernierTemps_;
    Blocage plusLong_;
    Phase phase_ = Phase::Scan;
    std::array<Maximum, NombrePhases> phases_{};
    std::vector<Blocage> longs_;
    uint64_t nombreLongs_ = 0;
};

// ---------------------------------------------------------------- the program

ArbreCategorie* ArbreRep(Application& app, int categorie)
{
    return app.Arbres.Arbre(static_cast<Categorie>(categorie), Ordre::Repertoire);
}

void MontrerCategorie(Application& app, int categorie)
{
    switch (categorie) {
    case 1:
        app.Menu.AfficherVideo(true);
        break;
    case 2:
        app.Menu.AfficherSon(true);
        break;
    case 3:
        app.Menu.AfficherImage(true);
        break;
    case 4:
        app.Menu.AfficherTexte(true);
        break;
    default:
        app.Menu.AfficherHome(true);
        break;
    }
}

// The count at the start of a node text such as "(123 456) jpg"; -1 otherwise.
int64_t NombreDuTexte(const QString& texte)
{
    if (!texte.startsWith(QLatin1Char('(')))
        return -1;
    int64_t n = 0;
    bool chiffre = false;
    for (qsizetype i = 1; i < texte.size() && texte[i] != QLatin1Char(')'); ++i) {
        if (texte[i].isDigit()) {
            n = n * 10 + texte[i].digitValue();
            chiffre = true;
        }
    }
    return chiffre ? n : -1;
}

struct Deploiement
{
    bool Fait = false;
    int Categorie = 0;
    QString Texte;
    int64_t Taille = 0;
    double MagasinS = 0; // Stockage::EnfantsGroupe (sorts the group the first time)
    double ArbreS = 0;   // ArbreCategorie::RemplacerEnfants
    double DessinS = 0;  // first paint of the view
    double EncoreS = 0;  // the same again, group already sorted
};

double Secondes(const QElapsedTimer& chrono)
{
    return double(chrono.nsecsElapsed()) / NanoParSeconde;
}

// Processor time of the whole process so far (every thread, ended ones too).
struct TempsProcesseur
{
    double Utilisateur = 0;
    double Systeme = 0;
};

TempsProcesseur LireTempsProcesseur()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    auto secondes = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / MicroParSeconde; };
    return {secondes(usage.ru_utime), secondes(usage.ru_stime)};
}

// Expands the largest by-extension group of the four categories, as the
// view does it: children from the store, then one batch into the tree.
Deploiement DeployerPlusGrand(Application& app)
{
    Deploiement d;
    Noeud* choisi = nullptr;
    ArbreCategorie* arbreChoisi = nullptr;
    for (int c = 1; c <= NombreCategories; ++c) {
        ArbreCategorie* arbre = app.Arbres.Arbre(Cat(c), Ordre::Extension);
        if (!arbre)
            continue;
        for (int i = 0; i < arbre->NombreRacines(); ++i) {
            Noeud* n = arbre->Racine(i);
            const int64_t taille = n ? NombreDuTexte(n->Texte) : -1;
            if (taille > d.Taille) {
                d.Taille = taille;
                d.Categorie = c;
                d.Texte = n->Texte;
                choisi = n;
                arbreChoisi = arbre;
            }
        }
    }
    if (!choisi)
        return d;

    MontrerCategorie(app, d.Categorie);
    app.Arbres.ChangerOrdre(Cat(d.Categorie), Ordre::Extension);
    QCoreApplication::processEvents();

    QElapsedTimer chrono;
    for (int passe = 0; passe < 2; ++passe) {
        chrono.start();
        const std::vector<EnfantNoeud> enfants =
            app.Stock.EnfantsGroupe(Groupe{{Cat(d.Categorie), Ordre::Extension}, choisi->Groupe});
        const double magasin = Secondes(chrono);
        chrono.start();
        arbreChoisi->RemplacerEnfants(choisi, enfants);
        const double arbre = Secondes(chrono);
        chrono.start();
        arbreChoisi->repaint();
        const double dessin = Secondes(chrono);
        if (passe == 0) {
            d.MagasinS = magasin;
            d.ArbreS = arbre;
            d.DessinS = dessin;
            d.Fait = static_cast<int64_t>(enfants.size()) == d.Taille;
        } else {
            d.EncoreS = magasin + arbre;
        }
    }
    return d;
}

// Resident size once freed memory has gone back to the system.
// Writes back dirty pages, then drops the page cache, dentries and inodes.
// Needs root; false (with the reason on stderr) when it cannot.
bool ViderCache()
{
    ::sync();
    const int fd = ::open("/proc/sys/vm/drop_caches", O_WRONLY | O_CLOEXEC);
    if (fd < 0 || ::write(fd, "3", 1) != 1) {
        std::fprintf(stderr, "ruvizaro-bench: cannot drop the page cache (%s): the scan below is not cold\n",
                     std::strerror(errno));
        if (fd >= 0)
            ::close(fd);
        return false;
    }
    ::close(fd);
    return true;
}

int64_t RssApresLiberation()
{
    ::malloc_trim(0);
    return ChampStatus("VmRSS");
}

bool LireArguments(int argc, char** argv, Reglages& r)
{
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--no-subdirs") {
            r.SousRepertoires = false;
        } else if (a == "--no-hidden-files") {
            r.FichiersCaches = false;
        } else if (a == "--no-hidden-dirs") {
            r.RepertoiresCaches = false;
        } else if (a == "--json") {
            r.Json = true;
        } else if (a == "--cold") {
            r.Froid = true;
        } else if (a == "--readers" && i + 1 < argc) {
            r.Lecteurs = std::atoi(argv[++i]);
            if (r.Lecteurs < 0)
                return false;
        } else if (a == "--view" && i + 1 < argc) {
            const std::string v = argv[++i];
            r.Vue = 0;
            for (int c = 0; c < NombreCategories; ++c)
                if (v == NomsCategories[static_cast<size_t>(c)])
                    r.Vue = c + 1;
            if (r.Vue == 0)
                return false;
        } else if (a == "--pause-at" && i + 1 < argc) {
            r.PauseS = std::atof(argv[++i]);
            if (r.PauseS <= 0)
                return false;
        } else if (a == "--timeout" && i + 1 < argc) {
            r.DelaiS = std::atof(argv[++i]);
            if (r.DelaiS <= 0)
                return false;
        } else if (!a.empty() && a[0] != '-' && r.Repertoire.empty()) {
            r.Repertoire = a;
        } else {
            return false;
        }
    }
    return !r.Repertoire.empty();
}

} // namespace

int main(int argc, char** argv)
{
    Reglages r;
    if (!LireArguments(argc, argv, r))
        return Usage();
    struct stat etat;
    if (::stat(r.Repertoire.c_str(), &etat) != 0 || !S_ISDIR(etat.st_mode)) {
        std::fprintf(stderr, "ruvizaro-bench: %s is not a directory\n", r.Repertoire.c_str());
        return 1;
    }

    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const DossierTemporaire reglages;
    if (reglages.Chemin().empty()) {
        std::fprintf(stderr, "ruvizaro-bench: cannot create a temporary directory: %s\n", std::strerror(errno));
        return 1;
    }
    ::setenv("XDG_CONFIG_HOME", reglages.Chemin().c_str(), 1);
    ::setenv("XDG_RUNTIME_DIR", reglages.Chemin().c_str(), 0);

    QApplication qapp(argc, argv);
    Application app;
    app.Preparer();
    app.Fenetre().show();
    QCoreApplication::processEvents();
    app.Options.SousRepertoire = r.SousRepertoires;
    app.Options.FichierCache = r.FichiersCaches;
    app.Options.RepertoireCache = r.RepertoiresCaches;
    if (r.Vue != 0)
        MontrerCategorie(app, r.Vue);
    if (r.Lecteurs >= 0)
        app.Scan.DefinirLecteurs(r.Lecteurs);
    QCoreApplication::processEvents();

    // Outside the timing; it also warms the cache the way a first scan would.
    // A cold run counts after the scan instead, and empties the cache here.
    Compte compte;
    bool cacheVide = false;
    if (r.Froid)
        cacheVide = ViderCache();
    else
        compte = CompterArbre(r);

    const bool picRemis = RemettrePic();
    const int64_t rssDepart = ChampStatus("VmRSS");

    const QString repertoire = QString::fromStdString(r.Repertoire);
    QElapsedTimer origine;
    origine.start();
    Sonde sonde(origine);
    QEventLoop boucle;
    double scanS = -1;
    TempsProcesseur processeurDebut;
    TempsProcesseur processeurScan;
    double arbresS = -1;
    double vuesS = -1;
    bool delaiDepasse = false;
    sonde.ApresTic = [&] {
        const double maintenant = Secondes(origine);
        if (scanS < 0 && app.Scans.Etat() == GestionScan::EtatScan::Termine) {
            scanS = maintenant;
            processeurScan = LireTempsProcesseur();
        }
        if (scanS >= 0 && arbresS < 0 && !app.Arbres.AffichageEnCours()) {
            int noeuds = 0;
            int groupes = 0;
            for (int c = 1; c <= NombreCategories; ++c) {
                noeuds += ArbreRep(app, c)->NombreRacines();
                groupes += app.Stock.NombreRepertoires(Cat(c));
            }
            if (noeuds == groupes)
                arbresS = maintenant;
        }
        // The views take in their last rows a little later: the probe
        // goes on until they have, and a little longer for the paint.
        if (arbresS >= 0 && vuesS < 0) {
            bool enAttente = false;
            for (int c = 1; c <= NombreCategories; ++c)
                enAttente = enAttente || ArbreRep(app, c)->AjoutsEnAttente();
            if (!enAttente)
                vuesS = maintenant;
        }
        if ((vuesS >= 0 && maintenant > vuesS + ApresVuesS) || maintenant > r.DelaiS) {
            delaiDepasse = arbresS < 0;
            boucle.quit();
        }
    };
    QObject::connect(&app.Scans, &GestionScan::Termine, [&sonde] { sonde.DefinirPhase(Phase::Fin); });
    // --pause-at: "Pause", then "Scan" again, as the labels do.
    bool pauseFaite = false;
    double pauseAppelMs = -1;
    double repriseAppelMs = -1;
    auto chronometrer = [&app] {
        QElapsedTimer chrono;
        chrono.start();
        app.Bouton.PauseScan();
        return double(chrono.nsecsElapsed()) / NanoParMilli;
    };
    QTimer::singleShot(0, [&] {
        processeurDebut = LireTempsProcesseur();
        origine.restart();
        sonde.Demarrer();
        app.Bouton.Scanner(repertoire);
        if (r.PauseS <= 0)
            return;
        QTimer::singleShot(static_cast<int>(r.PauseS * 1000), [&] {
            if (app.Scans.Etat() != GestionScan::EtatScan::EnCours)
                return;
            sonde.DefinirPhase(Phase::Pause);
            pauseAppelMs = chronometrer();
            pauseFaite = app.Scans.Etat() == GestionScan::EtatScan::EnPause;
            QTimer::singleShot(PauseDureeMs, [&] {
                repriseAppelMs = chronometrer();
                QTimer::singleShot(ApresRepriseMs, [&] {
                    if (app.Scans.Etat() != GestionScan::EtatScan::Termine)
                        sonde.DefinirPhase(Phase::Scan);
                });
            });
        });
    });
    boucle.exec();
    sonde.Arreter();
    if (delaiDepasse) {
        std::fprintf(stderr, "ruvizaro-bench: no end after %.0f s (scan %s)\n", r.DelaiS,
                     scanS < 0 ? "running" : "done, directory trees not complete");
        return 1;
    }

    const int64_t pic = ChampStatus("VmHWM");
    if (r.Froid)
        compte = CompterArbre(r);
    std::array<int64_t, NombreCategories> compteurs{};
    std::array<int, NombreCategories> noeuds{};
    int64_t stockes = 0;
    for (int c = 1; c <= NombreCategories; ++c) {
        compteurs[static_cast<size_t>(c - 1)] = app.Stock.Compteur(Cat(c));
        noeuds[static_cast<size_t>(c - 1)] = ArbreRep(app, c)->NombreRacines();
        stockes += compteurs[static_cast<size_t>(c - 1)];
    }
    const double octetsParFichier = stockes > 0 ? double(pic - rssDepart) / double(stockes) : 0;
    const double fichiersParS = scanS > 0 ? double(compte.Fichiers) / scanS : 0;
    const double cpuUtilisateur = processeurScan.Utilisateur - processeurDebut.Utilisateur;
    const double cpuSysteme = processeurScan.Systeme - processeurDebut.Systeme;

    // Where the memory is: the "Par Répertoire" trees, then the store.
    const int64_t rssFin = ChampStatus("VmRSS");
    const int64_t rssFinLibere = RssApresLiberation();
    for (int c = 1; c <= NombreCategories; ++c)
        ArbreRep(app, c)->ToutSupprimer();
    const int64_t rssSansArbres = RssApresLiberation();

    // A category's three trees built again from the store, as taking a
    // filter off does (Escape, a resume, another zone): the category with
    // the most directory groups, on the window's thread. Its directory tree
    // is emptied again after, so that the memory measured below is not moved.
    int reconstruite = 1;
    for (int c = 2; c <= NombreCategories; ++c)
        if (app.Stock.NombreRepertoires(Cat(c)) > app.Stock.NombreRepertoires(Cat(reconstruite)))
            reconstruite = c;
    const int racinesReconstruites = app.Stock.NombreRepertoires(Cat(reconstruite));
    QElapsedTimer chronoReconstruction;
    chronoReconstruction.start();
    app.Arbres.Constructeur().ReconstruireCategorie(Cat(reconstruite), nullptr, racinesReconstruites);
    const double reconstructionMs = double(chronoReconstruction.nsecsElapsed()) / NanoParMilli;
    ArbreRep(app, reconstruite)->ToutSupprimer();

    const Deploiement d = DeployerPlusGrand(app);

    for (int c = 1; c <= NombreCategories; ++c)
        if (ArbreCategorie* arbre = app.Arbres.Arbre(Cat(c), Ordre::Extension))
            arbre->ToutSupprimer();
    const int64_t rssAvantMagasin = RssApresLiberation();
    app.Stock.Reinitialiser();
    const int64_t rssSansMagasin = RssApresLiberation();
    const int64_t octetsArbresRep = rssFinLibere - rssSansArbres;
    const int64_t octetsMagasin = rssAvantMagasin - rssSansMagasin;
    const bool deploiementMesure = d.Fait && d.Taille >= GroupeCible;

    if (r.Json) {
        QJsonObject c;
        QJsonObject n;
        for (int i = 0; i < NombreCategories; ++i) {
            c[NomsCategories[static_cast<size_t>(i)]] = qint64(compteurs[static_cast<size_t>(i)]);
            n[NomsCategories[static_cast<size_t>(i)]] = noeuds[static_cast<size_t>(i)];
        }
        c["total"] = qint64(stockes);
        QJsonObject o;
        o["counters"] = c;
        o["directory_nodes"] = n;
        o["cold"] = r.Froid;
        o["cache_dropped"] = cacheVide;
        o["readers"] = app.Scan.Lecteurs();
        o["scan_seconds"] = scanS;
        o["trees_seconds"] = arbresS;
        o["scan_cpu_user_seconds"] = cpuUtilisateur;
        o["scan_cpu_system_seconds"] = cpuSysteme;
        o["files_listed"] = qint64(compte.Fichiers);
        o["directories_listed"] = qint64(compte.Repertoires);
        o["files_per_second"] = fichiersParS;
        o["baseline_rss_bytes"] = qint64(rssDepart);
        o["peak_rss_bytes"] = qint64(pic);
        o["peak_reset"] = picRemis;
        o["bytes_per_stored_file"] = octetsParFichier;
        o["end_rss_bytes"] = qint64(rssFin);
        o["directory_trees_bytes"] = qint64(octetsArbresRep);
        o["store_bytes"] = qint64(octetsMagasin);
        auto blocage = [](const Sonde::Blocage& b) {
            QJsonObject o;
            o["ms"] = b.DureeMs;
            o["at_ms"] = b.DebutMs;
            o["on_core_ms"] = b.SurCoeurMs;
            o["waiting_for_core_ms"] = b.AttenteMs;
            return o;
        };
        o["max_event_loop_block_ms"] = sonde.PlusLong().DureeMs;
        o["max_event_loop_block_at_ms"] = sonde.PlusLong().DebutMs;
        o["max_event_loop_block_on_core_ms"] = sonde.MaxSurCoeurMs();
        o["event_loop_blocks_over_50ms"] = qint64(sonde.NombreLongs());
        o["longest_block"] = blocage(sonde.PlusLong());
        o["longest_block_scan"] = blocage(sonde.MaxPhase(Phase::Scan).PlusLong);
        o["max_block_on_core_scan_ms"] = sonde.MaxPhase(Phase::Scan).SurCoeurMs;
        o["longest_block_end"] = blocage(sonde.MaxPhase(Phase::Fin).PlusLong);
        o["max_block_on_core_end_ms"] = sonde.MaxPhase(Phase::Fin).SurCoeurMs;
        o["paused"] = pauseFaite;
        if (pauseFaite) {
            o["longest_block_pause"] = blocage(sonde.MaxPhase(Phase::Pause).PlusLong);
            o["max_block_on_core_pause_ms"] = sonde.MaxPhase(Phase::Pause).SurCoeurMs;
            o["pause_call_ms"] = pauseAppelMs;
            o["resume_call_ms"] = repriseAppelMs;
        }
        o["rebuild_category"] = NomsCategories[static_cast<size_t>(reconstruite - 1)];
        o["rebuild_directory_roots"] = racinesReconstruites;
        o["rebuild_category_ms"] = reconstructionMs;
        o["expand_group"] = d.Texte;
        o["expand_group_size"] = qint64(d.Taille);
        o["expand_measured"] = deploiementMesure;
        if (d.Fait) {
            o["expand_seconds"] = d.MagasinS + d.ArbreS;
            o["expand_store_seconds"] = d.MagasinS;
            o["expand_tree_seconds"] = d.ArbreS;
            o["expand_paint_seconds"] = d.DessinS;
            o["expand_again_seconds"] = d.EncoreS;
        }
        std::printf("%s\n", QJsonDocument(o).toJson(QJsonDocument::Compact).constData());
        return 0;
    }

    std::printf("directory        %s (%llu files listed in %llu directories)\n", r.Repertoire.c_str(),
                static_cast<unsigned long long>(compte.Fichiers), static_cast<unsigned long long>(compte.Repertoires));
    std::printf("counters         video %lld, son %lld, image %lld, texte %lld, total %lld\n",
                static_cast<long long>(compteurs[0]), static_cast<long long>(compteurs[1]),
                static_cast<long long>(compteurs[2]), static_cast<long long>(compteurs[3]),
                static_cast<long long>(stockes));
    std::printf("directory nodes  video %d, son %d, image %d, texte %d\n", noeuds[0], noeuds[1], noeuds[2], noeuds[3]);
    std::printf("scan             %.3f s (%.0f files/s)%s\n", scanS, fichiersParS,
                !r.Froid    ? ", warm cache"
                : cacheVide ? ", page cache dropped before"
                            : ", cache NOT dropped");
    std::printf("directory trees  %.3f s\n", arbresS);
    std::printf("processor        %.3f s user + %.3f s system during the scan (all threads)\n", cpuUtilisateur,
                cpuSysteme);
    std::printf("memory           %.1f MiB at start, %.1f MiB peak%s, %.1f bytes per stored file\n",
                double(rssDepart) / (OctetsParKo * OctetsParKo), double(pic) / (OctetsParKo * OctetsParKo),
                picRemis ? "" : " (peak not reset: includes start-up)", octetsParFichier);
    std::printf("                 at the end %.1f MiB; freeing the directory trees gives back %.1f MiB, "
                "emptying the store %.1f MiB\n",
                double(rssFin) / (OctetsParKo * OctetsParKo), double(octetsArbresRep) / (OctetsParKo * OctetsParKo),
                double(octetsMagasin) / (OctetsParKo * OctetsParKo));
    auto ligne = [](const char* titre, const Sonde::Blocage& b, double surCoeurMax) {
        std::printf(
            "%-17s%.1f ms at %.0f ms: %.1f on a core, %.1f waiting for one; at most %.1f ms on a core in one gap\n",
            titre, b.DureeMs, b.DebutMs, b.SurCoeurMs, b.AttenteMs, surCoeurMax);
    };
    std::printf("event loop       longest block %.1f ms, %llu blocks over %.0f ms\n", sonde.PlusLong().DureeMs,
                static_cast<unsigned long long>(sonde.NombreLongs()), SeuilBlocageMs);
    ligne("  during the scan", sonde.MaxPhase(Phase::Scan).PlusLong, sonde.MaxPhase(Phase::Scan).SurCoeurMs);
    if (pauseFaite) {
        ligne("  at the pause", sonde.MaxPhase(Phase::Pause).PlusLong, sonde.MaxPhase(Phase::Pause).SurCoeurMs);
        std::printf("                 pausing took %.1f ms, resuming %.1f ms\n", pauseAppelMs, repriseAppelMs);
    }
    ligne("  at the end", sonde.MaxPhase(Phase::Fin).PlusLong, sonde.MaxPhase(Phase::Fin).SurCoeurMs);
    for (const Sonde::Blocage& b : sonde.Longs())
        std::printf("                   %.1f ms at %.0f ms (%.1f on a core, %.1f waiting for one)\n", b.DureeMs,
                    b.DebutMs, b.SurCoeurMs, b.AttenteMs);
    std::printf("rebuild          %s's three trees from the store (%d directory roots): %.1f ms\n",
                NomsCategories[static_cast<size_t>(reconstruite - 1)], racinesReconstruites, reconstructionMs);
    if (!d.Fait) {
        std::printf("expand           no by-extension group to expand\n");
    } else {
        std::printf("expand           %s (%s): %.3f s = store %.3f s + tree %.3f s; paint %.3f s; again %.3f s%s\n",
                    qPrintable(d.Texte), NomsCategories[static_cast<size_t>(d.Categorie - 1)], d.MagasinS + d.ArbreS,
                    d.MagasinS, d.ArbreS, d.DessinS, d.EncoreS,
                    deploiementMesure ? "" : "  (group under 100 000 files)");
    }
    return 0;
}
