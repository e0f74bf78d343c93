// The settings through the real start-up: a real settings file in a
// temporary configuration folder, the real window offscreen.

#include "app/Application.h"
#include "shared/Registre.h"
#include "trees/ArbreCategorie.h"
#include "ui/TFormPrincipal.h"
#include "widgets/ImageComposant.h"

#include "support/Codes.h"
#include "support/ConfigTemporaire.h"

#include <QApplication>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <utility>

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

}  // namespace

TEST(Option, FirstRunWritesTheDefaults)
{
    ConfigTemporaire config;
    Application application;
    application.Preparer();
    for (const char* nom : {"FichierCache", "RepertoireCache", "SousRepertoire", "DessinSon"})
        EXPECT_EQ(Valeur(nom), 1) << nom;
    for (const char* nom : {"TreeVideo", "TreeSon", "TreeImage", "TreeTexte"})
        EXPECT_FALSE(Present(nom)) << nom;
    EXPECT_TRUE(application.Options.FichierCache);
    // Missing, it is the waveform, and the sound player's set-up keeps it.
    EXPECT_EQ(application.Options.DessinSon, Dessin::Onde);
    const uint8_t attendus[] = {3, 3, 3, 1};
    for (int c = 0; c < 4; ++c)
        EXPECT_EQ(Code(application.Arbres.OrdreCourant(Categories[static_cast<size_t>(c)])), attendus[c]);
    // Every tree shows only the invitation, without root lines.
    for (CleArbre cle : ToutesLesCles) {
        ArbreCategorie* arbre = FormPrincipal->Arbre(cle);
        ASSERT_EQ(arbre->NombreRacines(), 1) << cle.Tag();
        EXPECT_EQ(arbre->Racine(0)->Texte, "Cliquer sur \" Lancement du Scan \"");
        EXPECT_FALSE(arbre->ShowRoot());
    }
}

TEST(Option, StoredValuesLoadAndSaveBack)
{
    ConfigTemporaire config;
    config.Ecrire(Fichier("\"FichierCache\"=dword:00000005\n\"RepertoireCache\"=dword:00000000\n"
                          "\"TreeVideo\"=dword:00000002\n\"TreeSon\"=dword:00000004\n"
                          "\"TreeImage\"=dword:ffffffff\n\"TreeTexte\"=dword:00000007\n\"DessinSon\"=dword:00000003\n"));
    {
        Application application;
        application.Preparer();
        EXPECT_TRUE(application.Options.FichierCache);
        EXPECT_FALSE(application.Options.RepertoireCache);
        EXPECT_TRUE(application.Options.SousRepertoire);   // missing: written as 1
        EXPECT_EQ(application.Options.DessinSon, Dessin::Aucun);
        const uint8_t attendus[] = {2, 3, 3, 1};
        for (int c = 0; c < 4; ++c)
            EXPECT_EQ(Code(application.Arbres.OrdreCourant(Categories[static_cast<size_t>(c)])), attendus[c]) << c;
        // Showing the window selects Home, which records the four orders.
        FormPrincipal->show();
        EXPECT_TRUE(application.Options.Sauver());
    }
    EXPECT_EQ(Valeur("FichierCache"), 1);
    EXPECT_EQ(Valeur("RepertoireCache"), 0);
    EXPECT_EQ(Valeur("SousRepertoire"), 1);
    EXPECT_EQ(Valeur("TreeVideo"), 2);
    EXPECT_EQ(Valeur("TreeSon"), 3);
    EXPECT_EQ(Valeur("TreeImage"), 3);
    EXPECT_EQ(Valeur("TreeTexte"), 1);
    EXPECT_EQ(Valeur("DessinSon"), 3);
}

TEST(Option, WrongTypeEndsStartUpWithOneMessage)
{
    struct Cas
    {
        std::string Valeurs;
        QString Message;
    };
    const Cas cas[] = {
        {"\"SousRepertoire\"=\"1\"\n", "Invalid data type for 'SousRepertoire'"},
        {"\"SousRepertoire\"=\"vrai\"\n", "Failed to get data for 'SousRepertoire'"},
    };
    for (const Cas& c : cas) {
        ConfigTemporaire config;
        config.Ecrire(Fichier(c.Valeurs));
        QStringList messages;
        const int code = Application::Executer([&](const QString& m) {
            messages << m;
            // No window is left when the message shows.
            EXPECT_EQ(FormPrincipal, nullptr);
        });
        EXPECT_EQ(code, 0);
        ASSERT_EQ(messages.size(), 1);
        EXPECT_EQ(messages.front(), c.Message);
    }
}

TEST(Option, DamagedFileStartsWithDefaults)
{
    for (const std::string& contenu : {Fichier("\"FichierCache\"=dword:0000").substr(0, 60),
                                       std::string("\x89PNG\r\n\x1a\n garbage", 17)}) {
        ConfigTemporaire config;
        config.Ecrire(contenu);
        Application application;
        application.Preparer();
        EXPECT_EQ(Valeur("FichierCache"), 1);
        EXPECT_EQ(Valeur("DessinSon"), 1);
        EXPECT_EQ(application.Arbres.OrdreCourant(Categorie::Texte), Ordre::Extension);
    }
}

TEST(Option, OneSaveIsOneWriteAndTheDrawingIsStoredInRange)
{
    ConfigTemporaire config;
    Option option;
    ASSERT_TRUE(option.Charger());
    const std::string dossier = config.Dossier() + "/Dudidevir";
    for (const auto& [tenu, stocke] : {std::pair{0, 1}, {7, 1}, {-1, 1}, {2, 2}, {3, 3}}) {
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
        EXPECT_EQ(renommages, 1) << "DessinSon " << tenu;
        EXPECT_EQ(Valeur("DessinSon"), stocke) << "DessinSon " << tenu;
    }
    for (const char* nom : {"FichierCache", "RepertoireCache", "SousRepertoire", "TreeVideo", "TreeSon", "TreeImage",
                            "TreeTexte"})
        EXPECT_TRUE(Present(nom)) << nom;
}

TEST(Option, ASettingsFolderThatTakesNoFileKeepsNoOneInOrOut)
{
    ConfigTemporaire config;
    // A folder stands where the settings file should be: nothing can be saved.
    std::filesystem::create_directories(config.FichierUtilisateur());
    testing::internal::CaptureStderr();
    Application application;
    EXPECT_NO_THROW(application.Preparer());
    const std::string erreurs = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(erreurs.begin(), erreurs.end(), '\n'), 1) << erreurs;
    EXPECT_NE(erreurs.find("Ruvizaro : les réglages ne peuvent pas être enregistrés dans " + config.Dossier() +
                           "/Dudidevir (Failed to set data for '"),
              std::string::npos)
        << erreurs;
    EXPECT_TRUE(application.Options.SousRepertoire);
    FormPrincipal->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(FormPrincipal));

    // The close picture reports the failed save once and still ends the run.
    int boites = 0;
    QTimer repondre;
    QObject::connect(&repondre, &QTimer::timeout, [&] {
        if (QWidget* boite = QApplication::activeModalWidget()) {
            ++boites;
            boite->close();
        }
    });
    repondre.start(20);
    QTimer::singleShot(0, [] { QTest::mouseClick(FormPrincipal->ImgClose, Qt::LeftButton, {}, QPoint(7, 7)); });
    QTimer garde;
    garde.setSingleShot(true);
    QObject::connect(&garde, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    garde.start(5000);
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_EQ(boites, 1);
}
