#include "app/Application.h"

#include "app/Apparence.h"
#include "app/LigneCommande.h"

#include "shared/ListeImages.h"
#include "widgets/EcranVideo.h"
#include "widgets/Etiquette.h"
#include "widgets/ImageComposant.h"
#include "widgets/TFormImage.h"
#include "widgets/ZoneSaisie.h"
#include "ui/TFormPrincipal.h"
#include "ui/TFormPropos.h"

#include <QApplication>
#include <QMessageBox>
#include <QScreen>
#include <QSessionManager>
#include <QSystemTrayIcon>
#include <QTimer>

#include <exception>

struct Application::Fenetres
{
    std::unique_ptr<TFormPrincipal> Principal;
    std::unique_ptr<TFormImage> Image;
    std::unique_ptr<TFormPropos> Propos;

    ~Fenetres()
    {
        FormPropos = nullptr;
        FormImage = nullptr;
        FormPrincipal = nullptr;
    }
};

Application::Application() = default;

Application::~Application()
{
    // Workers of an unfinished scan and fill jobs end before the managers they use.
    Previsu.SuspendreRemplissages();
    Bouton.TerminerTravailleurs();
}

void Application::CreerFenetres()
{
    // The windows outlive the managers: they are released last.
    auto fenetres = std::make_unique<Fenetres>();
    fenetres->Principal = std::make_unique<TFormPrincipal>();
    FormPrincipal = fenetres->Principal.get();
    fenetres->Image = std::make_unique<TFormImage>();
    FormImage = fenetres->Image.get();
    fenetres->Propos = std::make_unique<TFormPropos>(FormPrincipal);
    FormPropos = fenetres->Propos.get();
    fenetres_ = std::move(fenetres);
}

void Application::Relier()
{
    TFormPrincipal* f = FormPrincipal;
    f->Lier(&Menu);
    f->Lier(&BarreSystem);
    f->Lier(&Barre);
    f->Lier(&Bouton);
    f->Lier(&Previsu);
    f->Lier(&Arbres);
    f->Lier(&Sons);
    f->Lier(&Videos);

    BarreSystem.Lier(&Bouton);
    BarreSystem.Lier(&Previsu);
    BarreSystem.Lier(&Options);

    Bouton.Lier(&Barre);
    Bouton.Lier(&Arbres);
    Bouton.Lier(&Stock);
    Bouton.Lier(&Scan);
    Bouton.Lier(&Previsu);

    Arbres.Lier(&Options);
    Arbres.Lier(&Stock);
    Arbres.Lier(&Extensions);
    Arbres.Lier(f->Arbres);
    Arbres.Lier(f->ComboBoxChoixTrie);
    Arbres.Lier(f->LabelEnCourAffichage);

    Menu.Lier(&Arbres);
    Menu.Lier(&Sons);
    Menu.Lier(&Videos);

    // The store announces what it files to the tree manager, and the end of
    // its filing to the home panel, on the user-interface thread: a notice
    // still queued when the tree manager goes is dropped with it, and one
    // from a scan the user stopped does not end the next scan.
    Stock.Lier(&Explo);
    Stock.Lier(&Extensions);
    Stock.Lier(static_cast<EcouteStockage*>(&Arbres));
    // The tree worker learns the end of the filing at once, on the store worker.
    QObject::connect(&Stock, &Stockage::FinStockage, &Arbres, [this] { Arbres.FinScan(); }, Qt::DirectConnection);
    QObject::connect(
        &Stock, &Stockage::FinStockage, &Arbres,
        [this](quint64 scan) {
            if (scan == Stock.NumeroScan())
                Bouton.ArreterScan(GestionBouton::Arret::Fin);
        },
        Qt::QueuedConnection);

    Previsu.Lier(&Stock);
    Previsu.Lier(&Arbres);
    Previsu.Image.Lier({f->ImgImagePrevisu, f->LabelImageNom, f->LabelImageExtension, f->LabelImageDimension,
                        f->LabelImageTaille, FormImage});
    Previsu.Texte.Lier({f->ImgTextePrevisu, f->LabelTexteNom, f->LabelTexteExtension, f->LabelTexteTaille, FormImage});
    Previsu.Audio.Lier({f->ImageSon, f->ImageSonPlayPause, f->LabelSonNom, f->LabelSonExtension, f->LabelSonTaille,
                        f->LabelSonDurreeCourant, f->LabelSonDurreeTotale, f->TrackBarSon, FormImage});
    Previsu.Audio.Lier(&Sons);
    Previsu.Film.Lier({f->ImageVideo, f->ImageVideoPlayPause, f->LabelVideoNom, f->LabelVideoExtension,
                       f->LabelVideoTaille, f->LabelVideoDurreeCourant, f->LabelVideoDurreeTotale, f->TrackBarVideo,
                       FormImage});
    Previsu.Film.Lier(&Videos);

    // The sound player keeps its drawing choice in the settings and resets
    // the play button when it loads a file silently.
    Sons.Lier(&Options);
    Sons.LierArretApercu([this] { Previsu.SonStop(); });
    Sons.LierImages(f->ImageSon, f->ImageSonAucuneAnim);

    // A player that cannot be loaded or created: the one message of the video.
    QObject::connect(&Videos, &Video::ErreurLecture, &Videos, [] { AfficherMessageVideo(); });

    Scan.Lier(&Stock);
    Scan.Lier(&Explo);

    Explo.Lier(&Options);

    // Whatever ends the run in order saves the settings as the close picture
    // does: leaving the message loop closes once, and the end of the session
    // saves at the moment the session manager asks.
    if (auto* application = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        QObject::connect(application, &QCoreApplication::aboutToQuit, f, [this] { BarreSystem.Fermer(); });
        QObject::connect(
            application, &QGuiApplication::commitDataRequest, f,
            [this](QSessionManager&) { BarreSystem.SauverReglages(); }, Qt::DirectConnection);
    }
}

void Application::Preparer()
{
    // No display name: window managers would append it to every title,
    // and the message boxes' captions must read exactly as they are.
    QApplication::setApplicationName("Ruvizaro");
    QApplication::setApplicationVersion(LigneCommande::Version);
    QGuiApplication::setDesktopFileName("fr.dudidevir.Ruvizaro");
    Apparence::InstallerTraductionsQt();
    Apparence::ImposerPaletteClaire();
    CreerFenetres();
    Relier();
    Extensions.Remplir(*FormPrincipal->ImageListExt);
    Options.Charger();
    Arbres.InitialiserOrdres();
    Sons.Initialiser(FormPrincipal->EcranDessin, Options.DessinSon);
    Videos.Initialiser(FormPrincipal->FenetreVideo);
}

int Application::Boucle()
{
    // Centred on the screen when first shown.
    if (const QScreen* ecran = FormPrincipal->screen()) {
        const QRect zone = ecran->availableGeometry();
        FormPrincipal->move(zone.x() + (zone.width() - FormPrincipal->width()) / 2,
                            zone.y() + (zone.height() - FormPrincipal->height()) / 2);
    }
    FormPrincipal->show();
    // Shown even before a tray is known: it joins one that starts later.
    FormPrincipal->TrayIcon->show();
    return QApplication::exec();
}

void Application::AfficherMessageVideo()
{
    TFormPrincipal* f = FormPrincipal;
    if (f)
        f->setEnabled(false);
    QMessageBox boite(QMessageBox::Critical, Video::TitreErreur, Video::TexteErreur, QMessageBox::Ok);
    boite.exec();
    if (f)
        f->setEnabled(true);
}

void Application::AfficherErreur(const QString& message)
{
    QMessageBox boite(QMessageBox::Critical, "Ruvizaro", message, QMessageBox::Ok);
    boite.exec();
}

void Application::ParcourirAuDemarrage(const QString& repertoire)
{
    QTimer::singleShot(0, FormPrincipal, [this, repertoire] {
        FormPrincipal->EditHomeRepertoireScan->setText(repertoire);
        Bouton.LancerScan();
    });
}

int Application::Executer(const AfficheurErreur& afficher)
{
    return Executer(afficher, QString());
}

int Application::Executer(const AfficheurErreur& afficher, const QString& repertoire)
{
    QString message;
    try {
        Application application;
        application.Preparer();
        if (!repertoire.isEmpty())
            application.ParcourirAuDemarrage(repertoire);
        application.Boucle();
        return 0;
    } catch (const std::exception& erreur) {
        message = QString::fromUtf8(erreur.what());
    } catch (...) {
        message.clear();
    }
    // The managers already built are destroyed before the message shows.
    afficher(message);
    return 0;
}
