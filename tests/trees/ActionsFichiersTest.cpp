// The actions on the files of the trees, on the real window (offscreen): the
// rows' menu, what the clipboard and a drag receive (exact bytes, names that
// are not UTF-8 included), and the messages when the desktop fails.

#include "trees/ActionsFichiers.h"

#include "trees/ArbreCategorie.h"
#include "trees/ExportationFichiers.h"
#include "trees/ModeleArbre.h"
#include "widgets/Bureau.h"

#include "support/ArbreTemporaire.h"
#include "support/Attendre.h"
#include "support/AvecApplication.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QElapsedTimer>
#include <QFile>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPointer>
#include <QProgressDialog>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace {

const CleArbre TexteParExtension{Categorie::Texte, Ordre::Extension};

class Actions : public AvecApplication
{
protected:
    void SetUp() override
    {
        AvecApplication::SetUp();
        Bureau& bureau = application_->Environnement;
        bureau.Avertir = [this](const QString& texte) { messages_.push_back(texte); };
        bureau.OuvrirAdresse = [this](const QUrl& adresse) {
            ouverts_.push_back(adresse.toEncoded());
            return reponseBureau_;
        };
    }

    // Scans the folder and shows its Texte files by extension, the first
    // group open; returns that tree.
    ArbreCategorie* Scanner(const std::string& racine)
    {
        c->EditHomeRepertoireScan->setText(QString::fromStdString(racine));
        application_->Bouton.LancerScan();
        EXPECT_TRUE(AttendreQue([this] { return application_->Scans.Etat() == GestionScan::EtatScan::Termine; }));
        application_->Menu.AfficherTexte(true);
        application_->Arbres.ChangerOrdre(Categorie::Texte, Ordre::Extension);
        ArbreCategorie* arbre = c->Arbre(TexteParExtension);
        Noeud* groupe = arbre->Racine(0);
        arbre->Deployer(groupe);
        EXPECT_TRUE(AttendreQue([groupe] { return !groupe->AttenteVirtuelle(); }));
        return arbre;
    }
    QModelIndex Ligne(ArbreCategorie* arbre, int groupe, int fichier = -1)
    {
        Noeud* n = arbre->Racine(groupe);
        return arbre->Modele()->IndexDe(fichier < 0 ? n : n->Enfants[size_t(fichier)]);
    }
    // A right click on a row, as the viewport hands it to the view.
    QMenu* ClicDroit(ArbreCategorie* arbre, const QModelIndex& ligne)
    {
        const QPoint point = arbre->visualRect(ligne).center();
        QContextMenuEvent clic(QContextMenuEvent::Mouse, point, arbre->viewport()->mapToGlobal(point));
        QApplication::sendEvent(arbre->viewport(), &clic);
        return application_->Arbres.Actions().Menu();
    }
    static QStringList Textes(const QMenu* menu)
    {
        QStringList textes;
        for (const QAction* action : menu->actions())
            if (!action->isSeparator())
                textes << action->text().remove('&').section('\t', 0, 0);
        return textes;
    }
    static QAction* Action(const QMenu* menu, const QString& texte)
    {
        for (QAction* action : menu->actions())
            if (action->text().remove('&').section('\t', 0, 0) == texte)
                return action;
        ADD_FAILURE() << "no action " << texte.toStdString();
        return nullptr;
    }
    static const QMimeData* PressePapiers() { return QGuiApplication::clipboard()->mimeData(); }
    static QByteArray Octets(const std::string& chemin) { return QByteArray::fromStdString(chemin); }
    // The paths of a text/uri-list, decoded to their bytes.
    static std::vector<QByteArray> Chemins(const QMimeData* donnees)
    {
        std::vector<QByteArray> chemins;
        for (const QByteArray& ligne : donnees->data("text/uri-list").split('\n'))
            if (const QByteArray uri = ligne.trimmed(); uri.startsWith("file://"))
                chemins.push_back(QByteArray::fromPercentEncoding(uri.mid(7)));
        return chemins;
    }

    std::vector<QString> messages_;
    std::vector<QByteArray> ouverts_;
    bool reponseBureau_ = true;
};

} // namespace

TEST_F(Actions, FileRowsAndGroupRowsHaveTheirMenus)
{
    ActionsFichiers& actions = application_->Arbres.Actions();
    // No menu on the invitation of the trees before a scan.
    ArbreCategorie* arbre = c->Arbre(TexteParExtension);
    ASSERT_EQ(arbre->NombreRacines(), 1);
    EXPECT_FALSE(actions.Montrer(arbre, Ligne(arbre, 0), QPoint()));
    ArbreTemporaire dossier;
    dossier.Fichier("notes.txt");
    arbre = Scanner(dossier.Racine());

    QMenu* menu = ClicDroit(arbre, Ligne(arbre, 0, 0));
    ASSERT_TRUE(AttendreQue([menu] { return menu->isVisible(); }));
    EXPECT_EQ(Textes(menu),
              QStringList({"Ouvrir", "Ouvrir avec…", "Afficher dans le dossier", "Copier le chemin", "Copier"}));
    // The applications are listed when the submenu opens, one entry at least.
    emit actions.SousMenuApplications()->aboutToShow();
    EXPECT_FALSE(actions.SousMenuApplications()->actions().isEmpty());
    menu->hide();

    ClicDroit(arbre, Ligne(arbre, 0));
    ASSERT_TRUE(AttendreQue([menu] { return menu->isVisible(); }));
    EXPECT_EQ(Textes(menu), QStringList({"Copier les chemins", "Exporter…"}));
    menu->hide();

    // "A...Z" copies the files of its 26 letters; nothing below the rows.
    ArbreCategorie* alphabet = c->Arbre({Categorie::Texte, Ordre::Alphabetique});
    ASSERT_TRUE(actions.Montrer(alphabet, Ligne(alphabet, 1), QPoint()));
    Action(menu, "Copier les chemins")->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromStdString(dossier.Racine() + "/notes.txt"));
    menu->hide();
    EXPECT_FALSE(actions.Montrer(arbre, QModelIndex(), QPoint()));
}

TEST_F(Actions, ClipboardAndDragCarryTheExactBytesOfEveryPath)
{
    ArbreTemporaire dossier;
    const std::string latin1 = dossier.Fichier("caf\xe9 cr\xe8me.txt"); // not UTF-8
    const std::string notes = dossier.Fichier("sous dossier/notes été.txt");
    ArbreCategorie* arbre = Scanner(dossier.Racine());
    ASSERT_EQ(arbre->Racine(0)->Enfants.size(), 2u);
    // Sorted by name: "café crème" then "notes été".
    const QModelIndex premier = Ligne(arbre, 0, 0);
    const QModelIndex second = Ligne(arbre, 0, 1);

    QMenu* menu = ClicDroit(arbre, second);
    Action(menu, "Copier le chemin")->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromStdString(notes));

    ClicDroit(arbre, premier);
    Action(menu, "Copier")->trigger();
    EXPECT_EQ(Chemins(PressePapiers()), std::vector<QByteArray>{Octets(latin1)});
    EXPECT_EQ(PressePapiers()->data("x-special/gnome-copied-files"), "copy\n" + Bureau::Adresse(latin1));
    EXPECT_FALSE(PressePapiers()->text().isEmpty());

    ClicDroit(arbre, Ligne(arbre, 0));
    Action(menu, "Copier les chemins")->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), Bureau::TexteChemins({latin1, notes}));

    // Ctrl+C on both files selected; a group with one of its files counts its files once.
    arbre->selectionModel()->select(premier, QItemSelectionModel::ClearAndSelect);
    arbre->selectionModel()->select(second, QItemSelectionModel::Select);
    QTest::keyClick(arbre, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(Chemins(PressePapiers()), (std::vector<QByteArray>{Octets(latin1), Octets(notes)}));

    const std::unique_ptr<QMimeData> glisse(arbre->GlisserDonnees({Ligne(arbre, 0), second}));
    ASSERT_TRUE(glisse);
    EXPECT_EQ(Chemins(glisse.get()), (std::vector<QByteArray>{Octets(latin1), Octets(notes)}));
    EXPECT_EQ(glisse->text(), Bureau::TexteChemins({latin1, notes}));
    EXPECT_FALSE(glisse->hasFormat("x-special/gnome-copied-files"));
    EXPECT_EQ(arbre->GlisserDonnees({arbre->Modele()->IndexAttente(nullptr)}), nullptr);
    std::remove(latin1.c_str()); // QTemporaryDir cannot name it
}

TEST_F(Actions, EveryFailureOfTheDesktopIsSaidWithTheFilesName)
{
    ArbreTemporaire dossier;
    const std::string notes = dossier.Fichier("notes.txt");
    const std::string parti = dossier.Fichier("parti.txt");
    ArbreCategorie* arbre = Scanner(dossier.Racine());
    ActionsFichiers& actions = application_->Arbres.Actions();
    Bureau& bureau = application_->Environnement;

    // A file removed since the scan: said, the desktop never asked.
    std::remove(parti.c_str());
    EXPECT_TRUE(actions.Ouvrir(TexteParExtension, Ligne(arbre, 0, 1)));
    ASSERT_TRUE(AttendreQue([&] { return !messages_.empty(); }));
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_TRUE(messages_[0].contains("parti.txt") && messages_[0].contains("n'existe plus"))
        << messages_[0].toStdString();
    EXPECT_TRUE(ouverts_.empty());

    // The desktop refuses, or knows no application: said either way. The
    // preview's double click goes the same way.
    reponseBureau_ = false;
    const bool connu = !Bureau::Applications("notes.txt").empty();
    const QString attendu = connu ? "Le bureau n'a pas pu ouvrir" : "Aucune application ne sait ouvrir";
    for (int fois = 0; fois < 2; ++fois) {
        if (fois == 0)
            actions.Ouvrir(TexteParExtension, Ligne(arbre, 0, 0));
        else {
            arbre->setCurrentIndex(Ligne(arbre, 0, 0));
            ASSERT_TRUE(AttendreQue([this] { return !application_->Previsu.LectureEnCours(); }));
            application_->Previsu.Ouvrir(Categorie::Texte);
        }
        ASSERT_TRUE(AttendreQue([&] { return messages_.size() == size_t(2 + fois); }));
        EXPECT_TRUE(messages_.back().contains("notes.txt") && messages_.back().contains(attendu))
            << messages_.back().toStdString();
        EXPECT_EQ(ouverts_.size(), connu ? size_t(1 + fois) : 0u);
    }
    if (connu) {
        EXPECT_EQ(ouverts_[0], Bureau::Adresse(notes));
    }

    const size_t avant = messages_.size();
    bureau.OuvrirAvec("ruvizaro-absente.desktop", notes);
    ASSERT_TRUE(AttendreQue([&] { return messages_.size() > avant; }));
    EXPECT_TRUE(messages_.back().contains("notes.txt") && messages_.back().contains("n'est plus installée"));

    // Opening returns before the file is looked at: a path that cannot be
    // looked at (a name longer than one call takes) still reaches the desktop.
    reponseBureau_ = true;
    const size_t ouvertsAvant = ouverts_.size();
    const std::string long_ = dossier.Racine() + "/" + std::string(PATH_MAX, 'x') + ".txt";
    bureau.Ouvrir(long_);
    EXPECT_EQ(messages_.size(), avant + 1);
    EXPECT_EQ(ouverts_.size(), ouvertsAvant);
    ASSERT_TRUE(AttendreQue([&] { return messages_.size() > avant + 1 || ouverts_.size() > ouvertsAvant; }));
    if (connu) {
        ASSERT_EQ(ouverts_.size(), ouvertsAvant + 1);
        EXPECT_EQ(ouverts_.back(), Bureau::Adresse(long_));
    } else {
        EXPECT_TRUE(messages_.back().contains("Aucune application")) << messages_.back().toStdString();
    }
}

// « Exporter… » on a group row writes its files as a playlist, in the
// group's order; Ctrl+E on a tree writes its whole category, a table for
// texts (no playlist offered). The save dialog is replaced by the test.
TEST_F(Actions, ExportOfAGroupAndOfTheShownCategory)
{
    ArbreTemporaire dossier;
    const std::string b = dossier.Fichier("b.mp3"), a = dossier.Fichier("a, c.mp3");
    dossier.Fichier("sous/notes.txt", 5);
    dossier.Fichier("lisez-moi.txt", 12);
    Scanner(dossier.Racine());
    application_->Menu.AfficherSon(true);
    application_->Arbres.ChangerOrdre(Categorie::Son, Ordre::Extension);
    ArbreCategorie* sons = c->Arbre({Categorie::Son, Ordre::Extension});

    ExportationFichiers& exportation = application_->Arbres.Actions().Exportation();
    QString propose, filtres, reponse;
    exportation.DemanderDestination = [&](QWidget*, const QString&, const QString& p, const QString& f, QString*) {
        propose = p;
        filtres = f;
        return reponse;
    };
    QSignalSpy fini(&exportation, &ExportationFichiers::Fini);
    const auto lire = [](const std::string& chemin) {
        std::ifstream flux(chemin, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(flux), {});
    };

    QMenu* menu = ClicDroit(sons, Ligne(sons, 0));
    ASSERT_TRUE(AttendreQue([menu] { return menu->isVisible(); }));
    Action(menu, "Exporter…")->trigger(); // given up in the dialog: nothing starts
    EXPECT_TRUE(propose.endsWith("/Son - mp3.m3u8")) << propose.toStdString();
    EXPECT_EQ(filtres, ExportationFichiers::FiltreListe + ";;" + ExportationFichiers::FiltreTableau);
    EXPECT_FALSE(exportation.EnCours());

    reponse = QString::fromStdString(dossier.Racine() + "/sons.m3u8");
    menu = ClicDroit(sons, Ligne(sons, 0));
    Action(menu, "Exporter…")->trigger();
    ASSERT_TRUE(AttendreQue([&] { return fini.count() == 1; }));
    EXPECT_TRUE(fini.takeFirst().at(0).toBool());
    EXPECT_EQ(lire(reponse.toStdString()), "#EXTM3U\n#EXTINF:-1,a, c.mp3\n" + a + "\n#EXTINF:-1,b.mp3\n" + b + "\n");
    EXPECT_EQ(exportation.Progression(), nullptr);

    ArbreCategorie* textes = c->Arbre(TexteParExtension);
    application_->Menu.AfficherTexte(true);
    textes->setFocus();
    reponse = QString::fromStdString(dossier.Racine() + "/textes");
    QTest::keyClick(textes, Qt::Key_E, Qt::ControlModifier);
    ASSERT_TRUE(AttendreQue([&] { return fini.count() == 1; }));
    EXPECT_EQ(filtres, ExportationFichiers::FiltreTableau);
    EXPECT_TRUE(propose.endsWith("/Texte.csv")) << propose.toStdString();
    EXPECT_EQ(lire(reponse.toStdString() + ".csv"), std::string("Nom,Dossier,Extension,Taille (octets)\r\n") +
                                                        "lisez-moi.txt," + dossier.Racine() + ",txt,12\r\n" +
                                                        "notes.txt," + dossier.Racine() + "/sous,txt,5\r\n");
}

// A refused export (a folder that is not there) says why in a box that
// Return closes, with no progress dialog showing over it, even after the
// dialog's delay; a playlist that leaves out paths holding a line break
// says how many; a group's name too long for a file name is cut at a
// character's edge to 255 bytes, its suffix kept.
TEST_F(Actions, ExportRefusedLeftOutAndLongNames)
{
    ArbreTemporaire dossier;
    dossier.Fichier("a.mp3");
    dossier.Fichier("saut\nde ligne.mp3");
    dossier.Fichier("deux\rsauts\n.mp3");
    dossier.Fichier("lisez-moi.txt");
    Scanner(dossier.Racine());
    ExportationFichiers& exportation = application_->Arbres.Actions().Exportation();
    QString propose, reponse;
    exportation.DemanderDestination = [&](QWidget*, const QString&, const QString& p, const QString&, QString*) {
        propose = p;
        return reponse;
    };
    QSignalSpy fini(&exportation, &ExportationFichiers::Fini);
    const std::vector<Groupe> sons = {Groupe{{Categorie::Son, Ordre::Extension}, 0}};

    // The box is watched for longer than the progress dialog's delay.
    QString texte;
    bool progressionVue = false, retourDonne = false, retourSansEffet = false;
    QPointer<QMessageBox> boite;
    QElapsedTimer depuis;
    QTimer guet;
    guet.setInterval(10);
    QObject::connect(&guet, &QTimer::timeout, [&] {
        for (const QProgressDialog* progression : f->findChildren<QProgressDialog*>())
            progressionVue |= progression->isVisible();
        if (!boite) {
            if ((boite = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))) {
                texte = boite->text();
                depuis.start();
            }
        } else if (!retourDonne && depuis.elapsed() > 1000) {
            retourDonne = true;
            QTest::keyClick(QApplication::activeModalWidget(), Qt::Key_Return);
        } else if (retourDonne && boite->isVisible()) {
            retourSansEffet = true;
            boite->accept();
        }
    });
    const auto exporter = [&](const std::string& destination) {
        texte.clear();
        boite = nullptr;
        retourDonne = false;
        reponse = QString::fromStdString(destination);
        guet.start();
        EXPECT_TRUE(application_->Arbres.Actions().ExporterCategorie(Categorie::Son));
        EXPECT_TRUE(AttendreQue([&] { return fini.count() == 1; }));
        guet.stop();
        return fini.takeFirst().at(0).toBool();
    };
    EXPECT_FALSE(exporter(dossier.Racine() + "/absent/sons.m3u8"));
    EXPECT_TRUE(texte.contains("absent/sons.m3u8")) << texte.toStdString();
    EXPECT_FALSE(progressionVue);
    EXPECT_FALSE(retourSansEffet);

    EXPECT_TRUE(exporter(dossier.Racine() + "/sons.m3u8"));
    EXPECT_EQ(texte, "2 fichiers n'ont pas été mis dans la liste de lecture : leur chemin contient un saut de ligne, "
                     "que le format M3U8 ne peut pas écrire.");

    reponse.clear();
    for (const QString& motif : {QStringLiteral("Été/"), QStringLiteral("🎵/")}) {
        const QString nom = QStringLiteral("Son - ") + motif.repeated(100);
        EXPECT_FALSE(exportation.Exporter(Categorie::Son, sons, nom));
        const QString fichier = propose.section('/', -1);
        EXPECT_TRUE(fichier.endsWith(".m3u8"));
        EXPECT_LE(QFile::encodeName(fichier).size(), 255);
        EXPECT_GT(QFile::encodeName(fichier).size(), 255 - 4);
        EXPECT_TRUE(fichier.isValidUtf16());
        EXPECT_TRUE(QString(nom).replace('/', '_').startsWith(fichier.chopped(5))) << fichier.toStdString();
    }
}
