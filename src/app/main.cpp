#include "app/Application.h"
#include "app/LigneCommande.h"

#include <QApplication>

int main(int argc, char** argv)
{
    const LigneCommande ligne = LigneCommande::Analyser(argc, argv);
    if (const int code = ligne.Repondre(); code >= 0)
        return code;
    QApplication application(argc, argv);
    return Application::Executer(&Application::AfficherErreur, ligne.Repertoire);
}
