// The stream of "Par Répertoire" roots alone: the engine's store and scan,
// no window.

#include "trees/FluxRepertoires.h"

#include "scan/GestionScan.h"

#include "support/ArbreTemporaire.h"
#include "support/Attendre.h"
#include "support/MoteurDeTest.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <thread>
#include <utility>
#include <vector>

TEST(FluxRepertoires, AScanHandsOverEveryDirectoryGroupOnceThenEnds)
{
    ArbreTemporaire arbre;
    for (int d = 0; d < 40; ++d) {
        arbre.Fichier("d" + std::to_string(d) + "/a.jpg");
        if (d % 3 == 0)
            arbre.Fichier("d" + std::to_string(d) + "/b.mp3");
    }
    MoteurDeTest moteur;
    FluxRepertoires flux;
    moteur.stock.Lier(&flux);
    GestionScan scans(moteur.stock, moteur.scanneur, flux);
    std::array<int, NombreCategories> recues{};
    QObject::connect(&flux, &FluxRepertoires::RacinesArrivees,
                     [&recues](Categorie categorie, int nombre) { recues[Slot(categorie)] += nombre; });
    std::vector<bool> etats;
    QObject::connect(&flux, &FluxRepertoires::EnCoursChange, [&etats](bool enCours) { etats.push_back(enCours); });

    flux.DefinirScanActif(true); // as the trees do when the scan starts
    ASSERT_TRUE(scans.Lancer(arbre.Racine()));
    EXPECT_EQ(scans.Etat(), GestionScan::EtatScan::EnCours);
    EXPECT_TRUE(flux.EnCours());
    ASSERT_TRUE(AttendreQue([&] { return scans.Etat() == GestionScan::EtatScan::Termine && !flux.EnCours(); }));
    EXPECT_TRUE(flux.FinDemandee);
    for (Categorie categorie : Categories)
        EXPECT_EQ(recues[Slot(categorie)], moteur.stock.NombreRepertoires(categorie)) << Code(categorie);
    EXPECT_EQ(recues[Slot(Categorie::Image)], 40);
    EXPECT_EQ(recues[Slot(Categorie::Son)], 14);
    EXPECT_EQ(etats, (std::vector<bool>{true, false}));
}

TEST(FluxRepertoires, AWindowTurnTakesABoundedBatchAndAnEarlierScanIsDropped)
{
    FluxRepertoires flux;
    std::vector<std::pair<Categorie, int>> tours;
    QObject::connect(&flux, &FluxRepertoires::RacinesArrivees,
                     [&tours](Categorie categorie, int nombre) { tours.emplace_back(categorie, nombre); });
    auto classer = [&flux](Categorie categorie, int n) {
        std::thread magasin([&flux, categorie, n] {
            for (int i = 0; i < n; ++i)
                flux.RepertoireClasse(categorie);
        });
        magasin.join();
    };

    flux.PreparerScan();
    const int n = 2 * FluxRepertoires::TailleLotMax + 7;
    classer(Categorie::Son, n);
    flux.FinScan();
    ASSERT_TRUE(AttendreQue([&] { return !flux.EnCours(); }));
    const int m = FluxRepertoires::TailleLotMax;
    EXPECT_EQ(tours,
              (std::vector<std::pair<Categorie, int>>{{Categorie::Son, m}, {Categorie::Son, m}, {Categorie::Son, 7}}));

    // Counted, its wake-up posted, then a new scan: none of them arrives.
    tours.clear();
    classer(Categorie::Image, 10);
    flux.PreparerScan();
    EXPECT_FALSE(flux.FinDemandee);
    flux.RepertoireClasse(Categorie::Video);
    flux.FinScan();
    ASSERT_TRUE(AttendreQue([&] { return !flux.EnCours(); }));
    QCoreApplication::processEvents();
    EXPECT_EQ(tours, (std::vector<std::pair<Categorie, int>>{{Categorie::Video, 1}}));
}
