// The registry layer on a real hive file in a temporary configuration folder.

#include "shared/Registre.h"

#include "support/ConfigTemporaire.h"
#include "support/SansPrivileges.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

const std::string Cle = "Software\\Dudidevir\\Ruvizaro\\1.0";
const std::string Racine = "HKEY_CURRENT_USER";

int NombreCopiesEndommagees(const ConfigTemporaire& config)
{
    int n = 0;
    for (const auto& entree : std::filesystem::directory_iterator(config.Dossier() + "/Dudidevir"))
        if (entree.path().filename().string().find(".endommage-") != std::string::npos)
            ++n;
    return n;
}

}  // namespace

TEST(Registre, WritesReadsBackAndKeepsOtherValues)
{
    ConfigTemporaire config;
    int32_t valeur = 0;
    EXPECT_FALSE(LireRegistre(Racine, Cle, "FichierCache", valeur));   // no file yet
    EXPECT_TRUE(EcrireRegistre(Racine, Cle, "FichierCache", 1));
    EXPECT_TRUE(EcrireRegistre(Racine, Cle, "TreeSon", -1));
    EXPECT_TRUE(EcrireRegistre(Racine, "Software\\Autre", "X", 7));
    ASSERT_TRUE(LireRegistre(Racine, Cle, "FichierCache", valeur));
    EXPECT_EQ(valeur, 1);
    ASSERT_TRUE(LireRegistre(Racine, Cle, "TreeSon", valeur));
    EXPECT_EQ(valeur, -1);
    EXPECT_FALSE(LireRegistre(Racine, Cle, "X", valeur));   // other key
    EXPECT_FALSE(LireRegistre(Racine, Cle + "\\Sous", "TreeSon", valeur));

    const std::string texte = config.Lire();
    EXPECT_NE(texte.find("[HKEY_CURRENT_USER\\Software\\Dudidevir\\Ruvizaro\\1.0]"), std::string::npos);
    EXPECT_NE(texte.find("\"FichierCache\"=dword:00000001"), std::string::npos);
    EXPECT_NE(texte.find("\"TreeSon\"=dword:ffffffff"), std::string::npos);
    // No temporary file is left behind by the atomic write.
    EXPECT_FALSE(std::filesystem::exists(config.FichierUtilisateur() + ".tmp"));
}

TEST(Registre, UnknownRootNamesTouchNothing)
{
    ConfigTemporaire config;
    int32_t valeur = 0;
    EXPECT_FALSE(EcrireRegistre("HKEY_NOWHERE", Cle, "A", 1));
    EXPECT_FALSE(LireRegistre("HKEY_NOWHERE", Cle, "A", valeur));
    EXPECT_FALSE(std::filesystem::exists(config.Dossier() + "/Dudidevir"));
    for (const char* racine : {"HKEY_CLASSES_ROOT", "HKEY_LOCAL_MACHINE", "HKEY_USERS", "HKEY_CURRENT_CONFIG"}) {
        EXPECT_TRUE(EcrireRegistre(racine, Cle, "A", 3)) << racine;
        EXPECT_TRUE(std::filesystem::exists(config.Dossier() + "/Dudidevir/" + racine + ".reg")) << racine;
    }
}

TEST(Registre, StringValuesRaiseTheTypeErrors)
{
    ConfigTemporaire config;
    config.Ecrire("Windows Registry Editor Version 5.00\n\n"
                  "[HKEY_CURRENT_USER\\Software\\Dudidevir\\Ruvizaro\\1.0]\n"
                  "\"SousRepertoire\"=\"x\"\n"
                  "\"DessinSon\"=\"abc\"\n"
                  "\"TreeSon\"=\"abcd\"\n"
                  "\"Echappe\"=\"a\\\"b\\\\c\"\n");
    int32_t valeur = 0;
    try {
        LireRegistre(Racine, Cle, "SousRepertoire", valeur);
        FAIL() << "no error for a string value";
    } catch (const ErreurRegistre& e) {
        EXPECT_STREQ(e.what(), "Invalid data type for 'SousRepertoire'");
    }
    // Three characters and their terminating zero still fit in four bytes.
    EXPECT_THROW(LireRegistre(Racine, Cle, "DessinSon", valeur), ErreurRegistre);
    try {
        LireRegistre(Racine, Cle, "TreeSon", valeur);
        FAIL() << "no error for a long string value";
    } catch (const ErreurRegistre& e) {
        EXPECT_STREQ(e.what(), "Failed to get data for 'TreeSon'");
    }
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
          std::string("\"FichierCache\"=dword:00000000\n"), valide + "\"X\"=dword:12\n",
          valide + "[broken\n"}) {
        ConfigTemporaire config;
        config.Ecrire(endommage);
        int32_t valeur = 5;
        EXPECT_FALSE(LireRegistre(Racine, Cle, "FichierCache", valeur));
        EXPECT_EQ(NombreCopiesEndommagees(config), 1);
        // The next write starts a fresh, valid file.
        EXPECT_TRUE(EcrireRegistre(Racine, Cle, "FichierCache", 1));
        ASSERT_TRUE(LireRegistre(Racine, Cle, "FichierCache", valeur));
        EXPECT_EQ(valeur, 1);
    }
}

TEST(Registre, RefusedWritesRaise)
{
    ConfigTemporaire config;
    std::filesystem::create_directories(config.Dossier() + "/Dudidevir");
    std::filesystem::permissions(config.Dossier(), std::filesystem::perms::all);
    std::filesystem::permissions(config.Dossier() + "/Dudidevir",
                                 std::filesystem::perms::owner_all | std::filesystem::perms::others_read |
                                     std::filesystem::perms::others_exec);
    // Without the right to write the folder, the write is refused loudly.
    EXPECT_TRUE(ExecuterSansPrivileges([] {
        try {
            EcrireRegistre(Racine, Cle, "A", 1);
        } catch (const ErreurRegistre& e) {
            return std::string(e.what()) == "Failed to set data for 'A'";
        }
        return false;
    }));
}
