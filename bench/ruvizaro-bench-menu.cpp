// The files' menu on a large group, in the real program off screen: how long
// the menu takes to open on a group row of 100 000 files and on one of its
// files (built, shown and painted), how long listing the applications for
// "Ouvrir avec…" takes, and how long copying the paths of the whole group
// takes (store lookup, sort the first time, text, clipboard).
//   ruvizaro-bench-menu [--json] [--files N]
// The files (empty, .txt) are made in a temporary directory and scanned.
// Exits with 1 when a target is missed.

#include "DossierTemporaire.h"
#include "app/Application.h"
#include "trees/ActionsFichiers.h"
#include "trees/ArbreCategorie.h"
#include "trees/ModeleArbre.h"
#include "widgets/Bureau.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QMenu>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int FichiersParDefaut = 100'000;
constexpr int FichiersParDossier = 10'000;
constexpr int Repetitions = 20;
constexpr double CibleMenuMs = 16.0; // one frame
constexpr double CibleCopieMs = 200.0;
constexpr double NanoParMilli = 1e6;

// n empty text files, FichiersParDossier a directory.
bool Generer(const std::string& racine, int n)
{
    for (int i = 0; i < n; ++i) {
        const std::string dossier = racine + "/d" + std::to_string(i / FichiersParDossier);
        if (i % FichiersParDossier == 0 && ::mkdir(dossier.c_str(), 0700) != 0)
            return false;
        const std::string nom = dossier + "/note " + std::to_string((i * 7919) % n) + ".txt";
        const int fd = ::open(nom.c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0600);
        if (fd < 0)
            return false;
        ::close(fd);
    }
    return true;
}

struct Mesure
{
    std::vector<double> Ms;
    double Mediane() const { return Ms[Ms.size() / 2]; }
    double Max() const { return Ms.back(); }
};

Mesure Chronometrer(int fois, const std::function<void()>& essai)
{
    Mesure m;
    for (int i = 0; i < fois; ++i) {
        QElapsedTimer chrono;
        chrono.start();
        essai();
        m.Ms.push_back(double(chrono.nsecsElapsed()) / NanoParMilli);
    }
    std::sort(m.Ms.begin(), m.Ms.end());
    return m;
}

// Opens the row's menu as a right click does, until it is painted; then closes it.
Mesure MesurerMenu(ActionsFichiers& actions, ArbreCategorie* arbre, const QModelIndex& ligne)
{
    const QPoint point = arbre->viewport()->mapToGlobal(arbre->visualRect(ligne).center());
    return Chronometrer(Repetitions, [&] {
        actions.Montrer(arbre, ligne, point);
        actions.Menu()->repaint();
        QCoreApplication::processEvents();
        actions.Menu()->hide();
    });
}

QAction* Action(const QMenu* menu, const char* debut)
{
    for (QAction* action : menu->actions())
        if (action->text().remove('&').startsWith(QLatin1String(debut)))
            return action;
    return nullptr;
}

} // namespace

int main(int argc, char** argv)
{
    bool json = false;
    int n = FichiersParDefaut;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--json") == 0)
            json = true;
        else if (std::strcmp(argv[i], "--files") == 0 && i + 1 < argc)
            n = std::max(1, std::atoi(argv[++i]));
        else {
            std::fprintf(stderr, "usage: ruvizaro-bench-menu [--json] [--files N]\n");
            return 2;
        }
    }
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const DossierTemporaire reglages("ruvizaro-bench-menu");
    const DossierTemporaire fichiers("ruvizaro-bench-menu");
    if (reglages.Chemin().empty() || fichiers.Chemin().empty() || !Generer(fichiers.Chemin(), n)) {
        std::fprintf(stderr, "ruvizaro-bench-menu: cannot make the files: %s\n", std::strerror(errno));
        return 1;
    }
    ::setenv("XDG_CONFIG_HOME", reglages.Chemin().c_str(), 1);
    ::setenv("XDG_RUNTIME_DIR", reglages.Chemin().c_str(), 0);

    QApplication qapp(argc, argv);
    Application app;
    app.Preparer();
    app.Fenetre().show();
    app.Bouton.Scanner(QString::fromStdString(fichiers.Chemin()));
    while (app.Scans.Etat() != GestionScan::EtatScan::Termine)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    app.Menu.AfficherTexte(true);
    app.Arbres.ChangerOrdre(Categorie::Texte, Ordre::Extension);
    QCoreApplication::processEvents();

    ArbreCategorie* arbre = app.Arbres.Arbre(Categorie::Texte, Ordre::Extension);
    ActionsFichiers& actions = app.Arbres.Actions();
    app.Environnement.Avertir = [](const QString& texte) { std::fprintf(stderr, "%s\n", qPrintable(texte)); };
    Noeud* groupe = arbre->Racine(0);
    const QModelIndex ligneGroupe = arbre->Modele()->IndexDe(groupe);

    // The group as the scan left it: unsorted, its node not filled.
    const Mesure menuGroupe = MesurerMenu(actions, arbre, ligneGroupe);
    actions.Montrer(arbre, ligneGroupe, QPoint());
    QAction* copier = Action(actions.Menu(), "Copier les chemins");
    actions.Menu()->hide();
    QClipboard* pressePapiers = QGuiApplication::clipboard();
    qsizetype lignes = 0;
    const Mesure copiePremiere = Chronometrer(1, [&] { copier->trigger(); });
    const Mesure copie = Chronometrer(5, [&] {
        copier->trigger();
        lignes = pressePapiers->text().count(QLatin1Char('\n')) + 1;
    });

    // One of its files, once the group is open.
    arbre->Deployer(groupe);
    while (groupe->AttenteVirtuelle())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const QModelIndex ligneFichier = arbre->Modele()->IndexDe(groupe->Enfants[groupe->Enfants.size() / 2]);
    const Mesure menuFichier = MesurerMenu(actions, arbre, ligneFichier);
    actions.Montrer(arbre, ligneFichier, QPoint());
    const Mesure applications = Chronometrer(Repetitions, [&] { emit actions.SousMenuApplications()->aboutToShow(); });
    const qsizetype nombreApplications = actions.SousMenuApplications()->actions().size();
    actions.Menu()->hide();

    const bool tenu = menuGroupe.Max() <= CibleMenuMs && menuFichier.Max() <= CibleMenuMs &&
                      copiePremiere.Max() < CibleCopieMs && copie.Max() < CibleCopieMs && lignes == n;
    if (json) {
        std::printf("{\"files\":%d,\"menu_group_median_ms\":%.3f,\"menu_group_max_ms\":%.3f,"
                    "\"menu_file_median_ms\":%.3f,\"menu_file_max_ms\":%.3f,\"open_with_median_ms\":%.3f,"
                    "\"open_with_max_ms\":%.3f,\"copy_first_ms\":%.1f,\"copy_median_ms\":%.1f,\"copy_max_ms\":%.1f,"
                    "\"copied_lines\":%lld,\"menu_target_ms\":%.0f,\"copy_target_ms\":%.0f,\"met\":%s}\n",
                    n, menuGroupe.Mediane(), menuGroupe.Max(), menuFichier.Mediane(), menuFichier.Max(),
                    applications.Mediane(), applications.Max(), copiePremiere.Max(), copie.Mediane(), copie.Max(),
                    static_cast<long long>(lignes), CibleMenuMs, CibleCopieMs, tenu ? "true" : "false");
    } else {
        std::printf("group of %d files (%s)\n", n, qPrintable(groupe->Texte.Chaine()));
        std::printf("menu on the group    median %.3f ms, max %.3f ms (target: at most %.0f ms)\n",
                    menuGroupe.Mediane(), menuGroupe.Max(), CibleMenuMs);
        std::printf("menu on a file       median %.3f ms, max %.3f ms (target: at most %.0f ms)\n",
                    menuFichier.Mediane(), menuFichier.Max(), CibleMenuMs);
        std::printf("open-with list       median %.3f ms, max %.3f ms (%lld entries; built when the submenu opens)\n",
                    applications.Mediane(), applications.Max(), static_cast<long long>(nombreApplications));
        std::printf("copy the group's paths: first %.1f ms (sorts the group), then median %.1f ms, max %.1f ms, "
                    "%lld lines (target: under %.0f ms)\n",
                    copiePremiere.Max(), copie.Mediane(), copie.Max(), static_cast<long long>(lignes), CibleCopieMs);
    }
    return tenu ? 0 : 1;
}
