// The settings through the real start-up: a real settings file in a
// temporary configuration folder, the real window offscreen. What the
// settings themselves read and store is tested in tests/shared/OptionTest.

#include "app/Application.h"
#include "trees/ArbreCategorie.h"
#include "ui/TFormPrincipal.h"
#include "widgets/ImageComposant.h"

#include "support/Codes.h"
#include "support/ConfigTemporaire.h"

#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace {

std::string Fichier(const std::string& valeurs)
{
    return "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Dudidevir\\Ruvizaro\\1.0]\n" +
           valeurs;
}

} // namespace

TEST(SettingsAtStartUp, FirstRunShowsTheDefaultOrdersAndTheInvitation)
{
    ConfigTemporaire config;
    Application application;
    application.Preparer();
    // Missing, it is the waveform, and the sound player's set-up keeps it.
    EXPECT_EQ(application.Options.DessinSon, Dessin::Onde);
    const uint8_t attendus[] = {3, 3, 3, 1};
    for (int c = 0; c < 4; ++c)
        EXPECT_EQ(Code(application.Arbres.OrdreCourant(Categories[static_cast<size_t>(c)])), attendus[c]);
    // Every tree shows only the invitation, without root lines.
    for (CleArbre cle : ToutesLesCles) {
        ArbreCategorie* arbre = application.Arbres.Arbre(cle);
        ASSERT_EQ(arbre->NombreRacines(), 1) << cle.Tag();
        EXPECT_EQ(arbre->Racine(0)->Texte, "Cliquer sur \" Lancement du Scan \"");
        EXPECT_FALSE(arbre->ShowRoot());
    }
}

TEST(SettingsAtStartUp, StoredOrdersShowInTheTrees)
{
    ConfigTemporaire config;
    config.Ecrire(Fichier("\"TreeVideo\"=dword:00000002\n\"TreeSon\"=dword:00000004\n"
                          "\"TreeImage\"=dword:ffffffff\n\"TreeTexte\"=dword:00000007\n"));
    Application application;
    application.Preparer();
    const uint8_t attendus[] = {2, 3, 3, 1};
    for (int c = 0; c < 4; ++c)
        EXPECT_EQ(Code(application.Arbres.OrdreCourant(Categories[static_cast<size_t>(c)])), attendus[c]) << c;
}

TEST(SettingsAtStartUp, WrongTypeEndsStartUpWithOneMessage)
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
            for (const QWidget* fenetre : QApplication::topLevelWidgets())
                EXPECT_NE(fenetre->objectName(), "FormPrincipal");
        });
        EXPECT_EQ(code, 1);
        ASSERT_EQ(messages.size(), 1);
        // The described text, then a French line naming the file and the cause.
        EXPECT_EQ(messages.front().section('\n', 0, 0), c.Message);
        EXPECT_TRUE(messages.front().section('\n', 1).contains(QString::fromStdString(config.FichierUtilisateur())) &&
                    messages.front().section('\n', 1).contains("« SousRepertoire » est un texte"))
            << messages.front().toStdString();
    }
}

TEST(SettingsAtStartUp, ASettingsFolderThatTakesNoFileKeepsNoOneInOrOut)
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
    application.Fenetre().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&application.Fenetre()));
    ImageComposant* fermer = application.Fenetre().findChild<ImageComposant*>("ImgClose");

    // The close picture reports the failed save once, naming the file and
    // the cause, and still ends the run.
    int boites = 0;
    QString texte;
    QTimer repondre;
    QObject::connect(&repondre, &QTimer::timeout, [&] {
        if (auto* boite = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            ++boites;
            texte = boite->text();
            boite->close();
        }
    });
    repondre.start(20);
    QTimer::singleShot(0, [fermer] { QTest::mouseClick(fermer, Qt::LeftButton, {}, QPoint(7, 7)); });
    QTimer garde;
    garde.setSingleShot(true);
    QObject::connect(&garde, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    garde.start(5000);
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_EQ(boites, 1);
    EXPECT_TRUE(texte.startsWith("Failed to set data for '")) << texte.toStdString();
    EXPECT_TRUE(texte.section('\n', 1).contains(QString::fromStdString(config.FichierUtilisateur())) &&
                texte.section('\n', 1).contains("un dossier"))
        << texte.toStdString();
}
