#include "app/LigneCommande.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

namespace {

const char* const TexteAide =
    "Utilisation : ruvizaro [DOSSIER]\n"
    "Liste les fichiers d'un dossier par catégorie : vidéo, son, image et texte.\n"
    "Avec un DOSSIER, le parcours de ce dossier commence aussitôt.\n"
    "\n"
    "  --help      affiche cette aide et quitte\n"
    "  --version   affiche la version et quitte\n";

}  // namespace

LigneCommande LigneCommande::Analyser(int argc, const char* const* argv)
{
    LigneCommande ligne;
    if (argc <= 1)
        return ligne;
    if (argc > 2) {
        ligne.Quoi = Action::Refus;
        ligne.Erreur = "un seul dossier à la fois";
        return ligne;
    }
    const QByteArray argument(argv[1]);
    if (argument == "--help") {
        ligne.Quoi = Action::Aide;
    } else if (argument == "--version") {
        ligne.Quoi = Action::Version;
    } else if (argument.isEmpty()) {
        ligne.Quoi = Action::Refus;
        ligne.Erreur = "dossier vide";
    } else if (argument.startsWith('-')) {
        ligne.Quoi = Action::Refus;
        ligne.Erreur = "option inconnue « " + QFile::decodeName(argument) + " »";
    } else {
        // A relative path names a directory of the current one, as in a shell.
        ligne.Repertoire = QDir::cleanPath(QFileInfo(QFile::decodeName(argument)).absoluteFilePath());
    }
    return ligne;
}

int LigneCommande::Repondre() const
{
    switch (Quoi) {
    case Action::Lancer:
        return -1;
    case Action::Aide:
        std::fputs(TexteAide, stdout);
        return 0;
    case Action::Version:
        std::printf("Ruvizaro %s\n", Version);
        return 0;
    case Action::Refus:
        std::fprintf(stderr, "ruvizaro : %s\nEssayez « ruvizaro --help ».\n", Erreur.toUtf8().constData());
        return CodeRefus;
    }
    return CodeRefus;
}
