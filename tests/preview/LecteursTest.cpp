// The Son and Video panels with files that are not what their names say or
// cannot be played: FIFOs and devices named like sounds, unplayable files,
// paths deeper than PATH_MAX; a sound played to its end and played again;
// the stop picture; the video's bar after stop and at the end.

#include "preview/PanneauSon.h"
#include "preview/PanneauVideo.h"
#include "preview/Son.h"

#include "media/Video.h"
#include "widgets/Etiquette.h"
#include "widgets/ImageComposant.h"
#include "widgets/TFormImage.h"

#include "scan/ArbreProfond.h"
#include "support/Attendre.h"
#include "support/SonsDeTest.h"
#include "support/VideosDeTest.h"

#include <QAccessible>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <string>

#include <sys/stat.h>
#include <unistd.h>

namespace {

FichierApercu Apercu(const std::string& chemin)
{
    const QString nom = QString::fromStdString(chemin.substr(chemin.rfind('/') + 1));
    return {chemin, true, nom, nom.section('.', -1), "1 Ko"};
}

// Both players' panels in one window, as the program stacks them.
class Lecteurs : public ::testing::Test
{
protected:
    void SetUp() override
    {
        video_.Regler({BibliothequeMpv::NomParDefaut, "null"});
        fenetre_.resize(600, 450);
        fenetre_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&fenetre_));
    }
    template <typename T>
    T* Composant(const char* nom)
    {
        return fenetre_.findChild<T*>(nom);
    }
    std::string Chemin(const char* nom) const { return (dossier_.path() + '/' + nom).toStdString(); }

    QTemporaryDir dossier_;
    SonsDeTest sons_;
    QWidget fenetre_;
    const TFormImage skin_;
    Son son_;
    Video video_;
    PanneauSon panneauSon_{&fenetre_, skin_, son_};
    PanneauVideo panneauVideo_{&fenetre_, skin_, video_};
};

} // namespace

// Opening a FIFO without a writer, or reading a device, never ends: the
// window must go on turning while one is selected and played, say why it
// does not play, and take the next selection.
TEST_F(Lecteurs, FifosAndDevicesNamedLikeSoundsNeverHoldTheWindow)
{
    for (const char* nom : {"x.mp3", "x.wav", "x.mid"})
        ASSERT_EQ(mkfifo(Chemin(nom).c_str(), 0644), 0);
    ASSERT_EQ(symlink("/dev/zero", Chemin("zero.mp3").c_str()), 0);
    ASSERT_EQ(symlink("/dev/kmsg", Chemin("kmsg.wav").c_str()), 0);
    auto* minuterie = Composant<QTimer>("TimerSon");
    auto* bouton = Composant<ImageComposant>("ImageSonPlayPause");
    auto* message = Composant<Etiquette>("LabelSonMessage");
    ASSERT_TRUE(minuterie && bouton);
    panneauSon_.Montrer(true);
    for (const char* nom : {"x.mp3", "x.wav", "x.mid", "zero.mp3", "kmsg.wav"}) {
        panneauSon_.Afficher(Apercu(Chemin(nom)));
        panneauSon_.PlayPause();
        ASSERT_TRUE(AttendreTics(minuterie, 3, 5000)) << nom;
        EXPECT_TRUE(AttendreQue([&] { return bouton->Tag == 0; }, 5000)) << nom;
        ASSERT_TRUE(message) << nom;
        EXPECT_EQ(message->text(), "Lecture impossible : ce n'est pas un fichier ordinaire") << nom;
    }
    // The newest selection wins over those still being looked at.
    const std::string trois = sons_.Sinus("trois.wav", 440, 3);
    panneauSon_.Afficher(Apercu(Chemin("x.mp3")));
    panneauSon_.Afficher(Apercu(Chemin("zero.mp3")));
    panneauSon_.Afficher(Apercu(trois));
    auto* total = Composant<Etiquette>("LabelSonDurreeTotale");
    ASSERT_TRUE(AttendreQue([&] { return total->text() == "00:00:03"; }, 5000));
    EXPECT_EQ(message->text(), "");
    ASSERT_TRUE(AttendreTics(minuterie, 5, 5000));
    EXPECT_EQ(total->text(), "00:00:03");
}

TEST_F(Lecteurs, ASoundThatDoesNotPlaySaysWhyAndStaysOnPlay)
{
    const std::string photo = sons_.Ecrire("photo.mp3", QByteArray("\xFF\xD8\xFF\xE0 pas un son", 14));
    auto* bouton = Composant<ImageComposant>("ImageSonPlayPause");
    panneauSon_.Afficher(Apercu(photo));
    panneauSon_.PlayPause();
    EXPECT_TRUE(AttendreQue([&] { return bouton->Tag == 0; }, 5000));
    auto* message = Composant<Etiquette>("LabelSonMessage");
    ASSERT_TRUE(message);
    EXPECT_EQ(message->text(), "Lecture impossible : format non reconnu");

    // Unreadable: the root user reads anything, so the process runs as
    // nobody meanwhile (every thread: glibc changes them all).
    const std::string ferme = sons_.Sinus("ferme.wav", 440, 1);
    ASSERT_EQ(chmod(ferme.c_str(), 0), 0);
    const uid_t avant = geteuid();
    ASSERT_TRUE(avant != 0 || seteuid(65534) == 0);
    panneauSon_.Afficher(Apercu(ferme));
    panneauSon_.PlayPause();
    const bool refuse = AttendreQue([&] { return bouton->Tag == 0; }, 5000);
    ASSERT_EQ(seteuid(avant), 0);
    EXPECT_TRUE(refuse);
    EXPECT_EQ(message->text(), "Lecture impossible : permission refusée");
}

TEST_F(Lecteurs, SoundsAndVideosDeeperThanPathMaxPlay)
{
    const std::string racine = dossier_.path().toStdString();
    const std::string nom(200, 'p');
    constexpr int Niveaux = 24; // about 4 800 bytes
    const std::string profond = CreerChaine(racine, nom, Niveaux);
    ASSERT_GT(profond.size(), size_t(PATH_MAX));
    Descripteur dossier(Explorateur::OuvrirChemin(profond, O_RDONLY | O_DIRECTORY));
    ASSERT_TRUE(dossier.Valide());
    const std::string son = sons_.Sinus("un.wav", 440, 1);
    const std::string video = GenererVideo(dossier_.path(), "court.avi", VideosCourtes[1].Codecs);
    ASSERT_FALSE(video.empty());
    ASSERT_EQ(renameat(AT_FDCWD, son.c_str(), dossier.Fd(), "un.wav"), 0);
    ASSERT_EQ(renameat(AT_FDCWD, video.c_str(), dossier.Fd(), "court.avi"), 0);

    son_.Ouvrir(profond + "/un.wav", true);
    EXPECT_TRUE(AttendreQue([&] { return son_.DureeTotale() == "00:00:01" && son_.Pourcentage() > 10; }, 5000));
    video_.Ouvrir(profond + "/court.avi");
    EXPECT_TRUE(AttendreQue([&] { return video_.EnLecture(); }, 10000));
    video_.Stop();
    son_.Stop();
    SupprimerChaine(racine, nom, Niveaux, {"un.wav", "court.avi"});
}

// Play after the end starts the sound again from its beginning, and the
// button shows play once it has ended.
TEST_F(Lecteurs, PlayAfterTheEndPlaysAgainFromTheBeginning)
{
    const std::string court = sons_.Sinus("court.wav", 440, 0.5);
    auto* bouton = Composant<ImageComposant>("ImageSonPlayPause");
    panneauSon_.Afficher(Apercu(court));
    panneauSon_.PlayPause();
    ASSERT_TRUE(AttendreQue([&] { return son_.LectureTerminee(); }, 5000));
    ASSERT_TRUE(AttendreQue([&] { return bouton->Tag == 0; }, 2000)) << "the button still shows pause";
    EXPECT_EQ(bouton->Image().toImage(), skin_.ImgPlay.toImage());
    panneauSon_.PlayPause();
    EXPECT_EQ(bouton->Tag, 1);
    EXPECT_TRUE(AttendreQue(
        [&] { return !son_.LectureTerminee() && son_.TempsCourant() == "00:00:00" && son_.Pourcentage() > 0; }, 5000));
}

TEST_F(Lecteurs, BothStopButtonsShowTheirPicture)
{
    for (const char* nom : {"ImageSonStop", "ImageVideoStop"}) {
        auto* stop = Composant<ImageComposant>(nom);
        ASSERT_TRUE(stop) << nom;
        EXPECT_FALSE(stop->ImageVide()) << nom;
    }
    // Drawn at both densities, the 2× one twice as large.
    const QPixmap simple = TFormImage::Charger("ImgStop.bmp", 1.0);
    const QPixmap double_ = TFormImage::Charger("ImgStop.bmp", 2.0);
    EXPECT_EQ(double_.size(), simple.size() * 2);
}

TEST_F(Lecteurs, TheVideoBarGoesBackToZeroAtStopAndAtTheEnd)
{
    const std::string video = GenererVideo(dossier_.path(), "deux.avi", VideosCourtes[1].Codecs, MireAnimee(2));
    ASSERT_FALSE(video.empty());
    auto* barre = Composant<QSlider>("TrackBarVideo");
    panneauVideo_.Afficher(Apercu(video));
    panneauVideo_.PlayPause();
    ASSERT_TRUE(AttendreQue([&] { return barre->value() > 0; }, 10000));
    panneauVideo_.Stop();
    EXPECT_EQ(barre->value(), 0);

    panneauVideo_.PlayPause();
    ASSERT_TRUE(AttendreQue([&] { return barre->value() > 50; }, 10000));
    EXPECT_TRUE(AttendreQue([&] { return barre->value() == 0; }, 10000)) << "left at the end";
}

TEST_F(Lecteurs, AVideoThatDoesNotPlaySaysWhyAndStaysOnPlay)
{
    ASSERT_EQ(mkfifo(Chemin("x.avi").c_str(), 0644), 0);
    const std::string texte = sons_.Ecrire("texte.avi", "Ceci n'est pas une video.\n");
    auto* bouton = Composant<ImageComposant>("ImageVideoPlayPause");
    const std::pair<std::string, QString> cas[] = {
        {Chemin("x.avi"), "Lecture impossible : ce n'est pas un fichier ordinaire"},
        {texte, "Lecture impossible : format non reconnu"},
    };
    for (const auto& [chemin, raison] : cas) {
        panneauVideo_.Afficher(Apercu(chemin));
        panneauVideo_.PlayPause();
        EXPECT_TRUE(AttendreQue([&] { return bouton->Tag == 0; }, 10000)) << chemin;
        auto* message = Composant<Etiquette>("LabelVideoMessage");
        ASSERT_TRUE(message);
        EXPECT_EQ(message->text(), raison) << chemin;
    }
}

// A file that cannot seek (MIDI, a sound or a video that does not play) puts
// the thumb the user dropped back at the start.
TEST_F(Lecteurs, TheThumbOfAFileThatCannotSeekGoesBack)
{
    const std::string midi = sons_.Ecrire("air.mid", SonsDeTest::Midi());
    const std::string photo = sons_.Ecrire("photo.mp3", QByteArray("\xFF\xD8\xFF\xE0 pas un son", 14));
    const std::string texte = sons_.Ecrire("texte.avi", "Ceci n'est pas une video.\n");
    auto* barreSon = Composant<QSlider>("TrackBarSon");
    auto* barreVideo = Composant<QSlider>("TrackBarVideo");
    auto* boutonVideo = Composant<ImageComposant>("ImageVideoPlayPause");
    ASSERT_TRUE(barreSon && barreVideo);
    for (const std::string& son : {midi, photo}) {
        panneauSon_.Afficher(Apercu(son));
        panneauSon_.PlayPause();
        ASSERT_TRUE(AttendreQue([&] { return !son_.Chargement(); }, 5000)) << son;
        EXPECT_TRUE(son == midi ? son_.MusiqueChargee() : !son_.Echec().isEmpty()) << son;
        barreSon->setValue(60);
        EXPECT_EQ(barreSon->value(), 0) << son;
    }
    panneauVideo_.Afficher(Apercu(texte));
    panneauVideo_.PlayPause();
    ASSERT_TRUE(AttendreQue([&] { return boutonVideo->Tag == 0; }, 10000));
    barreVideo->setValue(60);
    EXPECT_EQ(barreVideo->value(), 0);
}

// Screen readers hear the times themselves: each time label's description
// is the time it shows, as it changes.
TEST_F(Lecteurs, TimeLabelsTellScreenReadersTheTime)
{
    const auto description = [](QWidget* w) {
        return QAccessible::queryAccessibleInterface(w)->text(QAccessible::Description);
    };
    auto* courant = Composant<Etiquette>("LabelSonDurreeCourant");
    auto* total = Composant<Etiquette>("LabelSonDurreeTotale");
    ASSERT_TRUE(courant && total);
    EXPECT_EQ(description(courant), "00:00:00");
    panneauSon_.Afficher(Apercu(sons_.Sinus("deux.wav", 440, 2)));
    panneauSon_.PlayPause();
    ASSERT_TRUE(AttendreQue([&] { return courant->text() == "00:00:01"; }, 10000));
    EXPECT_EQ(description(courant), courant->text());
    EXPECT_EQ(description(total), "00:00:02");
}
