#pragma once

// The program entry: constructs every manager once, in a fixed order,
// creates the three windows, wires the managers, loads the extension table
// and the settings, runs the message loop, and destroys the managers in the
// reverse order of their construction.

#include "classification/Extension.h"
#include "shared/Option.h"
#include "preview/Previsualisation.h"
#include "media/Video.h"
#include "preview/Son.h"
#include "scan/Explorateur.h"
#include "scan/Scanneur.h"
#include "scan/Stockage.h"
#include "trees/GestionTreeView.h"
#include "ui/GestionBarreSystem.h"
#include "ui/GestionBouton.h"
#include "ui/GestionMenu.h"
#include "ui/GestionProgressBar.h"

#include <QString>

#include <functional>
#include <memory>

class TFormImage;
class TFormPrincipal;
class TFormPropos;

class Application
{
public:
    using AfficheurErreur = std::function<void(const QString&)>;

    // Runs the whole program inside the exception guard; an escaping
    // exception is shown once with afficher and the result is still 0.
    static int Executer(const AfficheurErreur& afficher);
    // Same, scanning repertoire at once when it is not empty, as Enter in
    // the path box would.
    static int Executer(const AfficheurErreur& afficher, const QString& repertoire);
    // The application's exception display: a message box.
    static void AfficherErreur(const QString& message);
    // The video player's message: "Impossible de pouvoir visualiser les
    // videos", caption "Erreur de lecture", the main window disabled meanwhile.
    static void AfficherMessageVideo();

    Application();
    ~Application();

    // Start-up after construction: windows, links, extension table, settings.
    void Preparer();
    // Shows the main window and runs the message loop.
    int Boucle();
    // Once the loop runs: puts repertoire in the path box and starts the scan.
    void ParcourirAuDemarrage(const QString& repertoire);

    // The managers, in their order of construction.
    GestionMenu Menu;
    GestionBarreSystem BarreSystem;
    GestionBouton Bouton;
    Extension Extensions;
    GestionTreeView Arbres;
    Stockage Stock;
    Previsualisation Previsu;
    Son Sons;   // the sound player
    Video Videos;   // the video player
    GestionProgressBar Barre;
    Option Options;
    Scanneur Scan;
    Explorateur Explo;

private:
    void CreerFenetres();
    void Relier();

    // Owned windows, destroyed after the managers.
    struct Fenetres;
    std::unique_ptr<Fenetres> fenetres_;
};
