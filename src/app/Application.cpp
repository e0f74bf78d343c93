#include "app/Application.h"

#include "app/Apparence.h"
#include "app/LigneCommande.h"
#include "ui/AccesClavier.h"

#include <QApplication>
#include <QMessageBox>
#include <QSessionManager>
#include <QTimer>

#include <exception>
#include <stdexcept>

Application::Application()
    : BarreSystem(fenetre_, Skin, Options),
      Barre(&fenetre_),
      Bouton(fenetre_, Barre, Arbres, Stock, Scan, Previsu),
      Arbres(&fenetre_, Options, Stock, Extensions),
      Previsu(&fenetre_, Skin, Stock, Sons, Videos),
      Menu(fenetre_, Skin, Bouton, Arbres, Previsu)
{
    new AccesClavier(&fenetre_);
    Relier();
}

Application::~Application()
{
    // Workers of an unfinished scan and fill jobs end before the managers they use.
    Arbres.SuspendreRemplissages();
    Bouton.TerminerTravailleurs();
}

void Application::Relier()
{
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
    Scan.Lier(&Stock);
    Scan.Lier(&Explo);
    Explo.Lier(&Options);

    // A file selected in a tree shows in its category's panel.
    QObject::connect(&Arbres, &GestionTreeView::FichierChoisi, &Arbres,
                     [this](const Groupe& groupe, int ligne) { Previsu.Afficher(groupe, ligne); });
    // The settings keep the drawing the user chooses.
    QObject::connect(&Previsu.Audio, &PanneauSon::DessinChange, &Previsu.Audio,
                     [this](Dessin dessin) { Options.DessinSon = dessin; });
    // Closing stops the fill jobs and the scan before the settings are saved.
    QObject::connect(&BarreSystem, &GestionBarreSystem::Fermeture, &BarreSystem, [this] {
        Arbres.SuspendreRemplissages();
        Bouton.ArreterScan(GestionBouton::Arret::Fermeture);
    });

    // Whatever ends the run in order saves the settings as the close picture
    // does: leaving the message loop closes once, and the end of the session
    // saves at the moment the session manager asks.
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
    Extensions.Remplir(Arbres.ImageListExt());
    // A stored value of the wrong type ends the start-up: Executer shows
    // its message.
    if (const Resultat<void> chargement = Options.Charger(); !chargement)
        throw std::runtime_error(chargement.Echec().Message);
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

void Application::ParcourirAuDemarrage(const QString& repertoire)
{
    QTimer::singleShot(0, &fenetre_, [this, repertoire] { Bouton.Scanner(repertoire); });
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
    // What was built is destroyed before the message shows.
    afficher(message);
    return 1;
}
