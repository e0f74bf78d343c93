// The preview from the user's side: the real window offscreen, a real scan
// of generated files, group nodes filled by real fill jobs, and files
// selected in the trees.

#include "preview/Previsualisation.h"

#include "classification/NomFichier.h"
#include "app/Application.h"
#include "shared/Textes.h"
#include "trees/ArbreCategorie.h"
#include "trees/ModeleArbre.h"
#include "trees/GestionTreeView.h"
#include "widgets/Etiquette.h"
#include "widgets/ImageComposant.h"
#include "preview/Son.h"
#include "widgets/EcranSon.h"
#include "widgets/EcranVideo.h"
#include "media/Video.h"
#include "widgets/TFormImage.h"
#include "ui/TFormPrincipal.h"
#include "widgets/ZoneSaisie.h"

#include "support/ImagesDeTest.h"
#include "support/ArbreTemporaire.h"
#include "support/Attendre.h"
#include "support/AvecApplication.h"
#include "support/SansPrivileges.h"
#include "support/SonsDeTest.h"
#include "support/VideosDeTest.h"

#include <QBuffer>
#include <QMessageBox>
#include <QTimer>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr Categorie Image = Categorie::Image;
constexpr Categorie Texte = Categorie::Texte;
constexpr Ordre ParExtension = Ordre::Extension;
constexpr Ordre ParAlphabet = Ordre::Alphabetique;
constexpr Ordre ParRepertoire = Ordre::Repertoire;

void Ecrire(const std::string& chemin, const QByteArray& octets)
{
    std::ofstream sortie(chemin, std::ios::binary | std::ios::trunc);
    sortie.write(octets.constData(), octets.size());
}

void EcrireImage(const std::string& chemin, const QImage& image, const char* format)
{
    QByteArray octets;
    QBuffer tampon(&octets);
    tampon.open(QIODevice::WriteOnly);
    ASSERT_TRUE(image.save(&tampon, format)) << format;
    Ecrire(chemin, octets);
}

// Qt writes no GIF: a plain one, 256 colours, each pixel a literal LZW code
// with a clear code often enough that codes stay 9 bits wide.
QByteArray Gif(int largeur, int hauteur)
{
    constexpr int CodeEffacer = 256;
    constexpr int CodeFin = 257;
    constexpr int LitterauxParTable = 250;
    QByteArray octets("GIF89a");
    const auto mot = [&octets](int valeur) {
        octets += char(valeur & 0xFF);
        octets += char((valeur >> 8) & 0xFF);
    };
    mot(largeur);
    mot(hauteur);
    octets += QByteArray("\xF7\x00\x00", 3);
    for (int i = 0; i < 256; ++i) {
        const QColor couleur = i == 1 ? QColor(Qt::red) : i == 2 ? QColor(Qt::blue) : QColor(i, i, i);
        octets += char(couleur.red());
        octets += char(couleur.green());
        octets += char(couleur.blue());
    }
    octets += char(0x2C);
    mot(0);
    mot(0);
    mot(largeur);
    mot(hauteur);
    octets += char(0);
    octets += char(8); // LZW minimum code size

    QByteArray flux;
    std::uint32_t accumulateur = 0;
    int bits = 0;
    const auto code = [&](int valeur) {
        accumulateur |= std::uint32_t(valeur) << bits;
        bits += 9;
        while (bits >= 8) {
            flux += char(accumulateur & 0xFF);
            accumulateur >>= 8;
            bits -= 8;
        }
    };
    code(CodeEffacer);
    int litteraux = 0;
    for (int y = 0; y < hauteur; ++y)
        for (int x = 0; x < largeur; ++x) {
            code(x < largeur / 2 ? 1 : 2);
            if (++litteraux == LitterauxParTable) {
                code(CodeEffacer);
                litteraux = 0;
            }
        }
    code(CodeFin);
    if (bits > 0)
        flux += char(accumulateur & 0xFF);
    for (qsizetype i = 0; i < flux.size(); i += 255) {
        const QByteArray bloc = flux.mid(i, 255);
        octets += char(bloc.size());
        octets += bloc;
    }
    octets += char(0);
    octets += char(0x3B);
    return octets;
}

QString TexteTaille(const std::string& chemin)
{
    return QString::fromStdString(Textes::Taille(int64_t(std::filesystem::file_size(chemin))));
}

// The number in front of a group node's text: "(1 500) jpg" gives 1500.
int NombreDuGroupe(const QString& texte)
{
    const qsizetype fin = texte.indexOf(')');
    return texte.mid(1, fin - 1).remove(' ').toInt();
}

// Names that are not UTF-8 are beyond QTemporaryDir: removed here.
struct SupprimerALaFin
{
    std::vector<std::string> Chemins;
    ~SupprimerALaFin()
    {
        std::error_code erreur;
        for (const std::string& chemin : Chemins)
            std::filesystem::remove(chemin, erreur);
    }
};

bool Rempli(const Noeud* noeud)
{
    return !noeud->AttenteVirtuelle();
}

// The program's own preview, with the desktop's "open" recorded instead.
class Apercu : public AvecApplication
{
protected:
    void SetUp() override
    {
        AvecApplication::SetUp();
        P().OuvrirAvecBureau = [this](const std::string& chemin) { ouverts_.push_back(chemin); };
    }

    Previsualisation& P() { return application_->Previsu; }

    // A scan as the scan button starts it, up to its natural end.
    void Scanner(const std::string& racine)
    {
        P().Effacer();
        c->EditHomeRepertoireScan->setText(QString::fromStdString(racine));
        application_->Bouton.LancerScan();
        ASSERT_EQ(application_->Scans.Etat(), GestionScan::EtatScan::EnCours);
        ASSERT_TRUE(AttendreQue([this] { return application_->Scans.Etat() == GestionScan::EtatScan::Termine; }));
    }

    ArbreCategorie* Arbre(Categorie categorie, Ordre ordre) { return c->Arbre({categorie, ordre}); }

    // A selection as the trees make it, then the wait for it to be read and
    // for a picture to decode.
    void Montrer(Categorie categorie, Ordre ordre, const Noeud* noeud)
    {
        P().Afficher(::Groupe{{categorie, ordre}, noeud->Parent->Groupe}, noeud->Index);
        ASSERT_TRUE(AttendreQue([this] { return !P().LectureEnCours() && !P().Image.ChargementEnCours(); }));
    }

    // What the window's expanding handler does, then the wait for the children.
    void Deployer(Categorie categorie, Ordre ordre, Noeud* noeud)
    {
        ASSERT_NE(noeud, nullptr);
        if (noeud->AttenteVirtuelle())
            application_->Arbres.LancerRemplissage({categorie, ordre}, noeud);
        ASSERT_TRUE(AttendreQue([noeud] { return Rempli(noeud); }));
    }

    // The by-extension group of an extension, filled.
    Noeud* Groupe(Categorie categorie, const QString& ext)
    {
        ArbreCategorie* arbre = Arbre(categorie, ParExtension);
        for (int i = 0; i < arbre->NombreRacines(); ++i) {
            Noeud* racine = arbre->Racine(i);
            if (racine->Texte.Chaine().endsWith(") " + ext)) {
                Deployer(categorie, ParExtension, racine);
                return racine;
            }
        }
        ADD_FAILURE() << "no group for " << ext.toStdString();
        return nullptr;
    }

    Noeud* Feuille(Categorie categorie, const QString& ext, const QString& nom)
    {
        Noeud* groupe = Groupe(categorie, ext);
        if (!groupe)
            return nullptr;
        for (const auto& enfant : groupe->Enfants)
            if (enfant->Texte == nom)
                return enfant;
        ADD_FAILURE() << "no leaf " << nom.toStdString();
        return nullptr;
    }

    qint64 ImageAffichee() const { return c->ImgImagePrevisu->Image().cacheKey(); }
    qint64 TexteAffiche() const { return c->ImgTextePrevisu->Image().cacheKey(); }

    std::vector<std::string> ouverts_;
};

} // namespace

TEST_F(Apercu, PicturesShowTheirOriginalDimensionsSizeAndPath)
{
    ArbreTemporaire arbre;
    const std::string photo = arbre.Fichier("Photos/photo.jpg");
    EcrireImage(photo, DeuxCouleurs(640, 480), "JPG");
    const std::string majuscules = arbre.Fichier("Photos/B.JPEG");
    EcrireImage(majuscules, DeuxCouleurs(100, 50), "JPG");
    const std::string png = arbre.Fichier("grande.png");
    EcrireImage(png, DeuxCouleurs(1200, 900), "PNG");
    const std::string gif = arbre.Fichier("anim.gif");
    Ecrire(gif, Gif(300, 200));
    const std::string bmp = arbre.Fichier("petite.bmp");
    EcrireImage(bmp, DeuxCouleurs(40, 30), "BMP");
    const std::string ico = arbre.Fichier("icone.ico");
    EcrireImage(ico, DeuxCouleurs(32, 32), "ICO");
    Scanner(arbre.Racine());

    struct Cas
    {
        std::string Chemin;
        QString Ext, Nom, Extension, Dimension;
        QSize Affichee;
    };
    const Cas cas[] = {
        {photo, "jpg", "photo.jpg", "Image JPG", "Dimension : 640x480", {160, 120}},
        {majuscules, "jpeg", "B.JPEG", "Image JPEG", "Dimension : 100x50", {100, 50}},
        {png, "png", "grande.png", "Image PNG", "Dimension : 1200x900", {160, 120}},
        {gif, "gif", "anim.gif", "Image GIF", "Dimension : 300x200", {160, 106}},
        {bmp, "bmp", "petite.bmp", "Image BMP", "Dimension : 40x30", {40, 30}},
        {ico, "ico", "icone.ico", "Image ICO", "Dimension : 32x32", {32, 32}},
    };
    for (const Cas& k : cas) {
        SCOPED_TRACE(k.Nom.toStdString());
        Noeud* feuille = Feuille(Image, k.Ext, k.Nom);
        ASSERT_NE(feuille, nullptr);
        Montrer(Image, ParExtension, feuille);
        EXPECT_EQ(c->LabelImageNom->text(), k.Nom);
        EXPECT_EQ(c->LabelImageNom->Hint(), QString::fromStdString(k.Chemin));
        EXPECT_EQ(c->LabelImageExtension->text(), k.Extension);
        EXPECT_EQ(c->LabelImageDimension->text(), k.Dimension);
        EXPECT_EQ(c->LabelImageTaille->text(), "Taille : " + TexteTaille(k.Chemin));
        EXPECT_EQ(P().Image.Chemin, k.Chemin);
        const QImage affichee = c->ImgImagePrevisu->Image().toImage();
        EXPECT_EQ(affichee.size(), k.Affichee);
        const QColor gauche = affichee.pixelColor(affichee.width() / 8, affichee.height() / 2);
        const QColor droite = affichee.pixelColor(affichee.width() * 7 / 8, affichee.height() / 2);
        EXPECT_GT(gauche.red(), 200);
        EXPECT_LT(gauche.blue(), 60);
        EXPECT_GT(droite.blue(), 200);
        EXPECT_LT(droite.red(), 60);

        P().Ouvrir(Image);
        ASSERT_FALSE(ouverts_.empty());
        EXPECT_EQ(ouverts_.back(), k.Chemin);
    }

    // The same file through the other two orders.
    ArbreCategorie* alpha = Arbre(Image, ParAlphabet);
    Noeud* lettreP = alpha->Racine(1)->Enfants[15];
    ASSERT_EQ(lettreP->Texte, "P (2)");
    Deployer(Image, ParAlphabet, lettreP);
    ASSERT_EQ(lettreP->Enfants.size(), 2u);
    Montrer(Image, ParAlphabet, lettreP->Enfants[1]);
    EXPECT_EQ(c->LabelImageNom->text(), "photo.jpg");
    EXPECT_EQ(c->LabelImageDimension->text(), "Dimension : 640x480");

    ArbreCategorie* rep = Arbre(Image, ParRepertoire);
    ASSERT_TRUE(AttendreQue([rep] { return rep->NombreRacines() == 2; }));
    Noeud* photos = rep->Modele()->Texte(rep->Racine(0)) == "(2) ~/Photos" ? rep->Racine(0) : rep->Racine(1);
    ASSERT_EQ(rep->Modele()->Texte(photos), "(2) ~/Photos");
    Deployer(Image, ParRepertoire, photos);
    ASSERT_EQ(photos->Enfants.size(), 2u);
    Montrer(Image, ParRepertoire, photos->Enfants[0]);
    EXPECT_EQ(c->LabelImageNom->text(), "B.JPEG");
    EXPECT_EQ(c->LabelImageDimension->text(), "Dimension : 100x50");
    EXPECT_EQ(P().Image.Chemin, majuscules);

    // No player yet: the other two categories open nothing.
    const size_t avant = ouverts_.size();
    P().Ouvrir(Categorie::Video);
    P().Ouvrir(Categorie::Son);
    P().Ouvrir(static_cast<Categorie>(0));
    EXPECT_EQ(ouverts_.size(), avant);
}

TEST_F(Apercu, PicturesThatDoNotDecodeShowTheNotSupportedPictureAndStayOpenable)
{
    ArbreTemporaire arbre;
    QByteArray jpeg;
    {
        QBuffer tampon(&jpeg);
        tampon.open(QIODevice::WriteOnly);
        ASSERT_TRUE(DeuxCouleurs(640, 480).save(&tampon, "JPG"));
    }
    Ecrire(arbre.Fichier("abime.jpg"), jpeg.left(jpeg.size() * 2 / 3));
    Ecrire(arbre.Fichier("faux.bmp"), "Ceci est un texte, pas une image.\n");
    arbre.Fichier("vide.png");
    const std::string dossier = arbre.Fichier("dossier.jpg", 10);
    const std::string tube = arbre.Fichier("tube.gif", 10);
    // A 60 000 x 60 000 picture, so its header says.
    QByteArray geant = jpeg;
    const qsizetype sof = geant.indexOf(QByteArray("\xFF\xC0", 2));
    ASSERT_GT(sof, 0);
    geant[sof + 5] = char(0xEA);
    geant[sof + 6] = char(0x60);
    geant[sof + 7] = char(0xEA);
    geant[sof + 8] = char(0x60);
    Ecrire(arbre.Fichier("geant.jpeg"), geant);
    Scanner(arbre.Racine());

    // Replaced by things that are no files once the scan has listed them.
    std::filesystem::remove(dossier);
    std::filesystem::create_directory(dossier);
    std::filesystem::remove(tube);
    ASSERT_EQ(mkfifo(tube.c_str(), 0600), 0);

    struct Cas
    {
        QString Ext, Nom, Taille;
    };
    const Cas cas[] = {
        {"jpg", "abime.jpg", "Taille : " + TexteTaille(arbre.Racine() + "/abime.jpg")},
        {"bmp", "faux.bmp", "Taille : 1 Ko"},
        {"png", "vide.png", "Taille : 0 Ko"},
        // The size the walk read, as the trees show it.
        {"jpg", "dossier.jpg", "Taille : 1 Ko"},
        {"gif", "tube.gif", "Taille : 1 Ko"},
        {"jpeg", "geant.jpeg", "Taille : " + TexteTaille(arbre.Racine() + "/geant.jpeg")},
    };
    for (const Cas& k : cas) {
        SCOPED_TRACE(k.Nom.toStdString());
        // From an empty panel, so that every label has to change.
        P().Effacer();
        Noeud* feuille = Feuille(Image, k.Ext, k.Nom);
        ASSERT_NE(feuille, nullptr);
        Montrer(Image, ParExtension, feuille);
        EXPECT_EQ(ImageAffichee(), c->Skin->ImgImageNonSupporte.cacheKey());
        EXPECT_EQ(c->LabelImageDimension->text(), "Dimension : ");
        EXPECT_EQ(c->LabelImageTaille->text(), k.Taille);
        EXPECT_EQ(c->LabelImageExtension->text(), "Image " + k.Ext.toUpper());
        const std::string chemin = arbre.Racine() + "/" + k.Nom.toStdString();
        EXPECT_EQ(P().Image.Chemin, chemin);
        ouverts_.clear();
        P().Ouvrir(Image);
        EXPECT_EQ(ouverts_, std::vector<std::string>{chemin});
    }
}

// A picture the user may not read is said unreadable, not unsupported, with
// the size the file has.
TEST_F(Apercu, AnUnreadablePictureIsSaidUnreadableWithTheSizeItHas)
{
    ArbreTemporaire arbre;
    std::filesystem::permissions(arbre.Racine(), std::filesystem::perms(0755));
    const std::string photo = arbre.Fichier("prive.jpg");
    EcrireImage(photo, DeuxCouleurs(640, 480), "JPG");
    ASSERT_EQ(chmod(photo.c_str(), 0), 0);
    Scanner(arbre.Racine());
    Noeud* feuille = Feuille(Image, "jpg", "prive.jpg");
    ASSERT_NE(feuille, nullptr);
    {
        const PrivilegesSuspendus sansRoot;
        Montrer(Image, ParExtension, feuille);
    }
    ASSERT_NE(TexteTaille(photo), "0 Ko");
    EXPECT_EQ(c->LabelImageTaille->text(), "Taille : " + TexteTaille(photo));
    EXPECT_NE(ImageAffichee(), c->Skin->ImgImageNonSupporte.cacheKey());
    EXPECT_EQ(c->LabelImageMessage->text(), "Lecture impossible : permission refusée");
    EXPECT_EQ(c->LabelImageDimension->text(), "Dimension : ");
}

TEST_F(Apercu, MissingFilesShowTheNotFoundPictureAndOpenNothing)
{
    ArbreTemporaire arbre;
    const std::string photo = arbre.Fichier("photo.jpg");
    EcrireImage(photo, DeuxCouleurs(640, 480), "JPG");
    const std::string vide = arbre.Fichier("vide.jpg");
    const std::string present = arbre.Fichier("present.txt");
    const std::string parti = arbre.Fichier("parti.txt");
    const std::string lettre = arbre.Fichier("lettre.pdf", 3000);
    Scanner(arbre.Racine());

    // Shown once while it exists: its size is kept by the store.
    Noeud* feuillePhoto = Feuille(Image, "jpg", "photo.jpg");
    ASSERT_NE(feuillePhoto, nullptr);
    Montrer(Image, ParExtension, feuillePhoto);
    const QString taillePhoto = "Taille : " + TexteTaille(photo);
    ASSERT_EQ(c->LabelImageTaille->text(), taillePhoto);
    ASSERT_EQ(P().Image.Chemin, photo);

    std::filesystem::remove(photo);
    std::filesystem::remove(vide);
    Montrer(Image, ParExtension, feuillePhoto);
    EXPECT_EQ(ImageAffichee(), c->Skin->ImgNonTrouve.cacheKey());
    EXPECT_EQ(c->LabelImageTaille->text(), taillePhoto);
    EXPECT_EQ(c->LabelImageDimension->text(), "Dimension : ");
    EXPECT_EQ(c->LabelImageNom->text(), "photo.jpg");
    EXPECT_EQ(c->LabelImageNom->Hint(), QString::fromStdString(photo));
    EXPECT_TRUE(P().Image.Chemin.empty());
    P().Ouvrir(Image);
    EXPECT_TRUE(ouverts_.empty());

    Montrer(Image, ParExtension, Feuille(Image, "jpg", "vide.jpg"));
    EXPECT_EQ(ImageAffichee(), c->Skin->ImgNonTrouve.cacheKey());
    EXPECT_EQ(c->LabelImageTaille->text(), "Taille :");
    EXPECT_EQ(c->LabelImageExtension->text(), "Image JPG");

    // An existing empty document still shows its size.
    Montrer(Texte, ParExtension, Feuille(Texte, "txt", "present.txt"));
    EXPECT_EQ(TexteAffiche(), c->Skin->ImageTexte.cacheKey());
    EXPECT_EQ(c->LabelTexteTaille->text(), "Taille : 0 Ko");
    EXPECT_EQ(c->LabelTexteExtension->text(), "Texte TXT");
    EXPECT_EQ(c->LabelTexteNom->text(), "present.txt");
    EXPECT_EQ(c->LabelTexteNom->Hint(), QString::fromStdString(present));
    EXPECT_EQ(P().Texte.Chemin, present);
    P().Ouvrir(Texte);
    EXPECT_EQ(ouverts_, std::vector<std::string>{present});
    // Deleted after its selection: opening it shows it as not found and
    // leaves the desktop alone.
    std::filesystem::remove(present);
    P().Ouvrir(Texte);
    EXPECT_EQ(ouverts_.size(), 1u);
    EXPECT_EQ(TexteAffiche(), c->Skin->ImgNonTrouve.cacheKey());
    EXPECT_EQ(c->LabelTexteNom->text(), "present.txt");
    EXPECT_EQ(c->LabelTexteTaille->text(), "Taille :");
    EXPECT_TRUE(P().Texte.Chemin.empty());

    std::filesystem::remove(parti);
    Montrer(Texte, ParExtension, Feuille(Texte, "txt", "parti.txt"));
    EXPECT_EQ(TexteAffiche(), c->Skin->ImgNonTrouve.cacheKey());
    EXPECT_EQ(c->LabelTexteTaille->text(), "Taille :");
    EXPECT_TRUE(P().Texte.Chemin.empty());
    ouverts_.clear();
    P().Ouvrir(Texte);
    EXPECT_TRUE(ouverts_.empty());

    Noeud* feuilleLettre = Feuille(Texte, "pdf", "lettre.pdf");
    Montrer(Texte, ParExtension, feuilleLettre);
    EXPECT_EQ(c->LabelTexteTaille->text(), "Taille : 2 Ko");
    EXPECT_EQ(c->LabelTexteExtension->text(), "Texte PDF");
    std::filesystem::remove(lettre);
    Montrer(Texte, ParExtension, feuilleLettre);
    EXPECT_EQ(TexteAffiche(), c->Skin->ImgNonTrouve.cacheKey());
    EXPECT_EQ(c->LabelTexteTaille->text(), "Taille : 2 Ko");
    EXPECT_TRUE(P().Texte.Chemin.empty());
    // The image panel is left as it was.
    EXPECT_EQ(c->LabelImageNom->text(), "vide.jpg");
}

TEST_F(Apercu, AChildlessLetterNodeIsShownAsAMissingFile)
{
    ArbreTemporaire arbre;
    const std::string photo = arbre.Fichier("photo.jpg");
    EcrireImage(photo, DeuxCouleurs(64, 48), "JPG");
    const std::string doc = arbre.Fichier("notes.txt", 10);
    Scanner(arbre.Racine());
    Montrer(Image, ParExtension, Feuille(Image, "jpg", "photo.jpg"));
    Montrer(Texte, ParExtension, Feuille(Texte, "txt", "notes.txt"));
    ASSERT_EQ(P().Image.Chemin, photo);
    ASSERT_EQ(P().Texte.Chemin, doc);

    for (const Categorie categorie : {Image, Texte}) {
        SCOPED_TRACE(Code(categorie));
        Noeud* lettreA = Arbre(categorie, ParAlphabet)->Racine(1)->Enfants[0];
        ASSERT_EQ(lettreA->Texte, "A (0)");
        Deployer(categorie, ParAlphabet, lettreA);
        ASSERT_TRUE(lettreA->Enfants.empty());
        Montrer(categorie, ParAlphabet, lettreA);
    }
    EXPECT_EQ(ImageAffichee(), c->Skin->ImgNonTrouve.cacheKey());
    EXPECT_EQ(c->LabelImageNom->text(), "");
    EXPECT_EQ(c->LabelImageNom->Hint(), "");
    EXPECT_EQ(c->LabelImageExtension->text(), "Image ");
    EXPECT_EQ(c->LabelImageDimension->text(), "Dimension : ");
    // No entry, so no size text either: the rule adds an empty one.
    EXPECT_EQ(c->LabelImageTaille->text(), "Taille : ");
    EXPECT_TRUE(P().Image.Chemin.empty());
    EXPECT_EQ(TexteAffiche(), c->Skin->ImgNonTrouve.cacheKey());
    EXPECT_EQ(c->LabelTexteExtension->text(), "Texte ");
    EXPECT_TRUE(P().Texte.Chemin.empty());
    P().Ouvrir(Image);
    P().Ouvrir(Texte);
    EXPECT_TRUE(ouverts_.empty());
}

TEST_F(Apercu, ExpandingANodeTwiceBeforeItsChildrenArriveStartsOneJob)
{
    ArbreTemporaire arbre;
    constexpr int Nombre = 3000;
    for (int i = Nombre - 1; i >= 0; --i) {
        char nom[32];
        std::snprintf(nom, sizeof nom, "Photos/f%04d.jpg", i);
        arbre.Fichier(nom);
    }
    arbre.Fichier("Photos/zz.png");
    Scanner(arbre.Racine());
    ASSERT_TRUE(AttendreQue([this] { return Arbre(Image, ParRepertoire)->NombreRacines() == 1; }));

    ArbreCategorie* ext = Arbre(Image, ParExtension);
    ASSERT_EQ(ext->NombreRacines(), 2);
    Noeud* jpg = ext->Racine(0);
    ASSERT_EQ(jpg->Texte, "(3 000) jpg");
    // The placeholder stays until the event loop applies the children, so
    // the window would call twice here.
    application_->Arbres.LancerRemplissage({Image, ParExtension}, jpg);
    ASSERT_FALSE(Rempli(jpg));
    application_->Arbres.LancerRemplissage({Image, ParExtension}, jpg);
    EXPECT_EQ(application_->Arbres.NombreRemplissages(), 1u);
    ASSERT_TRUE(AttendreQue([jpg] { return Rempli(jpg); }));
    ASSERT_EQ(jpg->Enfants.size(), size_t(Nombre));
    EXPECT_EQ(jpg->Enfants.front()->Texte, "f0000.jpg");
    EXPECT_EQ(jpg->Enfants.back()->Texte, "f2999.jpg");

    // A new job lets the finished one go.
    Noeud* png = ext->Racine(1);
    application_->Arbres.LancerRemplissage({Image, ParExtension}, png);
    EXPECT_EQ(application_->Arbres.NombreRemplissages(), 1u);
    ASSERT_TRUE(AttendreQue([png] { return Rempli(png); }));
    ASSERT_EQ(png->Enfants.size(), 1u);
    EXPECT_EQ(png->Enfants[0]->Texte, "zz.png");

    // The same node in another tree is another node.
    Noeud* rep = Arbre(Image, ParRepertoire)->Racine(0);
    ASSERT_NE(rep, nullptr);
    application_->Arbres.LancerRemplissage({Image, ParRepertoire}, rep);
    application_->Arbres.LancerRemplissage({Image, ParRepertoire}, rep);
    EXPECT_EQ(application_->Arbres.NombreRemplissages(), 1u);
    ASSERT_TRUE(AttendreQue([rep] { return Rempli(rep); }));
    EXPECT_EQ(rep->Enfants.size(), size_t(Nombre + 1));
    EXPECT_EQ(jpg->Enfants.size(), size_t(Nombre));

    application_->Arbres.SuspendreRemplissages();
    EXPECT_EQ(application_->Arbres.NombreRemplissages(), 0u);
}

TEST_F(Apercu, FillsStoppedMidWayOrByANewScanLeaveUsableTrees)
{
    ArbreTemporaire arbre;
    for (int d = 0; d < 4; ++d)
        for (int i = 0; i < 1500; ++i) {
            const std::string base = "d" + std::to_string(d) + "/" + char('a' + i % 26) + std::to_string(i);
            arbre.Fichier(base + (i % 2 ? ".jpg" : ".txt"));
        }
    Scanner(arbre.Racine());

    // Every group node of both categories in all three orders.
    struct GroupeNoeud
    {
        Categorie Cat;
        Ordre Ord;
        Noeud* N;
    };
    const auto groupes = [this] {
        std::vector<GroupeNoeud> liste;
        for (const Categorie categorie : {Image, Texte})
            for (const Ordre ordre : {ParExtension, ParAlphabet, ParRepertoire}) {
                ArbreCategorie* a = Arbre(categorie, ordre);
                for (int i = 0; i < a->NombreRacines(); ++i) {
                    Noeud* racine = a->Racine(i);
                    if (ordre == ParAlphabet && i == 1)
                        for (const auto& lettre : racine->Enfants)
                            liste.push_back({categorie, ordre, lettre});
                    else
                        liste.push_back({categorie, ordre, racine});
                }
            }
        return liste;
    };
    const auto nombreAttendu = [this](const GroupeNoeud& g) {
        const QString texte = Arbre(g.Cat, g.Ord)->Modele()->Texte(g.N);
        return NombreDuGroupe(texte.startsWith('(') ? texte : "(" + texte.section('(', 1));
    };
    ASSERT_TRUE(AttendreQue([this] { return Arbre(Image, ParRepertoire)->NombreRacines() == 4; }));

    for (int tour = 0; tour < 3; ++tour) {
        SCOPED_TRACE(tour);
        const std::vector<GroupeNoeud> liste = groupes();
        ASSERT_GT(liste.size(), 30u);
        for (const GroupeNoeud& g : liste)
            if (!Rempli(g.N))
                application_->Arbres.LancerRemplissage({g.Cat, g.Ord}, g.N);
        // The jobs have returned: what they posted is in the queue.
        application_->Arbres.SuspendreRemplissages();
        EXPECT_EQ(application_->Arbres.NombreRemplissages(), 0u);
        QCoreApplication::processEvents();
        // Each node was filled whole or not at all.
        for (const GroupeNoeud& g : liste) {
            if (Rempli(g.N))
                EXPECT_EQ(int(g.N->Enfants.size()), nombreAttendu(g)) << g.N->Texte;
            else
                EXPECT_EQ(g.N->NombreEnfants(), 1) << g.N->Texte;
        }
    }

    // Jobs under way when a new scan starts: their children never reach the
    // new trees.
    for (const GroupeNoeud& g : groupes())
        application_->Arbres.LancerRemplissage({g.Cat, g.Ord}, g.N);
    Scanner(arbre.Racine());
    EXPECT_EQ(application_->Arbres.NombreRemplissages(), 0u);
    ASSERT_TRUE(AttendreQue([this] { return Arbre(Texte, ParRepertoire)->NombreRacines() == 4; }));
    QCoreApplication::processEvents();
    const std::vector<GroupeNoeud> apres = groupes();
    for (const GroupeNoeud& g : apres)
        EXPECT_FALSE(Rempli(g.N)) << g.N->Texte;

    // And the new trees fill as usual.
    for (const GroupeNoeud& g : apres)
        application_->Arbres.LancerRemplissage({g.Cat, g.Ord}, g.N);
    for (const GroupeNoeud& g : apres) {
        ASSERT_TRUE(AttendreQue([&g] { return Rempli(g.N); }));
        EXPECT_EQ(int(g.N->Enfants.size()), nombreAttendu(g)) << g.N->Texte;
    }
    Noeud* feuille = Arbre(Image, ParRepertoire)->Racine(0)->Enfants[0];
    Montrer(Image, ParRepertoire, feuille);
    EXPECT_EQ(c->LabelImageNom->text(), feuille->Texte);
    EXPECT_EQ(c->LabelImageTaille->text(), "Taille : 0 Ko");
}

TEST_F(Apercu, PathsThatAreNotUtf8OpenAndEffacerEmptiesEverything)
{
    ArbreTemporaire arbre;
    const std::string doc = arbre.Racine() + "/caf\xE9.txt";
    Ecrire(doc, "du texte");
    const std::string photo = arbre.Racine() + "/\xE9t\xE9.jpg";
    const SupprimerALaFin nettoyage{{doc, photo}};
    EcrireImage(photo, DeuxCouleurs(64, 48), "JPG");
    Scanner(arbre.Racine());

    Noeud* groupeTexte = Groupe(Texte, "txt");
    ASSERT_EQ(groupeTexte->Enfants.size(), 1u);
    Montrer(Texte, ParExtension, groupeTexte->Enfants[0]);
    EXPECT_EQ(P().Texte.Chemin, doc);
    EXPECT_EQ(c->LabelTexteNom->Hint(), NomFichier::Texte(doc));
    EXPECT_EQ(c->LabelTexteTaille->text(), "Taille : 1 Ko");
    P().Ouvrir(Texte);
    Noeud* groupeImage = Groupe(Image, "jpg");
    ASSERT_EQ(groupeImage->Enfants.size(), 1u);
    Montrer(Image, ParExtension, groupeImage->Enfants[0]);
    EXPECT_EQ(c->LabelImageDimension->text(), "Dimension : 64x48");
    P().Ouvrir(Image);
    EXPECT_EQ(ouverts_, (std::vector<std::string>{doc, photo}));

    P().Effacer();
    EXPECT_TRUE(c->ImgImagePrevisu->ImageVide());
    EXPECT_TRUE(c->ImgTextePrevisu->ImageVide());
    for (const Etiquette* label : {c->LabelImageNom, c->LabelImageExtension, c->LabelImageDimension,
                                   c->LabelImageTaille, c->LabelTexteNom, c->LabelTexteExtension, c->LabelTexteTaille})
        EXPECT_EQ(label->text(), "");
    EXPECT_EQ(c->LabelImageNom->Hint(), "");
    EXPECT_EQ(c->LabelTexteNom->Hint(), "");
    EXPECT_TRUE(P().Image.Chemin.empty());
    EXPECT_TRUE(P().Texte.Chemin.empty());
    for (Categorie categorie : Categories)
        P().Ouvrir(categorie);
    EXPECT_EQ(ouverts_.size(), 2u);
}

TEST_F(Apercu, SoundsLoadSilentlyThenPlayPauseResumeAndStop)
{
    ArbreTemporaire arbre;
    SonsDeTest sons;
    const std::string genere = sons.Sinus("la.wav", 440, 3);
    ASSERT_FALSE(genere.empty());
    const std::string la = arbre.Fichier("la.wav");
    std::filesystem::copy_file(genere, la, std::filesystem::copy_options::overwrite_existing);
    const std::string parti = arbre.Fichier("parti.mp3", 2000);
    Scanner(arbre.Racine());
    Noeud* feuilleParti = Feuille(Categorie::Son, "mp3", "parti.mp3");
    std::filesystem::remove(parti);
    Son& son = application_->Sons;
    QTest::mouseClick(c->ZoneSon, Qt::LeftButton, {}, Milieu(c->ZoneSon));

    // Selecting loads without playing: the total time, the play picture.
    Montrer(Categorie::Son, ParExtension, Feuille(Categorie::Son, "wav", "la.wav"));
    EXPECT_EQ(c->LabelSonNom->text(), "la.wav");
    EXPECT_EQ(c->LabelSonNom->Hint(), QString::fromStdString(la));
    EXPECT_EQ(c->LabelSonExtension->text(), "Son WAV");
    EXPECT_TRUE(AttendreQue([this] { return c->LabelSonDurreeTotale->text() == "00:00:03"; }));
    EXPECT_EQ(c->LabelSonDurreeCourant->text(), "00:00:00");
    EXPECT_TRUE(c->ImageSon->ImageVide());
    EXPECT_EQ(c->ImageSonPlayPause->Image().cacheKey(), c->Skin->ImgPlay.cacheKey());
    EXPECT_EQ(c->ImageSonPlayPause->Tag, 0);
    EXPECT_TRUE(son.FichierCourant.empty());

    // Play, pause, resume from where it paused, stop back to the start.
    QTest::mouseClick(c->ImageSonPlayPause, Qt::LeftButton);
    EXPECT_EQ(c->ImageSonPlayPause->Tag, 1);
    EXPECT_EQ(c->ImageSonPlayPause->Image().cacheKey(), c->Skin->ImgPause.cacheKey());
    ASSERT_TRUE(AttendreQue([&] { return son.Pourcentage() >= 10; }));
    QTest::mouseClick(c->ImageSonPlayPause, Qt::LeftButton);
    EXPECT_EQ(c->ImageSonPlayPause->Tag, 0);
    const int enPause = son.Pourcentage();
    // Ten more blocks mixed while paused: the position stays.
    const std::uint64_t blocs = son.Animation().BlocsRecus();
    ASSERT_TRUE(AttendreQue([&] { return son.Animation().BlocsRecus() >= blocs + 10; }));
    EXPECT_EQ(son.Pourcentage(), enPause);
    QTest::mouseClick(c->ImageSonPlayPause, Qt::LeftButton);
    ASSERT_TRUE(AttendreQue([&] { return son.Pourcentage() > enPause; }));
    // The timer shows the time and moves the bar.
    ASSERT_TRUE(AttendreQue([&] { return c->TrackBarSon->value() > enPause; }));
    ASSERT_TRUE(AttendreQue([this] { return c->LabelSonDurreeCourant->text() == "00:00:01"; }));
    // Leaving the zone stops the drawing, not the sound.
    EXPECT_TRUE(application_->Previsu.Audio.DessinActif());
    QTest::mouseClick(c->ZoneHome, Qt::LeftButton, {}, Milieu(c->ZoneHome));
    EXPECT_FALSE(application_->Previsu.Audio.DessinActif());
    const int ailleurs = son.Pourcentage();
    ASSERT_TRUE(AttendreQue([&] { return son.Pourcentage() > ailleurs; }));
    QTest::mouseClick(c->ImageSonStop, Qt::LeftButton);
    EXPECT_EQ(c->ImageSonPlayPause->Tag, 0);
    EXPECT_EQ(c->ImageSonPlayPause->Image().cacheKey(), c->Skin->ImgPlay.cacheKey());
    EXPECT_TRUE(AttendreQue([&] { return son.Pourcentage() == 0; }));
    P().Ouvrir(Categorie::Son);
    ASSERT_EQ(ouverts_.size(), 1u);
    EXPECT_EQ(ouverts_.back(), la);

    // A sound gone since the scan: nothing to play, nothing to open.
    Montrer(Categorie::Son, ParExtension, feuilleParti);
    EXPECT_EQ(c->LabelSonDurreeTotale->text(), "00:00:00");
    EXPECT_EQ(c->ImageSon->Image().cacheKey(), c->Skin->ImgNonTrouve.cacheKey());
    EXPECT_EQ(c->LabelSonTaille->text(), "Taille : 1 Ko"); // the size the walk read
    QTest::mouseClick(c->ImageSonPlayPause, Qt::LeftButton);
    EXPECT_EQ(c->ImageSonPlayPause->Tag, 0);
    P().Ouvrir(Categorie::Son);
    EXPECT_EQ(ouverts_.size(), 1u);

    // A new scan clears the panel.
    Montrer(Categorie::Son, ParExtension, Feuille(Categorie::Son, "wav", "la.wav"));
    QTest::mouseClick(c->ImageSonPlayPause, Qt::LeftButton);
    P().Effacer();
    EXPECT_EQ(c->LabelSonNom->text(), "");
    EXPECT_EQ(c->LabelSonDurreeTotale->text(), "00:00:00");
    EXPECT_EQ(c->ImageSonPlayPause->Tag, 0);
    EXPECT_TRUE(son.FichierCourant.empty());
}

TEST_F(Apercu, TheSonZoneDrawsAndARightClickChangesTheDrawing)
{
    EXPECT_FALSE(application_->Previsu.Audio.DessinActif());
    QTest::mouseClick(c->ZoneSon, Qt::LeftButton, {}, Milieu(c->ZoneSon));
    EXPECT_TRUE(application_->Previsu.Audio.DessinActif());
    // Nothing selected: the frame is free, the waveform of silence shows.
    ASSERT_TRUE(AttendreQue([this] { return c->EcranDessin->Montre(); }));

    QTest::mouseClick(c->ImageSon, Qt::RightButton, {}, Milieu(c->ImageSon));
    EXPECT_EQ(application_->Options.DessinSon, Dessin::Spectre);
    QTest::mouseClick(c->ImageSon, Qt::RightButton, {}, Milieu(c->ImageSon));
    EXPECT_EQ(application_->Options.DessinSon, Dessin::Aucun);
    EXPECT_TRUE(c->ImageSonAucuneAnim->isVisible());
    EXPECT_FALSE(c->EcranDessin->Montre());
    QTest::mouseClick(c->ImageSonAucuneAnim, Qt::RightButton, {}, Milieu(c->ImageSonAucuneAnim));
    EXPECT_EQ(application_->Options.DessinSon, Dessin::Onde);
    EXPECT_FALSE(c->ImageSonAucuneAnim->isVisible());

    // Leaving the zone stops the drawing, not the choice.
    QTest::mouseClick(c->ZoneHome, Qt::LeftButton, {}, Milieu(c->ZoneHome));
    EXPECT_FALSE(application_->Previsu.Audio.DessinActif());
    ASSERT_TRUE(AttendreTics(c->TimerSon, 3));
    EXPECT_FALSE(c->EcranDessin->Montre());
}

TEST_F(Apercu, VideosPlayInTheirFrameOnlyWhenAskedAndStopOnANewSelection)
{
    ArbreTemporaire arbre;
    ASSERT_FALSE(GenererVideo(QString::fromStdString(arbre.Racine()), "mire.avi", VideosCourtes[1].Codecs).empty());
    ASSERT_FALSE(GenererVideo(QString::fromStdString(arbre.Racine()), "autre.mkv", VideosCourtes[2].Codecs).empty());
    Scanner(arbre.Racine());
    Video& video = application_->Videos;
    video.Regler({BibliothequeMpv::NomParDefaut, "null"});
    QTest::mouseClick(c->ZoneVideo, Qt::LeftButton, {}, Milieu(c->ZoneVideo));

    // Selecting readies the button; nothing plays yet.
    Montrer(Categorie::Video, ParExtension, Feuille(Categorie::Video, "avi", "mire.avi"));
    EXPECT_EQ(c->LabelVideoExtension->text(), "Video AVI");
    EXPECT_EQ(c->LabelVideoDurreeTotale->text(), "00:00:00");
    EXPECT_EQ(c->ImageVideoPlayPause->Tag, 0);
    EXPECT_EQ(video.Etat(), Video::Arrete);
    EXPECT_FALSE(c->FenetreVideo->isVisible());

    // Play shows it in the frame; the video timer shows its length.
    QTest::mouseClick(c->ImageVideoPlayPause, Qt::LeftButton);
    EXPECT_EQ(c->ImageVideoPlayPause->Tag, 1);
    EXPECT_EQ(video.Etat(), Video::EnCours);
    ASSERT_TRUE(AttendreQue([this] { return c->LabelVideoDurreeTotale->text() == "00:00:03"; }));
    EXPECT_TRUE(application_->Previsu.Film.DureeVideoConnue());
    EXPECT_TRUE(c->FenetreVideo->isVisible());
    // Another zone hides it, coming back shows it again.
    QTest::mouseClick(c->ZoneImage, Qt::LeftButton, {}, Milieu(c->ZoneImage));
    EXPECT_FALSE(c->FenetreVideo->isVisible());
    QTest::mouseClick(c->ZoneVideo, Qt::LeftButton, {}, Milieu(c->ZoneVideo));
    EXPECT_TRUE(c->FenetreVideo->isVisible());
    QTest::mouseClick(c->ImageVideoPlayPause, Qt::LeftButton);
    EXPECT_EQ(video.Etat(), Video::EnPause);

    // A new selection stops the video and hides it.
    Montrer(Categorie::Video, ParExtension, Feuille(Categorie::Video, "mkv", "autre.mkv"));
    EXPECT_EQ(video.Etat(), Video::Arrete);
    EXPECT_FALSE(c->FenetreVideo->isVisible());
    EXPECT_EQ(c->ImageVideoPlayPause->Tag, 0);
    P().Ouvrir(Categorie::Video);
    ASSERT_FALSE(ouverts_.empty());
    EXPECT_EQ(ouverts_.back(), arbre.Racine() + "/autre.mkv");

    // Without the player library: the message, the button already on pause;
    // the next press only turns it back, the one after shows the message again.
    video.Regler({"libmpv-absente.so.9", "null"});
    int messages = 0;
    const auto repondre = [&] {
        QTimer::singleShot(0, [&] {
            auto* boite = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(boite, nullptr);
            EXPECT_EQ(boite->text(), "Impossible de pouvoir visualiser les videos");
            EXPECT_EQ(boite->windowTitle(), "Erreur de lecture");
            EXPECT_EQ(boite->icon(), QMessageBox::Critical);
            EXPECT_FALSE(f->isEnabled());
            ++messages;
            boite->accept();
        });
    };
    repondre();
    QTest::mouseClick(c->ImageVideoPlayPause, Qt::LeftButton);
    EXPECT_EQ(messages, 1);
    EXPECT_TRUE(f->isEnabled());
    EXPECT_EQ(c->ImageVideoPlayPause->Tag, 1);
    QTest::mouseClick(c->ImageVideoPlayPause, Qt::LeftButton);
    EXPECT_EQ(c->ImageVideoPlayPause->Tag, 0);
    EXPECT_EQ(messages, 1);
    repondre();
    QTest::mouseClick(c->ImageVideoPlayPause, Qt::LeftButton);
    EXPECT_EQ(messages, 2);

    P().Effacer();
    EXPECT_EQ(c->LabelVideoNom->text(), "");
    EXPECT_EQ(c->ImageVideoPlayPause->Tag, 0);
}

TEST_F(Apercu, NamesWithControlCharactersOrTooLongShowReadablyAndOpenByTheirBytes)
{
    ArbreTemporaire arbre;
    arbre.Fichier("x\ty/a\nb.jpg", 10);
    const std::string photo = arbre.Racine() + "/x\ty/a\nb.jpg";
    const std::string longNom = "Un compte rendu de la réunion annuelle des amis du patrimoine local_fin.txt";
    arbre.Fichier(longNom, 10);
    Scanner(arbre.Racine());

    ASSERT_TRUE(AttendreQue([this] { return Arbre(Image, ParRepertoire)->NombreRacines() == 1; }));
    EXPECT_EQ(Arbre(Image, ParRepertoire)->Modele()->Texte(Arbre(Image, ParRepertoire)->Racine(0)), "(1) ~/x␉y");
    Noeud* feuille = Feuille(Image, "jpg", "a␊b.jpg");
    ASSERT_NE(feuille, nullptr);
    Montrer(Image, ParExtension, feuille);
    EXPECT_EQ(c->LabelImageNom->text(), "a␊b.jpg");
    P().Ouvrir(Image);
    EXPECT_EQ(ouverts_, std::vector<std::string>{photo});

    // A long name is elided in the middle; the hint keeps the whole path.
    Noeud* document = Groupe(Texte, "txt")->Enfants[0];
    Montrer(Texte, ParExtension, document);
    const Etiquette* nom = c->LabelTexteNom;
    EXPECT_EQ(nom->text(), QString::fromStdString(longNom));
    const QString affiche = nom->TexteAffiche();
    EXPECT_TRUE(affiche.startsWith("Un compte")) << affiche.toStdString();
    EXPECT_TRUE(affiche.endsWith("fin.txt")) << affiche.toStdString();
    EXPECT_TRUE(affiche.contains(QChar(0x2026))) << affiche.toStdString();
    EXPECT_LE(nom->fontMetrics().horizontalAdvance(affiche), nom->width());
    EXPECT_EQ(nom->Hint(), QString::fromStdString(arbre.Racine() + "/" + longNom));
}

TEST(AdresseFichier, IsMadeOfThePathBytesThemselves)
{
    const std::string chemin = "/tmp/d\xC3\xA9/\xFF #%?.jpg";
    const QUrl adresse = Previsualisation::Adresse(chemin);
    EXPECT_TRUE(adresse.isLocalFile());
    EXPECT_EQ(adresse.toEncoded(), "file:///tmp/d%C3%A9/%FF%20%23%25%3F.jpg");
    EXPECT_EQ(QByteArray::fromPercentEncoding(adresse.path(QUrl::FullyEncoded).toLatin1()).toStdString(), chemin);
}

TEST_F(Apercu, SpacePlaysAndPausesInTheSonZoneAndKeysOnTheBarSeek)
{
    ArbreTemporaire arbre;
    SonsDeTest sons;
    std::filesystem::copy_file(sons.Sinus("long.wav", 440, 20), arbre.Fichier("long.wav"),
                               std::filesystem::copy_options::overwrite_existing);
    Scanner(arbre.Racine());
    Son& son = application_->Sons;
    QTest::mouseClick(c->ZoneSon, Qt::LeftButton, {}, Milieu(c->ZoneSon));
    Montrer(Categorie::Son, ParExtension, Feuille(Categorie::Son, "wav", "long.wav"));
    // Space plays and pauses, even from the focused bar.
    c->TrackBarSon->setFocus();
    QTest::keyClick(c->TrackBarSon, Qt::Key_Space);
    ASSERT_TRUE(AttendreQue([&] { return son.Pourcentage() >= 1; }));
    QTest::keyClick(c->TrackBarSon, Qt::Key_Space);
    EXPECT_EQ(c->ImageSonPlayPause->Tag, 0);
    ASSERT_TRUE(AttendreQue([&] { return c->TrackBarSon->value() == son.Pourcentage(); }));
    // Keys move the bar and the sound follows, as after a drag (a seek may
    // land one percent short, on a block's start).
    const auto suit = [&](Qt::Key touche, int attendu) {
        QTest::keyClick(c->TrackBarSon, touche);
        EXPECT_EQ(c->TrackBarSon->value(), attendu);
        return AttendreQue([&] { return son.Pourcentage() >= attendu - 1 && son.Pourcentage() <= attendu; });
    };
    const int avant = son.Pourcentage();
    EXPECT_TRUE(suit(Qt::Key_PageUp, avant + 10)) << son.Pourcentage();
    EXPECT_TRUE(suit(Qt::Key_Home, 0)) << son.Pourcentage();
}
