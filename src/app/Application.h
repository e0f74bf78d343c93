#pragma once

// The program entry: builds the engine once, then the window and its rooms
// in their stacking order, wires the rooms to the engine and to each other,
// loads the extension table and the settings, runs the message loop, and
// destroys everything in the reverse order of its construction.

#include "app/SignauxArret.h"
#include "classification/Extension.h"
#include "media/Video.h"
#include "preview/Previsualisation.h"
#include "preview/Son.h"
#include "scan/Explorateur.h"
#include "scan/GestionScan.h"
#include "scan/Scanneur.h"
#include "scan/Stockage.h"
#include "shared/Option.h"
#include "trees/GestionTreeView.h"
#include "ui/GestionBarreSystem.h"
#include "ui/GestionBouton.h"
#include "ui/GestionMenu.h"
#include "ui/GestionProgressBar.h"
#include "ui/TFormPrincipal.h"
#include "widgets/Bureau.h"
#include "widgets/TFormImage.h"

#include <QByteArray>
#include <QString>

#include <functional>

class Application
{
public:
    using AfficheurErreur = std::function<void(const QString&)>;

    // Runs the whole program inside the exception guard; an escaping
    // exception is shown once with afficher and the result is 1.
    static int Executer(const AfficheurErreur& afficher);
    // Same, scanning repertoire at once when it is not empty, as a drop of
    // it would.
    static int Executer(const AfficheurErreur& afficher, const QByteArray& repertoire);
    // The application's exception display: a message box.
    static void AfficherErreur(const QString& message);

    // Builds the engine, the window and its rooms, and wires them.
    Application();
    ~Application();

    // Start-up after construction: extension table, settings.
    void Preparer();
    // Shows the main window and runs the message loop.
    int Boucle();
    // Once the loop runs: takes repertoire as a drop (a file scans its folder).
    void ParcourirAuDemarrage(const QByteArray& repertoire);

private:
    // SIGTERM, SIGINT and SIGHUP close as the close picture does, from the
    // start of the construction to the end of the destruction.
    SignauxArret signaux_;

public:
    // The engine.
    Option Options;
    Extension Extensions;
    Explorateur Explo;
    Scanneur Scan;
    Stockage Stock;
    Son Sons;     // the sound player
    Video Videos; // the video player
    const TFormImage Skin;

private:
    // The frame, destroyed after the rooms that built its components.
    TFormPrincipal fenetre_;

public:
    // The desktop, which the trees and the preview open files with; its
    // messages disable the frame while they show.
    Bureau Environnement;

    // The rooms, in their stacking order (each builds its components above
    // the previous ones).
    GestionBarreSystem BarreSystem;
    GestionProgressBar Barre;
    GestionBouton Bouton;
    GestionTreeView Arbres;
    Previsualisation Previsu;
    GestionMenu Menu;

    // The scan's life, after the rooms that follow it: it goes first, with
    // its workers.
    GestionScan Scans;

    TFormPrincipal& Fenetre() { return fenetre_; }

private:
    void Relier();
};
