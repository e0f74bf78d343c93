// The preview's background picture loader on real files and its real
// thread: only the newest request is answered, failures are answered as
// such, and it goes away cleanly whatever its thread is doing.

#include "media/ChargeurAsynchrone.h"

#include "support/ArbreTemporaire.h"
#include "support/Attendre.h"
#include "support/FilsDuProcessus.h"
#include "support/ImagesDeTest.h"
#include "support/JpegsForges.h"
#include "support/SurveillanceFichiers.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QSignalSpy>
#include <QString>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr int AttenteMs = 20000;
// A decode given up still costs a little work: far less than this.
constexpr int AbandonMaxMs = 500;
constexpr std::uint64_t TicsDeTravail = 5;

std::string Enregistrer(ArbreTemporaire& arbre, const std::string& nom, QSize taille, const char* format)
{
    const std::string chemin = arbre.Fichier(nom);
    EXPECT_TRUE(DeuxCouleurs(taille.width(), taille.height()).save(QString::fromStdString(chemin), format));
    return chemin;
}

struct Reponse
{
    quint64 Numero;
    bool Reussi;
    QImage Image;
    int Largeur;
    int Hauteur;
};

Reponse Lire(const QList<QVariant>& arguments)
{
    return {arguments[0].toULongLong(), arguments[1].toBool(), arguments[2].value<QImage>(), arguments[3].toInt(),
            arguments[4].toInt()};
}

// A loader and the id of its worker thread, once that thread waits for work.
struct ChargeurObserve
{
    ChargeurObserve()
    {
        const std::set<pid_t> avant = FilsDuProcessus::Liste();
        chargeur = std::make_unique<ChargeurAsynchrone>();
        // The loader's worker is the new thread that goes to wait for work;
        // a sanitizer may start a thread of its own at the same moment.
        const std::vector<pid_t> nouveaux = FilsDuProcessus::Nouveaux(avant);
        AttendreSansEvenements(
            [&] {
                for (const pid_t candidat : nouveaux)
                    if (FilsDuProcessus::EnAttente(candidat))
                        fil = candidat;
                return fil != 0;
            },
            AttenteMs);
    }

    // Asks for the picture and waits until the worker has dealt with it
    // and sleeps again: the answer is then posted, not yet delivered, for
    // nothing here runs the event loop.
    bool DemanderEtAttendreLaReponse(quint64 numero, const std::string& chemin)
    {
        const std::uint64_t sommeils = FilsDuProcessus::Sommeils(fil);
        chargeur->Demander(numero, chemin);
        return AttendreSansEvenements(
            [&] { return FilsDuProcessus::Sommeils(fil) > sommeils && FilsDuProcessus::EnAttente(fil); }, AttenteMs);
    }

    std::unique_ptr<ChargeurAsynchrone> chargeur;
    pid_t fil = 0;
};

} // namespace

TEST(ChargeurAsynchrone, OnlyTheNewestRequestIsAnswered)
{
    ArbreTemporaire arbre;
    const std::string petite = Enregistrer(arbre, "petite.jpg", {64, 48}, "JPG");
    const std::string grande = Enregistrer(arbre, "grande.png", {4000, 3000}, "PNG");
    const std::string moyenne = Enregistrer(arbre, "moyenne.png", {300, 200}, "PNG");

    SurveillanceFichiers fichiers;
    ASSERT_TRUE(fichiers.Surveiller(grande));
    ChargeurObserve observe;
    ASSERT_NE(observe.fil, 0) << "the loader's worker thread was not found waiting";
    ChargeurAsynchrone& chargeur = *observe.chargeur;
    QSignalSpy spy(&chargeur, &ChargeurAsynchrone::Charge);
    // Without running the event loop between them: the thread has answered
    // the first (posted, not delivered) and is reading the second when the
    // third comes.
    ASSERT_TRUE(observe.DemanderEtAttendreLaReponse(1, petite)) << "the first request was never dealt with";
    chargeur.Demander(2, grande);
    ASSERT_TRUE(AttendreSansEvenements([&] { return fichiers.Vu(grande, IN_ACCESS); }, AttenteMs))
        << "the second picture was never read";
    chargeur.Demander(3, moyenne);
    ASSERT_TRUE(spy.wait(AttenteMs));
    // One thread answers in order: had an older answer got through, it
    // would have come first.
    ASSERT_EQ(spy.count(), 1);
    const Reponse reponse = Lire(spy.takeFirst());
    EXPECT_EQ(reponse.Numero, 3u);
    EXPECT_TRUE(reponse.Reussi);
    EXPECT_EQ(reponse.Largeur, 300);
    EXPECT_EQ(reponse.Hauteur, 200);
    EXPECT_EQ(reponse.Image.size(), QSize(160, 106));

    // Answered on the thread that asked, and ready for the next one.
    chargeur.Demander(4, grande, QSize(80, 80));
    ASSERT_TRUE(spy.wait(AttenteMs));
    const Reponse suivante = Lire(spy.takeFirst());
    EXPECT_EQ(suivante.Numero, 4u);
    EXPECT_EQ(suivante.Largeur, 4000);
    EXPECT_EQ(suivante.Image.size(), QSize(80, 60));
}

TEST(ChargeurAsynchrone, AFailedLoadIsAnsweredAsAFailure)
{
    ArbreTemporaire arbre;
    const std::string texte = arbre.Fichier("texte.png", 100);
    ChargeurAsynchrone chargeur;
    QSignalSpy spy(&chargeur, &ChargeurAsynchrone::Charge);
    for (const std::string& chemin : {texte, arbre.Racine() + "/absente.jpg"}) {
        SCOPED_TRACE(chemin);
        chargeur.Demander(7, chemin);
        ASSERT_TRUE(spy.wait(AttenteMs));
        const Reponse reponse = Lire(spy.takeFirst());
        EXPECT_EQ(reponse.Numero, 7u);
        EXPECT_FALSE(reponse.Reussi);
        EXPECT_TRUE(reponse.Image.isNull());
        EXPECT_EQ(reponse.Largeur, 0);
    }
}

TEST(ChargeurAsynchrone, ACancelledRequestIsNeverAnswered)
{
    ArbreTemporaire arbre;
    const std::string grande = Enregistrer(arbre, "grande.png", {4000, 3000}, "PNG");
    const std::string petite = Enregistrer(arbre, "petite.bmp", {40, 30}, "BMP");
    ChargeurAsynchrone chargeur;
    QSignalSpy spy(&chargeur, &ChargeurAsynchrone::Charge);
    chargeur.Demander(1, grande);
    chargeur.Annuler();
    chargeur.Demander(2, petite);
    chargeur.Annuler();
    EXPECT_FALSE(spy.wait(1000));

    chargeur.Demander(3, petite);
    ASSERT_TRUE(spy.wait(AttenteMs));
    EXPECT_EQ(Lire(spy.takeFirst()).Numero, 3u);
}

TEST(ChargeurAsynchrone, DestructionWaitsForItsThreadAndDeliversNothing)
{
    ArbreTemporaire arbre;
    const std::string grande = Enregistrer(arbre, "grande.png", {4000, 3000}, "PNG");
    const std::string petite = Enregistrer(arbre, "petite.jpg", {64, 48}, "JPG");
    int recues = 0;
    SurveillanceFichiers fichiers;
    ASSERT_TRUE(fichiers.Surveiller(grande));

    // Destroyed while its thread decodes.
    auto chargeur = std::make_unique<ChargeurAsynchrone>();
    QObject::connect(chargeur.get(), &ChargeurAsynchrone::Charge, [&recues] { ++recues; });
    chargeur->Demander(1, grande);
    ASSERT_TRUE(AttendreSansEvenements([&] { return fichiers.Vu(grande, IN_ACCESS); }, AttenteMs))
        << "the picture was never read";
    chargeur.reset();

    // Destroyed with its answer posted but not yet delivered: the posted
    // answer must go with it.
    ChargeurObserve observe;
    ASSERT_NE(observe.fil, 0) << "the loader's worker thread was not found waiting";
    QObject::connect(observe.chargeur.get(), &ChargeurAsynchrone::Charge, [&recues] { ++recues; });
    ASSERT_TRUE(observe.DemanderEtAttendreLaReponse(2, petite)) << "the request was never dealt with";
    observe.chargeur.reset();

    // Both threads are gone: whatever they posted is in the queue now, and
    // delivering every posted event delivers it if it is still there.
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    EXPECT_EQ(recues, 0);
}

TEST(ChargeurAsynchrone, ANewRequestOrTheEndStopsADecodeAtOnce)
{
    ArbreTemporaire arbre;
    // Seconds of work before its budget refuses it, and far more without.
    const std::string lente = arbre.Fichier("lente.jpg");
    {
        QFile fichier(QString::fromStdString(lente));
        ASSERT_TRUE(fichier.open(QIODevice::WriteOnly));
        fichier.write(JpegsForges::BalayagesRepetes(4000, 4000, 990));
    }
    const std::string petite = Enregistrer(arbre, "petite.jpg", {64, 48}, "JPG");
    ChargeurObserve observe;
    ASSERT_NE(observe.fil, 0) << "the loader's worker thread was not found waiting";
    // Under way: the worker has spent a few ticks of processor time on it.
    const auto decoder = [&](quint64 numero) {
        const std::uint64_t avant = FilsDuProcessus::TempsProcesseur(observe.fil);
        observe.chargeur->Demander(numero, lente);
        return AttendreSansEvenements(
            [&] { return FilsDuProcessus::TempsProcesseur(observe.fil) >= avant + TicsDeTravail; }, AttenteMs);
    };
    QSignalSpy spy(observe.chargeur.get(), &ChargeurAsynchrone::Charge);
    ASSERT_TRUE(decoder(1)) << "the slow picture was never decoded";
    observe.chargeur->Demander(2, petite);
    ASSERT_TRUE(spy.wait(AbandonMaxMs)) << "the newest picture waited for the older one";
    EXPECT_EQ(Lire(spy.takeFirst()).Numero, 2u);

    ASSERT_TRUE(decoder(3)) << "the slow picture was never decoded";
    QElapsedTimer fin;
    fin.start();
    observe.chargeur.reset();
    EXPECT_LT(fin.elapsed(), AbandonMaxMs) << "the end waited for the decode";
}
