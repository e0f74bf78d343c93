// The scan's owner with real workers on real trees: a scan to its end and
// the journal line after the subscribers, pause, resume and a stop during a
// pause, and late end notices.

#include "scan/GestionScan.h"

#include "classification/Extension.h"
#include "scan/EcouteScan.h"
#include "scan/Explorateur.h"
#include "scan/Scanneur.h"
#include "scan/Stockage.h"
#include "shared/Option.h"
#include "shared/Travailleur.h"

#include "support/ArbreTemporaire.h"
#include "support/FilsDuProcessus.h"
#include "support/MoteurDeTest.h"
#include "support/Attendre.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <memory>

#include <sys/resource.h>
#include <string>
#include <thread>

namespace {

using Mode = GestionScan::ModeArret;
using Etat = GestionScan::EtatScan;

// A worker with nothing to do.
class Rien : public Travailleur
{
public:
    Rien() { Demarrer(); }
    ~Rien() override { Arreter(); }

protected:
    void Execute() override {}
};

// The floor that shows a scan, reduced to what a scan asks of it.
class Suite : public EcouteScan
{
public:
    void PreparerScan() override {}
    std::unique_ptr<Travailleur> CreerTravailleur() override { return std::make_unique<Rien>(); }
    void FinScan() override { ++Fins; } // on the store worker too

    std::atomic<int> Fins{0};
};

// The journal's lines; its file is named once per program, before its first line.
QStringList Journal()
{
    static QTemporaryDir dossier;
    static const QString fichier = dossier.path() + "/journal";
    static const bool nomme = setenv("RUVIZARO_JOURNAL", fichier.toLocal8Bit().constData(), 1) == 0;
    QFile lecture(fichier);
    if (!nomme || !lecture.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(lecture.readAll()).split('\n', Qt::SkipEmptyParts);
}

class GestionScanTest : public ::testing::Test, protected MoteurDeTest
{
protected:
    void SetUp() override { Journal(); }

    // Directories each holding one file of every category and one dropped.
    static void Creer(ArbreTemporaire& arbre, int repertoires)
    {
        for (int r = 0; r < repertoires; ++r)
            for (const char* nom : {"/v.avi", "/s.mp3", "/i.jpg", "/t.txt", "/z.zip"})
                arbre.Fichier("d" + std::to_string(r / 20) + "/r" + std::to_string(r) + nom);
    }

    Suite suite;
    GestionScan scan{stock, scanneur, suite};
};

TEST_F(GestionScanTest, AScanEndsOnItsOwnAndTheJournalLineFollowsTheSubscribers)
{
    ArbreTemporaire arbre;
    Creer(arbre, 40);
    QSignalSpy demarre(&scan, &GestionScan::Demarre);
    QSignalSpy termine(&scan, &GestionScan::Termine);
    const auto avant = Journal().size();
    // What a subscriber of the end sees: the final counts, no line yet.
    qsizetype lignesVues = -1;
    int32_t imagesVues = -1;
    QObject::connect(&scan, &GestionScan::Termine, &scan, [&] {
        lignesVues = Journal().size();
        imagesVues = stock.Compteur(Categorie::Image);
    });

    EXPECT_EQ(scan.Etat(), Etat::Jamais);
    ASSERT_TRUE(scan.Lancer(arbre.Racine()));
    EXPECT_EQ(demarre.count(), 1);
    EXPECT_FALSE(scan.Lancer(arbre.Racine())); // one scan at a time
    ASSERT_TRUE(termine.wait(20000));
    EXPECT_EQ(termine.takeFirst().at(0).value<Mode>(), Mode::Fin);
    EXPECT_EQ(scan.Etat(), Etat::Termine);
    EXPECT_EQ(imagesVues, 40);
    EXPECT_EQ(lignesVues, avant);
    ASSERT_EQ(Journal().size(), avant + 1);
    EXPECT_EQ(Journal().back(), "fin-scan mode=0 video=40 son=40 image=40 texte=40");
    EXPECT_EQ(suite.Fins, 1);
}

TEST_F(GestionScanTest, PauseResumeAndAStopDuringAPause)
{
    ArbreTemporaire arbre;
    Creer(arbre, 300);
    QSignalSpy enPause(&scan, &GestionScan::EnPause);
    QSignalSpy repris(&scan, &GestionScan::Repris);
    QSignalSpy termine(&scan, &GestionScan::Termine);
    ASSERT_TRUE(scan.Lancer(arbre.Racine()));
    scan.Basculer();
    EXPECT_EQ(scan.Etat(), Etat::EnPause);
    EXPECT_FALSE(scan.Lancer(arbre.Racine())); // a paused scan is still the scan
    scan.Basculer();
    EXPECT_EQ(scan.Etat(), Etat::EnCours);
    EXPECT_EQ(enPause.count() + repris.count(), 2);
    ASSERT_TRUE(termine.wait(20000));
    EXPECT_EQ(termine.takeFirst().at(0).value<Mode>(), Mode::Fin);
    EXPECT_EQ(stock.Compteur(Categorie::Texte), 300);

    ASSERT_TRUE(scan.Lancer(arbre.Racine()));
    scan.Basculer();
    const int32_t images = stock.Compteur(Categorie::Image);
    scan.Arreter(Mode::Utilisateur);
    ASSERT_EQ(termine.count(), 1);
    EXPECT_EQ(termine.takeFirst().at(0).value<Mode>(), Mode::Utilisateur);
    EXPECT_EQ(scan.Etat(), Etat::Termine);
    EXPECT_EQ(stock.Compteur(Categorie::Image), images); // stopped, not resumed
    EXPECT_TRUE(Journal().back().startsWith(QString("fin-scan mode=1 video=%1 son=").arg(images)));
    EXPECT_EQ(suite.Fins, 2); // the end, then the stop
}

// The walk, its readers and the filing run below the window's thread, so
// that on busy cores the window answers first.
TEST_F(GestionScanTest, TheScanThreadsYieldToTheWindow)
{
    ArbreTemporaire arbre;
    Creer(arbre, 300);
    const int fenetre = getpriority(PRIO_PROCESS, 0);
    // The kernel keeps a thread's niceness at 19 at most (a run under nice).
    const int attendue = std::min(fenetre + 5, 19);
    const auto avant = FilsDuProcessus::Liste();
    ASSERT_TRUE(scan.Lancer(arbre.Racine()));
    scan.Basculer(); // the walk and the filing stand at a check point
    std::vector<pid_t> lents;
    EXPECT_TRUE(AttendreSansEvenements([&] {
        lents.clear();
        for (const pid_t fil : FilsDuProcessus::Nouveaux(avant)) {
            errno = 0;
            const int gentillesse = getpriority(PRIO_PROCESS, id_t(fil));
            if (errno == 0 && gentillesse != attendue)
                lents.push_back(fil);
        }
        return lents.empty() && !FilsDuProcessus::Nouveaux(avant).empty();
    })) << lents.size()
        << " of the scan's threads run at the window's priority";
    scan.Arreter(Mode::Utilisateur);
}

TEST_F(GestionScanTest, AnEndNoticeReadAfterAStopEndsNothingMore)
{
    ArbreTemporaire petit, grand;
    petit.Fichier("a.jpg");
    Creer(grand, 300);
    QSignalSpy termine(&scan, &GestionScan::Termine);
    // Stops a scan of `petit` once its store has sent its end notice, which
    // waits in the queue: no event runs meanwhile.
    auto arreterApresLeStockage = [&](int fins) {
        ASSERT_TRUE(scan.Lancer(petit.Racine()));
        ASSERT_TRUE(AttendreSansEvenements([&] { return suite.Fins >= fins; }));
        ASSERT_EQ(suite.Fins, fins);
        scan.Arreter(Mode::Utilisateur);
    };

    // Read at once, the notice finds its scan stopped.
    arreterApresLeStockage(1);
    QCoreApplication::processEvents();
    EXPECT_EQ(termine.count(), 1);

    // Read once the next scan runs, it is an earlier scan's: dropped.
    arreterApresLeStockage(3);
    termine.clear();
    ASSERT_TRUE(scan.Lancer(grand.Racine()));
    int32_t imagesALaFin = -1;
    QObject::connect(&scan, &GestionScan::Termine, &scan, [&] { imagesALaFin = stock.Compteur(Categorie::Image); });
    ASSERT_TRUE(termine.wait(20000));
    EXPECT_EQ(termine.takeFirst().at(0).value<Mode>(), Mode::Fin);
    EXPECT_EQ(imagesALaFin, 300);
    QCoreApplication::processEvents();
    EXPECT_EQ(termine.count(), 0);
}

} // namespace
