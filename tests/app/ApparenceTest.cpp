// Qt's own texts and the palette, as the real start-up sets them: the real
// folder browser offscreen (Qt's own, there being no desktop one), the real
// windows under a dark palette set beforehand.

#include "app/Apparence.h"
#include "app/Application.h"
#include "trees/ArbreCategorie.h"
#include "ui/FolderDialog.h"
#include "ui/TFormPrincipal.h"
#include "ui/TFormPropos.h"
#include "widgets/ZoneSaisie.h"

#include "support/AvecApplication.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QStyle>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// What the folder browser shows: its title, its buttons and its labels.
QStringList TextesDuNavigateur()
{
    QStringList textes;
    QTimer::singleShot(0, [&textes] {
        auto* dialogue = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialogue)
            return;
        textes << dialogue->windowTitle();
        for (auto* bouton : dialogue->findChildren<QPushButton*>())
            textes << bouton->text();
        for (auto* etiquette : dialogue->findChildren<QLabel*>())
            textes << etiquette->text();
        dialogue->reject();
    });
    FolderDialog navigateur;
    EXPECT_FALSE(navigateur.Choisir(QString(), QString()));
    return textes;
}

class TraductionsQt : public ::testing::Test
{
protected:
    void TearDown() override { Apparence::InstallerTraductionsQt(QLocale(QLocale::French)); }
};

} // namespace

TEST_F(TraductionsQt, FrenchWhenTheLocaleHasNoneTheLocalesOtherwise)
{
    // English has no translation of its own: French.
    ASSERT_EQ(Apparence::InstallerTraductionsQt(QLocale(QLocale::English, QLocale::UnitedStates)), "fr");
    const QStringList francais = TextesDuNavigateur();
    for (const char* texte : {"Chercher dans le dossier", "&Choisir", "Annuler", "Voir dans :"})
        EXPECT_TRUE(francais.contains(texte)) << texte << " not in " << francais.join(" | ").toStdString();
    EXPECT_FALSE(francais.contains("Cancel"));

    ASSERT_EQ(Apparence::InstallerTraductionsQt(QLocale(QLocale::German, QLocale::Germany)), "de");
    const QStringList allemand = TextesDuNavigateur();
    EXPECT_TRUE(allemand.contains("Abbrechen")) << allemand.join(" | ").toStdString();
    EXPECT_FALSE(allemand.contains("Annuler"));
}

namespace {

// The real start-up on a desktop whose theme is dark.
class ThemeSombre : public AvecApplication
{
protected:
    void SetUp() override
    {
        QApplication::setPalette(QPalette(QColor(0x2A, 0x2A, 0x2E)));
        ASSERT_LT(QApplication::palette().color(QPalette::Base).lightness(), 80);
        AvecApplication::SetUp();
    }
};

void AttendreClair(const QWidget* w, QPalette::ColorRole fond, QPalette::ColorRole texte)
{
    EXPECT_EQ(w->style()->name().toLower(), "fusion") << w->metaObject()->className();
    const QPalette p = w->palette();
    EXPECT_GT(p.color(fond).lightness(), 200) << w->metaObject()->className() << " background";
    EXPECT_LT(p.color(texte).lightness(), 80) << w->metaObject()->className() << " text";
}

} // namespace

TEST_F(ThemeSombre, WindowTreesDropDownBoxesAndAboutStayLight)
{
    // The app_gtk test runs this under Qt's GTK theme with a dark GTK theme.
    if (qEnvironmentVariable("QT_QPA_PLATFORMTHEME") == "gtk3") {
        QFile cartes("/proc/self/maps");
        ASSERT_TRUE(cartes.open(QIODevice::ReadOnly) && cartes.readAll().contains("libqgtk3.so"));
    }
    AttendreClair(f, QPalette::Window, QPalette::WindowText);
    for (const ArbreCategorie* arbre : c->Arbres())
        AttendreClair(arbre, QPalette::Base, QPalette::Text);
    AttendreClair(c->ComboBoxChoixTrie, QPalette::Button, QPalette::ButtonText);
    AttendreClair(c->ComboBoxChoixTrie, QPalette::Base, QPalette::Text);
    AttendreClair(c->EditHomeRepertoireScan, QPalette::Base, QPalette::Text);
    AttendreClair(c->FormPropos, QPalette::Window, QPalette::WindowText);
    QMessageBox boite(QMessageBox::Critical, "Ruvizaro", "message", QMessageBox::Ok);
    AttendreClair(&boite, QPalette::Window, QPalette::WindowText);
    AttendreClair(boite.button(QMessageBox::Ok), QPalette::Button, QPalette::ButtonText);
}
