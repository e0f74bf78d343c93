// The result store without the window: filing through the real store
// worker, the groups read back through the fill and information operations,
// the sort, the sizes kept, emptying, and readers running during filing.

#include "scan/Stockage.h"

#include "classification/Extension.h"
#include "scan/Explorateur.h"
#include "scan/Exportation.h"
#include "scan/ThreadStockage.h"

#include "support/InformationTextes.h"
#include "support/Attendre.h"
#include "support/Codes.h"
#include "support/MoteurDeTest.h"
#include "support/ArbreTemporaire.h"
#include "shared/Textes.h"

#include <QImage>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <set>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <ostream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

// Readable QString values in failure messages.
inline void PrintTo(const QString& texte, std::ostream* sortie)
{
    *sortie << '"' << texte.toStdString() << '"';
}

namespace {

using Repertoires = std::vector<std::pair<std::string, std::vector<std::string>>>;
using Noms = std::vector<QString>;

constexpr Ordre ParExtension = Ordre::Extension;
constexpr Ordre ParLettre = Ordre::Alphabetique;
constexpr Ordre ParRepertoire = Ordre::Repertoire;
// A worker that has not ended by then never will.
constexpr int FinMaxMs = 300000;

// Where a node stands, as the tests name it: the group a group node shows
// (a directory group's rank, a letter bucket, or for the by-extension
// trees the extension in its text), and the row of a leaf below it.
struct Lieu
{
    int Groupe = -1;
    QString Texte;
    int Ligne = -1;
};

Lieu Racine(int index, const QString& texte = {})
{
    return Lieu{index, texte, -1};
}

// The node of bucket b in an alphabetical tree.
Lieu Lettre(int b)
{
    return Lieu{b, {}, -1};
}

Lieu Feuille(const Lieu& parent, int index)
{
    return Lieu{parent.Groupe, parent.Texte, index};
}

class Depot : public ::testing::Test
{
protected:
    void SetUp() override
    {
        extension.Remplir(IconesApresDossiers());
        stock.Lier(&extension);
        stock.Lier(&explorateur);
    }

    // Files the directories through a real store worker, to its natural end.
    void Classer(const Repertoires& repertoires, int32_t longueurRacine = 2)
    {
        stock.PreparerScan();
        stock.DefinirRacine(longueurRacine);
        for (const auto& [chemin, noms] : repertoires)
            stock.EmpilerRepertoire(chemin, noms);
        stock.MarquerFinParcours();
        ThreadStockage travailleur(&stock);
        ASSERT_TRUE(AttendreSansEvenements([&] { return travailleur.Fini(); }, FinMaxMs)) << "the store never ended";
        ASSERT_TRUE(travailleur.Termine());
    }

    // The group a node stands for: by extension, the table row of the
    // extension its text ends with.
    Groupe GroupeDe(Categorie categorie, Ordre ordre, const Lieu& lieu) const
    {
        int index = lieu.Groupe;
        if (ordre == Ordre::Extension) {
            index = -1;
            const std::string ext = lieu.Texte.mid(lieu.Texte.lastIndexOf(' ') + 1).toStdString();
            for (size_t i = 0; i < extension.Table().size(); ++i)
                if (extension.Table()[i].Ext == ext)
                    index = static_cast<int>(i);
        }
        return Groupe{{categorie, ordre}, index};
    }

    std::vector<EnfantNoeud> EnfantsNoeud(Categorie categorie, Ordre ordre, const Lieu& lieu)
    {
        return stock.EnfantsGroupe(GroupeDe(categorie, ordre, lieu));
    }

    std::string InformationFichier(Categorie categorie, Ordre ordre, const Lieu& lieu, QString& nom, QString& ext,
                                   QString& taille)
    {
        return InformationTextes(stock, GroupeDe(categorie, ordre, lieu), lieu.Ligne, nom, ext, taille);
    }

    Noms Enfants(Categorie categorie, Ordre ordre, const Lieu& lieu)
    {
        Noms noms;
        for (const EnfantNoeud& enfant : EnfantsNoeud(categorie, ordre, lieu))
            noms.push_back(enfant.Texte);
        return noms;
    }

    std::string Chemin(Categorie categorie, Ordre ordre, const Lieu& lieu)
    {
        QString nom, ext, taille;
        return InformationFichier(categorie, ordre, lieu, nom, ext, taille);
    }

    // Every file of a category once in each of the three classifications,
    // and as many as the counter says.
    void VerifierCoherence(Categorie categorie)
    {
        SCOPED_TRACE(Code(categorie));
        size_t parRepertoire = 0;
        for (int g = 0; g < stock.NombreRepertoires(categorie); ++g)
            parRepertoire += EnfantsNoeud(categorie, ParRepertoire, Racine(g)).size();
        size_t parLettre = 0;
        for (int b = 0; b < 28; ++b)
            parLettre += EnfantsNoeud(categorie, ParLettre, Lettre(b)).size();
        size_t parExtension = 0;
        for (const TExt& entree : extension.Table())
            if (entree.Cat == categorie)
                parExtension +=
                    EnfantsNoeud(categorie, ParExtension, Racine(0, QString::fromStdString("(1) " + entree.Ext)))
                        .size();
        const auto compteur = static_cast<size_t>(stock.Compteur(categorie));
        EXPECT_EQ(parRepertoire, compteur);
        EXPECT_EQ(parLettre, compteur);
        EXPECT_EQ(parExtension, compteur);
    }

    Extension extension;
    Explorateur explorateur;
    Stockage stock;
};

} // namespace

TEST(Stockage, DirectoryDisplayTexts)
{
    struct Cas
    {
        std::string Racine;
        std::string Chemin;
        std::string Affiche;
    };
    const std::vector<Cas> cas = {
        {"/", "/", "~"},
        {"/", "/usr", "~/usr"},
        {"/", "/home/ana/Photos", "~/home/ana/Photos"},
        {"/data", "/data", "~"},
        {"/data", "/data/X", "~/X"},
        {"/data", "/data/X/Y", "~/X/Y"},
        {"/data/", "/data/", "~"},
        {"/data/", "/data/X/Y", "~/X/Y"},
        {"/home/ana/Été", "/home/ana/Été/Photos", "~/Photos"}, // lengths in bytes
    };
    for (const Cas& c : cas)
        EXPECT_EQ(Stockage::RepertoireAffiche(c.Chemin, static_cast<int32_t>(c.Racine.size())), c.Affiche)
            << c.Racine << " " << c.Chemin;
}

TEST_F(Depot, FilingCountsClassifiedFilesAndDropsTheRest)
{
    Classer({
        {"/r", {"a.jpg", "b.zip", "c", "d.JPG", "e.mp4", "f.txt", "archive.", ".profile"}},
        {"/r/vide", {}},
        {"/r/inconnus", {"x.zip", "y", "z.JPEG.bak"}},
        {"/r/films", {"un.avi", "deux.MKV"}},
    });
    EXPECT_EQ(stock.Compteur(Categorie::Video), 2);
    EXPECT_EQ(stock.Compteur(Categorie::Son), 1);
    EXPECT_EQ(stock.Compteur(Categorie::Image), 2);
    EXPECT_EQ(stock.Compteur(Categorie::Texte), 1);
    EXPECT_EQ(stock.Compteur(static_cast<Categorie>(0)), 0);
    EXPECT_EQ(stock.Compteur(Categorie::Autre), 0);
    // Directories without a classified file make no group.
    EXPECT_EQ(stock.NombreRepertoires(Categorie::Video), 1);
    EXPECT_EQ(stock.NombreRepertoires(Categorie::Son), 1);
    EXPECT_EQ(stock.NombreRepertoires(Categorie::Image), 1);
    EXPECT_EQ(stock.NombreRepertoires(Categorie::Texte), 1);
    EXPECT_EQ(Enfants(Categorie::Video, ParRepertoire, Racine(0)), (Noms{"deux.MKV", "un.avi"}));
    EXPECT_EQ(Chemin(Categorie::Video, ParRepertoire, Feuille(Racine(0), 1)), "/r/films/un.avi");
    for (Categorie c : Categories)
        VerifierCoherence(c);
}

TEST_F(Depot, FullPathsUnderTheRootAndBelowIt)
{
    Classer({{"/", {"a.jpg"}}, {"/usr", {"b.jpg"}}, {"/usr/", {"c.jpg"}}}, 1);
    EXPECT_EQ(Chemin(Categorie::Image, ParRepertoire, Feuille(Racine(0), 0)), "/a.jpg");
    EXPECT_EQ(Chemin(Categorie::Image, ParRepertoire, Feuille(Racine(1), 0)), "/usr/b.jpg");
    EXPECT_EQ(Chemin(Categorie::Image, ParRepertoire, Feuille(Racine(2), 0)), "/usr/c.jpg");
}

// Directory paths are kept as pieces added to an earlier directory's path:
// rebuilt byte for byte whatever the order, the bytes and the length.
TEST_F(Depot, DirectoryPathsComeBackByteForByte)
{
    const std::string bizarre = "/r/\xff\xfe\x01ligne\nnouvelle";
    const std::string long1 = "/r/" + std::string(5000, 'a') + "/" + std::string(300, 'b');
    const std::vector<std::string> chemins = {
        "/r",     "/r/b", "/r/bc", "/r/bc/d/e", "/r/b2", bizarre, bizarre + "/\xc3", long1, long1 + "/c",
        "/r/b/x", // again below an earlier branch
        "/s",     "/",    "/r"};
    Repertoires repertoires;
    for (const std::string& chemin : chemins)
        repertoires.push_back({chemin, {"f.txt"}});
    repertoires.insert(repertoires.begin() + 3, {"/r/bc/d", {"rien.zip"}}); // no file kept
    Classer(repertoires, 2);
    ASSERT_EQ(stock.NombreRepertoires(Categorie::Texte), static_cast<int>(chemins.size()));
    std::vector<std::string> attendus;
    for (size_t g = 0; g < chemins.size(); ++g) {
        const std::string attendu = Explorateur::Joindre(chemins[g], "f.txt");
        const Groupe groupe{{Categorie::Texte, ParRepertoire}, static_cast<int>(g)};
        EXPECT_EQ(Chemin(Categorie::Texte, ParRepertoire, Feuille(Racine(static_cast<int>(g)), 0)), attendu);
        EXPECT_EQ(stock.CheminFichier(groupe, 0), attendu);
        EXPECT_EQ(stock.CheminsGroupe(groupe), std::vector<std::string>{attendu});
        attendus.push_back(attendu);
    }
    // The files of one group from many directories, each path whole.
    std::vector<std::string> parLettre = stock.CheminsGroupe(Groupe{{Categorie::Texte, ParLettre}, 6});
    std::sort(parLettre.begin(), parLettre.end());
    std::sort(attendus.begin(), attendus.end());
    EXPECT_EQ(parLettre, attendus);
}

TEST_F(Depot, FirstLetterBuckets)
{
    Classer({{"/r",
              {"Été.txt", "2004.jpg", "_readme.txt", "Îles.doc", "Zoé.mp3", "ïle.txt", "Ïle2.txt", "b.txt", "Ça.txt",
               "Über.txt", "ñu.txt", "ô.txt"}}});
    EXPECT_EQ(Enfants(Categorie::Texte, ParLettre, Lettre(5)), (Noms{"Été.txt"}));
    EXPECT_EQ(Enfants(Categorie::Image, ParLettre, Lettre(0)), (Noms{"2004.jpg"}));
    EXPECT_EQ(Enfants(Categorie::Texte, ParLettre, Lettre(27)), (Noms{"_readme.txt", "Îles.doc", "ñu.txt"}));
    EXPECT_EQ(Enfants(Categorie::Son, ParLettre, Lettre(26)), (Noms{"Zoé.mp3"}));
    EXPECT_EQ(Enfants(Categorie::Texte, ParLettre, Lettre(9)), (Noms{"ïle.txt", "Ïle2.txt"}));
    EXPECT_EQ(Enfants(Categorie::Texte, ParLettre, Lettre(2)), (Noms{"b.txt"}));
    EXPECT_EQ(Enfants(Categorie::Texte, ParLettre, Lettre(3)), (Noms{"Ça.txt"}));
    EXPECT_EQ(Enfants(Categorie::Texte, ParLettre, Lettre(21)), (Noms{"Über.txt"}));
    EXPECT_EQ(Enfants(Categorie::Texte, ParLettre, Lettre(15)), (Noms{"ô.txt"}));
    EXPECT_TRUE(Enfants(Categorie::Texte, ParLettre, Lettre(1)).empty());
    EXPECT_TRUE(Enfants(Categorie::Texte, ParLettre, Lettre(0)).empty());
    for (Categorie c : Categories)
        VerifierCoherence(c);
}

TEST_F(Depot, ExtensionGroupsAfterLowerCasing)
{
    Classer({{"/r", {"A.JPG", "c.jpeg", "b.jpg"}}, {"/r/s", {"d.Jpg"}}});
    EXPECT_EQ(Enfants(Categorie::Image, ParExtension, Racine(0, "(3) jpg")), (Noms{"A.JPG", "b.jpg", "d.Jpg"}));
    EXPECT_EQ(Enfants(Categorie::Image, ParExtension, Racine(1, "(1) jpeg")), (Noms{"c.jpeg"}));
    EXPECT_TRUE(Enfants(Categorie::Image, ParExtension, Racine(2, "(1) png")).empty());
    EXPECT_TRUE(Enfants(Categorie::Son, ParExtension, Racine(0, "(1) jpg")).empty());
    EXPECT_EQ(Chemin(Categorie::Image, ParExtension, Feuille(Racine(0, "(3) jpg"), 2)), "/r/s/d.Jpg");
    EXPECT_EQ(Chemin(Categorie::Image, ParExtension, Feuille(Racine(5, "(1 024) jpeg"), 0)), "/r/c.jpeg");
}

TEST_F(Depot, GroupsSortByLowerCasedBytesAndKeepTheirNewOrder)
{
    Classer({
        {"/r/img", {"été.jpg", "ete2.jpg", "étoile.jpg", "eau.jpg", "ecole.jpg"}},
        {"/r/son", {"Bravo.mp3", "beta.wav", "Ballade.mid"}},
        // Equal keys keep their filing order.
        {"/r/egaux", {"x.JPG", "X.jpg", "x.jpg", "a.jpg", "_.jpg", "10.jpg", "9.jpg"}},
    });
    const Noms images = {"eau.jpg", "ecole.jpg", "ete2.jpg", "étoile.jpg", "été.jpg"};
    EXPECT_EQ(Enfants(Categorie::Image, ParRepertoire, Racine(0)), images);
    EXPECT_EQ(Enfants(Categorie::Son, ParLettre, Lettre(2)), (Noms{"Ballade.mid", "beta.wav", "Bravo.mp3"}));
    EXPECT_EQ(Enfants(Categorie::Image, ParRepertoire, Racine(1)),
              (Noms{"10.jpg", "9.jpg", "_.jpg", "a.jpg", "x.JPG", "X.jpg", "x.jpg"}));

    // The order stays in the store: the information of child i is file i.
    for (int i = 0; i < static_cast<int>(images.size()); ++i)
        EXPECT_EQ(QString::fromStdString(Chemin(Categorie::Image, ParRepertoire, Feuille(Racine(0), i))),
                  "/r/img/" + images[static_cast<size_t>(i)]);
    // Sorting again changes nothing.
    EXPECT_EQ(Enfants(Categorie::Image, ParRepertoire, Racine(0)), images);

    // The bucket of "e" is sorted on its own, also across directories.
    EXPECT_EQ(Enfants(Categorie::Image, ParLettre, Lettre(5)), images);
    QString nom, ext, taille;
    InformationFichier(Categorie::Image, ParLettre, Feuille(Lettre(5), 3), nom, ext, taille);
    EXPECT_EQ(nom, "étoile.jpg");
    EXPECT_EQ(ext, "jpg");
}

TEST_F(Depot, ASortedGroupKeepsItsOrderAndTakesTheFilesFiledAfter)
{
    Classer({{"/r/a", {"b2.jpg", "b1.jpg", "x.mp3"}}});
    EXPECT_EQ(Enfants(Categorie::Image, ParLettre, Lettre(2)), (Noms{"b1.jpg", "b2.jpg"}));
    EXPECT_EQ(Enfants(Categorie::Image, ParExtension, Racine(0, "(2) jpg")), (Noms{"b1.jpg", "b2.jpg"}));

    // A second directory filed afterwards: its file follows the sorted ones
    // until the next sort.
    Classer({{"/r/b", {"b0.jpg", "c.jpg"}}});
    EXPECT_EQ(Chemin(Categorie::Image, ParLettre, Feuille(Lettre(2), 0)), "/r/a/b1.jpg");
    EXPECT_EQ(Chemin(Categorie::Image, ParLettre, Feuille(Lettre(2), 2)), "/r/b/b0.jpg");
    EXPECT_EQ(Chemin(Categorie::Image, ParExtension, Feuille(Racine(0, "(4) jpg"), 2)), "/r/b/b0.jpg");
    EXPECT_EQ(Enfants(Categorie::Image, ParLettre, Lettre(2)), (Noms{"b0.jpg", "b1.jpg", "b2.jpg"}));
    EXPECT_EQ(Enfants(Categorie::Image, ParExtension, Racine(0, "(4) jpg")),
              (Noms{"b0.jpg", "b1.jpg", "b2.jpg", "c.jpg"}));
    EXPECT_EQ(Enfants(Categorie::Image, ParRepertoire, Racine(1)), (Noms{"b0.jpg", "c.jpg"}));
    EXPECT_EQ(stock.TexteRepertoire(Categorie::Image, 1), "(2) ~/b");
    EXPECT_EQ(stock.TexteRepertoire(Categorie::Son, 0), "(1) ~/a");
    EXPECT_EQ(stock.TexteRepertoire(Categorie::Son, 1), "");
    VerifierCoherence(Categorie::Image);
}

TEST_F(Depot, EqualKeysKeepTheirFilingOrderInLargeGroups)
{
    // The 16 spellings of "x.jpg" share one key; other names around them
    // make the group large enough for any sort to move things about.
    std::vector<std::string> noms;
    std::vector<QString> egaux;
    for (int variante = 0; variante < 16; ++variante) {
        std::string nom = "x.jpg";
        for (int lettre = 0; lettre < 4; ++lettre)
            if (variante & (1 << lettre))
                nom[lettre == 0 ? 0 : static_cast<size_t>(lettre + 1)] -= 'a' - 'A';
        noms.push_back(nom);
        egaux.push_back(QString::fromStdString(nom));
        noms.push_back("z" + std::to_string(50 - variante) + ".jpg");
        noms.push_back("a" + std::to_string(variante * 7 % 16) + ".jpg");
    }
    Classer({{"/r", noms}});
    const Noms enfants = Enfants(Categorie::Image, ParRepertoire, Racine(0));
    ASSERT_EQ(enfants.size(), noms.size());
    const Noms milieu(enfants.begin() + 16, enfants.begin() + 32);
    EXPECT_EQ(milieu, egaux);
    EXPECT_TRUE(std::is_sorted(enfants.begin(), enfants.end(),
                               [](const QString& a, const QString& b) { return a.toLower() < b.toLower(); }));
}

TEST_F(Depot, SortingAListOfPositions)
{
    Classer({{"/r", {"c.jpg", "A.jpg", "b.jpg", "a.jpg"}}});
    std::vector<uint32_t> groupe = {0, 1, 2, 3};
    stock.TrierGroupe(groupe);
    EXPECT_EQ(groupe, (std::vector<uint32_t>{1, 3, 2, 0}));
    std::vector<uint32_t> vide;
    stock.TrierGroupe(vide);
    EXPECT_TRUE(vide.empty());
}

TEST_F(Depot, FileInformationGivesTheSizeReadDuringTheWalk)
{
    ArbreTemporaire arbre;
    const std::string grand = arbre.Fichier("grand.pdf", 1500);
    const std::string vide = arbre.Fichier("vide.pdf", 0);
    Classer({{arbre.Racine(), {"grand.pdf", "vide.pdf", "absent.pdf"}}}, static_cast<int32_t>(arbre.Racine().size()));

    // Expanded first, as in the trees: absent, grand, vide.
    const Lieu dossier = Racine(0);
    ASSERT_EQ(Enfants(Categorie::Texte, ParRepertoire, dossier), (Noms{"absent.pdf", "grand.pdf", "vide.pdf"}));
    // Changed on disk after the walk: the sizes of the walk stay.
    std::filesystem::resize_file(grand, 5 << 20);
    std::filesystem::resize_file(vide, 3000);
    QString nom, ext, taille;
    EXPECT_EQ(InformationFichier(Categorie::Texte, ParRepertoire, Feuille(dossier, 1), nom, ext, taille), grand);
    EXPECT_EQ(nom, "grand.pdf");
    EXPECT_EQ(ext, "pdf");
    EXPECT_EQ(taille, "1 Ko");
    EXPECT_EQ(InformationFichier(Categorie::Texte, ParRepertoire, Feuille(dossier, 2), nom, ext, taille), vide);
    EXPECT_EQ(taille, "0 Ko");

    // A file gone before its size was read counts 0 and is marked.
    Stockage::InfoFichier info;
    EXPECT_FALSE(stock.InformationFichier(GroupeDe(Categorie::Texte, ParRepertoire, dossier), 0, info).empty());
    EXPECT_EQ(info.Nom, "absent.pdf");
    EXPECT_FALSE(info.TailleLue);
    EXPECT_EQ(info.Octets, 0);
    EXPECT_TRUE(stock.InformationFichier(GroupeDe(Categorie::Texte, ParRepertoire, dossier), 1, info).size() > 0 &&
                info.TailleLue);
    EXPECT_EQ(stock.TaillesIlisibles(Categorie::Texte), 1);
    EXPECT_EQ(stock.Octets(Categorie::Texte), 1500);
}

TEST_F(Depot, NodesThatMatchNoFileGiveEmptyOutputs)
{
    Classer({{"/r", {"a.txt", "b.txt"}}});
    const Lieu lettreVide = Feuille(Racine(-1, "A...Z"), 0); // «A (0)» selected: a letter node without files
    const std::vector<std::pair<Ordre, Lieu>> rien = {
        {ParLettre, lettreVide},
        {ParLettre, Racine(-1, "A...Z")},
        {ParRepertoire, Racine(0)},             // a top-level node
        {ParRepertoire, Feuille(Racine(0), 2)}, // past the end of the group
        {ParRepertoire, Feuille(Racine(0), -1)},
        {ParRepertoire, Feuille(Racine(1), 0)}, // no such directory group
        {ParExtension, Feuille(Racine(0, "(2) doc"), 0)},
        {ParExtension, Feuille(Racine(0, "(2) zip"), 0)},
        {ParLettre, Feuille(Lettre(1), 2)},
        {Ordre::Taille, Feuille(Racine(1), 0)}, // the biggest-first list is group 0 alone
        {static_cast<Ordre>(5), Feuille(Racine(0), 0)},
    };
    for (const auto& [ordre, place] : rien) {
        QString nom = "x", ext = "x", taille = "x";
        EXPECT_TRUE(InformationFichier(Categorie::Texte, ordre, place, nom, ext, taille).empty());
        EXPECT_TRUE(nom.isEmpty() && ext.isEmpty() && taille.isEmpty());
    }
    QString nom, ext, taille;
    EXPECT_TRUE(InformationFichier(Categorie::Autre, ParRepertoire, Feuille(Racine(0), 0), nom, ext, taille).empty());
    EXPECT_TRUE(
        InformationFichier(static_cast<Categorie>(0), ParRepertoire, Feuille(Racine(0), 0), nom, ext, taille).empty());
    EXPECT_EQ(InformationFichier(Categorie::Texte, ParRepertoire, Feuille(Racine(0), 1), nom, ext, taille), "/r/b.txt");
    EXPECT_EQ(InformationFichier(Categorie::Texte, ParLettre, Feuille(Lettre(1), 0), nom, ext, taille), "/r/a.txt");

    EXPECT_TRUE(EnfantsNoeud(Categorie::Texte, ParRepertoire, Racine(1)).empty());
    EXPECT_TRUE(EnfantsNoeud(Categorie::Texte, ParRepertoire, Racine(-1)).empty());
    EXPECT_TRUE(EnfantsNoeud(Categorie::Texte, static_cast<Ordre>(0), Racine(0)).empty());
    EXPECT_TRUE(EnfantsNoeud(static_cast<Categorie>(7), ParRepertoire, Racine(0)).empty());
    EXPECT_TRUE(EnfantsNoeud(Categorie::Texte, ParLettre, Lettre(30)).empty());
}

TEST_F(Depot, NamesAreBytesAndPathsOpenAgain)
{
    ArbreTemporaire arbre;
    const std::vector<std::string> noms = {"\xff\xfe.jpg", "ligne\nnouvelle.jpg", std::string(251, 'n') + ".jpg",
                                           "Été.JPG"};
    for (const std::string& nom : noms)
        arbre.Fichier(nom, 2000);
    std::vector<std::string> sous, fichiers;
    explorateur.ListerRepertoire(arbre.Racine(), sous, fichiers);
    ASSERT_EQ(fichiers.size(), noms.size());
    Classer({{arbre.Racine(), fichiers}}, static_cast<int32_t>(arbre.Racine().size()));
    ASSERT_EQ(stock.Compteur(Categorie::Image), 4);

    const std::vector<EnfantNoeud> enfants = EnfantsNoeud(Categorie::Image, ParRepertoire, Racine(0));
    ASSERT_EQ(enfants.size(), noms.size());
    std::vector<std::string> trouves;
    for (int i = 0; i < static_cast<int>(enfants.size()); ++i) {
        QString nom, ext, taille;
        const std::string chemin =
            InformationFichier(Categorie::Image, ParRepertoire, Feuille(Racine(0), i), nom, ext, taille);
        EXPECT_EQ(nom, enfants[static_cast<size_t>(i)].Texte);
        EXPECT_EQ(enfants[static_cast<size_t>(i)].Image, extension.Table()[17].Icone);
        EXPECT_EQ(taille, "1 Ko") << chemin; // read through the exact bytes
        EXPECT_EQ(Explorateur::LireTaille(chemin), 2000);
        trouves.push_back(chemin.substr(arbre.Racine().size() + 1));
    }
    std::sort(trouves.begin(), trouves.end());
    std::vector<std::string> attendus = noms;
    std::sort(attendus.begin(), attendus.end());
    EXPECT_EQ(trouves, attendus);
    // Invalid bytes show as U+FFFD, for display only.
    EXPECT_TRUE(std::any_of(enfants.begin(), enfants.end(), [](const EnfantNoeud& e) {
        return e.Texte.contains(QChar(0xFFFD)) && e.Texte.endsWith(".jpg");
    }));
}

TEST_F(Depot, EmptyingForgetsEverythingIncludingSizes)
{
    ArbreTemporaire arbre;
    arbre.Fichier("a.txt", 5000);
    arbre.Fichier("b.txt", 100);
    const auto longueur = static_cast<int32_t>(arbre.Racine().size());
    Classer({{arbre.Racine(), {"a.txt"}}, {"/ailleurs", {"c.jpg", "d.mp3", "e.avi"}}}, longueur);
    QString nom, ext, taille;
    InformationFichier(Categorie::Texte, ParRepertoire, Feuille(Racine(0), 0), nom, ext, taille);
    EXPECT_EQ(taille, "4 Ko");

    stock.Reinitialiser();
    for (Categorie c : Categories) {
        EXPECT_EQ(stock.Compteur(c), 0);
        EXPECT_EQ(stock.NombreRepertoires(c), 0);
        for (int b = 0; b < 28; ++b)
            EXPECT_TRUE(EnfantsNoeud(c, ParLettre, Lettre(b)).empty());
    }
    EXPECT_TRUE(InformationFichier(Categorie::Texte, ParRepertoire, Feuille(Racine(0), 0), nom, ext, taille).empty());

    // The same position now holds another file: its own size is read.
    Classer({{arbre.Racine(), {"b.txt"}}}, longueur);
    EXPECT_EQ(stock.Compteur(Categorie::Texte), 1);
    EXPECT_EQ(stock.Compteur(Categorie::Image), 0);
    InformationFichier(Categorie::Texte, ParRepertoire, Feuille(Racine(0), 0), nom, ext, taille);
    EXPECT_EQ(nom, "b.txt");
    EXPECT_EQ(taille, "1 Ko");
}

TEST_F(Depot, ReadersDuringFilingSeeConsistentGroups)
{
    constexpr int NombreRepertoires = 400;
    constexpr int FichiersParRepertoire = 50;
    stock.PreparerScan();
    stock.DefinirRacine(2);
    ThreadStockage travailleur(&stock);

    std::atomic<bool> fini{false};
    std::atomic<int> lectures{0};
    std::thread lecteur([&] {
        while (!fini.load()) {
            const std::vector<EnfantNoeud> enfants = EnfantsNoeud(Categorie::Image, ParLettre, Lettre(6));
            for (size_t i = 1; i < enfants.size(); ++i)
                EXPECT_LE(enfants[i - 1].Texte.toLower(), enfants[i].Texte.toLower());
            QString nom, ext, taille;
            const std::string chemin =
                InformationFichier(Categorie::Image, ParLettre, Feuille(Lettre(6), 0), nom, ext, taille);
            if (!chemin.empty()) {
                EXPECT_TRUE(nom.startsWith('f') || nom.startsWith('F'));
            }
            EnfantsNoeud(Categorie::Image, ParExtension, Racine(0, "(1) jpg"));
            lectures.fetch_add(1);
        }
    });

    for (int r = 0; r < NombreRepertoires; ++r) {
        // Half-way, make sure the reader runs before the rest is queued.
        if (r == NombreRepertoires / 2)
            while (lectures.load() == 0)
                std::this_thread::yield();
        std::vector<std::string> noms;
        for (int f = 0; f < FichiersParRepertoire; ++f)
            noms.push_back((f % 2 ? "F" : "f") + std::to_string((r * 7919 + f * 104729) % 100000) + ".jpg");
        stock.EmpilerRepertoire("/r/" + std::to_string(r), std::move(noms));
    }
    stock.MarquerFinParcours();
    EXPECT_TRUE(AttendreSansEvenements([&] { return travailleur.Fini(); }, FinMaxMs)) << "the store never ended";
    fini = true;
    lecteur.join();

    EXPECT_TRUE(travailleur.Termine());
    EXPECT_GT(lectures.load(), 0);
    EXPECT_EQ(stock.Compteur(Categorie::Image), NombreRepertoires * FichiersParRepertoire);
    EXPECT_EQ(stock.NombreRepertoires(Categorie::Image), NombreRepertoires);
    VerifierCoherence(Categorie::Image);
}

namespace {

// The folding the filter must match, written out here on its own: ASCII
// and the Latin-1 capitals lower-cased, and the accented letters of the
// first-letter buckets (à â ä, ç, è é ê ë, ï, ô ö, û ü, in either case) as
// their plain letter; any other byte kept. A letter followed by a combining
// accent (decomposed, as macOS writes names) folds as its composed form.
std::string ReplieReference(std::string nom)
{
    static const std::vector<std::pair<std::string, std::string>> decomposes = {
        {"e\xcc\x81", "é"}, {"E\xcc\x81", "É"}, {"E\xcc\x88", "Ë"}, {"o\xcc\x88", "ö"},
        {"n\xcc\x83", "ñ"}, {"a\xcc\x81", "á"}, {"A\xcc\x81", "Á"}, {"c\xcc\xa7", "ç"}};
    for (const auto& [forme, compose] : decomposes)
        for (size_t i; (i = nom.find(forme)) != std::string::npos;)
            nom.replace(i, forme.size(), compose);
    static const std::vector<std::pair<std::string, char>> accents = {
        {"à", 'a'}, {"â", 'a'}, {"ä", 'a'}, {"À", 'a'}, {"Â", 'a'}, {"Ä", 'a'}, {"ç", 'c'}, {"Ç", 'c'}, {"è", 'e'},
        {"é", 'e'}, {"ê", 'e'}, {"ë", 'e'}, {"È", 'e'}, {"É", 'e'}, {"Ê", 'e'}, {"Ë", 'e'}, {"ï", 'i'}, {"Ï", 'i'},
        {"ô", 'o'}, {"ö", 'o'}, {"Ô", 'o'}, {"Ö", 'o'}, {"û", 'u'}, {"ü", 'u'}, {"Û", 'u'}, {"Ü", 'u'}};
    std::string sortie;
    for (size_t i = 0; i < nom.size(); ++i) {
        bool pris = false;
        for (const auto& [forme, lettre] : accents)
            if (nom.compare(i, forme.size(), forme) == 0) {
                sortie += lettre;
                i += forme.size() - 1;
                pris = true;
                break;
            }
        if (pris)
            continue;
        if (i + 1 < nom.size() && nom[i] == '\xC3' && static_cast<unsigned char>(nom[i + 1]) >= 0x80 &&
            static_cast<unsigned char>(nom[i + 1]) <= 0x9E && nom[i + 1] != '\x97') {
            sortie += nom[i];
            sortie += static_cast<char>(nom[i + 1] + 0x20);
            ++i;
            continue;
        }
        const char c = nom[i];
        sortie += (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
    }
    return sortie;
}

} // namespace

TEST_F(Depot, FilterKeepsTheNamesThatHoldTheFoldedText)
{
    const std::vector<std::string> haut = {"été.txt",
                                           "ETE.txt",
                                           "Bête noire.txt",
                                           "ÉTÉ\xff\xfe.txt",
                                           "e\xcc\x81te.txt",
                                           "NOE\xcc\x88L E\xcc\x81TE\xcc\x81.txt",
                                           "man\xcc\x83"
                                           "ana.txt",
                                           "A\xcc\x81rbol c\xcc\xa7"
                                           "a.txt",
                                           "\xcc\x81seul x\xcc\x81.txt",
                                           "ctrl\x01\nete.txt",
                                           std::string(248, 'x') + "ete.txt",
                                           std::string(251, 'Y') + ".TXT"};
    // Bytes beside A and Z, and high bytes whose low seven bits spell a capital.
    const std::vector<std::string> bas = {"hiver.txt",
                                          "Ça été.txt",
                                          "\xff.txt",
                                          "Öte.txt",
                                          "mañana Árbol.txt",
                                          "o\xcc\x88\xcc\x88.txt",
                                          "\xc1\xda\xe1@AZ[`az{.TXT",
                                          "LEAD\xc3"
                                          "ETE.TXT"};
    Classer({{"/r/haut", haut}, {"/r/haut/bas", bas}});
    std::vector<std::string> tous = haut;
    tous.insert(tous.end(), bas.begin(), bas.end());

    for (const std::string texte :
         {"ete", "ÉTÉ", "\xff", "\x01\n", "xxxxete.", ".txt", "y", "zzz", "@az[`az{", "\xe1\xfa", "noel",
          "man\xcc\x83"
          "ana",
          "mañana", "á", "ca", "x\xcc\x81", "\xcc\x81s", "o\xcc\x88",
          "d\xc3"
          "ete"}) {
        SCOPED_TRACE(texte);
        const std::string replie = ReplieReference(texte);
        std::set<QString> attendus;
        std::array<int64_t, 2> parRepertoire{};
        for (size_t i = 0; i < tous.size(); ++i)
            if (ReplieReference(tous[i]).find(replie) != std::string::npos) {
                attendus.insert(NomFichier::Texte(tous[i]));
                ++parRepertoire[i < haut.size() ? 0 : 1];
            }

        Stockage::Filtre filtre;
        ASSERT_TRUE(stock.Filtrer(
            Categorie::Texte, replie, 2, [] { return false; }, filtre));
        EXPECT_EQ(filtre.Nombre, static_cast<int64_t>(attendus.size()));
        std::vector<QString> textes;
        for (int g = 0; g < 2; ++g)
            if (parRepertoire[g] > 0)
                textes.push_back(
                    QString::fromStdString(Textes::Groupe(parRepertoire[g], g == 0 ? "~/haut" : "~/haut/bas")));
        EXPECT_EQ(filtre.TextesRepertoires, textes);
        int64_t parLettres = 0;
        for (int32_t n : filtre.Lettres)
            parLettres += n;
        EXPECT_EQ(parLettres, filtre.Nombre);

        // Applied, every group of the category reads as its kept files.
        stock.AppliquerFiltre(Categorie::Texte, filtre.Bits);
        std::set<QString> vus;
        for (int g = 0; g < 2; ++g) {
            const Noms noms = Enfants(Categorie::Texte, ParRepertoire, Racine(g));
            EXPECT_EQ(static_cast<int64_t>(noms.size()), parRepertoire[g]);
            vus.insert(noms.begin(), noms.end());
            for (size_t ligne = 0; ligne < noms.size(); ++ligne) {
                QString nom, ext, taille;
                InformationFichier(Categorie::Texte, ParRepertoire, Feuille(Racine(g), static_cast<int>(ligne)), nom,
                                   ext, taille);
                EXPECT_EQ(nom, noms[ligne]);
            }
            EXPECT_EQ(static_cast<int64_t>(stock.CheminsGroupe(Groupe{{Categorie::Texte, ParRepertoire}, g}).size()),
                      parRepertoire[g]);
        }
        EXPECT_EQ(vus, attendus);
        int64_t parBuckets = 0;
        for (int b = 0; b < 28; ++b)
            parBuckets += static_cast<int64_t>(Enfants(Categorie::Texte, ParLettre, Lettre(b)).size());
        EXPECT_EQ(parBuckets, filtre.Nombre);
        stock.RetirerFiltre();
    }
    EXPECT_EQ(Enfants(Categorie::Texte, ParRepertoire, Racine(0)).size(), haut.size());

    // A filtering told to give up does.
    Stockage::Filtre filtre;
    EXPECT_FALSE(stock.Filtrer(
        Categorie::Texte, "e", 2, [] { return true; }, filtre));
}

// A large category is filtered in two shares of directories at once: the
// result must be the one a single pass gives, groups in order.
TEST_F(Depot, FilterOfALargeCategoryMatchesTheNamesOneByOne)
{
    constexpr int NombreRepertoires = 7;
    constexpr int ParRepertoire = 20000;
    Repertoires repertoires;
    std::vector<int64_t> attendus(NombreRepertoires, 0);
    for (int r = 0; r < NombreRepertoires; ++r) {
        std::vector<std::string> noms;
        for (int f = 0; f < ParRepertoire; ++f) {
            noms.push_back((f % 3 ? "Été " : "hiver ") + std::to_string(f) + ".txt");
            if (ReplieReference(noms.back()).find("ete 1") != std::string::npos)
                ++attendus[static_cast<size_t>(r)];
        }
        repertoires.emplace_back("/r/d" + std::to_string(r), std::move(noms));
    }
    Classer(repertoires);

    Stockage::Filtre filtre;
    ASSERT_TRUE(stock.Filtrer(
        Categorie::Texte, "ete 1", NombreRepertoires, [] { return false; }, filtre));
    std::vector<int32_t> groupes;
    std::vector<QString> textes;
    int64_t total = 0;
    for (int r = 0; r < NombreRepertoires; ++r) {
        groupes.push_back(r);
        textes.push_back(
            QString::fromStdString(Textes::Groupe(attendus[static_cast<size_t>(r)], "~/d" + std::to_string(r))));
        total += attendus[static_cast<size_t>(r)];
    }
    EXPECT_EQ(filtre.Repertoires, groupes);
    EXPECT_EQ(filtre.TextesRepertoires, textes);
    EXPECT_EQ(filtre.Nombre, total);
    int64_t bits = 0;
    for (uint64_t mot : filtre.Bits)
        bits += __builtin_popcountll(mot);
    EXPECT_EQ(bits, total);
    EXPECT_EQ(filtre.Lettres[5], total); // every kept name starts with É
}

// Sizes read by the walk, added up per group in every order, and the
// biggest-first list of a category, whole and filtered, against totals
// and an order made here.
TEST_F(Depot, SizesAddUpPerGroupAndTheBiggestComeFirst)
{
    ArbreTemporaire arbre;
    struct Attendu
    {
        std::string Dossier, Nom;
        int64_t Octets;
    };
    std::vector<Attendu> fichiers;
    Repertoires repertoires(4);
    for (int i = 0; i < 60; ++i) {
        const std::string nom = std::string(1, static_cast<char>('a' + i % 5)) + std::to_string(i) +
                                (i % 3 == 0   ? ".jpg"
                                 : i % 3 == 1 ? ".PNG"
                                              : ".gif");
        // Equal sizes now and then: their names order them.
        const int64_t octets = (i * 7919) % 50 * 1000 + (i % 7 == 0 ? 0 : i);
        fichiers.push_back({"d" + std::to_string(i % 4), nom, octets});
        arbre.Fichier(fichiers.back().Dossier + "/" + nom, static_cast<size_t>(octets));
        repertoires[static_cast<size_t>(i % 4)] = {arbre.Racine() + "/" + fichiers.back().Dossier, {}};
    }
    for (auto& [chemin, noms] : repertoires) {
        std::vector<std::string> sous;
        explorateur.ListerRepertoire(chemin, sous, noms);
    }
    Classer(repertoires, static_cast<int32_t>(arbre.Racine().size()));

    const auto minuscules = [](const std::string& nom) { return QString::fromStdString(nom).toLower().toStdString(); };
    const auto reference = [&](const std::function<bool(const Attendu&)>& garde) {
        std::vector<Attendu> gardes;
        std::copy_if(fichiers.begin(), fichiers.end(), std::back_inserter(gardes), garde);
        std::sort(gardes.begin(), gardes.end(), [&](const Attendu& a, const Attendu& b) {
            return a.Octets != b.Octets ? a.Octets > b.Octets : minuscules(a.Nom) < minuscules(b.Nom);
        });
        return gardes;
    };
    const auto somme = [&](const std::function<bool(const Attendu&)>& garde) {
        int64_t total = 0;
        for (const Attendu& a : reference(garde))
            total += a.Octets;
        return total;
    };
    const auto verifierListe = [&](const std::function<bool(const Attendu&)>& garde) {
        const std::vector<Attendu> attendus = reference(garde);
        const Groupe liste{{Categorie::Image, Ordre::Taille}, 0};
        EXPECT_EQ(stock.NombreFichiers(liste), static_cast<int32_t>(attendus.size()));
        EXPECT_EQ(stock.OctetsGroupe(liste), somme(garde));
        const std::vector<EnfantNoeud> enfants = stock.EnfantsGroupe(liste);
        const std::vector<std::string> chemins = stock.CheminsGroupe(liste);
        ASSERT_EQ(enfants.size(), attendus.size());
        ASSERT_EQ(chemins.size(), attendus.size());
        for (size_t i = 0; i < attendus.size(); ++i) {
            EXPECT_EQ(enfants[i].Texte.toStdString(), attendus[i].Nom) << i;
            EXPECT_EQ(enfants[i].Octets, attendus[i].Octets) << i;
            EXPECT_EQ(chemins[i], arbre.Racine() + "/" + attendus[i].Dossier + "/" + attendus[i].Nom);
            EXPECT_EQ(stock.CheminFichier(liste, static_cast<int>(i)), chemins[i]);
        }
        const std::vector<EnfantNoeud> tranche = stock.EnfantsGroupe(liste, 3, 4);
        for (size_t i = 0; i < tranche.size(); ++i)
            EXPECT_EQ(tranche[i].Texte, enfants[3 + i].Texte);
        EXPECT_EQ(tranche.size(), std::min<size_t>(4, attendus.size() - std::min<size_t>(3, attendus.size())));
    };
    const auto tous = [](const Attendu&) { return true; };
    const auto avecUn = [](const Attendu& a) { return a.Nom.find('1') != std::string::npos; };

    EXPECT_EQ(stock.Octets(Categorie::Image), somme(tous));
    EXPECT_EQ(stock.TaillesIlisibles(Categorie::Image), 0);
    verifierListe(tous);
    // The table of the list: the sizes the walk read, not those of now.
    std::filesystem::resize_file(arbre.Racine() + "/d0/a0.jpg", 1);
    std::vector<int64_t> tailles;
    const std::vector<std::string> chemins = stock.CheminsGroupe(Groupe{{Categorie::Image, Ordre::Taille}, 0}, tailles);
    std::string attendue = Exportation::EnTeteTableau;
    for (const Attendu& a : reference(tous))
        attendue += a.Nom + "," + arbre.Racine() + "/" + a.Dossier + "," + a.Nom.substr(a.Nom.size() - 3) + "," +
                    std::to_string(a.Octets) + "\r\n";
    EXPECT_EQ(Exportation::Texte(Exportation::Format::Tableau, chemins, tailles), attendue);
    for (int g = 0; g < 4; ++g) {
        EXPECT_EQ(stock.OctetsGroupe(Groupe{{Categorie::Image, ParRepertoire}, g}),
                  somme([&](const Attendu& a) { return a.Dossier == "d" + std::to_string(g); }));
        EXPECT_EQ(stock.OctetsGroupe(Groupe{{Categorie::Image, ParLettre}, g + 1}),
                  somme([&](const Attendu& a) { return a.Nom[0] == 'a' + g; }));
    }
    for (const std::string ext : {"jpg", "png", "gif"})
        EXPECT_EQ(stock.OctetsGroupe(GroupeDe(Categorie::Image, ParExtension, Racine(0, QString::fromStdString(ext)))),
                  somme([&](const Attendu& a) { return minuscules(a.Nom).ends_with(ext); }));

    // Filtered: the totals of the kept files, and the list of them alone.
    Stockage::Filtre filtre;
    ASSERT_TRUE(stock.Filtrer(
        Categorie::Image, "1", 4, [] { return false; }, filtre));
    EXPECT_EQ(filtre.Octets, somme(avecUn));
    for (size_t g = 0; g < filtre.Repertoires.size(); ++g)
        EXPECT_EQ(filtre.OctetsRepertoires[g], somme([&](const Attendu& a) {
                      return avecUn(a) && a.Dossier == "d" + std::to_string(filtre.Repertoires[g]);
                  }));
    EXPECT_EQ(filtre.OctetsLettres[2], somme([&](const Attendu& a) { return avecUn(a) && a.Nom[0] == 'b'; }));
    const auto gif = static_cast<size_t>(GroupeDe(Categorie::Image, ParExtension, Racine(0, "gif")).Index);
    EXPECT_EQ(filtre.OctetsExtensions[gif],
              somme([&](const Attendu& a) { return avecUn(a) && a.Nom.ends_with(".gif"); }));
    stock.AppliquerFiltre(Categorie::Image, filtre.Bits);
    verifierListe(avecUn);
    EXPECT_EQ(stock.OctetsGroupe(Groupe{{Categorie::Image, ParRepertoire}, 1}),
              somme([&](const Attendu& a) { return avecUn(a) && a.Dossier == "d1"; }));
    stock.RetirerFiltre();
    verifierListe(tous);
}
