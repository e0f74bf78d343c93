// The walker on real directories: listing under the three settings, links,
// unreadable and missing directories, sizes, size texts, extensions, and
// paths longer than PATH_MAX.

#include "scan/Explorateur.h"

#include "shared/Option.h"
#include "scan/Descripteur.h"

#include "scan/ArbreProfond.h"
#include "support/ArbreTemporaire.h"
#include "support/SansPrivileges.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A Unix socket bound at a path; its descriptor, or -1.
int CreerPrise(const std::string& chemin)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un adresse{};
    adresse.sun_family = AF_UNIX;
    if (fd < 0 || chemin.size() >= sizeof adresse.sun_path)
        return fd;
    std::memcpy(adresse.sun_path, chemin.c_str(), chemin.size() + 1);
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&adresse), sizeof adresse) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

using Noms = std::set<std::string>;

struct Liste
{
    Noms SousRepertoires;
    Noms Fichiers;
};

Liste Lister(const Explorateur& explorateur, const std::string& repertoire)
{
    std::vector<std::string> sous = {"reste"};
    std::vector<std::string> fichiers = {"reste"};
    explorateur.ListerRepertoire(repertoire, sous, fichiers);
    Liste liste{{sous.begin(), sous.end()}, {fichiers.begin(), fichiers.end()}};
    // No name twice.
    EXPECT_EQ(liste.SousRepertoires.size(), sous.size());
    EXPECT_EQ(liste.Fichiers.size(), fichiers.size());
    return liste;
}

class Listage : public ::testing::Test
{
protected:
    void SetUp() override
    {
        racine = arbre.Racine();
        arbre.Fichier("visible.txt");
        arbre.Fichier(".cache.txt");
        arbre.Fichier("sans extension");
        arbre.Repertoire("Dossier");
        arbre.Repertoire(".dossier");
        arbre.Fichier(".dossier/.dedans.txt"); // judged on its own, below a hidden directory
        explorateur.Lier(&option);
    }

    ArbreTemporaire arbre;
    std::string racine;
    Option option;
    Explorateur explorateur;
};

} // namespace

TEST_F(Listage, TheThreeSettingsInEveryCombination)
{
    for (int combinaison = 0; combinaison < 8; ++combinaison) {
        const bool fichiersCaches = combinaison & 1;
        const bool repertoiresCaches = combinaison & 2;
        const bool sousRepertoires = combinaison & 4;
        option.FichierCache = fichiersCaches;
        option.RepertoireCache = repertoiresCaches;
        option.SousRepertoire = sousRepertoires;
        SCOPED_TRACE(combinaison);

        const Liste liste = Lister(explorateur, racine);
        Noms fichiers = {"visible.txt", "sans extension"};
        if (fichiersCaches)
            fichiers.insert(".cache.txt");
        Noms sous;
        if (sousRepertoires)
            sous.insert("Dossier");
        if (sousRepertoires && repertoiresCaches)
            sous.insert(".dossier");
        EXPECT_EQ(liste.Fichiers, fichiers);
        EXPECT_EQ(liste.SousRepertoires, sous);

        const Liste dedans = Lister(explorateur, racine + "/.dossier");
        EXPECT_EQ(dedans.Fichiers, fichiersCaches ? Noms{".dedans.txt"} : Noms{});
    }
}

TEST_F(Listage, SettingsAreReadAtEveryListing)
{
    option.SousRepertoire = false;
    EXPECT_TRUE(Lister(explorateur, racine).SousRepertoires.empty());
    option.SousRepertoire = true;
    EXPECT_EQ(Lister(explorateur, racine).SousRepertoires, (Noms{"Dossier", ".dossier"}));
}

TEST_F(Listage, TrailingSeparatorAndDotEntries)
{
    const Liste sans = Lister(explorateur, racine);
    const Liste avec = Lister(explorateur, racine + "/");
    EXPECT_EQ(sans.Fichiers, avec.Fichiers);
    EXPECT_EQ(sans.SousRepertoires, avec.SousRepertoires);
    for (const Liste* liste : {&sans, &avec}) {
        for (const char* point : {".", ".."}) {
            EXPECT_EQ(liste->Fichiers.count(point), 0u);
            EXPECT_EQ(liste->SousRepertoires.count(point), 0u);
        }
    }
}

TEST_F(Listage, LinksAreListedByWhatTheyAre)
{
    const std::filesystem::path r(racine);
    std::filesystem::create_symlink("visible.txt", r / "lien-fichier.txt");
    std::filesystem::create_directory_symlink("Dossier", r / "lien-dossier");
    std::filesystem::create_directory_symlink(".", r / "boucle"); // a link to its own parent
    std::filesystem::create_symlink("absent.txt", r / "pendant.txt");
    std::filesystem::create_symlink("/dev/zero", r / "zero.txt");
    ASSERT_EQ(mkfifo((racine + "/tube.txt").c_str(), 0644), 0);
    const Descripteur prise(CreerPrise(racine + "/prise.txt"));
    ASSERT_TRUE(prise.Valide());

    // What find -type f -o -xtype f lists: regular files and links to them.
    const Liste liste = Lister(explorateur, racine);
    EXPECT_EQ(liste.SousRepertoires, (Noms{"Dossier", ".dossier"}));
    EXPECT_EQ(liste.Fichiers, (Noms{"visible.txt", ".cache.txt", "sans extension", "lien-fichier.txt"}));
}

TEST_F(Listage, WhatCannotBeListedGivesTwoEmptyLists)
{
    for (const std::string& chemin : {racine + "/absent", racine + "/visible.txt", std::string()}) {
        const Liste liste = Lister(explorateur, chemin);
        EXPECT_TRUE(liste.Fichiers.empty()) << chemin;
        EXPECT_TRUE(liste.SousRepertoires.empty()) << chemin;
    }

    // Without root's privileges a directory of mode 0700 owned by root
    // cannot be opened; its parent stays listable.
    arbre.Fichier("prive/dedans.txt");
    ASSERT_EQ(chmod(racine.c_str(), 0755), 0);
    ASSERT_EQ(chmod((racine + "/prive").c_str(), 0700), 0);
    const std::string prive = racine + "/prive";
    const bool vu = ExecuterSansPrivileges([&] {
        std::vector<std::string> sous = {"reste"};
        std::vector<std::string> fichiers = {"reste"};
        explorateur.ListerRepertoire(prive, sous, fichiers);
        const bool vide = sous.empty() && fichiers.empty();
        explorateur.ListerRepertoire(racine, sous, fichiers);
        return vide && std::count(sous.begin(), sous.end(), "prive") == 1 &&
               Explorateur::LireTaille(prive + "/dedans.txt") == 0;
    });
    EXPECT_TRUE(vu);
}

TEST(Explorateur, SizesReadFromTheFileSystem)
{
    ArbreTemporaire arbre;
    EXPECT_EQ(Explorateur::LireTaille(arbre.Fichier("vide.txt", 0)), 0);
    EXPECT_EQ(Explorateur::LireTaille(arbre.Fichier("un.txt", 1)), 1);
    EXPECT_EQ(Explorateur::LireTaille(arbre.Fichier("moyen.bin", 123457)), 123457);
    EXPECT_EQ(Explorateur::LireTaille(arbre.Racine() + "/absent"), 0);
    EXPECT_EQ(Explorateur::LireTaille(arbre.Racine()), 0); // a directory
    EXPECT_EQ(Explorateur::LireTaille(""), 0);

    // A FIFO must not block the reader.
    const std::string fifo = arbre.Racine() + "/tube.mp3";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
    EXPECT_EQ(Explorateur::LireTaille(fifo), 0);

    // A link to a file reads the file.
    std::filesystem::create_symlink("moyen.bin", arbre.Racine() + "/lien.bin");
    EXPECT_EQ(Explorateur::LireTaille(arbre.Racine() + "/lien.bin"), 123457);
}

TEST(Explorateur, JoiningNeverDoublesTheSeparator)
{
    EXPECT_EQ(Explorateur::Joindre("/", "usr"), "/usr");
    EXPECT_EQ(Explorateur::Joindre("/data", "x"), "/data/x");
    EXPECT_EQ(Explorateur::Joindre("/data/", "x"), "/data/x");
    EXPECT_EQ(Explorateur::Joindre("/data/X", "Y.jpg"), "/data/X/Y.jpg");
}

TEST(Explorateur, PathsLongerThanPathMax)
{
    ArbreTemporaire arbre;
    constexpr int Niveaux = 1100;
    const std::string nom = "dddd";
    const std::string fond = CreerChaine(arbre.Racine(), nom, Niveaux);
    ASSERT_GT(fond.size(), static_cast<size_t>(PATH_MAX));
    EcrireFichier(fond, "f.txt", 5);
    {
        Descripteur fd(Explorateur::OuvrirChemin(fond, O_RDONLY | O_DIRECTORY));
        ASSERT_TRUE(fd.Valide());
        ASSERT_EQ(mkdirat(fd.Fd(), "sous", 0755), 0);
    }

    Option option;
    Explorateur explorateur;
    explorateur.Lier(&option);
    const Liste liste = Lister(explorateur, fond);
    EXPECT_EQ(liste.Fichiers, Noms{"f.txt"});
    EXPECT_EQ(liste.SousRepertoires, Noms{"sous"});
    EXPECT_EQ(Explorateur::LireTaille(fond + "/f.txt"), 5);
    // Doubled separators inside a long path are read as one.
    std::string double_ = fond;
    double_.insert(arbre.Racine().size(), "/");
    EXPECT_EQ(Explorateur::LireTaille(double_ + "//f.txt"), 5);
    EXPECT_EQ(Explorateur::LireTaille(fond + "/absent.txt"), 0);
    EXPECT_TRUE(Lister(explorateur, fond + "/absent").Fichiers.empty());

    SupprimerChaine(arbre.Racine(), nom, Niveaux, {"f.txt", "sous"});
}
