// The walk with listings read ahead by a pool of readers, against the same
// walk reading every directory itself, on real trees: the same directories
// filed in the same order with the same files under every setting, links,
// hidden entries, paths beyond PATH_MAX and unreadable directories; the
// readers stand still during a pause and go with a stop.

#include "scan/Scanneur.h"

#include "classification/Extension.h"
#include "scan/Explorateur.h"
#include "scan/Stockage.h"
#include "scan/ThreadScanneur.h"
#include "scan/ThreadStockage.h"
#include "shared/Option.h"

#include "scan/ArbreProfond.h"
#include "scan/MarcheEnPause.h"
#include "support/InformationTextes.h"
#include "support/ArbreTemporaire.h"
#include "support/MoteurDeTest.h"
#include "support/Attendre.h"
#include "support/FilsDuProcessus.h"
#include "support/SansPrivileges.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <chrono>
#include <climits>
#include <condition_variable>
#include <filesystem>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;

constexpr int Lecteurs = 4;
// A worker that has not ended by then never will.
constexpr int FinMaxMs = 300000;

// Waits until the readers of a walk started after avant have each gone to
// sleep fois more times from now, and sleep in a wait: every one has looked
// at the pause again (an idle reader looks every few milliseconds) and none
// is in the middle of a listing. The walk's own thread, paused, sleeps
// without waking and is not counted.
bool AttendreRegardsDesLecteurs(const std::set<pid_t>& avant, std::uint64_t fois)
{
    std::map<pid_t, std::uint64_t> depart;
    for (const pid_t fil : FilsDuProcessus::Nouveaux(avant))
        depart[fil] = FilsDuProcessus::Sommeils(fil);
    return AttendreSansEvenements([&] {
        int lecteurs = 0;
        for (const auto& [fil, sommeils] : depart)
            lecteurs += FilsDuProcessus::Sommeils(fil) >= sommeils + fois && FilsDuProcessus::EnAttente(fil);
        return lecteurs >= Lecteurs;
    });
}

// What a scan left in the store: per category, every "Par Répertoire" group
// in order with its directory and its files, and the counters.
struct Releve
{
    std::array<int32_t, 4> Compteurs{};
    std::array<std::vector<std::string>, 4> Groupes;
    bool operator==(const Releve&) const = default;
};

// Holds a walk after its root (Scanneur::ApresRacine) until let go or
// stopped, so that its readers read ahead of it for sure. Outlives the walk.
class Retenue
{
public:
    explicit Retenue(Scanneur& scanneur) : scanneur_(scanneur)
    {
        scanneur_.ApresRacine = [this](Travailleur& marche) {
            std::unique_lock verrou(verrou_);
            cv_.wait(verrou, marche.Jeton(), [this] { return lachee_; });
        };
    }
    ~Retenue() { scanneur_.ApresRacine = nullptr; }
    Retenue(const Retenue&) = delete;
    Retenue& operator=(const Retenue&) = delete;

    void Lacher()
    {
        {
            const std::lock_guard verrou(verrou_);
            lachee_ = true;
        }
        cv_.notify_all();
    }

private:
    Scanneur& scanneur_;
    std::mutex verrou_;
    std::condition_variable_any cv_;
    bool lachee_ = false;
};

class LectureAvanceTest : public ::testing::Test, protected MoteurDeTest
{
protected:
    static void Attendre(const Travailleur& travailleur)
    {
        ASSERT_TRUE(AttendreSansEvenements([&] { return travailleur.Fini(); }, FinMaxMs)) << "the worker never ended";
    }

    Releve Scanner(const std::string& racine, int lecteurs, std::chrono::microseconds attente = {})
    {
        scanneur.DefinirLecteurs(lecteurs, attente);
        stock.Reinitialiser();
        stock.PreparerScan();
        {
            ThreadStockage travailleurStockage(&stock);
            ThreadScanneur travailleurScan(false, &travailleurStockage, racine, &scanneur);
            Attendre(travailleurStockage);
            // The store may end first: it is woken by the walk's last notice.
            Attendre(travailleurScan);
            EXPECT_TRUE(travailleurScan.Termine());
            EXPECT_TRUE(travailleurStockage.Termine());
        }
        return Lire();
    }

    Releve Lire()
    {
        Releve r;
        for (size_t c = 0; c < Categories.size(); ++c) {
            const Categorie categorie = Categories[c];
            r.Compteurs[c] = stock.Compteur(categorie);
            for (int g = 0; g < stock.NombreRepertoires(categorie); ++g) {
                const Groupe groupe{{categorie, Ordre::Repertoire}, g};
                QString nom, ext, taille;
                const std::string chemin = InformationTextes(stock, groupe, 0, nom, ext, taille);
                std::string ligne = chemin.substr(0, chemin.rfind('/')) + ":";
                for (const EnfantNoeud& enfant : stock.EnfantsGroupe(groupe))
                    ligne += " " + enfant.Texte.toStdString();
                r.Groupes[c].push_back(std::move(ligne));
            }
        }
        return r;
    }

    // A tree of several hundred directories, most holding a few files of
    // every kind, with hidden files and directories, links to directories
    // and files, a dangling link, and (when profond) a chain deeper than
    // PATH_MAX. Gives the leaf directories, relative to the root.
    static std::vector<std::string> Generer(ArbreTemporaire& arbre, int largeur, bool profond)
    {
        const char* noms[] = {"clip.avi", "son.mp3", "photo.JPG", "note.txt", "archive.zip", ".cache.jpg", "sans"};
        std::vector<std::string> feuilles;
        int n = 0;
        for (int a = 0; a < largeur; ++a) {
            const std::string haut = (a % 5 == 4 ? ".cache-" : "d") + std::to_string(a);
            for (int b = 0; b < largeur; ++b) {
                const std::string milieu = haut + "/m" + std::to_string(b);
                for (int c = 0; c < 3; ++c) {
                    const std::string bas = milieu + (c == 2 ? "/.b" : "/b") + std::to_string(c);
                    for (int f = 0; f <= (n % 5); ++f)
                        arbre.Fichier(bas + "/" + std::to_string(f) + noms[(n + f) % 7]);
                    feuilles.push_back(bas);
                    ++n;
                }
                arbre.Fichier(milieu + "/m.png");
            }
            fs::create_directory_symlink("..", arbre.Racine() + "/" + haut + "/retour");
            fs::create_symlink("m0/b0", arbre.Racine() + "/" + haut + "/lien.mp4");
        }
        fs::create_symlink("absent.ogg", arbre.Racine() + "/perdu.ogg");
        arbre.Fichier("racine.flac");
        if (profond) {
            const std::string haut = arbre.Racine() + "/d0";
            const std::string fond = CreerChaine(haut, "pppp", ProfondeurChaine);
            EXPECT_GT(fond.size(), static_cast<size_t>(PATH_MAX));
            EcrireFichier(fond, "fond.txt", 1);
            EcrireFichier(fond.substr(0, haut.size() + 5 * (ProfondeurChaine / 2)), "milieu.wav", 1);
        }
        return feuilles;
    }

    static void Nettoyer(ArbreTemporaire& arbre)
    {
        SupprimerChaine(arbre.Racine() + "/d0", "pppp", ProfondeurChaine, {"fond.txt", "milieu.wav"});
    }

    static constexpr int ProfondeurChaine = 1100;
};

} // namespace

// By default the readers wait for listings that make the walk wait: a tree
// in the page cache is walked alone; once a few listings were slow (here, any
// listing of 1 µs or more), they read ahead the rest. Whether they get to a
// directory before the walk does is a race: over a few walks of some 1 400
// directories, they do.
TEST_F(LectureAvanceTest, ReadersStartWhenListingsMakeTheWalkWait)
{
    ArbreTemporaire arbre;
    Generer(arbre, 8, true);
    const Releve simple = Scanner(arbre.Racine(), 0);
    Scanner(arbre.Racine(), 0); // the whole tree in the cache
    EXPECT_TRUE(Scanner(arbre.Racine(), Lecteurs, std::chrono::seconds(10)) == simple);
    EXPECT_EQ(scanneur.LecturesAvance(), 0u);
    uint64_t lues = 0;
    for (int fois = 0; fois < 5 && lues == 0; ++fois) {
        EXPECT_TRUE(Scanner(arbre.Racine(), Lecteurs, std::chrono::microseconds(1)) == simple);
        lues += scanneur.LecturesAvance();
    }
    EXPECT_GT(lues, 0u);
}

TEST_F(LectureAvanceTest, SameDirectoriesInTheSameOrderAsAPlainWalkUnderEverySetting)
{
    ArbreTemporaire arbre;
    Generer(arbre, 8, true);

    uint64_t lues = 0;
    struct Cas
    {
        bool SousRepertoires, FichiersCaches, RepertoiresCaches;
    };
    for (const Cas cas : {Cas{true, true, true}, Cas{true, false, true}, Cas{true, true, false},
                          Cas{true, false, false}, Cas{false, true, true}}) {
        option.SousRepertoire = cas.SousRepertoires;
        option.FichierCache = cas.FichiersCaches;
        option.RepertoireCache = cas.RepertoiresCaches;
        const Releve simple = Scanner(arbre.Racine(), 0);
        EXPECT_EQ(scanneur.LecturesAvance(), 0u);
        const Releve avance = Scanner(arbre.Racine(), Lecteurs);
        lues += scanneur.LecturesAvance();
        EXPECT_TRUE(simple == avance) << cas.SousRepertoires << cas.FichiersCaches << cas.RepertoiresCaches;
        if (cas.SousRepertoires) {
            EXPECT_GT(simple.Compteurs[2], 100);
        }
    }
    // The readers did read ahead (the test walks the pool, not only the walk
    // reading for itself), over some 1 400 directories a walk.
    EXPECT_GT(lues, 0u);
    // The deep chain was walked to its end by both.
    option.SousRepertoire = option.FichierCache = option.RepertoireCache = true;
    const Releve avance = Scanner(arbre.Racine(), Lecteurs);
    bool fond = false;
    for (const std::string& groupe : avance.Groupes[3])
        fond = fond || groupe.ends_with("pppp: fond.txt");
    EXPECT_TRUE(fond);
    Nettoyer(arbre);
}

TEST_F(LectureAvanceTest, UnreadableDirectoriesGiveNothingWithReadersToo)
{
    ArbreTemporaire arbre;
    Generer(arbre, 4, false);
    for (const fs::directory_entry& entree : fs::recursive_directory_iterator(arbre.Racine()))
        if (entree.is_directory() && !entree.is_symlink())
            fs::permissions(entree.path(), fs::perms(0755));
    fs::permissions(arbre.Racine(), fs::perms(0755));
    fs::permissions(arbre.Racine() + "/d1", fs::perms(0700));
    fs::permissions(arbre.Racine() + "/d2/m1", fs::perms(0700));

    // As "nobody", in a child process: d1 and d2/m1 cannot be opened.
    const std::string racine = arbre.Racine();
    const bool pareil = ExecuterSansPrivileges([&] {
        const Releve simple = Scanner(racine, 0);
        const Releve avance = Scanner(racine, Lecteurs);
        bool sansPrive = true;
        for (const auto& groupes : avance.Groupes)
            for (const std::string& groupe : groupes)
                sansPrive = sansPrive && groupe.find("/d1/") == std::string::npos &&
                            groupe.find("/d2/m1/") == std::string::npos;
        return simple == avance && simple.Compteurs[1] > 0 && sansPrive;
    });
    EXPECT_TRUE(pareil);
}

TEST_F(LectureAvanceTest, ThePoolReadsNothingWhileTheWalkIsPaused)
{
    ArbreTemporaire arbre;
    const std::vector<std::string> feuilles = Generer(arbre, 6, false);

    // Paused at its first check point, after the root: the readers, which
    // know every top directory by then, must not read any.
    scanneur.DefinirLecteurs(Lecteurs);
    stock.Reinitialiser();
    stock.PreparerScan();
    ThreadStockage travailleurStockage(&stock);
    const std::set<pid_t> avant = FilsDuProcessus::Liste();
    {
        MarcheEnPause marche(scanneur, arbre.Racine());
        ASSERT_TRUE(AttendreRegardsDesLecteurs(avant, 3)) << "the readers do not look at the pause";
        EXPECT_EQ(scanneur.LecturesAvance(), 0u);
        // What changes during the pause is seen.
        for (const std::string& feuille : feuilles)
            arbre.Fichier(feuille + "/ajout.mp3");
        fs::remove_all(arbre.Racine() + "/d1");
        marche.Reprendre();
        Attendre(marche);
        EXPECT_TRUE(marche.Termine());
    }
    Attendre(travailleurStockage);
    const Releve vu = Lire();
    EXPECT_TRUE(vu == Scanner(arbre.Racine(), 0));
}

TEST_F(LectureAvanceTest, WhatWasReadAheadBeforeAPauseIsReadAgainAfterIt)
{
    ArbreTemporaire arbre;
    const std::vector<std::string> feuilles = Generer(arbre, 4, false);

    // The walk is held after the root while the readers read ahead of it,
    // then paused as it goes on: the pause lands at its first check point,
    // with listings read ahead before it, however busy the machine and
    // however small the tree.
    Retenue retenue(scanneur);
    scanneur.DefinirLecteurs(Lecteurs);
    stock.Reinitialiser();
    stock.PreparerScan();
    ThreadStockage travailleurStockage(&stock);
    const std::set<pid_t> avant = FilsDuProcessus::Liste();
    ThreadScanneur travailleurScan(false, &travailleurStockage, arbre.Racine(), &scanneur);
    EXPECT_TRUE(AttendreSansEvenements([&] { return scanneur.LecturesAvance() >= 1; }, FinMaxMs))
        << "the readers read nothing ahead";
    Travailleur demande([&travailleurScan](Travailleur&) { travailleurScan.Suspendre(); });
    demande.Demarrer();
    EXPECT_TRUE(AttendreSansEvenements([&] { return travailleurScan.Suspendu(); }));
    retenue.Lacher();
    demande.Joindre();
    ASSERT_FALSE(travailleurScan.Fini()) << "the walk ended before it could be paused";
    EXPECT_EQ(travailleurScan.NombrePauses(), 1u);

    // A listing under way when the pause came may still end; none starts after it.
    ASSERT_TRUE(AttendreRegardsDesLecteurs(avant, 3)) << "the readers do not come to rest";
    const uint64_t enPause = scanneur.LecturesAvance();
    ASSERT_TRUE(AttendreRegardsDesLecteurs(avant, 5)) << "the readers do not look at the pause";
    EXPECT_EQ(scanneur.LecturesAvance(), enPause);

    // A new file in every leaf directory: those filed before the pause
    // lack it, every one filed after has it, read ahead before the pause
    // or not.
    const std::string ajout = "ajout.mp3";
    for (const std::string& feuille : feuilles)
        arbre.Fichier(feuille + "/" + ajout);
    travailleurScan.Reprendre();
    Attendre(travailleurStockage);
    // The store may end first: it is woken by the walk's last notice.
    Attendre(travailleurScan);
    EXPECT_TRUE(travailleurScan.Termine());
    const Releve apres = Lire();

    size_t avecAjout = 0;
    bool ajoutVu = false;
    for (const std::string& groupe : apres.Groupes[1]) {
        if (groupe.find("racine.flac") != std::string::npos)
            continue; // the root, filed before the pause
        const bool nouveau = groupe.find(ajout) != std::string::npos;
        EXPECT_TRUE(nouveau || !ajoutVu) << "filed after the pause without its new file: " << groupe;
        ajoutVu = ajoutVu || nouveau;
        avecAjout += nouveau ? 1 : 0;
    }
    EXPECT_GT(avecAjout, 0u);
}

TEST_F(LectureAvanceTest, AStopDuringReadAheadEndsTheReaders)
{
    ArbreTemporaire arbre;
    Generer(arbre, 4, false);
    // The walk is held after the root until the readers have read ahead.
    Retenue retenue(scanneur);
    scanneur.DefinirLecteurs(Lecteurs);
    stock.Reinitialiser();
    stock.PreparerScan();
    ThreadStockage travailleurStockage(&stock);
    const std::set<pid_t> avant = FilsDuProcessus::Liste();
    ThreadScanneur travailleurScan(false, &travailleurStockage, arbre.Racine(), &scanneur);
    EXPECT_TRUE(AttendreSansEvenements([&] { return scanneur.LecturesAvance() >= 3; }, FinMaxMs));
    travailleurScan.Arreter(); // returns when the walk and its readers are gone
    EXPECT_FALSE(travailleurScan.Termine());
    EXPECT_TRUE(travailleurScan.Fini());
    const uint64_t lues = scanneur.LecturesAvance();
    // No reader thread is left to count a listing (the walk's own thread
    // may still be on its way out).
    EXPECT_TRUE(AttendreSansEvenements([&] { return FilsDuProcessus::Nouveaux(avant).size() <= 1; }))
        << FilsDuProcessus::Nouveaux(avant).size() << " threads of the walk are left";
    EXPECT_EQ(scanneur.LecturesAvance(), lues);
    travailleurStockage.Arreter();
    retenue.Lacher();

    // A new scan with the same walker is whole.
    EXPECT_TRUE(Scanner(arbre.Racine(), Lecteurs) == Scanner(arbre.Racine(), 0));
}
