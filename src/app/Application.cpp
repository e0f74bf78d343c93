#include "app/Application.h"

#include "app/Apparence.h"
#include "app/LigneCommande.h"
#include "trees/FluxRepertoires.h"
#include "ui/AccesClavier.h"

#include <QApplication>
#include <QMessageBox>
#include <QSessionManager>
#include <QTimer>

#include <exception>
#include <stdexcept>

Application::Application()
    : Environnement(&fenetre_), BarreSystem(fenetre_, Skin, Options), Barre(&fenetre_),
      Bouton(fenetre_, Scans, Stock, Options), Arbres(&fenetre_, Options, Stock, Extensions, Environnement),
      Previsu(&fenetre_, Skin, Stock, Sons, Videos, Environnement), Menu(fenetre_, Skin, Bouton, Arbres, Previsu),
      Scans(Stock, Scan, Arbres.Flux())
{
    new AccesClavier(&fenetre_, BarreSystem, Bouton, Menu, Barre, Arbres, Previsu);
    Relier();
}

Application::~Application()
{
    // Workers of an unfinished scan and fill jobs end before the managers they use.
    Arbres.SuspendreRemplissages();
    Scans.TerminerTravailleurs();
    // The saving thread tells the rooms of refused writes: it ends first.
    Options.TerminerEnregistrements();
}

void Application::Relier()
{
    // The store announces what it files to the tree manager; the end of its
    // filing reaches the scan's owner.
    Stock.Lier(&Explo);
    Stock.Lier(&Extensions);
    Stock.Lier(&Arbres.Flux());
    Scan.Lier(&Stock);
    Scan.Lier(&Explo);
    Explo.Lier(&Options);

    // The scan's life, followed by the home panel, the preview, the trees
    // and the progress bar. Direct connections: all of the end is done
    // before the scan writes its journal line.
    QObject::connect(&Scans, &GestionScan::Demarre, &Bouton, &GestionBouton::ScanDemarre);
    QObject::connect(&Scans, &GestionScan::EnPause, &Bouton, &GestionBouton::ScanEnPause);
    QObject::connect(&Scans, &GestionScan::Repris, &Bouton, &GestionBouton::ScanRepris);
    QObject::connect(&Scans, &GestionScan::Termine, &Bouton, &GestionBouton::ScanTermine);
    QObject::connect(&Scans, &GestionScan::Demarre, &Previsu.Image, [this] { Previsu.Effacer(); });
    QObject::connect(&Scans, &GestionScan::Demarre, &Arbres, &GestionTreeView::ScanDemarre);
    QObject::connect(&Scans, &GestionScan::EnPause, &Arbres, &GestionTreeView::ScanArrete);
    QObject::connect(&Scans, &GestionScan::Termine, &Arbres, &GestionTreeView::ScanArrete);
    QObject::connect(&Scans, &GestionScan::Repris, &Arbres, &GestionTreeView::ScanRepris);
    QObject::connect(&Scans, &GestionScan::Demarre, &Barre, &GestionProgressBar::Demarrer);
    QObject::connect(&Scans, &GestionScan::EnPause, &Barre, &GestionProgressBar::Basculer);
    QObject::connect(&Scans, &GestionScan::Repris, &Barre, &GestionProgressBar::Basculer);
    QObject::connect(&Scans, &GestionScan::Termine, &Barre, &GestionProgressBar::Arreter);

    // A path dropped on the window shows in the home panel's box, with the
    // counters of its scan.
    QObject::connect(&Bouton, &GestionBouton::DepotPris, &Menu, [this] { Menu.AfficherHome(true); });
    // A file selected in a tree shows in its category's panel.
    QObject::connect(&Arbres, &GestionTreeView::FichierChoisi, &Arbres,
                     [this](const Groupe& groupe, int ligne) { Previsu.Afficher(groupe, ligne); });
    // The settings keep the drawing the user chooses.
    QObject::connect(&Previsu.Audio, &PanneauSon::DessinChange, &Previsu.Audio,
                     [this](Dessin dessin) { Options.DessinSon = dessin; });
    // Closing stops the fill jobs and the scan before the settings are saved.
    QObject::connect(&BarreSystem, &GestionBarreSystem::Fermeture, &BarreSystem, [this] {
        Arbres.SuspendreRemplissages();
        Scans.Arreter(GestionScan::ModeArret::Fermeture);
    });

    // Whatever ends the run in order saves the settings as the close picture
    // does: leaving the message loop closes once, a polite end asked by a
    // signal closes, and the end of the session saves at the moment the
    // session manager asks.
    QObject::connect(&signaux_, &SignauxArret::Demande, &BarreSystem, [this] { BarreSystem.Fermer(); });
    if (auto* application = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        QObject::connect(application, &QCoreApplication::aboutToQuit, &BarreSystem, [this] { BarreSystem.Fermer(); });
        QObject::connect(
            application, &QGuiApplication::commitDataRequest, &BarreSystem,
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
    // The trees' image list holds the icons; the table keeps their indexes.
    Extensions.Remplir([&images = Arbres.ImageListExt()](const std::string& ext, Categorie categorie) {
        return images.AjouterIconeExtension(ext, categorie);
    });
    // A stored value of the wrong type ends the start-up: Executer shows
    // its message.
    if (const Resultat<void> chargement = Options.Charger(); !chargement)
        throw std::runtime_error(chargement.Echec().Message + "\n" + Option::LigneLecture(chargement.Echec()));
    Arbres.InitialiserOrdres();
    Previsu.Audio.DefinirDessin(Options.DessinSon);
}

int Application::Boucle()
{
    fenetre_.Centrer();
    fenetre_.show();
    // Shown even before a tray is known: it joins one that starts later.
    BarreSystem.MontrerIcone();
    return QApplication::exec();
}

void Application::AfficherErreur(const QString& message)
{
    QMessageBox boite(QMessageBox::Critical, "Ruvizaro", message, QMessageBox::Ok);
    boite.exec();
}

void Application::ParcourirAuDemarrage(const QByteArray& repertoire)
{
    // As a drop: the path is looked at off this thread, a file scans its
    // folder, and a missing one is said.
    QTimer::singleShot(0, &fenetre_, [this, repertoire] { Bouton.Deposer(repertoire); });
}

int Application::Executer(const AfficheurErreur& afficher)
{
    return Executer(afficher, QByteArray());
}

int Application::Executer(const AfficheurErreur& afficher, const QByteArray& repertoire)
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
    // What was built is destroyed before the message shows.
    afficher(message);
    return 1;
}
