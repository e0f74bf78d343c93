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
                              "         ou : ruvizaro --liste [OPTION-DE-LISTE...] DOSSIER\n"
                              "Liste les fichiers d'un dossier par catégorie : vidéo, son, image et texte.\n"
                              "Avec un DOSSIER, le parcours de ce dossier commence aussitôt.\n"
                              "\n"
                              "Options :\n"
                              "  -h, --help      affiche cette aide et quitte\n"
                              "  -v, --version   affiche la version et quitte\n"
                              "\n"
                              "Les options standard de Qt sont acceptées, comme -style fusion\n"
                              "ou -platform offscreen.\n"
                              "\n"
                              "Liste pour les scripts, sans fenêtre ni affichage :\n"
                              "  --liste                    parcourt DOSSIER tout entier (sous-dossiers,\n"
                              "                             fichiers et dossiers cachés compris ; les réglages\n"
                              "                             de la fenêtre ne servent pas), écrit les fichiers\n"
                              "                             trouvés sur la sortie standard et quitte\n"
                              "  --categorie CATÉGORIE      une seule catégorie : video, son, image ou texte\n"
                              "  --format FORMAT            chemins (par défaut) : un chemin entier par ligne,\n"
                              "                             octet pour octet ; csv ou m3u8 : le même texte\n"
                              "                             que « Exporter… »\n"
                              "  -0                         chemins terminés par un octet nul au lieu d'un\n"
                              "                             saut de ligne (avec le format chemins)\n"
                              "  --sans-sous-repertoires    seulement les fichiers de DOSSIER lui-même\n"
                              "  --sans-fichiers-caches     sans les fichiers au nom commençant par un point\n"
                              "  --sans-repertoires-caches  sans les dossiers au nom commençant par un point\n"
                              "Ordre : vidéo, son, image, texte ; dans une catégorie, les dossiers dans l'ordre\n"
                              "du parcours (comme find) ; dans un dossier, les noms triés comme dans les\n"
                              "arbres. Un chemin contenant un saut de ligne ne s'écrit qu'avec -0 (ou en csv) :\n"
                              "sinon il est laissé de côté, et compté sur la sortie d'erreur.\n"
                              "Code de sortie : 0 si tout est écrit, 1 si DOSSIER ne peut être lu, 2 pour\n"
                              "une option refusée, 3 si la sortie standard refuse l'écriture.\n";

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

// The values of --categorie and --format.
struct NomCategorie
{
    const char* Nom;
    Categorie Cat;
};
const NomCategorie NomsCategories[] = {
    {"video", Categorie::Video}, {"son", Categorie::Son}, {"image", Categorie::Image}, {"texte", Categorie::Texte}};
struct NomFormat
{
    const char* Nom;
    LigneCommande::FormatListe Format;
};
const NomFormat NomsFormats[] = {{"chemins", LigneCommande::FormatListe::Chemins},
                                 {"csv", LigneCommande::FormatListe::Tableau},
                                 {"m3u8", LigneCommande::FormatListe::ListeLecture}};

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

bool LigneCommande::ListeDemandee(int argc, const char* const* argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0)
            return false;
        if (std::strcmp(argv[i], "--liste") == 0 || std::strcmp(argv[i], "-liste") == 0)
            return true;
    }
    return false;
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
    const QCommandLineOption liste("liste", "écrit les fichiers trouvés sur la sortie standard");
    const QCommandLineOption categorie("categorie", "une seule catégorie", "catégorie");
    const QCommandLineOption format("format", "chemins, csv ou m3u8", "format");
    const QCommandLineOption nul("0", "chemins terminés par un octet nul");
    const QCommandLineOption sansSous("sans-sous-repertoires", "seulement les fichiers du dossier");
    const QCommandLineOption sansFichiers("sans-fichiers-caches", "sans les fichiers cachés");
    const QCommandLineOption sansRepertoires("sans-repertoires-caches", "sans les dossiers cachés");
    const QCommandLineOption* const optionsListe[] = {&categorie, &format,       &nul,
                                                      &sansSous,  &sansFichiers, &sansRepertoires};
    analyseur.addOption(liste);
    for (const QCommandLineOption* option : optionsListe)
        analyseur.addOption(*option);
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
    if (!analyseur.isSet(liste))
        for (const QCommandLineOption* option : optionsListe)
            if (analyseur.isSet(*option))
                return Refus("l'option « " + CommeTapee(arguments, option->names().first()) +
                             " » ne sert qu'avec --liste");

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
    if (ligne.Quoi != Action::Lancer || !analyseur.isSet(liste))
        return ligne;

    if (ligne.Repertoire.isEmpty())
        return Refus("--liste attend un dossier");
    for (const QCommandLineOption* option : {&categorie, &format})
        if (analyseur.values(*option).size() > 1)
            return Refus("l'option « --" + option->names().first() + " » est donnée plus d'une fois");
    DemandeListe& demande = ligne.Liste;
    if (analyseur.isSet(categorie)) {
        const QString valeur = analyseur.value(categorie);
        const auto trouvee = std::find_if(std::begin(NomsCategories), std::end(NomsCategories),
                                          [&](const NomCategorie& n) { return valeur == QLatin1String(n.Nom); });
        if (trouvee == std::end(NomsCategories))
            return Refus("catégorie inconnue « " + valeur + " » pour --categorie : video, son, image ou texte");
        demande.Cat = trouvee->Cat;
    }
    if (analyseur.isSet(format)) {
        const QString valeur = analyseur.value(format);
        const auto trouve = std::find_if(std::begin(NomsFormats), std::end(NomsFormats),
                                         [&](const NomFormat& n) { return valeur == QLatin1String(n.Nom); });
        if (trouve == std::end(NomsFormats))
            return Refus("format inconnu « " + valeur + " » pour --format : chemins, csv ou m3u8");
        demande.Format = trouve->Format;
    }
    demande.Nul = analyseur.isSet(nul);
    if (demande.Nul && demande.Format != FormatListe::Chemins)
        return Refus("-0 ne va qu'avec le format chemins");
    demande.Reglages.SousRepertoires = !analyseur.isSet(sansSous);
    demande.Reglages.FichiersCaches = !analyseur.isSet(sansFichiers);
    demande.Reglages.RepertoiresCaches = !analyseur.isSet(sansRepertoires);
    ligne.Quoi = Action::Liste;
    return ligne;
}

int LigneCommande::Repondre() const
{
    switch (Quoi) {
    case Action::Lancer:
    case Action::Liste:
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
