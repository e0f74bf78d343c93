// The real window offscreen under many scans in a row: scans started,
// paused, resumed, stopped and started again at random moments while the
// user switches zones and orders and opens groups; and the window closed
// in the middle of a scan, again and again.

#include "app/Application.h"
#include "trees/ArbreCategorie.h"
#include "trees/ModeleArbre.h"
#include "ui/TFormPrincipal.h"
#include "widgets/Etiquette.h"
#include "widgets/ImageComposant.h"
#include "widgets/ZoneSaisie.h"

#include "support/ArbreTemporaire.h"
#include "support/Attendre.h"
#include "support/AvecApplication.h"
#include "support/ConfigTemporaire.h"
#include "support/Endurance.h"

#include <QComboBox>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

using Compteurs = std::array<int32_t, NombreCategories>;

// The count a group node shows: "E (12)", "jpg (3)" or "(4) ~/Photos".
int NombreDuGroupe(const QString& texte)
{
    static const QRegularExpression nombre(QStringLiteral(R"(\((\d+)\))"));
    const auto trouve = nombre.match(texte);
    return trouve.hasMatch() ? trouve.captured(1).toInt() : 0;
}

// The files a tree tells of: the sum of its group nodes' counts.
int FichiersDeLArbre(const ArbreCategorie* arbre)
{
    int somme = 0;
    std::function<void(const Noeud*)> parcourir = [&](const Noeud* noeud) {
        if (noeud->Groupe >= 0)
            somme += NombreDuGroupe(arbre->Modele()->Texte(noeud));
        for (const Noeud* enfant : noeud->Enfants)
            parcourir(enfant);
    };
    for (int i = 0; i < arbre->NombreRacines(); ++i)
        parcourir(arbre->Racine(i));
    return somme;
}

class ScansRepetes : public AvecApplication
{
protected:
    GestionBouton& Bouton() { return application_->Bouton; }
    GestionScan& Scans() { return application_->Scans; }
    Stockage& Stock() { return application_->Stock; }

    void Lancer(const std::string& racine)
    {
        c->EditHomeRepertoireScan->setText(QString::fromStdString(racine));
        QTest::keyClick(c->EditHomeRepertoireScan, Qt::Key_Return);
    }
    Compteurs Lire()
    {
        Compteurs c{};
        for (size_t i = 0; i < c.size(); ++i)
            c[i] = Stock().Compteur(Categories[i]);
        return c;
    }
    // The trees that do not tell their category's count, with what they
    // tell, once the trees had their time to be built; empty when all do.
    std::string ArbresIncomplets(const Compteurs& attendus)
    {
        std::string ecarts;
        AttendreQue(
            [&] {
                ecarts.clear();
                for (const CleArbre& cle : ToutesLesCles)
                    if (const int n = FichiersDeLArbre(c->Arbre(cle)); n != attendus[Slot(cle.Cat)])
                        ecarts += " tree " + std::to_string(cle.Tag()) + ": " + std::to_string(n);
                return ecarts.empty();
            },
            5000);
        return ecarts;
    }
    // A click as the user makes it: only on what is shown (the scan may
    // have ended, hiding its buttons, since the last look).
    static void Cliquer(QWidget* composant, QPoint ou = {5, 5})
    {
        if (composant->isVisible())
            QTest::mouseClick(composant, Qt::LeftButton, {}, ou);
    }

    // Opens one group still waiting to be filled in the tree shown, if any.
    template <typename Tirage>
    int DeployerAuHasard(Tirage& tirer)
    {
        for (const CleArbre& cle : ToutesLesCles) {
            ArbreCategorie* vue = c->Arbre(cle);
            if (!vue->isVisible())
                continue;
            std::vector<Noeud*> enAttente;
            std::function<void(Noeud*)> chercher = [&](Noeud* noeud) {
                if (noeud->AttenteVirtuelle())
                    enAttente.push_back(noeud);
                for (Noeud* enfant : noeud->Enfants)
                    chercher(enfant);
            };
            for (int i = 0; i < vue->NombreRacines(); ++i)
                chercher(vue->Racine(i));
            if (!enAttente.empty()) {
                vue->Deployer(enAttente[tirer(static_cast<int>(enAttente.size()))]);
                return 1;
            }
        }
        return 0;
    }

    // Files of every category in 30 folders, two levels deep, with names
    // starting with digits, letters and other signs.
    static void Remplir(ArbreTemporaire& arbre)
    {
        const char* const noms[] = {"a", "Z", "7", "_", "m", "é"};
        const char* const extensions[] = {".avi", ".mp3", ".jpg", ".txt", ".zip"};
        for (int d = 0; d < 30; ++d)
            for (const char* nom : noms)
                for (const char* ext : extensions)
                    arbre.Fichier("d" + std::to_string(d) + (d % 3 ? "/s/" : "/") + nom + std::to_string(d) + ext);
    }
};

} // namespace

// Scan, pause, resume, stop and new scan in random order, with zone and
// order changes and groups opened while the walk runs: every scan that
// reaches its end counts what a quiet scan counts, and every tree tells it.
TEST_F(ScansRepetes, RandomScanActionsNeverChangeWhatAFinishedScanShows)
{
    ArbreTemporaire arbre;
    Remplir(arbre);
    Lancer(arbre.Racine());
    ASSERT_TRUE(AttendreQue([this] { return Scans().Etat() == GestionScan::EtatScan::Termine; }));
    const Compteurs complet = Lire();
    ASSERT_EQ(complet, (Compteurs{180, 180, 180, 180}));
    ASSERT_EQ(ArbresIncomplets(complet), "");

    ImageComposant* const zones[] = {c->ZoneHome, c->ZoneVideo, c->ZoneSon, c->ZoneImage, c->ZoneTexte};
    std::mt19937 hasard(7);
    auto tirer = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(hasard); };
    const int cycles = Endurance(200);
    int finis = 0, arretes = 0, pauses = 0, deploiements = 0;
    for (int cycle = 0; cycle < cycles; ++cycle) {
        Lancer(arbre.Racine());
        ASSERT_EQ(Scans().Etat(), GestionScan::EtatScan::EnCours) << "cycle " << cycle;
        const bool jusquAuBout = cycle % 3 == 0; // whatever happens in between
        bool arrete = false;
        while (Scans().Etat() != GestionScan::EtatScan::Termine) {
            QTest::qWait(tirer(4)); // random moments of the scan are what the test varies
            switch (tirer(6)) {
            case 0: // pause, maybe open a group of the trees the pause built, resume
                Cliquer(c->LabelPause);
                ++pauses;
                if (tirer(2))
                    deploiements += DeployerAuHasard(tirer);
                QTest::qWait(tirer(3)); // a pause of random length
                Cliquer(c->LabelPause);
                break;
            case 1:
                Cliquer(zones[tirer(5)], {50, 35});
                break;
            case 2:
                c->ComboBoxChoixTrie->setCurrentIndex(tirer(3));
                break;
            case 3:
                deploiements += DeployerAuHasard(tirer);
                break;
            case 4:
                if (!jusquAuBout && c->LabelArret->isVisible()) {
                    Cliquer(c->LabelArret);
                    arrete = true;
                }
                break;
            default:
                break;
            }
        }
        if (arrete) {
            ++arretes;
            continue;
        }
        ASSERT_EQ(Lire(), complet) << "cycle " << cycle;
        ASSERT_EQ(ArbresIncomplets(complet), "") << "cycle " << cycle;
        ++finis;
    }
    EXPECT_GE(finis, cycles / 3);
    std::printf("%d cycles: %d finished, %d stopped, %d pauses, %d groups opened\n", cycles, finis, arretes, pauses,
                deploiements);
}

// The window closed through its close picture at a random moment of a
// scan, again and again: the scan stops and the eight settings are saved.
TEST_F(ScansRepetes, ClosingInTheMiddleOfAScanAlwaysStopsAndSaves)
{
    // Enough directories that the walk usually outlasts the random wait.
    ArbreTemporaire arbre;
    for (int d = 0; d < 4000; ++d)
        arbre.Fichier("d" + std::to_string(d / 100) + "/e" + std::to_string(d) + "/f.mp3");
    std::mt19937 hasard(11);
    const int fermetures = Endurance(50);
    int pendantLeScan = 0;
    for (int i = 0; i < fermetures; ++i) {
        if (i > 0)
            Demarrer();
        ::unlink(config_->FichierUtilisateur().c_str());
        Lancer(arbre.Racine());
        // A random moment of the scan: the moment is what the test varies.
        QTest::qWait(std::uniform_int_distribution<int>(0, 20)(hasard));
        pendantLeScan += Scans().Etat() == GestionScan::EtatScan::EnCours;
        QTest::mouseClick(c->ImgClose, Qt::LeftButton, {}, Milieu(c->ImgClose));
        ASSERT_EQ(Scans().Etat(), GestionScan::EtatScan::Termine) << "close " << i;
        const std::string reglages = config_->Lire();
        for (const char* nom : {"FichierCache", "RepertoireCache", "SousRepertoire", "DessinSon", "TreeVideo",
                                "TreeSon", "TreeImage", "TreeTexte"})
            ASSERT_NE(reglages.find(std::string("\"") + nom + "\"=dword:"), std::string::npos)
                << "close " << i << ": " << nom;
    }
    // Most closes came while the walk still ran.
    EXPECT_GE(pendantLeScan, fermetures / 2);
    std::printf("%d closes, %d during a scan\n", fermetures, pendantLeScan);
}
