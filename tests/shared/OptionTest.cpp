// The settings on a real settings file in a temporary configuration folder:
// what a load reads, checks and writes, and what a save stores.

#include "shared/Option.h"
#include "shared/Registre.h"

#include "support/Codes.h"
#include "support/ConfigTemporaire.h"
#include "support/SansPrivileges.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/inotify.h>
#include <unistd.h>

namespace {

const std::string Cle = "Software\\Dudidevir\\Ruvizaro\\1.0";

std::string Fichier(const std::string& valeurs)
{
    return "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Dudidevir\\Ruvizaro\\1.0]\n" +
           valeurs;
}

bool Present(const std::string& nom)
{
    const auto lue = LireRegistre("HKEY_CURRENT_USER", Cle, nom);
    return lue && lue.Valeur();
}

int32_t Valeur(const std::string& nom)
{
    const auto lue = LireRegistre("HKEY_CURRENT_USER", Cle, nom);
    EXPECT_TRUE(lue && lue.Valeur()) << nom;
    return lue && lue.Valeur() ? *lue.Valeur() : -99;
}

std::vector<Ordre> OrdresTenus(Option& option)
{
    std::vector<Ordre> ordres;
    for (Categorie categorie : Categories)
        ordres.push_back(option.OrdreArbre(categorie));
    return ordres;
}

const std::vector<Ordre> OrdresParDefaut = {Ordre::Repertoire, Ordre::Repertoire, Ordre::Repertoire, Ordre::Extension};

} // namespace

TEST(Option, FirstRunWritesTheDefaults)
{
    ConfigTemporaire config;
    Option option;
    ASSERT_TRUE(option.Charger());
    for (const char* nom : {"FichierCache", "RepertoireCache", "SousRepertoire", "DessinSon"})
        EXPECT_EQ(Valeur(nom), 1) << nom;
    for (const char* nom : {"TreeVideo", "TreeSon", "TreeImage", "TreeTexte"})
        EXPECT_FALSE(Present(nom)) << nom;
    EXPECT_TRUE(option.FichierCache);
    EXPECT_EQ(option.DessinSon, Dessin::Onde);
    EXPECT_EQ(OrdresTenus(option), OrdresParDefaut);
}

TEST(Option, StoredValuesAreCheckedOnceAtLoadAndSavedBack)
{
    ConfigTemporaire config;
    config.Ecrire(
        Fichier("\"FichierCache\"=dword:00000005\n\"RepertoireCache\"=dword:00000000\n"
                "\"TreeVideo\"=dword:00000002\n\"TreeSon\"=dword:00000004\n"
                "\"TreeImage\"=dword:ffffffff\n\"TreeTexte\"=dword:00000007\n\"DessinSon\"=dword:00000003\n"));
    Option option;
    ASSERT_TRUE(option.Charger());
    EXPECT_TRUE(option.FichierCache);
    EXPECT_FALSE(option.RepertoireCache);
    EXPECT_TRUE(option.SousRepertoire); // missing: written as 1
    EXPECT_EQ(option.DessinSon, Dessin::Aucun);
    EXPECT_EQ(OrdresTenus(option),
              (std::vector<Ordre>{Ordre::Alphabetique, Ordre::Repertoire, Ordre::Repertoire, Ordre::Extension}));
    // An order out of range stays in the file until the close saves the default.
    EXPECT_EQ(Valeur("TreeSon"), 4);
    ASSERT_TRUE(option.Sauver());
    EXPECT_EQ(Valeur("FichierCache"), 1);
    EXPECT_EQ(Valeur("RepertoireCache"), 0);
    EXPECT_EQ(Valeur("SousRepertoire"), 1);
    EXPECT_EQ(Valeur("TreeVideo"), 2);
    EXPECT_EQ(Valeur("TreeSon"), 3);
    EXPECT_EQ(Valeur("TreeImage"), 3);
    EXPECT_EQ(Valeur("TreeTexte"), 1);
    EXPECT_EQ(Valeur("DessinSon"), 3);

    // A drawing out of range is the waveform, stored as such by the save only.
    for (const char* stocke : {"00000000", "00000004", "ffffffff"}) {
        config.Ecrire(Fichier("\"DessinSon\"=dword:" + std::string(stocke) + "\n"));
        ASSERT_TRUE(option.Charger());
        EXPECT_EQ(option.DessinSon, Dessin::Onde) << stocke;
        EXPECT_NE(Valeur("DessinSon"), 1) << stocke;
        ASSERT_TRUE(option.Sauver());
        EXPECT_EQ(Valeur("DessinSon"), 1) << stocke;
    }
}

TEST(Option, DamagedFileLoadsWithDefaults)
{
    for (const std::string& contenu :
         {Fichier("\"FichierCache\"=dword:0000").substr(0, 60), std::string("\x89PNG\r\n\x1a\n garbage", 17)}) {
        ConfigTemporaire config;
        config.Ecrire(contenu);
        Option option;
        ASSERT_TRUE(option.Charger());
        EXPECT_EQ(Valeur("FichierCache"), 1);
        EXPECT_EQ(Valeur("DessinSon"), 1);
        EXPECT_EQ(option.TreeTexte, Ordre::Extension);
    }
}

TEST(Option, OneSaveIsOneWriteOfWhatChangedAndTheDrawingIsStoredInRange)
{
    ConfigTemporaire config;
    Option option;
    ASSERT_TRUE(option.Charger());
    const std::string dossier = config.Dossier() + "/Dudidevir";
    // The first save also stores the orders the file lacks; a drawing out
    // of range is the waveform, unchanged: nothing to write.
    for (const auto& [tenu, stocke, ecritures] :
         {std::tuple{0, 1, 1}, {7, 1, 0}, {-1, 1, 0}, {2, 2, 1}, {3, 3, 1}, {3, 3, 0}}) {
        const int notification = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        ASSERT_GE(notification, 0);
        ASSERT_GE(inotify_add_watch(notification, dossier.c_str(), IN_MOVED_TO), 0);
        option.DessinSon = static_cast<Dessin>(tenu);
        EXPECT_TRUE(option.Sauver());
        int renommages = 0;
        alignas(inotify_event) char tampon[4096];
        for (ssize_t n; (n = read(notification, tampon, sizeof tampon)) > 0;)
            for (char* p = tampon; p < tampon + n; ++renommages)
                p += sizeof(inotify_event) + reinterpret_cast<inotify_event*>(p)->len;
        close(notification);
        EXPECT_EQ(renommages, ecritures) << "DessinSon " << tenu;
        EXPECT_EQ(Valeur("DessinSon"), stocke) << "DessinSon " << tenu;
    }
    for (const char* nom :
         {"FichierCache", "RepertoireCache", "SousRepertoire", "TreeVideo", "TreeSon", "TreeImage", "TreeTexte"})
        EXPECT_TRUE(Present(nom)) << nom;
}

TEST(Option, TwoCopiesKeepEachOthersChanges)
{
    ConfigTemporaire config;
    Option a, b;
    ASSERT_TRUE(a.Charger());
    ASSERT_TRUE(b.Charger());
    a.TreeVideo = Ordre::Alphabetique;
    b.TreeSon = Ordre::Extension;
    b.FichierCache = false;
    ASSERT_TRUE(a.Sauver());
    ASSERT_TRUE(b.Sauver());
    ASSERT_TRUE(a.RetenirRepertoire("/home/x/Été"));
    // A save that changed nothing more keeps the other's values too.
    ASSERT_TRUE(a.Sauver());
    ASSERT_TRUE(b.Sauver());
    EXPECT_EQ(Valeur("TreeVideo"), 2);
    EXPECT_EQ(Valeur("TreeSon"), 1);
    EXPECT_EQ(Valeur("FichierCache"), 0);
    EXPECT_EQ(Valeur("TreeImage"), 3);
    Option relue;
    ASSERT_TRUE(relue.Charger());
    EXPECT_EQ(relue.DernierRepertoire, "/home/x/Été");
    EXPECT_EQ(relue.TreeSon, Ordre::Extension);

    // Saves racing from two copies: each copy's last change survives.
    constexpr int Tours = 40;
    auto changer = [](Option& option, Ordre& champ, Ordre final) {
        for (int i = 0; i < Tours; ++i) {
            champ = i + 1 == Tours ? final : Ordres[i % NombreOrdres];
            if (!option.Sauver())
                return false;
        }
        return true;
    };
    bool reussiA = false;
    std::thread copieA([&] { reussiA = changer(a, a.TreeImage, Ordre::Alphabetique); });
    const bool reussiB = changer(b, b.TreeTexte, Ordre::Repertoire);
    copieA.join();
    EXPECT_TRUE(reussiA && reussiB);
    EXPECT_EQ(Valeur("TreeImage"), 2);
    EXPECT_EQ(Valeur("TreeTexte"), 3);
    EXPECT_EQ(Valeur("TreeVideo"), 2);
    EXPECT_EQ(Valeur("TreeSon"), 1);
}

TEST(Option, TheLastFolderIsATextOfOneLine)
{
    ConfigTemporaire config;
    Option option;
    ASSERT_TRUE(option.Charger());
    // A line break cannot be stored: kept for the run only.
    EXPECT_FALSE(option.RetenirRepertoire("/a\nb"));
    EXPECT_EQ(option.DernierRepertoire, "/a\nb");
    // A number there is the wrong type: the load stops.
    config.Ecrire(Fichier("\"DernierRepertoire\"=dword:00000001\n"));
    const Resultat<void> chargement = option.Charger();
    ASSERT_FALSE(chargement);
    EXPECT_EQ(chargement.Echec().Message, "Invalid data type for 'DernierRepertoire'");
}

TEST(Option, AFolderThatRefusesWritesIsSaidInFrenchAndFailsTheSave)
{
    ConfigTemporaire config;
    const std::string dossier = config.Dossier() + "/Dudidevir";
    std::filesystem::create_directories(dossier);
    using std::filesystem::perms;
    std::filesystem::permissions(config.Dossier(), perms::all);
    std::filesystem::permissions(dossier,
                                 perms::owner_read | perms::owner_exec | perms::others_read | perms::others_exec);
    EXPECT_TRUE(ExecuterSansPrivileges([&] {
        Option option;
        testing::internal::CaptureStderr();
        const Resultat<void> chargement = option.Charger();
        const std::string erreurs = testing::internal::GetCapturedStderr();
        const Resultat<void> sauvegarde = option.Sauver();
        // The load goes on with the defaults and says why, once, in French.
        return chargement && option.SousRepertoire && std::count(erreurs.begin(), erreurs.end(), '\n') == 1 &&
               erreurs.starts_with("Ruvizaro : les réglages ne peuvent pas être enregistrés dans " + dossier +
                                   " (Failed to set data for 'FichierCache' : impossible de créer un fichier "
                                   "temporaire pour " +
                                   dossier + "/HKEY_CURRENT_USER.reg : ") &&
               !sauvegarde && sauvegarde.Echec().Message == "Failed to set data for 'SousRepertoire'";
    }));
}

TEST(Option, SavesHandedOverWaitForAHeldLockThenTheLatestLands)
{
    ConfigTemporaire config;
    Option option;
    ASSERT_TRUE(option.Charger());
    // The folder's lock held through another open file, as another program does.
    const int dossier = open((config.Dossier() + "/Dudidevir").c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_EQ(flock(dossier, LOCK_EX), 0);
    for (Ordre ordre : {Ordre::Repertoire, Ordre::Extension, Ordre::Alphabetique}) {
        option.TreeSon = ordre;
        option.Confier();
    }
    ASSERT_TRUE(option.ConfierRepertoire("/home/x/Été"));
    Resultat<void> retenue = option.AttendreEnregistrement(std::chrono::milliseconds(100));
    for (int i = 0; i < 200 && !retenue && retenue.Echec().Cause.find("verrouillé") == std::string::npos; ++i)
        retenue = option.AttendreEnregistrement(std::chrono::milliseconds(100));
    ASSERT_FALSE(retenue);
    EXPECT_EQ(retenue.Echec().Message, "Failed to set data for 'TreeSon'");
    EXPECT_EQ(retenue.Echec().Cause,
              "le dossier " + config.Dossier() + "/Dudidevir est verrouillé par un autre programme");
    EXPECT_FALSE(Present("TreeSon"));
    close(dossier);
    ASSERT_TRUE(option.AttendreEnregistrement(std::chrono::seconds(20)));
    EXPECT_EQ(Valeur("TreeSon"), Code(Ordre::Alphabetique));
    EXPECT_EQ(LireTexteRegistre("HKEY_CURRENT_USER", Cle, "DernierRepertoire").Valeur(), "/home/x/Été");
}
