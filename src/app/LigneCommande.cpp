#include "app/LigneCommande.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>

#include <algorithm>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const char* const TexteAide = "Utilisation : ruvizaro [OPTION...] [DOSSIER]\n"
                              "Liste les fichiers d'un dossier par catégorie : vidéo, son, image et texte.\n"
                              "Avec un DOSSIER, le parcours de ce dossier commence aussitôt.\n"
                              "\n"
                              "Options :\n"
                              "  -h, --help      affiche cette aide et quitte\n"
                              "  -v, --version   affiche la version et quitte\n"
                              "\n"
                              "Les options standard de Qt sont acceptées, comme -style fusion\n"
                              "ou -platform offscreen.\n";

// Qt's window options that take a value, as QGuiApplication, QApplication
// and the xcb platform read them.
const char* const OptionsQtAvecValeur[] = {
    "platform",    "platformpluginpath", "platformtheme", "plugin",     "qwindowgeometry",
    "qwindowicon", "qwindowtitle",       "style",         "stylesheet", "session",
    "display",     "geometry",           "title",         "name",       "qmljsdebugger"};
// And those that take none.
const char* const OptionsQtSansValeur[] = {"reverse", "widgetcount", "nograb", "dograb", "sync", "testability"};

bool Renseignee(const char* variable)
{
    const char* valeur = std::getenv(variable);
    return valeur && *valeur;
}

// Whether one platform name ("xcb", "wayland-egl", "offscreen:fontengine=freetype",
// ...) can open a window in this environment.
bool PlateformeUtilisable(const QString& plateforme)
{
    const QString nom = plateforme.section(':', 0, 0).trimmed();
    if (nom.isEmpty())
        return false;
    if (nom.startsWith("xcb"))
        return Renseignee("DISPLAY");
    if (nom.startsWith("wayland"))
        return Renseignee("WAYLAND_DISPLAY");
    return true;
}

// The argument the parser names name after, as it was typed.
QString CommeTapee(const QStringList& arguments, const QString& nom)
{
    for (const QString& argument : arguments) {
        const QString sansTirets = argument.startsWith("--") ? argument.mid(2) : argument.mid(1);
        if (argument.startsWith('-') && (sansTirets == nom || sansTirets.startsWith(nom + '=')))
            return argument.section('=', 0, 0);
    }
    return "-" + nom;
}

LigneCommande Refus(const QString& erreur)
{
    LigneCommande ligne;
    ligne.Quoi = LigneCommande::Action::Refus;
    ligne.Erreur = erreur;
    return ligne;
}

} // namespace

bool LigneCommande::AffichagePossible(int argc, const char* const* argv)
{
    // The last -platform on the line wins over the environment, as in Qt.
    QString plateformes = qEnvironmentVariable("QT_QPA_PLATFORM");
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "-platform") == 0 || std::strcmp(argv[i], "--platform") == 0)
            plateformes = QString::fromLocal8Bit(argv[i + 1]);
    }
    if (plateformes.isEmpty())
        return Renseignee("DISPLAY") || Renseignee("WAYLAND_DISPLAY");
    // Qt tries each platform of a list separated by semicolons in turn.
    const QStringList liste = plateformes.split(';');
    return std::any_of(liste.begin(), liste.end(), PlateformeUtilisable);
}

LigneCommande LigneCommande::Analyser(const QStringList& arguments, OptionsQt qt)
{
    QCommandLineParser analyseur;
    // -style is one option, not -s -t -y -l -e, and -aide is named whole
    // when refused.
    analyseur.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption aide({"h", "help"}, "affiche cette aide et quitte");
    const QCommandLineOption version({"v", "version"}, "affiche la version et quitte");
    analyseur.addOption(aide);
    analyseur.addOption(version);
    if (qt == OptionsQt::Presentes) {
        for (const char* nom : OptionsQtAvecValeur)
            analyseur.addOption(QCommandLineOption(nom, {}, "valeur"));
        for (const char* nom : OptionsQtSansValeur)
            analyseur.addOption(QCommandLineOption(nom));
    }
    analyseur.addPositionalArgument("dossier", "le dossier à parcourir aussitôt", "[DOSSIER]");

    if (!analyseur.parse(arguments)) {
        const QStringList inconnues = analyseur.unknownOptionNames();
        if (!inconnues.isEmpty())
            return Refus("option inconnue « " + CommeTapee(arguments, inconnues.first()) + " »");
        // The only other failure: an option that takes a value ends the line.
        return Refus("l'option « " + arguments.last() + " » attend une valeur");
    }
    if (analyseur.isSet(aide) && analyseur.isSet(version))
        return Refus("--help et --version ne vont pas ensemble");

    LigneCommande ligne;
    const QStringList dossiers = analyseur.positionalArguments();
    if (analyseur.isSet(aide)) {
        ligne.Quoi = Action::Aide;
    } else if (analyseur.isSet(version)) {
        ligne.Quoi = Action::Version;
    } else if (dossiers.size() > 1) {
        return Refus(
            QString("un seul dossier à la fois, %1 donnés : « %2 »").arg(dossiers.size()).arg(dossiers.join(" », « ")));
    } else if (dossiers.size() == 1 && dossiers.first().isEmpty()) {
        return Refus("dossier vide");
    } else if (dossiers.size() == 1) {
        // A relative path names a directory of the current one, as in a shell.
        ligne.Repertoire = QDir::cleanPath(QFileInfo(dossiers.first()).absoluteFilePath());
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
