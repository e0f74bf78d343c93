// The registry layer on a real hive file in a temporary configuration folder.

#include "shared/Registre.h"

#include "support/ConfigTemporaire.h"
#include "support/SansPrivileges.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const std::string Cle = "Software\\Dudidevir\\Ruvizaro\\1.0";
const std::string Racine = "HKEY_CURRENT_USER";

// The value read: nothing when missing, -999 when the read fails.
std::optional<int32_t> Lire(const std::string& racine, const std::string& cle, const std::string& nom)
{
    const auto lue = LireRegistre(racine, cle, nom);
    return lue ? lue.Valeur() : std::optional<int32_t>(-999);
}

// The message of a failed read or write, empty when it succeeded.
template <typename T>
std::string Message(const Resultat<T>& resultat)
{
    return resultat ? std::string() : resultat.Echec().Message;
}

int NombreCopiesEndommagees(const ConfigTemporaire& config)
{
    int n = 0;
    for (const auto& entree : std::filesystem::directory_iterator(config.Dossier() + "/Dudidevir"))
        if (entree.path().filename().string().find(".endommage-") != std::string::npos)
            ++n;
    return n;
}

} // namespace

TEST(Registre, WritesReadsBackAndKeepsOtherValues)
{
    ConfigTemporaire config;
    EXPECT_EQ(Lire(Racine, Cle, "FichierCache"), std::nullopt); // no file yet
    EXPECT_TRUE(EcrireRegistre(Racine, Cle, "FichierCache", 1));
    EXPECT_TRUE(EcrireRegistre(Racine, Cle, "TreeSon", -1));
    EXPECT_TRUE(EcrireRegistre(Racine, "Software\\Autre", "X", 7));
    EXPECT_EQ(Lire(Racine, Cle, "FichierCache"), 1);
    EXPECT_EQ(Lire(Racine, Cle, "TreeSon"), -1);
    EXPECT_EQ(Lire(Racine, Cle, "X"), std::nullopt); // other key
    EXPECT_EQ(Lire(Racine, Cle + "\\Sous", "TreeSon"), std::nullopt);

    const std::string texte = config.Lire();
    EXPECT_NE(texte.find("[HKEY_CURRENT_USER\\Software\\Dudidevir\\Ruvizaro\\1.0]"), std::string::npos);
    EXPECT_NE(texte.find("\"FichierCache\"=dword:00000001"), std::string::npos);
    EXPECT_NE(texte.find("\"TreeSon\"=dword:ffffffff"), std::string::npos);
}

TEST(Registre, ASaveLeavesTheUsersFilesBesideTheSettings)
{
    ConfigTemporaire config;
    ASSERT_TRUE(EcrireRegistre(Racine, Cle, "FichierCache", 1));
    // Copies the user made, some named as a save's temporary file once was,
    // and a damaged file set aside.
    const std::string dossier = config.Dossier() + "/Dudidevir/HKEY_CURRENT_USER.reg";
    const std::vector<std::string> copies = {".backup", ".sauveg", ".orig01", ".Ab3dEf", ".endommage-2026-12-07"};
    for (const std::string& suffixe : copies)
        std::ofstream(dossier + suffixe) << config.Lire();
    ASSERT_TRUE(EcrireRegistre(Racine, Cle, "SousRepertoire", 0));
    for (const std::string& suffixe : copies)
        EXPECT_TRUE(std::filesystem::exists(dossier + suffixe)) << suffixe;
    EXPECT_EQ(Lire(Racine, Cle, "SousRepertoire"), 0);
}

TEST(Registre, ALinkedFileKeepsItsLinkAndWhatIsNotAFileIsNeitherReadNorReplaced)
{
    ConfigTemporaire config;
    std::filesystem::create_directories(config.Dossier() + "/ailleurs");
    std::filesystem::create_directories(config.Dossier() + "/Dudidevir");
    std::filesystem::create_symlink("../ailleurs/reglages.reg", config.FichierUtilisateur());
    ASSERT_TRUE(EcrireRegistre(Racine, Cle, "TreeSon", 2));
    EXPECT_TRUE(std::filesystem::is_symlink(config.FichierUtilisateur()));
    EXPECT_NE(config.Lire().find("\"TreeSon\"=dword:00000002"), std::string::npos);
    // A FIFO is refused without waiting for a writer, and stays.
    std::filesystem::remove(config.FichierUtilisateur());
    ASSERT_EQ(::mkfifo(config.FichierUtilisateur().c_str(), 0600), 0);
    const Resultat<Registre::Ruche> chargee = Registre::Charger(config.FichierUtilisateur());
    ASSERT_FALSE(chargee);
    EXPECT_NE(chargee.Echec().Message.find(config.FichierUtilisateur() + " n'est pas un fichier ordinaire (un tube"),
              std::string::npos);
    EXPECT_EQ(Lire(Racine, Cle, "FichierCache"), std::nullopt);
    const Resultat<void> ecrite = EcrireRegistre(Racine, Cle, "FichierCache", 1);
    ASSERT_FALSE(ecrite);
    EXPECT_EQ(ecrite.Echec().Cause, chargee.Echec().Message);
    EXPECT_TRUE(std::filesystem::is_fifo(config.FichierUtilisateur()));
}

TEST(Registre, UnknownRootNamesTouchNothing)
{
    ConfigTemporaire config;
    EXPECT_EQ(Message(EcrireRegistre("HKEY_NOWHERE", Cle, "A", 1)), "racine de registre inconnue : HKEY_NOWHERE");
    EXPECT_EQ(Message(LireRegistre("HKEY_NOWHERE", Cle, "A")), "racine de registre inconnue : HKEY_NOWHERE");
    EXPECT_FALSE(std::filesystem::exists(config.Dossier() + "/Dudidevir"));
    for (const char* racine : {"HKEY_CLASSES_ROOT", "HKEY_LOCAL_MACHINE", "HKEY_USERS", "HKEY_CURRENT_CONFIG"}) {
        EXPECT_TRUE(EcrireRegistre(racine, Cle, "A", 3)) << racine;
        EXPECT_TRUE(std::filesystem::exists(config.Dossier() + "/Dudidevir/" + racine + ".reg")) << racine;
    }
}

TEST(Registre, StringValuesReadAsTheTypeErrors)
{
    ConfigTemporaire config;
    config.Ecrire("Windows Registry Editor Version 5.00\n\n"
                  "[HKEY_CURRENT_USER\\Software\\Dudidevir\\Ruvizaro\\1.0]\n"
                  "\"SousRepertoire\"=\"x\"\n"
                  "\"DessinSon\"=\"abc\"\n"
                  "\"TreeSon\"=\"abcd\"\n"
                  "\"Echappe\"=\"a\\\"b\\\\c\"\n");
    EXPECT_EQ(Message(LireRegistre(Racine, Cle, "SousRepertoire")), "Invalid data type for 'SousRepertoire'");
    // Three characters and their terminating zero still fit in four bytes.
    EXPECT_EQ(Message(LireRegistre(Racine, Cle, "DessinSon")), "Invalid data type for 'DessinSon'");
    EXPECT_EQ(Message(LireRegistre(Racine, Cle, "TreeSon")), "Failed to get data for 'TreeSon'");
    // The file was valid: a write keeps every value, escapes included.
    EXPECT_TRUE(EcrireRegistre(Racine, Cle, "FichierCache", 0));
    EXPECT_NE(config.Lire().find("\"Echappe\"=\"a\\\"b\\\\c\""), std::string::npos);
    EXPECT_EQ(NombreCopiesEndommagees(config), 0);
}

TEST(Registre, DamagedFilesAreSetAsideAndReadAsEmpty)
{
    const std::string valide = "Windows Registry Editor Version 5.00\n\n"
                               "[HKEY_CURRENT_USER\\Software\\Dudidevir\\Ruvizaro\\1.0]\n"
                               "\"FichierCache\"=dword:00000000\n";
    for (const std::string& endommage :
         {valide.substr(0, valide.size() - 9), std::string("\x01\x02garbage\xff\n", 12),
          std::string("\"FichierCache\"=dword:00000000\n"), valide + "\"X\"=dword:123456789\n", valide + "[broken\n"}) {
        ConfigTemporaire config;
        config.Ecrire(endommage);
        EXPECT_EQ(Lire(Racine, Cle, "FichierCache"), std::nullopt);
        EXPECT_EQ(NombreCopiesEndommagees(config), 1);
        // The next write starts a fresh, valid file.
        EXPECT_TRUE(EcrireRegistre(Racine, Cle, "FichierCache", 1));
        EXPECT_EQ(Lire(Racine, Cle, "FichierCache"), 1);
    }
}

TEST(Registre, RefusedWritesFailWithTheirReason)
{
    ConfigTemporaire config;
    std::filesystem::create_directories(config.Dossier() + "/Dudidevir");
    std::filesystem::permissions(config.Dossier(), std::filesystem::perms::all);
    std::filesystem::permissions(config.Dossier() + "/Dudidevir", std::filesystem::perms::owner_all |
                                                                      std::filesystem::perms::others_read |
                                                                      std::filesystem::perms::others_exec);
    // Without the right to write the folder, the write is refused loudly,
    // with the system's reason underneath.
    EXPECT_TRUE(ExecuterSansPrivileges([] {
        const Resultat<void> ecrite = EcrireRegistre(Racine, Cle, "A", 1);
        return !ecrite && ecrite.Echec().Message == "Failed to set data for 'A'" &&
               ecrite.Echec().Cause.find(std::strerror(EACCES)) != std::string::npos;
    }));
}

TEST(Registre, WindowsStyleFilesAreReadAndRewrittenCanonically)
{
    const std::string cle = "[HKEY_CURRENT_USER\\Software\\Dudidevir\\Ruvizaro\\1.0]";
    const std::string enTete = "Windows Registry Editor Version 5.00";
    // What regedit exports: UTF-16LE with its mark and CR LF line ends.
    std::string utf16 = "\xFF\xFE";
    for (char c : enTete + "\r\n\r\n" + cle + "\r\n\"FichierCache\"=dword:00000000\r\n\"TreeSon\"=dword:00000002\r\n")
        utf16 += std::string{c, '\0'};
    const std::string formes[] = {
        utf16,
        "\xEF\xBB\xBF" + enTete + "\n\n" + cle + "\n\"FichierCache\"=dword:00000000\n\"TreeSon\"=dword:2\n",
        enTete + "\n\n" + cle + "\n\"FichierCache\"=dword:0\n\"TreeSon\"=dword:00000002",
        "REGEDIT4\n\n; kept by hand\n" + cle + "  \n\"FichierCache\" = dword:0\n\"TreeSon\"\t=\tDWORD:2  \n",
    };
    for (const std::string& forme : formes) {
        ConfigTemporaire config;
        config.Ecrire(forme);
        EXPECT_EQ(Lire(Racine, Cle, "FichierCache"), 0) << forme;
        EXPECT_EQ(Lire(Racine, Cle, "TreeSon"), 2) << forme;
        EXPECT_EQ(NombreCopiesEndommagees(config), 0);
        // A write keeps every value and puts the file in the form it writes.
        EXPECT_TRUE(EcrireRegistre(Racine, Cle, "DessinSon", 3));
        EXPECT_EQ(config.Lire(), enTete + "\n\n" + cle +
                                     "\n\"DessinSon\"=dword:00000003\n\"FichierCache\"=dword:00000000\n"
                                     "\"TreeSon\"=dword:00000002\n");
    }
}

TEST(Registre, ADamagedFileThatCannotBeCopiedStaysAndIsNeverOverwritten)
{
    ConfigTemporaire config;
    const std::string endommage = "not a registry file\n";
    config.Ecrire(endommage);
    // Something that is not a file stands where every copy would go.
    const std::time_t maintenant = std::time(nullptr);
    for (std::time_t t = maintenant - 1; t <= maintenant + 10; ++t) {
        char horodatage[32];
        std::strftime(horodatage, sizeof horodatage, "%Y%m%d-%H%M%S", std::localtime(&t));
        std::filesystem::create_directories(config.FichierUtilisateur() + ".endommage-" + horodatage + "/x");
    }
    testing::internal::CaptureStderr();
    const Resultat<Registre::Ruche> chargee = Registre::Charger(config.FichierUtilisateur());
    EXPECT_EQ(Lire(Racine, Cle, "FichierCache"), std::nullopt);
    EXPECT_EQ(Lire(Racine, Cle, "FichierCache"), std::nullopt);
    const Resultat<void> ecrite = EcrireRegistre(Racine, Cle, "FichierCache", 1);
    const std::string erreurs = testing::internal::GetCapturedStderr();
    EXPECT_EQ(config.Lire(), endommage);
    ASSERT_FALSE(chargee);
    EXPECT_NE(chargee.Echec().Message.find(config.FichierUtilisateur() + " est endommagé"), std::string::npos);
    ASSERT_FALSE(ecrite);
    EXPECT_EQ(ecrite.Echec().Message, "Failed to set data for 'FichierCache'");
    EXPECT_EQ(ecrite.Echec().Cause, chargee.Echec().Message);
    // Said once, naming the file.
    const size_t premier = erreurs.find(config.FichierUtilisateur() + " est endommagé");
    EXPECT_NE(premier, std::string::npos) << erreurs;
    EXPECT_EQ(erreurs.rfind(" est endommagé"), premier + config.FichierUtilisateur().size()) << erreurs;
}

TEST(Registre, TwoProgramsWritingAtOnceLoseNothing)
{
    ConfigTemporaire config;
    ASSERT_TRUE(EcrireRegistre(Racine, Cle, "Ancienne", 1));
    const std::string dossier = config.Dossier() + "/Dudidevir";
    constexpr int Ecritures = 25;
    std::vector<pid_t> enfants;
    for (const char* prefixe : {"P", "Q"}) {
        const pid_t enfant = fork();
        ASSERT_GE(enfant, 0);
        if (enfant == 0) {
            int echecs = 0;
            for (int i = 0; i < Ecritures; ++i)
                echecs += !EcrireRegistre(Racine, Cle, prefixe + std::to_string(i), i);
            _exit(echecs == 0 ? 0 : 1);
        }
        enfants.push_back(enfant);
    }
    for (pid_t enfant : enfants) {
        int statut = 0;
        ASSERT_EQ(waitpid(enfant, &statut, 0), enfant);
        EXPECT_TRUE(WIFEXITED(statut) && WEXITSTATUS(statut) == 0) << "a write failed";
    }
    for (const char* prefixe : {"P", "Q"})
        for (int i = 0; i < Ecritures; ++i)
            EXPECT_EQ(Lire(Racine, Cle, prefixe + std::to_string(i)), i) << prefixe << i;
    EXPECT_EQ(Lire(Racine, Cle, "Ancienne"), 1);
    // Nothing is left beside the hive.
    for (const auto& entree : std::filesystem::directory_iterator(dossier))
        EXPECT_EQ(entree.path().filename(), "HKEY_CURRENT_USER.reg");
}
