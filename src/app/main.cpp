#include "app/Application.h"
#include "app/LigneCommande.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>

namespace {

bool Renseignee(const char* variable)
{
    const char* valeur = std::getenv(variable);
    return valeur && *valeur;
}

}  // namespace

int main(int argc, char** argv)
{
    const LigneCommande ligne = LigneCommande::Analyser(argc, argv);
    if (const int code = ligne.Repondre(); code >= 0)
        return code;
    // Qt would abort with a core dump for want of a screen (from a plain
    // terminal or over ssh): say it in one line instead.
    if (!Renseignee("QT_QPA_PLATFORM") && !Renseignee("DISPLAY") && !Renseignee("WAYLAND_DISPLAY")) {
        std::fputs("ruvizaro : aucun affichage graphique (ni DISPLAY ni WAYLAND_DISPLAY).\n", stderr);
        return 1;
    }
    QApplication application(argc, argv);
    return Application::Executer(&Application::AfficherErreur, ligne.Repertoire);
}
