#include "app/LigneCommande.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFile>

#include <algorithm>
#include <filesystem>

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

// An argument as text that gives its bytes back: valid UTF-8 is decoded,
// and each byte of an invalid sequence becomes a lone surrogate U+DC80 to
// U+DCFF, which no valid text holds (as Python's "surrogateescape").
QString Texte(const QByteArray& octets)
{
    QString texte;
    for (qsizetype i = 0; i < octets.size();) {
        const auto tete = static_cast<unsigned char>(octets[i]);
        const qsizetype longueur = tete < 0x80 ? 1 : tete >= 0xF0 ? 4 : tete >= 0xE0 ? 3 : 2;
        const QByteArrayView morceau = QByteArrayView(octets).sliced(i, std::min(longueur, octets.size() - i));
        if (tete >= 0x80 && (tete < 0xC2 || morceau.size() < longueur || !morceau.isValidUtf8())) {
            texte.append(QChar(char16_t(0xDC00 | tete)));
            ++i;
        } else {
            texte.append(QString::fromUtf8(morceau));
            i += longueur;
        }
    }
    return texte;
}

QByteArray Octets(const QString& texte)
{
    QByteArray octets;
    qsizetype debut = 0;
    for (qsizetype i = 0; i <= texte.size(); ++i) {
        const bool echappe = i < texte.size() && texte[i].unicode() >= 0xDC80 && texte[i].unicode() <= 0xDCFF &&
                             !(i > 0 && texte[i - 1].isHighSurrogate());
        if (i == texte.size() || echappe) {
            octets.append(QStringView(texte).sliced(debut, i - debut).toUtf8());
            if (echappe)
                octets.append(char(texte[i].unicode() & 0xFF));
            debut = i + 1;
        }
    }
    return octets;
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

QList<QByteArray> LigneCommande::Arguments(int argc, const char* const* argv)
{
    QList<QByteArray> arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QByteArray(argv[i]));
    return arguments;
}

LigneCommande LigneCommande::Analyser(const QList<QByteArray>& octets, OptionsQt qt)
{
    QStringList arguments;
    for (const QByteArray& argument : octets)
        arguments.append(Texte(argument));
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
        // Qt takes its own options with their value before this line is
        // read; one it left is one whose value is missing.
        const auto avecValeur = [](const QString& nom) {
            return std::any_of(std::begin(OptionsQtAvecValeur), std::end(OptionsQtAvecValeur),
                               [&](const char* qt) { return nom == QLatin1String(qt); });
        };
        if (!inconnues.isEmpty() && avecValeur(inconnues.first()))
            return Refus("l'option « " + CommeTapee(arguments, inconnues.first()) + " » attend une valeur");
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
        QStringList noms;
        for (const QString& dossier : dossiers.first(std::min<qsizetype>(dossiers.size(), DossiersNommes)))
            noms.append(QFile::decodeName(Octets(dossier)));
        const qsizetype autres = dossiers.size() - noms.size();
        return Refus(QString("un seul dossier à la fois, %1 donnés : « %2 »%3")
                         .arg(dossiers.size())
                         .arg(noms.join(" », « "))
                         .arg(autres > 0 ? QString(" et %1 autres").arg(autres) : QString()));
    } else if (dossiers.size() == 1 && dossiers.first().isEmpty()) {
        return Refus("dossier vide");
    } else if (dossiers.size() == 1) {
        // A relative path names a directory of the current one, as in a
        // shell; the name's bytes are kept as they are.
        QString chemin = dossiers.first();
        std::error_code erreur;
        const std::filesystem::path ici = std::filesystem::current_path(erreur);
        if (!chemin.startsWith('/') && !erreur)
            chemin = Texte(QByteArray::fromStdString(ici.native())) + '/' + chemin;
        ligne.Repertoire = Octets(QDir::cleanPath(chemin));
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
