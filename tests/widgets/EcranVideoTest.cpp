// The video's screen with the real player: the plain widget of the
// offscreen platform, and the OpenGL window on a real X server (Xvfb).

#include "widgets/EcranVideo.h"
#include "widgets/RenduVideo.h"

#include "media/Video.h"

#include "support/Attendre.h"
#include "support/VideosDeTest.h"

#include <QColor>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QImage>
#include <QMouseEvent>
#include <QProcess>
#include <QScreen>
#include <QStyleHints>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

const Video::Reglages SansSon{BibliothequeMpv::NomParDefaut, "null"};

TEST(EcranVideo, OffscreenItIsAPlainHiddenWidgetThatShowsWhilePlaying)
{
    QTemporaryDir dossier;
    const std::string chemin = GenererVideo(dossier.path(), "court.avi", {"-c:v", "mpeg4", "-c:a", "mp3"});
    QWidget fenetre;
    fenetre.resize(600, 400);
    auto* ecran = new EcranVideo(&fenetre);
    fenetre.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&fenetre));
    EXPECT_EQ(ecran->geometry(), EcranVideo::Place);
    EXPECT_EQ(ecran->Rendu(), nullptr);
    EXPECT_FALSE(ecran->isVisible());
    // A double click reaches the preview picture underneath.
    EXPECT_EQ(fenetre.childAt(450, 150), nullptr);

    Video video;
    video.Regler(SansSon);
    video.Initialiser(ecran);
    video.Ouvrir(chemin);
    EXPECT_TRUE(ecran->isVisible());
    ASSERT_TRUE(AttendreQue([&] { return video.DureeTotale() == "00:00:03"; }));
    video.Stop();
    EXPECT_FALSE(ecran->isVisible());
}

TEST(EcranVideo, APlayerOutlivesItsScreen)
{
    QTemporaryDir dossier;
    const std::string chemin = GenererVideo(dossier.path(), "court.mkv", {"-c:v", "libx264", "-c:a", "libvorbis"});
    Video video;
    video.Regler(SansSon);
    auto ecran = std::make_unique<EcranVideo>(nullptr);
    video.Initialiser(ecran.get());
    video.Ouvrir(chemin);
    ecran.reset();
    // The player goes on without it, and starts again without it.
    video.MontrerFenetre(false);
    video.Stop();
    video.Ouvrir(chemin);
    ASSERT_TRUE(AttendreQue([&] { return video.EnLecture(); }));
}

bool Proche(QRgb pixel, QColor couleur)
{
    return qAbs(qRed(pixel) - couleur.red()) < 48 && qAbs(qGreen(pixel) - couleur.green()) < 48 &&
           qAbs(qBlue(pixel) - couleur.blue()) < 48;
}

// Stands for the preview picture under the video: counts its double clicks.
class Dessous : public QWidget
{
public:
    using QWidget::QWidget;
    int doubles = 0;

protected:
    void mouseDoubleClickEvent(QMouseEvent*) override { ++doubles; }
};

// What the X server shows at a widget's place, its children's windows
// included.
QImage AEcran(const QWidget& widget)
{
    const QPoint coin = widget.mapToGlobal(QPoint(0, 0));
    return widget.screen()->grabWindow(0, coin.x(), coin.y(), widget.width(), widget.height()).toImage();
}

// Run by the next test in a child process on an X server: mpv draws into the
// OpenGL window, the right way up on the screen, frame after frame, and again
// after a stop and a new start; the main window stays raster-drawn, and a
// real double click over the playing video reaches the widget underneath.
TEST(EcranVideoX, DISABLED_DrawsThePlayersFramesWithOpenGL)
{
    ASSERT_EQ(QGuiApplication::platformName(), "xcb");
    QTemporaryDir dossier;
    // The moving picture above, plain blue below.
    const std::string chemin =
        GenererVideo(dossier.path(), "haut-bas.mkv", {"-c:v", "libx264", "-pix_fmt", "yuv420p"},
                     "testsrc=duration=8:size=160x80:rate=25[haut];color=c=blue:size=160x80:duration=8:rate=25[bas];"
                     "[haut][bas]vstack",
                     false);
    QWidget fenetre;
    fenetre.setGeometry(20, 20, 600, 400);
    auto* dessous = new Dessous(&fenetre);
    dessous->setGeometry(EcranVideo::Place);
    auto* ecran = new EcranVideo(&fenetre);
    ASSERT_NE(ecran->Rendu(), nullptr);
    EXPECT_TRUE(ecran->RenduIntegre());
    fenetre.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&fenetre));
    // xdotool's two clicks can come far apart on a loaded machine: a long
    // interval keeps them one double click.
    QGuiApplication::styleHints()->setMouseDoubleClickInterval(3000);

    Video video;
    video.Regler(SansSon);
    video.Initialiser(ecran);
    for (int depart = 1; depart <= 2; ++depart) {
        video.Ouvrir(chemin);
        ASSERT_TRUE(AttendreQue([&] { return ecran->Rendu()->Dessine() && video.EnLecture(); })) << depart;
        QImage avant;
        ASSERT_TRUE(AttendreQue([&] {
            avant = AEcran(*ecran);
            return Proche(avant.pixel(80, 140), Qt::blue);
        })) << "no picture, or upside down, at start "
            << depart;
        EXPECT_FALSE(Proche(avant.pixel(80, 20), Qt::blue));
        // The moving half changes with the next frames drawn.
        QImage apres;
        AttendreQue(
            [&] {
                apres = AEcran(*ecran);
                return avant.copy(0, 0, 160, 80) != apres.copy(0, 0, 160, 80);
            },
            10000);
        EXPECT_NE(avant.copy(0, 0, 160, 80), apres.copy(0, 0, 160, 80)) << "the picture does not move";
        // Only the video's own window is drawn with OpenGL.
        EXPECT_EQ(fenetre.windowHandle()->surfaceType(), QSurface::RasterSurface);
        EXPECT_EQ(ecran->Rendu()->surfaceType(), QSurface::OpenGLSurface);

        // A double click of the X server's pointer over the playing video.
        ASSERT_TRUE(video.EnLecture());
        ASSERT_TRUE(ecran->Rendu()->isVisible());
        const QPoint milieu = ecran->mapToGlobal(ecran->rect().center());
        const int avantClic = dessous->doubles;
        ASSERT_EQ(
            QProcess::execute("xdotool", {"mousemove", "--sync", QString::number(milieu.x()),
                                          QString::number(milieu.y()), "click", "--repeat", "2", "--delay", "80", "1"}),
            0);
        EXPECT_TRUE(AttendreQue([&] { return dessous->doubles == avantClic + 1; }, 5000))
            << "the double click did not reach the widget under the video, start " << depart;

        video.Stop();
        EXPECT_FALSE(ecran->isVisible());
        EXPECT_FALSE(ecran->Rendu()->isVisible());
    }
    EXPECT_EQ(video.InstancesCreees(), 2);
}

TEST(EcranVideoX, OnARealDisplayItDrawsWithOpenGL)
{
    QProcess x;
    x.start("Xvfb", {"-displayfd", "1", "-screen", "0", "640x480x24", "-nolisten", "tcp"});
    ASSERT_TRUE(x.waitForStarted(10000));
    QByteArray affichage;
    while (!affichage.contains('\n') && x.waitForReadyRead(10000))
        affichage += x.readAllStandardOutput();
    ASSERT_FALSE(affichage.trimmed().isEmpty()) << "Xvfb gave no display";

    QProcess enfant;
    QProcessEnvironment environnement = QProcessEnvironment::systemEnvironment();
    environnement.insert("DISPLAY", ":" + QString::fromLatin1(affichage.trimmed()));
    environnement.insert("QT_QPA_PLATFORM", "xcb");
    enfant.setProcessEnvironment(environnement);
    enfant.setProcessChannelMode(QProcess::MergedChannels);
    enfant.start(QCoreApplication::applicationFilePath(),
                 {"--gtest_also_run_disabled_tests", "--gtest_filter=EcranVideoX.DISABLED_*"});
    const bool fini = enfant.waitForFinished(120000);
    const QByteArray sortie = enfant.readAll();
    x.terminate();
    x.waitForFinished(5000);
    ASSERT_TRUE(fini) << sortie.toStdString();
    EXPECT_EQ(enfant.exitStatus(), QProcess::NormalExit) << sortie.toStdString();
    EXPECT_EQ(enfant.exitCode(), 0) << sortie.toStdString();
    EXPECT_TRUE(sortie.contains("[  PASSED  ] 1 test")) << sortie.toStdString();
}

} // namespace
