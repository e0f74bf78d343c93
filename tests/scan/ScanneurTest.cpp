// The walk and the two workers on real trees: pre-order, the settings,
// odd roots, links, unreadable and vanishing directories, depth beyond
// PATH_MAX, pause, stop and a new scan after a stopped one.

#include "scan/Scanneur.h"

#include "classification/Extension.h"
#include "shared/Option.h"
#include "scan/Explorateur.h"
#include "scan/Stockage.h"
#include "scan/ThreadScanneur.h"
#include "scan/ThreadStockage.h"

#include "scan/ArbreProfond.h"
#include "scan/MarcheEnPause.h"
#include "support/InformationTextes.h"
#include "support/ArbreTemporaire.h"
#include "support/MoteurDeTest.h"
#include "support/Attendre.h"
#include "support/Endurance.h"
#include "support/SansPrivileges.h"

#include <QImage>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <climits>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

constexpr Ordre ParRepertoire = Ordre::Repertoire;
// A worker that has not ended by then never will.
constexpr int FinMaxMs = 300000;
using Compteurs = std::array<int32_t, 4>;

class Parcours : public ::testing::Test, protected MoteurDeTest
{
protected:
    static void Attendre(const Travailleur& travailleur)
    {
        ASSERT_TRUE(AttendreSansEvenements([&] { return travailleur.Fini(); }, FinMaxMs)) << "the worker never ended";
    }

    // A whole scan by the two workers, as the home panel starts it.
    void Scanner(const std::string& racine)
    {
        stock.Reinitialiser();
        stock.PreparerScan();
        ThreadStockage travailleurStockage(&stock);
        ThreadScanneur travailleurScan(false, &travailleurStockage, racine, &scanneur);
        Attendre(travailleurStockage);
        // The store may end first: it is woken by the walk's last notice.
        Attendre(travailleurScan);
        EXPECT_TRUE(travailleurScan.Termine());
        EXPECT_TRUE(travailleurStockage.Termine());
    }

    Compteurs Lire() const
    {
        return {stock.Compteur(Categorie::Video), stock.Compteur(Categorie::Son), stock.Compteur(Categorie::Image),
                stock.Compteur(Categorie::Texte)};
    }

    // The directory of every "Par Répertoire" group of a category, in order.
    std::vector<std::string> Repertoires(Categorie categorie)
    {
        std::vector<std::string> chemins;
        for (int g = 0; g < stock.NombreRepertoires(categorie); ++g) {
            QString nom, ext, taille;
            const std::string chemin =
                InformationTextes(stock, Groupe{{categorie, ParRepertoire}, g}, 0, nom, ext, taille);
            chemins.push_back(chemin.substr(0, chemin.rfind('/')));
        }
        return chemins;
    }

    // Every file once per classification, as many as counted.
    void VerifierCoherence()
    {
        for (Categorie c : Categories) {
            size_t somme = 0;
            for (int g = 0; g < stock.NombreRepertoires(c); ++g)
                somme += stock.EnfantsGroupe(Groupe{{c, ParRepertoire}, g}).size();
            EXPECT_EQ(somme, static_cast<size_t>(stock.Compteur(c))) << Code(c);
        }
    }
};

// Pre-order by an independent walk that takes the same listing order.
void PreOrdre(const fs::path& repertoire, std::vector<std::string>& ordre)
{
    ordre.push_back(repertoire.string());
    for (const fs::directory_entry& entree : fs::directory_iterator(repertoire))
        if (entree.is_directory() && !entree.is_symlink())
            PreOrdre(entree.path(), ordre);
}

} // namespace

TEST(Scanneur, ExistenceTest)
{
    ArbreTemporaire arbre;
    EXPECT_FALSE(Scanneur::RepertoireInexistant(arbre.Racine()));
    EXPECT_FALSE(Scanneur::RepertoireInexistant(arbre.Racine() + "/"));
    EXPECT_FALSE(Scanneur::RepertoireInexistant(arbre.Fichier("a.txt"))); // a file passes
    EXPECT_TRUE(Scanneur::RepertoireInexistant(arbre.Racine() + "/absent"));
    EXPECT_TRUE(Scanneur::RepertoireInexistant(""));
}

TEST_F(Parcours, DepthFirstPreOrderInListingOrder)
{
    ArbreTemporaire arbre;
    for (const char* relatif : {"A/A1", "A/A2/X", "A/A2/Y", "B", "C/C1/D/E", "C/C2"})
        arbre.Repertoire(relatif);
    // One text file per directory names it.
    std::vector<std::string> tous;
    PreOrdre(arbre.Racine(), tous);
    for (const std::string& repertoire : tous)
        arbre.Fichier(fs::relative(repertoire, arbre.Racine()).string() + "/f.txt");

    Scanner(arbre.Racine());
    const std::vector<std::string> vus = Repertoires(Categorie::Texte);
    EXPECT_EQ(vus, tous);

    // Whatever the listing order: parents first, every subtree in one run.
    ASSERT_EQ(vus.size(), 12u);
    for (size_t i = 1; i < vus.size(); ++i) {
        const std::string parent = fs::path(vus[i]).parent_path().string();
        const auto position = std::find(vus.begin(), vus.end(), parent);
        ASSERT_NE(position, vus.end());
        EXPECT_LT(static_cast<size_t>(position - vus.begin()), i);
        for (auto j = position + 1; j != vus.begin() + static_cast<ptrdiff_t>(i); ++j)
            EXPECT_EQ(j->rfind(parent + "/", 0), 0u) << *j << " inside " << parent;
    }
}

TEST_F(Parcours, SettingsDecideWhatIsWalked)
{
    ArbreTemporaire arbre;
    arbre.Fichier("a.jpg");
    arbre.Fichier(".cache.jpg");
    arbre.Fichier("sous/b.jpg");
    arbre.Fichier(".secret/c.jpg");
    arbre.Fichier(".secret/.d.jpg");

    Scanner(arbre.Racine());
    EXPECT_EQ(stock.Compteur(Categorie::Image), 5);

    option.SousRepertoire = false;
    Scanner(arbre.Racine());
    EXPECT_EQ(stock.Compteur(Categorie::Image), 2);
    EXPECT_EQ(stock.NombreRepertoires(Categorie::Image), 1);

    option.SousRepertoire = true;
    option.RepertoireCache = false;
    Scanner(arbre.Racine());
    EXPECT_EQ(stock.Compteur(Categorie::Image), 3);

    option.RepertoireCache = true;
    option.FichierCache = false;
    Scanner(arbre.Racine());
    EXPECT_EQ(stock.Compteur(Categorie::Image), 3); // a, sous/b, .secret/c
}

TEST_F(Parcours, RootWithTrailingSeparatorFileAsRootAndEmptyRoot)
{
    ArbreTemporaire arbre;
    arbre.Fichier("X/Y/a.txt");
    arbre.Fichier("b.txt");

    Scanner(arbre.Racine() + "/");
    EXPECT_EQ(stock.Compteur(Categorie::Texte), 2);
    for (const std::string& repertoire : Repertoires(Categorie::Texte))
        EXPECT_EQ(repertoire.find("//"), std::string::npos) << repertoire;
    EXPECT_EQ(Repertoires(Categorie::Texte).back(), arbre.Racine() + "/X/Y");

    // A file given as root: one directory that cannot be listed, no files.
    Scanner(arbre.Racine() + "/b.txt");
    EXPECT_EQ(Lire(), (Compteurs{0, 0, 0, 0}));

    ArbreTemporaire vide;
    Scanner(vide.Racine());
    EXPECT_EQ(Lire(), (Compteurs{0, 0, 0, 0}));

    Scanner(vide.Racine() + "/absent");
    EXPECT_EQ(Lire(), (Compteurs{0, 0, 0, 0}));
}

TEST_F(Parcours, LinksToDirectoriesAreNeverEntered)
{
    ArbreTemporaire arbre;
    arbre.Fichier("a.mp3");
    arbre.Fichier("sous/b.mp3");
    fs::create_directory_symlink("..", arbre.Racine() + "/sous/boucle");
    fs::create_directory_symlink("sous", arbre.Racine() + "/raccourci");
    fs::create_symlink("a.mp3", arbre.Racine() + "/lien.mp3");

    Scanner(arbre.Racine());
    EXPECT_EQ(stock.Compteur(Categorie::Son), 3); // a, lien (a file), sous/b
    EXPECT_EQ(stock.NombreRepertoires(Categorie::Son), 2);
}

TEST_F(Parcours, OnlyRegularFilesAndLinksToThemAreCounted)
{
    ArbreTemporaire arbre;
    for (const char* nom : {"a.mp3", "b.mp3", "c.mp3"})
        arbre.Fichier(nom);
    fs::create_symlink("a.mp3", arbre.Racine() + "/lien.mp3");
    fs::create_symlink("/dev/zero", arbre.Racine() + "/zero.mp3");
    ASSERT_EQ(mkfifo((arbre.Racine() + "/tube.mp3").c_str(), 0644), 0);
    const int prise = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un adresse{};
    adresse.sun_family = AF_UNIX;
    const std::string chemin = arbre.Racine() + "/prise.mp3";
    ASSERT_LT(chemin.size(), sizeof adresse.sun_path);
    std::copy(chemin.begin(), chemin.end(), adresse.sun_path);
    ASSERT_EQ(::bind(prise, reinterpret_cast<const sockaddr*>(&adresse), sizeof adresse), 0);

    Scanner(arbre.Racine());
    ::close(prise);
    EXPECT_EQ(stock.Compteur(Categorie::Son), 4); // as find -type f -o -xtype f
}

TEST_F(Parcours, AnUnreadableDirectoryIsSkippedAndTheWalkGoesOn)
{
    ArbreTemporaire arbre;
    arbre.Fichier("a.txt");
    arbre.Fichier("prive/b.txt");
    arbre.Fichier("prive/dessous/c.txt");
    arbre.Fichier("suite/d.txt");
    ASSERT_EQ(chmod(arbre.Racine().c_str(), 0755), 0);
    ASSERT_EQ(chmod((arbre.Racine() + "/prive").c_str(), 0700), 0);
    for (const char* r : {"/suite", "/prive/dessous"})
        ASSERT_EQ(chmod((arbre.Racine() + r).c_str(), 0755), 0);

    // As "nobody", in a child process: prive cannot be opened.
    const std::string racine = arbre.Racine();
    const bool reussi = ExecuterSansPrivileges([&] {
        Scanner(racine);
        return stock.Compteur(Categorie::Texte) == 2 && stock.NombreRepertoires(Categorie::Texte) == 2;
    });
    EXPECT_TRUE(reussi);

    // With the privileges everything is read.
    Scanner(racine);
    EXPECT_EQ(stock.Compteur(Categorie::Texte), 4);
}

TEST_F(Parcours, ADirectoryRemovedDuringTheWalk)
{
    ArbreTemporaire arbre;
    arbre.Fichier("r.doc");
    arbre.Fichier("A/a.doc");
    arbre.Fichier("A/A1/a1.doc");
    arbre.Fichier("B/b.doc");

    stock.Reinitialiser();
    stock.PreparerScan();
    ThreadStockage travailleurStockage(&stock);
    {
        // Paused after the root was listed: A and B are known, not yet read.
        MarcheEnPause marche(scanneur, arbre.Racine());
        fs::remove_all(arbre.Racine() + "/A");
        marche.Reprendre();
        Attendre(marche);
        EXPECT_TRUE(marche.Termine());
    }
    Attendre(travailleurStockage);
    EXPECT_TRUE(travailleurStockage.Termine());
    EXPECT_EQ(stock.Compteur(Categorie::Texte), 2); // r and B/b
    EXPECT_EQ(Repertoires(Categorie::Texte), (std::vector<std::string>{arbre.Racine(), arbre.Racine() + "/B"}));
}

TEST_F(Parcours, TreesDeeperThanPathMax)
{
    ArbreTemporaire arbre;
    constexpr int Niveaux = 1100;
    const std::string nom = "dddd";
    const std::string fond = CreerChaine(arbre.Racine(), nom, Niveaux);
    ASSERT_GT(fond.size(), static_cast<size_t>(PATH_MAX));
    const std::string milieu = fond.substr(0, arbre.Racine().size() + (nom.size() + 1) * (Niveaux / 2));
    EcrireFichier(fond, "fond.txt", 3000);
    EcrireFichier(milieu, "milieu.txt", 10);

    Scanner(arbre.Racine());
    EXPECT_EQ(stock.Compteur(Categorie::Texte), 2);
    EXPECT_EQ(Repertoires(Categorie::Texte), (std::vector<std::string>{milieu, fond}));

    QString nomFichier, ext, taille;
    const std::string chemin =
        InformationTextes(stock, Groupe{{Categorie::Texte, ParRepertoire}, 1}, 0, nomFichier, ext, taille);
    EXPECT_EQ(chemin, fond + "/fond.txt");
    EXPECT_EQ(nomFichier, "fond.txt");
    EXPECT_EQ(taille, "2 Ko");
    Descripteur ouvert(Explorateur::OuvrirChemin(chemin, O_RDONLY));
    EXPECT_TRUE(ouvert.Valide());

    SupprimerChaine(arbre.Racine(), nom, Niveaux, {"fond.txt", "milieu.txt"});
}

// Sizes read during the walk, by the store worker behind a walk that lists
// alone and by readers listing ahead of it, against stat: sparse files (one
// beyond 4 GiB, one beyond what 5 bytes hold), a file growing during the
// walk, a link to a file, a link to a directory, a name that is not UTF-8,
// and as "nobody" a file whose directory can be listed but not searched.
TEST_F(Parcours, SizesAreThoseStatGivesWhoeverReadsThem)
{
    ArbreTemporaire arbre;
    const std::string racine = arbre.Racine();
    arbre.Fichier("a/petit.jpg", 1234);
    fs::create_symlink("petit.jpg", racine + "/a/lien.jpg");
    fs::create_symlink(racine + "/a", racine + "/a/dossier.jpg");
    arbre.Fichier("b/\xff\xfe nom.png", 777);
    for (const auto& [nom, taille] : {std::pair<const char*, uintmax_t>{"c/creux.gif", 1u << 20},
                                      {"c/cinq.gif", uintmax_t{5} << 30},
                                      {"c/enorme.gif", uintmax_t{2} << 40}}) {
        std::error_code tropGrand; // a file system that cannot hold it leaves it empty
        fs::resize_file(arbre.Fichier(nom), taille, tropGrand);
    }
    arbre.Fichier("d/ferme/cache.jpg", 99);
    ASSERT_EQ(chmod((racine + "/d/ferme").c_str(), 0744), 0);
    const std::string grandit = arbre.Fichier("e/grandit.bmp");
    ASSERT_EQ(chmod(racine.c_str(), 0755), 0);
    // With readers, the walk waits at the root until they have listed its five directories.
    scanneur.ApresRacine = [&](Travailleur&) {
        if (scanneur.Lecteurs() > 0)
            AttendreSansEvenements([&] { return scanneur.LecturesAvance() >= 5; }, FinMaxMs);
    };

    for (const int lecteurs : {0, 4}) {
        SCOPED_TRACE(lecteurs);
        scanneur.DefinirLecteurs(lecteurs, {});
        std::atomic<bool> fin{false};
        std::thread ecrivain([&] {
            const std::string bloc(4096, 'x');
            FILE* flux = std::fopen(grandit.c_str(), "ab");
            while (flux && !fin.load() && std::ftell(flux) < (64 << 20))
                std::fwrite(bloc.data(), 1, bloc.size(), flux) == bloc.size() && std::fflush(flux) == 0;
            if (flux)
                std::fclose(flux);
        });
        const uintmax_t avant = fs::file_size(grandit);
        Scanner(racine);
        fin.store(true);
        ecrivain.join();

        int64_t total = 0;
        int fichiers = 0;
        for (int g = 0; g < stock.NombreRepertoires(Categorie::Image); ++g) {
            const Groupe groupe{{Categorie::Image, ParRepertoire}, g};
            const std::vector<EnfantNoeud> enfants = stock.EnfantsGroupe(groupe);
            const std::vector<std::string> chemins = stock.CheminsGroupe(groupe);
            ASSERT_EQ(enfants.size(), chemins.size());
            for (size_t i = 0; i < chemins.size(); ++i, ++fichiers) {
                SCOPED_TRACE(chemins[i]);
                total += enfants[i].Octets;
                const auto taille = static_cast<int64_t>(fs::file_size(chemins[i]));
                if (chemins[i] == grandit) // one of the sizes it had during the walk
                    EXPECT_TRUE(enfants[i].Octets >= static_cast<int64_t>(avant) && enfants[i].Octets <= taille &&
                                enfants[i].Octets % 4096 == 0);
                else
                    EXPECT_EQ(enfants[i].Octets, taille);
            }
        }
        EXPECT_EQ(fichiers, 8); // the link to a directory is no file
        EXPECT_EQ(stock.Octets(Categorie::Image), total);
        EXPECT_EQ(stock.TaillesIlisibles(Categorie::Image), 0);
        EXPECT_GE(scanneur.LecturesAvance(), lecteurs > 0 ? 5u : 0u);
        int64_t lisibles = 0;
        for (const char* nom : {"a/petit.jpg", "a/lien.jpg", "b/\xff\xfe nom.png", "c/creux.gif", "c/cinq.gif",
                                "c/enorme.gif", "e/grandit.bmp"})
            lisibles += static_cast<int64_t>(fs::file_size(racine + "/" + nom));

        // As "nobody", d/ferme is listed but its file cannot be stat'ed:
        // counted, with size 0, and marked.
        const bool reussi = ExecuterSansPrivileges([&] {
            Scanner(racine);
            const Groupe liste{{Categorie::Image, Ordre::Taille}, 0};
            const std::vector<EnfantNoeud> enfants = stock.EnfantsGroupe(liste);
            return stock.Compteur(Categorie::Image) == 8 && stock.TaillesIlisibles(Categorie::Image) == 1 &&
                   !enfants.empty() && enfants.back().Texte == "cache.jpg" && enfants.back().Octets == -1 &&
                   stock.OctetsGroupe(liste) == lisibles;
        });
        EXPECT_TRUE(reussi);
    }
}

class Travaux : public Parcours
{
protected:
    // Directories each holding one file of every category and one dropped.
    void Creer(ArbreTemporaire& arbre, int repertoires)
    {
        for (int r = 0; r < repertoires; ++r) {
            const std::string dossier = "d" + std::to_string(r / 20) + "/r" + std::to_string(r);
            for (const char* nom : {"/v.avi", "/s.mp3", "/i.jpg", "/t.txt", "/z.zip"})
                arbre.Fichier(dossier + nom);
        }
    }
};

TEST_F(Travaux, PauseFreezesTheCountersAndResumeFinishes)
{
    constexpr int Nombre = 300;
    ArbreTemporaire arbre;
    Creer(arbre, Nombre);

    stock.Reinitialiser();
    stock.PreparerScan();
    ThreadStockage travailleurStockage(&stock);
    travailleurStockage.Suspendre();
    ThreadScanneur travailleurScan(false, &travailleurStockage, arbre.Racine(), &scanneur);
    travailleurScan.Suspendre();

    // Both workers stand at a check point, where nothing but Reprendre
    // wakes them: the counts hold.
    EXPECT_GE(travailleurScan.NombrePauses(), 1u);
    EXPECT_GE(travailleurStockage.NombrePauses(), 1u);
    const Compteurs enPause = Lire();
    QCoreApplication::processEvents();
    EXPECT_EQ(Lire(), enPause);
    EXPECT_LT(enPause[2], Nombre);
    VerifierCoherence();
    EXPECT_FALSE(travailleurStockage.Fini());

    travailleurScan.Reprendre();
    travailleurStockage.Reprendre();
    Attendre(travailleurStockage);
    EXPECT_TRUE(travailleurStockage.Termine());
    // The store may end first: it is woken by the walk's last notice.
    Attendre(travailleurScan);
    EXPECT_TRUE(travailleurScan.Termine());
    EXPECT_EQ(Lire(), (Compteurs{Nombre, Nombre, Nombre, Nombre}));
    VerifierCoherence();
}

TEST_F(Travaux, StopMidScanThenANewScanStartsFresh)
{
    ArbreTemporaire grand;
    Creer(grand, 60);
    grand.Fichier("racine.jpg");
    grand.Fichier("racine.txt");
    ArbreTemporaire petit;
    Creer(petit, 7);

    // Stopped while the walk waits after the root: the root alone is filed.
    stock.Reinitialiser();
    stock.PreparerScan();
    auto ancienStockage = std::make_unique<ThreadStockage>(&stock);
    auto ancienneMarche = std::make_unique<MarcheEnPause>(scanneur, grand.Racine());
    while (stock.Compteur(Categorie::Texte) == 0)
        std::this_thread::yield();
    ancienneMarche->Arreter();
    ancienStockage->Arreter();
    EXPECT_FALSE(ancienneMarche->Termine());
    EXPECT_TRUE(ancienStockage->Fini());
    EXPECT_FALSE(ancienStockage->Termine());
    EXPECT_EQ(Lire(), (Compteurs{0, 0, 1, 1}));
    VerifierCoherence();

    // Stopped with the whole walk still queued and nothing filed.
    stock.Reinitialiser();
    stock.PreparerScan();
    auto autreStockage = std::make_unique<ThreadStockage>(&stock);
    autreStockage->Suspendre();
    auto autreScan = std::make_unique<ThreadScanneur>(false, autreStockage.get(), grand.Racine(), &scanneur);
    Attendre(*autreScan);
    EXPECT_TRUE(autreScan->Termine());
    autreStockage->Arreter();
    EXPECT_FALSE(autreStockage->Termine());
    EXPECT_EQ(Lire(), (Compteurs{0, 0, 0, 0}));

    // The stopped workers stay around: the new scan is not disturbed, and
    // what the old walk had queued is gone.
    Scanner(petit.Racine());
    EXPECT_EQ(Lire(), (Compteurs{7, 7, 7, 7}));
    for (const std::string& repertoire : Repertoires(Categorie::Image))
        EXPECT_EQ(repertoire.rfind(petit.Racine(), 0), 0u) << repertoire;
    ancienneMarche.reset();
    ancienStockage.reset();
    autreScan.reset();
    autreStockage.reset();
    EXPECT_EQ(Lire(), (Compteurs{7, 7, 7, 7}));
    VerifierCoherence();
}

TEST_F(Travaux, StopDuringAPause)
{
    ArbreTemporaire arbre;
    Creer(arbre, 50);
    stock.Reinitialiser();
    stock.PreparerScan();
    // The store worker is paused before the walk can end, so that it can
    // never finish on its own.
    ThreadStockage travailleurStockage(&stock);
    travailleurStockage.Suspendre();
    ThreadScanneur travailleurScan(false, &travailleurStockage, arbre.Racine(), &scanneur);
    travailleurScan.Suspendre();
    const Compteurs enPause = Lire();
    travailleurScan.Arreter();
    travailleurStockage.Arreter();
    EXPECT_TRUE(travailleurStockage.Fini());
    EXPECT_FALSE(travailleurStockage.Termine());
    EXPECT_EQ(Lire(), enPause);
    VerifierCoherence();
}

// Scans started, paused, resumed and stopped at random moments, one after
// the other on the same store: every scan that reaches its natural end
// counts exactly what a full scan counts.
TEST_F(Travaux, RandomPausesResumesAndStopsNeverChangeAFinishedScansCounts)
{
    constexpr int Nombre = 120;
    ArbreTemporaire arbre;
    Creer(arbre, Nombre);
    Scanner(arbre.Racine());
    const Compteurs complet = Lire();
    ASSERT_EQ(complet, (Compteurs{Nombre, Nombre, Nombre, Nombre}));

    std::mt19937 hasard(2026);
    auto tirer = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(hasard); };
    const int cycles = Endurance(200);
    int finis = 0, arretes = 0, pauses = 0;
    for (int c = 0; c < cycles; ++c) {
        stock.Reinitialiser();
        stock.PreparerScan();
        auto travailleurStockage = std::make_unique<ThreadStockage>(&stock);
        auto travailleurScan =
            std::make_unique<ThreadScanneur>(false, travailleurStockage.get(), arbre.Racine(), &scanneur);
        // Every third cycle runs to its end whatever happens in between.
        const bool jusquAuBout = c % 3 == 0;
        bool arrete = false;
        while (!travailleurStockage->Fini() && !arrete) {
            // The random delays are the point: each pause or stop lands at
            // another moment of the scan.
            std::this_thread::sleep_for(std::chrono::microseconds(tirer(3000)));
            switch (tirer(4)) {
            case 0: // pause both, as the home panel's pause does, then resume
                travailleurScan->Suspendre();
                travailleurStockage->Suspendre();
                ++pauses;
                std::this_thread::sleep_for(std::chrono::microseconds(tirer(2000))); // a pause of random length
                travailleurScan->Reprendre();
                travailleurStockage->Reprendre();
                break;
            case 1:
                if (!jusquAuBout) {
                    travailleurScan->Arreter();
                    travailleurStockage->Arreter();
                    arrete = true;
                }
                break;
            default:
                break;
            }
        }
        if (arrete) {
            ++arretes;
            VerifierCoherence();
        } else {
            Attendre(*travailleurStockage);
            ASSERT_TRUE(travailleurStockage->Termine()) << "cycle " << c;
            ASSERT_EQ(Lire(), complet) << "cycle " << c;
            VerifierCoherence();
            ++finis;
        }
    }
    EXPECT_GE(finis, cycles / 3);
    std::printf("%d cycles: %d finished, %d stopped, %d pauses\n", cycles, finis, arretes, pauses);
}

// A helper process creates and deletes sub-trees while scans run: no scan
// fails, every scan's store stays coherent, and once the helper has
// stopped a scan counts exactly what is on disk.
TEST_F(Travaux, ATreeChangingUnderTheWalkKeepsTheStoreCoherent)
{
    constexpr int Nombre = 60;
    ArbreTemporaire arbre;
    Creer(arbre, Nombre);
    const std::string mouvant = arbre.Racine() + "/mouvant";
    fs::create_directories(mouvant);

    const pid_t aide = ::fork();
    ASSERT_GE(aide, 0);
    if (aide == 0) {
        // Creates and deletes small sub-trees forever; killed by the test.
        std::error_code e;
        for (unsigned n = 0;; ++n) {
            const std::string racine = mouvant + "/s" + std::to_string(n % 8);
            if (fs::exists(racine, e)) {
                fs::remove_all(racine, e);
            } else {
                for (int p = 0; p < 4; ++p) {
                    const std::string dossier = racine + "/p" + std::to_string(p) + "/q";
                    fs::create_directories(dossier, e);
                    for (const char* nom : {"/v.avi", "/s.mp3", "/i.jpg", "/t.txt"})
                        ::close(::open((dossier + nom).c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644));
                }
            }
        }
    }

    const int scans = Endurance(30);
    for (int i = 0; i < scans; ++i) {
        Scanner(arbre.Racine());
        const Compteurs lus = Lire();
        for (int32_t n : lus)
            EXPECT_GE(n, Nombre) << "scan " << i;
        VerifierCoherence();
    }
    ASSERT_EQ(::kill(aide, SIGKILL), 0);
    int statut = 0;
    ASSERT_EQ(::waitpid(aide, &statut, 0), aide);
    ASSERT_TRUE(WIFSIGNALED(statut)) << "the helper process ended on its own";

    // Still: a scan counts what is there.
    // The helper may have been killed in the middle of a sub-tree: each
    // category is counted on its own.
    Compteurs attendus{Nombre, Nombre, Nombre, Nombre};
    for (const auto& entree : fs::recursive_directory_iterator(mouvant)) {
        const std::string extension = entree.path().extension().string();
        const std::array<const char*, 4> extensions{".avi", ".mp3", ".jpg", ".txt"};
        for (size_t c = 0; c < extensions.size(); ++c)
            if (entree.is_regular_file() && extension == extensions[c])
                ++attendus[c];
    }
    Scanner(arbre.Racine());
    EXPECT_EQ(Lire(), attendus);
    VerifierCoherence();
    std::printf("%d scans during changes\n", scans);
}
