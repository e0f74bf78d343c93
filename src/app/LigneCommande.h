#pragma once

// The command line: `ruvizaro [OPTION...] [DIR]`, with -h/--help and
// -v/--version, or `ruvizaro --liste [OPTION...] DIR`, the listing for
// scripts, which needs no display (see ListeScript). Read by QCommandLineParser once the application object
// exists. With a display, QApplication has already taken Qt's own options
// (-style fusion, -platform offscreen, ...) out of the arguments. Without
// one, only a QCoreApplication can be built (QApplication would abort): it
// leaves Qt's window options in place, so they are skipped here and help,
// version and refusals still answer.

#include "scan/Explorateur.h"
#include "shared/Categorie.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

class LigneCommande
{
public:
    enum class Action { Lancer, Aide, Version, Refus, Liste };
    enum class FormatListe { Chemins, Tableau, ListeLecture };
    // What --liste asks for. By default the whole tree is walked, as on the
    // window's first run: its stored settings are not read.
    struct DemandeListe
    {
        std::optional<Categorie> Cat; // none: the four
        FormatListe Format = FormatListe::Chemins;
        bool Nul = false; // -0: paths ended by a NUL
        Explorateur::Reglages Reglages;
    };
    // Whether Qt's window options are still among the arguments.
    enum class OptionsQt { Retirees, Presentes };

    static constexpr const char* Version = "1.0";
    static constexpr int CodeRefus = 2;

    // True when QApplication can open its window: a platform is named by
    // -platform or QT_QPA_PLATFORM (xcb needs DISPLAY, wayland needs
    // WAYLAND_DISPLAY, any other, such as offscreen, needs nothing), or,
    // with none named, DISPLAY or WAYLAND_DISPLAY is set. argv as main
    // received it.
    static bool AffichagePossible(int argc, const char* const* argv);
    // Whether --liste is on the line (before a "--"): then no application
    // object at all is made, and the line is read with Qt's options present.
    static bool ListeDemandee(int argc, const char* const* argv);

    // Names given in a refusal of several folders; the others are counted.
    static constexpr int DossiersNommes = 3;

    // arguments as main's argv holds them once the application object has
    // taken its own out, the program name first: bytes, as a file name is.
    static LigneCommande Analyser(const QList<QByteArray>& arguments, OptionsQt qt);
    static QList<QByteArray> Arguments(int argc, const char* const* argv);

    // Prints what the action asks for (help, version or the refusal) and
    // gives the exit code; -1 when the program is to start or to list.
    int Repondre() const;

    Action Quoi = Action::Lancer;
    QByteArray Repertoire; // absolute, or empty: the path to scan at once, as a drop
    QString Erreur;        // why the line was refused
    DemandeListe Liste;    // with Action::Liste
};
