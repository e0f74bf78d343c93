// The export writer without the window: a playlist read back by libmpv, a
// table read back by a small RFC 4180 reader, and the write that replaces a
// file whole or leaves it as it was.

#include "scan/Exportation.h"

#include "media/BibliothequeMpv.h"

#include "support/ArbreTemporaire.h"
#include "support/Attendre.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>

#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

std::string Lire(const std::string& chemin)
{
    std::ifstream flux(chemin, std::ios::binary);
    return {std::istreambuf_iterator<char>(flux), std::istreambuf_iterator<char>()};
}

// RFC 4180: records of fields split by commas, ended by CRLF; a quoted
// field may hold commas, CR, LF and doubled quotes.
std::vector<std::vector<std::string>> LireTableau(const std::string& texte)
{
    std::vector<std::vector<std::string>> lignes(1, std::vector<std::string>(1));
    size_t i = 0;
    while (i < texte.size()) {
        std::string& champ = lignes.back().back();
        if (texte[i] == '"' && champ.empty()) {
            for (++i; i < texte.size(); ++i) {
                if (texte[i] == '"') {
                    if (i + 1 < texte.size() && texte[i + 1] == '"')
                        ++i;
                    else
                        break;
                }
                champ += texte[i];
            }
            ++i;
        } else if (texte[i] == ',') {
            lignes.back().emplace_back();
            ++i;
        } else if (texte.compare(i, 2, "\r\n") == 0) {
            i += 2;
            if (i < texte.size())
                lignes.emplace_back(1);
        } else {
            EXPECT_NE(texte[i], '"') << "a quote inside an unquoted field";
            EXPECT_NE(texte[i], '\n') << "a bare line feed outside quotes";
            champ += texte[i++];
        }
    }
    return lignes;
}

// The escape read back: \xHH is a byte, \\ a backslash.
std::string Desechapper(const std::string& texte)
{
    std::string octets;
    for (size_t i = 0; i < texte.size(); ++i) {
        if (texte[i] == '\\' && texte[i + 1] == '\\')
            octets += texte[++i];
        else if (texte[i] == '\\' && texte[i + 1] == 'x') {
            octets += static_cast<char>(std::stoi(texte.substr(i + 2, 2), nullptr, 16));
            i += 3;
        } else
            octets += texte[i];
    }
    return octets;
}

bool Utf8Valide(const std::string& texte)
{
    QStringDecoder decodeur(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString resultat = decodeur.decode(QByteArrayView(texte.data(), static_cast<qsizetype>(texte.size())));
    return !decodeur.hasError();
}

} // namespace

TEST(Exportation, TableauLuParUnLecteurRfc4180)
{
    ArbreTemporaire arbre;
    const std::vector<std::string> chemins = {
        arbre.Fichier("Été, \"live\".mp3", 1234),
        arbre.Fichier("deux\r\nlignes.txt", 7),
        arbre.Fichier(std::string("brut\xff\xfe-\\-.jpg"), 3),
        arbre.Fichier("dossier/sans_extension", 0),
    };
    ::mkfifo((arbre.Racine() + "/tube.mp3").c_str(), 0600);
    const std::vector<std::string> tous = [&] {
        auto v = chemins;
        v.push_back(arbre.Racine() + "/tube.mp3");
        return v;
    }();
    const std::string texte = Exportation::Texte(Exportation::Format::Tableau, tous);

    EXPECT_TRUE(Utf8Valide(texte));
    const auto lignes = LireTableau(texte);
    ASSERT_EQ(lignes.size(), 6u);
    EXPECT_EQ(lignes[0], (std::vector<std::string>{"Nom", "Dossier", "Extension", "Taille (octets)"}));
    const std::vector<std::vector<std::string>> attendu = {
        {"Été, \"live\".mp3", arbre.Racine(), "mp3", "1234"},
        {"deux\r\nlignes.txt", arbre.Racine(), "txt", "7"},
        {"brut\\xFF\\xFE-\\\\-.jpg", arbre.Racine(), "jpg", "3"},
        {"sans_extension", arbre.Racine() + "/dossier", "", "0"},
        {"tube.mp3", arbre.Racine(), "mp3", ""}, // a FIFO: no size, not opened
    };
    for (size_t i = 0; i < attendu.size(); ++i)
        EXPECT_EQ(lignes[i + 1], attendu[i]) << "row " << i + 1;
    EXPECT_EQ(Desechapper(lignes[3][0]), std::string("brut\xff\xfe-\\-.jpg"));
    ::unlink(chemins[2].c_str()); // QTemporaryDir cannot name it
}

// The playlist as a player takes it: libmpv loads it and lists every path,
// byte for byte, a name that is not UTF-8 included.
TEST(Exportation, ListeDeLectureChargeeParLibmpv)
{
    const BibliothequeMpv* mpv = BibliothequeMpv::Charger();
    if (!mpv)
        GTEST_SKIP() << "libmpv is not installed";
    void* module = dlopen(BibliothequeMpv::NomParDefaut, RTLD_NOW | RTLD_NOLOAD);
    ASSERT_NE(module, nullptr);
    const auto commande = reinterpret_cast<decltype(&::mpv_command)>(dlsym(module, "mpv_command"));
    const auto lire = reinterpret_cast<decltype(&::mpv_get_property_string)>(dlsym(module, "mpv_get_property_string"));
    const auto liberer = reinterpret_cast<decltype(&::mpv_free)>(dlsym(module, "mpv_free"));
    ASSERT_TRUE(commande && lire && liberer);

    ArbreTemporaire arbre;
    const std::vector<std::string> chemins = {arbre.Fichier("a, b.mp3"), arbre.Fichier(std::string("\xe9t\xe9.ogg")),
                                              arbre.Fichier("#pas un commentaire.wav"),
                                              arbre.Fichier("saut\nde ligne.mp3")};
    const std::string liste = arbre.Racine() + "/liste.m3u8";
    std::atomic<bool> arret{false};
    const auto bilan = Exportation::Ecrire(Exportation::Format::ListeLecture, chemins, liste, arret);
    ASSERT_TRUE(bilan) << bilan.Echec().Complet();
    EXPECT_EQ(bilan.Valeur().Ecrits, 3u);
    EXPECT_EQ(bilan.Valeur().Omis, 1u); // a line break cannot be written in a playlist
    EXPECT_EQ(Lire(liste).rfind("#EXTM3U\n#EXTINF:-1,a, b.mp3\n" + chemins[0] + "\n", 0), 0u);

    std::unique_ptr<mpv_handle, decltype(mpv->terminate_destroy)> lecteur(mpv->create(), mpv->terminate_destroy);
    ASSERT_TRUE(lecteur);
    for (const char* option : {"vo=null", "ao=null", "idle=yes", "pause=yes", "terminal=no"}) {
        const std::string texte(option);
        const size_t egal = texte.find('=');
        mpv->set_option_string(lecteur.get(), texte.substr(0, egal).c_str(), texte.substr(egal + 1).c_str());
    }
    ASSERT_GE(mpv->initialize(lecteur.get()), 0);
    const char* charger[] = {"loadlist", liste.c_str(), nullptr};
    ASSERT_GE(commande(lecteur.get(), charger), 0);
    const auto propriete = [&](const std::string& nom) {
        char* valeur = lire(lecteur.get(), nom.c_str());
        std::string texte = valeur ? valeur : "";
        liberer(valeur);
        return texte;
    };
    ASSERT_TRUE(AttendreSansEvenements([&] { return propriete("playlist-count") == "3"; }))
        << propriete("playlist-count");
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(propriete("playlist/" + std::to_string(i) + "/filename"), chemins[static_cast<size_t>(i)]);
    ::unlink(chemins[1].c_str()); // QTemporaryDir cannot name it
}

// A stop before the end, or a failure, leaves the older file untouched and
// no temporary file in the folder; a finished write replaces it.
TEST(Exportation, EcritureEntiereOuRien)
{
    ArbreTemporaire arbre;
    std::vector<std::string> chemins;
    for (int i = 0; i < 20000; ++i)
        chemins.push_back("/musique/morceau " + std::to_string(i) + ".mp3");
    const std::string destination = arbre.Racine() + "/sortie.m3u8";
    std::ofstream(destination) << "ancienne liste\n";
    const auto contenuDossier = [&] {
        return QDir(QString::fromStdString(arbre.Racine()))
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    };

    std::atomic<bool> arret{false};
    size_t vus = 0;
    const auto bilan =
        Exportation::Ecrire(Exportation::Format::ListeLecture, chemins, destination, arret, [&](size_t fait, size_t) {
            vus = fait;
            arret = true; // "Annuler" pressed during the write
        });
    ASSERT_TRUE(bilan);
    EXPECT_TRUE(bilan.Valeur().Annule);
    EXPECT_GT(vus, 0u);
    EXPECT_EQ(Lire(destination), "ancienne liste\n");
    EXPECT_EQ(contenuDossier(), QStringList{"sortie.m3u8"});

    const auto absent =
        Exportation::Ecrire(Exportation::Format::Tableau, chemins, arbre.Racine() + "/non/la.csv", arret);
    ASSERT_FALSE(absent);
    EXPECT_NE(absent.Echec().Message.find("non/la.csv"), std::string::npos);

    // A write refused half-way (a file size limit: EFBIG) is said, and
    // leaves the older file and no temporary one.
    arret = false;
    {
        rlimit avant{};
        ::getrlimit(RLIMIT_FSIZE, &avant);
        const auto signalAvant = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limite = avant;
        limite.rlim_cur = 64 * 1024;
        ::setrlimit(RLIMIT_FSIZE, &limite);
        const auto refus = Exportation::Ecrire(Exportation::Format::ListeLecture, chemins, destination, arret);
        ::setrlimit(RLIMIT_FSIZE, &avant);
        std::signal(SIGXFSZ, signalAvant);
        ASSERT_FALSE(refus);
        EXPECT_NE(refus.Echec().Message.find("sortie.m3u8"), std::string::npos);
        EXPECT_EQ(Lire(destination), "ancienne liste\n");
        EXPECT_EQ(contenuDossier(), QStringList{"sortie.m3u8"});
    }

    const auto fini = Exportation::Ecrire(Exportation::Format::ListeLecture, chemins, destination, arret);
    ASSERT_TRUE(fini);
    EXPECT_FALSE(fini.Valeur().Annule);
    EXPECT_EQ(Lire(destination), Exportation::Texte(Exportation::Format::ListeLecture, chemins));
    EXPECT_EQ(contenuDossier(), QStringList{"sortie.m3u8"});
}

// The destination as the user names it: a name of 255 bytes, new and
// replaced; a 0600 file replaced keeps its mode; a symbolic link, to a file
// or to a name not there yet, stays a link and its target is written.
TEST(Exportation, DestinationGardeSonNomSonModeEtSonLien)
{
    ArbreTemporaire arbre;
    const std::vector<std::string> chemins = {"/musique/a.mp3"};
    const std::string attendu = Exportation::Texte(Exportation::Format::ListeLecture, chemins);
    std::atomic<bool> arret{false};
    const auto ecrire = [&](const std::string& destination) {
        const auto bilan = Exportation::Ecrire(Exportation::Format::ListeLecture, chemins, destination, arret);
        EXPECT_TRUE(bilan) << destination.size() << (bilan ? "" : " " + bilan.Echec().Complet());
        return Lire(destination);
    };
    const std::string racine = arbre.Racine() + "/";
    const std::string long255 = racine + std::string(250, 'n') + ".m3u8";
    EXPECT_EQ(ecrire(long255), attendu);
    EXPECT_EQ(ecrire(long255), attendu);

    const std::string prive = racine + "prive.m3u8";
    std::ofstream(prive) << "ancienne\n";
    ASSERT_EQ(::chmod(prive.c_str(), 0600), 0);
    EXPECT_EQ(ecrire(prive), attendu);
    struct stat etat
    {};
    ASSERT_EQ(::stat(prive.c_str(), &etat), 0);
    EXPECT_EQ(etat.st_mode & 07777, 0600u);

    arbre.Fichier("vrai/cible.m3u8", 3);
    for (const auto& [lien, cible] : {std::pair{"lien.m3u8", "vrai/cible.m3u8"}, {"lien2.m3u8", "vrai/neuve.m3u8"}}) {
        ASSERT_EQ(::symlink(cible, (racine + lien).c_str()), 0);
        EXPECT_EQ(ecrire(racine + lien), attendu);
        ASSERT_EQ(::lstat((racine + lien).c_str(), &etat), 0);
        EXPECT_TRUE(S_ISLNK(etat.st_mode)) << lien;
        EXPECT_EQ(Lire(racine + cible), attendu);
    }
    const QStringList restes = QDir(QString::fromStdString(racine + "vrai")).entryList(QDir::Files | QDir::Hidden);
    EXPECT_EQ(restes, QStringList({"cible.m3u8", "neuve.m3u8"}));
}

// A program killed in the middle of an export leaves no file in the user's
// folder where files can be nameless; where they cannot, it leaves one that
// the next export removes, while a file a user named the same way and the
// temporary of an export under way stay.
TEST(Exportation, UnProgrammeTueNeLaissePasDeFichier)
{
    ArbreTemporaire arbre;
    std::vector<std::string> chemins;
    for (int i = 0; i < 20000; ++i)
        chemins.push_back("/musique/morceau " + std::to_string(i) + ".mp3");
    const std::string destination = arbre.Racine() + "/sortie.m3u8";
    std::ofstream(destination) << "ancienne liste\n";
    const auto contenu = [&] {
        QStringList noms = QDir(QString::fromStdString(arbre.Racine())).entryList(QDir::Files | QDir::Hidden);
        noms.sort();
        return noms;
    };
    const auto tuerEnEcrivant = [&] {
        const pid_t enfant = ::fork();
        if (enfant == 0) {
            std::atomic<bool> arret{false};
            (void)Exportation::Ecrire(Exportation::Format::ListeLecture, chemins, destination, arret,
                                      [](size_t, size_t) { ::kill(::getpid(), SIGKILL); });
            ::_exit(0);
        }
        int statut = 0;
        ASSERT_EQ(::waitpid(enfant, &statut, 0), enfant);
        ASSERT_TRUE(WIFSIGNALED(statut) && WTERMSIG(statut) == SIGKILL);
    };
    tuerEnEcrivant();
    EXPECT_EQ(contenu(), QStringList{"sortie.m3u8"});

    Exportation::FichierAnonyme = false;
    tuerEnEcrivant();
    const QStringList laisses = contenu();
    EXPECT_EQ(laisses.size(), 2);
    // Look-alikes: a user's file, and a temporary still locked by its export.
    arbre.Fichier(".ruvizaro-export-1.tmp", 4);
    const std::string tenu = arbre.Fichier("tenu", 4);
    struct stat etat
    {};
    ASSERT_EQ(::stat(tenu.c_str(), &etat), 0);
    char nom[64];
    std::snprintf(nom, sizeof nom, "/.ruvizaro-export-%llx.tmp", static_cast<unsigned long long>(etat.st_ino));
    ASSERT_EQ(::rename(tenu.c_str(), (arbre.Racine() + nom).c_str()), 0);
    const int verrou = ::open((arbre.Racine() + nom).c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::flock(verrou, LOCK_EX), 0);
    std::atomic<bool> arret{false};
    ASSERT_TRUE(Exportation::Ecrire(Exportation::Format::ListeLecture, chemins, destination, arret));
    Exportation::FichierAnonyme = true;
    ::close(verrou);
    EXPECT_EQ(contenu(), QStringList({".ruvizaro-export-1.tmp", QString(nom + 1), "sortie.m3u8"}))
        << laisses.join(' ').toStdString();
    EXPECT_EQ(Lire(destination), Exportation::Texte(Exportation::Format::ListeLecture, chemins));
}
