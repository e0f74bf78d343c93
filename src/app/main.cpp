#include "app/Application.h"
#include "app/LigneCommande.h"
#include "app/ListeScript.h"

#include <QApplication>
#include <QCoreApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    // The listing for scripts needs no display and no application object:
    // it is told apart before anything of Qt's Gui is made.
    if (LigneCommande::ListeDemandee(argc, argv)) {
        const LigneCommande ligne =
            LigneCommande::Analyser(LigneCommande::Arguments(argc, argv), LigneCommande::OptionsQt::Presentes);
        if (ligne.Quoi == LigneCommande::Action::Liste)
            return ListeScript::Executer(ligne);
        const int code = ligne.Repondre();
        return code >= 0 ? code : LigneCommande::CodeRefus;
    }
    // Qt would abort with a core dump for want of a screen (from a plain
    // terminal or over ssh): a QCoreApplication still reads the line, for
    // help, version and refusals, then one line says why nothing opens.
    if (!LigneCommande::AffichagePossible(argc, argv)) {
        const QCoreApplication application(argc, argv);
        const LigneCommande ligne =
            LigneCommande::Analyser(LigneCommande::Arguments(argc, argv), LigneCommande::OptionsQt::Presentes);
        if (const int code = ligne.Repondre(); code >= 0)
            return code;
        std::fputs("ruvizaro : aucun affichage graphique (ni DISPLAY ni WAYLAND_DISPLAY).\n", stderr);
        return 1;
    }
    // QApplication takes Qt's own options (-style, -platform, ...) out of
    // the arguments (argc and argv) before the line is read; the rest is
    // read as bytes, which a folder's name is.
    QApplication application(argc, argv);
    const LigneCommande ligne =
        LigneCommande::Analyser(LigneCommande::Arguments(argc, argv), LigneCommande::OptionsQt::Retirees);
    if (const int code = ligne.Repondre(); code >= 0)
        return code;
    return Application::Executer(&Application::AfficherErreur, ligne.Repertoire);
}
