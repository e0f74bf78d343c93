#include "ui/GestionBouton.h"

#include "scan/GestionScan.h"
#include "scan/Scanneur.h"
#include "scan/Stockage.h"
#include "shared/AppelDiffere.h"
#include "shared/Option.h"
#include "shared/Textes.h"
#include "ui/TFormPrincipal.h"
#include "widgets/Etiquette.h"
#include "widgets/Fabrique.h"
#include "widgets/ImageComposant.h"
#include "widgets/ZoneSaisie.h"

#include <QAction>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QMenu>
#include <QMessageBox>
#include <QSignalBlocker>
#include <QTimer>

#include <atomic>
#include <filesystem>
#include <iostream>
#include <utility>

const QString GestionBouton::TexteInvitation = " Cliquer sur l'image pour Parcourir";
const QString GestionBouton::LegendeRepos = "     Lancement du Scan";
const QString GestionBouton::LegendeScan = "         Scan en cours ...";

namespace {

const QColor ScanNormal(0xA7, 0x9F, 0x8F);
const QColor ScanActif(0x80, 0x80, 0xFF);
const QColor EtiquetteNormale(0xAD, 0xAD, 0xAD);
const QColor EtiquetteSurvolee(0xFF, 0x80, 0x40);
// How long the browser waits for its start folders to answer before it
// opens without them.
constexpr int DelaiDepart = 500;
// The column of the total sizes: right of the counters' picture.
const QRect PlaceTailles(464, 0, 76, 16);

// The path as the user means it: "~" and "~/..." start with the home directory.
QString CheminSaisi(const QString& texte)
{
    if (texte == "~")
        return QDir::homePath();
    if (texte.startsWith("~/"))
        return QDir::homePath() + texte.mid(1);
    return texte;
}

} // namespace

GestionBouton::GestionBouton(TFormPrincipal& fenetre, GestionScan& scans, Stockage& stockage, Option& option)
    : fenetre_(fenetre), scans_(scans), stockage_(stockage), option_(option), sonde_(*this)
{
    CreerComposants();
    CreerMenuOptions();
    Relier();
    fenetre_.AccepterDepots(true);
}

GestionBouton::~GestionBouton() = default;

void GestionBouton::CreerComposants()
{
    using F = Fabrique;
    QWidget* f = &fenetre_;
    ImgHomeParcourir = F::Bouton(f, "ImgHomeParcourir", QRect(PlaceParcourir, QSize(40, 40)), "ImgHomeParcourir.jpg");
    LabelHomeParcourir =
        F::Label(f, "LabelHomeParcourir", "Chemin d'accès à la lecture des fichiers :", QPoint(228, 125), F::Arial, 11,
                 false, Qt::black, QColor());
    LabelHomeOption =
        F::Label(f, "LabelHomeOption", ">>>", QPoint(448, 125), F::TimesNewRoman, 13, false, Qt::black, QColor());
    LabelHomeOption->setCursor(Qt::PointingHandCursor);
    ImgHomeFichierFond = F::Image(f, "ImgHomeFichierFond", QRect(226, 248, 233, 158), "ImgHomeFichierFond.jpg");
    fenetre_.AjouterFond(ImgHomeFichierFond);

    const char* const noms[] = {"LabelHomeFichierNbVideo", "LabelHomeFichierNbSon", "LabelHomeFichierNbImage",
                                "LabelHomeFichierNbTexte", "LabelHomeFichierNbTotal"};
    const int compteursY[] = {271, 292, 313, 334, 367};
    for (size_t i = 0; i < compteurs_.size(); ++i) {
        compteurs_[i] = F::Label(f, noms[i], "0", QPoint(320, compteursY[i]), F::Verdana, 13, true, F::Pervenche,
                                 F::FondCompteurs, QSize(92, 16));
        compteurs_[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    // Each category's total size and the total, right of its counter,
    // outside the counters' picture.
    const char* const nomsTailles[] = {"LabelHomeTailleVideo", "LabelHomeTailleSon", "LabelHomeTailleImage",
                                       "LabelHomeTailleTexte", "LabelHomeTailleTotal"};
    for (size_t i = 0; i < tailles_.size(); ++i) {
        tailles_[i] = F::Label(f, nomsTailles[i], "0 Ko", QPoint(PlaceTailles.x(), compteursY[i]), F::Verdana, 11, true,
                               F::Pervenche, F::FondCompteurs, QSize(PlaceTailles.width(), 16));
        tailles_[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    NommerCompteurs();

    LabelPause = F::Label(f, "LabelPause", "Pause", QPoint(131, 429), F::Arial, 11, true, EtiquetteNormale, F::Fond,
                          QSize(34, 14));
    LabelPause->setAlignment(Qt::AlignCenter);
    LabelPause->setCursor(Qt::PointingHandCursor);
    LabelPause->hide();
    LabelArret = F::Label(f, "LabelArret", "Arrêt", QPoint(174, 429), F::Arial, 11, true, EtiquetteNormale, F::Fond,
                          QSize(29, 14));
    LabelArret->setCursor(Qt::PointingHandCursor);
    LabelArret->hide();

    ImgHomeParcourirBas =
        F::Bouton(f, "ImgHomeParcourirBas", QRect(PlaceParcourirBas, QSize(71, 13)), "ImgHomeParcourirBas.jpg");
    LabelHomeScan =
        F::Label(f, "LabelHomeScan", LegendeRepos, PlaceLegendeScan, F::Arial, 16, true, F::Pervenche, F::Fond);
    LabelHomeScan->setAlignment(Qt::AlignCenter);
    LabelHomeScan->setCursor(Qt::PointingHandCursor);
    ImgHomeScan = F::Bouton(f, "ImgHomeScan", QRect(240, 192, 40, 40), "ImgHomeScan.jpg");

    EditHomeRepertoireScan = new ZoneSaisie(f, QRect(226, 141, 313, 21));
    EditHomeRepertoireScan->setObjectName("EditHomeRepertoireScan");
    EditHomeRepertoireScan->setFrame(false);
    EditHomeRepertoireScan->setFocusPolicy(Qt::ClickFocus);
    QFont comic(F::ComicSans);
    comic.setPixelSize(11);
    EditHomeRepertoireScan->setFont(comic);
    QPalette pe = EditHomeRepertoireScan->palette();
    pe.setColor(QPalette::Base, F::FondCompteurs);
    pe.setColor(QPalette::Text, Qt::black);
    EditHomeRepertoireScan->setPalette(pe);
    // A drag over the box is the window's, as anywhere else: the box would
    // take dropped text as typed.
    EditHomeRepertoireScan->setAcceptDrops(false);
    Montrer(false);

    TimerFichier = new QTimer(f);
    TimerFichier->setObjectName("TimerFichier");
    TimerFichier->setInterval(100);
}

void GestionBouton::CreerMenuOptions()
{
    MenuOptions = new QMenu(&fenetre_);
    MenuOptions->setObjectName("MenuOptions");
    MenuOptions->setAccessibleName("Options du scan");
    const std::pair<const char*, std::atomic<bool>*> choix[] = {
        {"Inclure les sous-répertoires", &option_.SousRepertoire},
        {"Inclure les fichiers cachés", &option_.FichierCache},
        {"Inclure les répertoires cachés", &option_.RepertoireCache}};
    for (const auto& [texte, valeur] : choix) {
        QAction* action = MenuOptions->addAction(QString::fromUtf8(texte));
        action->setCheckable(true);
        connect(action, &QAction::toggled, this, [this, valeur = valeur](bool coche) {
            // Written at once: the next scan's walker reads it; saved at once,
            // off the window's thread, a refusal said back here.
            *valeur = coche;
            option_.Confier([this](const Erreur& erreur) {
                AppelDiffere(this, [this, erreur] {
                    Fabrique::Message(
                        &fenetre_,
                        "Le réglage ne peut pas être enregistré : " +
                            QString::fromStdString(erreur.Message + "\n" + Option::LigneEnregistrement(erreur)),
                        "Erreur d'enregistrement", QMessageBox::Critical);
                });
            });
        });
    }
}

void GestionBouton::ClicOption()
{
    if (scans_.EnVie())
        return;
    const std::atomic<bool>* valeurs[] = {&option_.SousRepertoire, &option_.FichierCache, &option_.RepertoireCache};
    const QList<QAction*> actions = MenuOptions->actions();
    for (int i = 0; i < actions.size(); ++i) {
        // Ticked from the settings without writing them back.
        const QSignalBlocker silence(actions[i]);
        actions[i]->setChecked(valeurs[i]->load());
    }
    MenuOptions->popup(LabelHomeOption->mapToGlobal(QPoint(0, LabelHomeOption->height())));
}

void GestionBouton::Relier()
{
    for (ImageComposant* parcourir : {ImgHomeParcourir, ImgHomeParcourirBas}) {
        connect(parcourir, &ImageComposant::Clic, this, &GestionBouton::Parcourir);
        connect(parcourir, &ImageComposant::SourisBouge, this, &GestionBouton::SurvolerParcourir);
        // A pointer that jumps away crosses no background on its way.
        connect(parcourir, &ImageComposant::SourisSortie, this, &GestionBouton::RelacherParcourir);
    }
    connect(EditHomeRepertoireScan, &ZoneSaisie::Entree, this, [this] {
        if (EditHomeRepertoireScan->text() == TexteInvitation)
            EditHomeRepertoireScan->clear();
    });
    connect(EditHomeRepertoireScan, &ZoneSaisie::Sortie, this, [this] {
        if (EditHomeRepertoireScan->text().isEmpty())
            EditHomeRepertoireScan->setText(TexteInvitation);
    });
    connect(EditHomeRepertoireScan, &ZoneSaisie::ToucheFrappee, this, [this](QChar touche) {
        if (touche == QChar(13))
            LancerScan();
    });
    connect(ImgHomeScan, &ImageComposant::Clic, this, &GestionBouton::LancerScan);
    connect(LabelHomeScan, &Etiquette::Clic, this, &GestionBouton::LancerScan);
    connect(LabelHomeScan, &Etiquette::SourisBouge, this, &GestionBouton::SurvolerScan);
    connect(ImgHomeScan, &ImageComposant::SourisBouge, this, &GestionBouton::SurvolerScan);
    connect(LabelHomeOption, &Etiquette::SourisBouge, this, &GestionBouton::SurvolerOption);
    connect(LabelHomeOption, &Etiquette::Clic, this, &GestionBouton::ClicOption);
    connect(LabelPause, &Etiquette::SourisBouge, this, &GestionBouton::SurvolerPause);
    connect(LabelPause, &Etiquette::Clic, this, &GestionBouton::PauseScan);
    connect(LabelArret, &Etiquette::SourisBouge, this, &GestionBouton::SurvolerArret);
    connect(LabelArret, &Etiquette::Clic, this, &GestionBouton::ArreterScan);
    connect(LabelHomeScan, &Etiquette::SourisSortie, this, &GestionBouton::RelacherScan);
    connect(ImgHomeScan, &ImageComposant::SourisSortie, this, &GestionBouton::RelacherScan);
    connect(LabelHomeOption, &Etiquette::SourisSortie, this, &GestionBouton::RelacherOption);
    connect(LabelPause, &Etiquette::SourisSortie, this, &GestionBouton::RelacherPause);
    connect(LabelArret, &Etiquette::SourisSortie, this, &GestionBouton::RelacherArret);
    connect(TimerFichier, &QTimer::timeout, this, &GestionBouton::AfficherCompteurs);
    connect(&fenetre_, &TFormPrincipal::CheminDepose, this, &GestionBouton::Deposer);

    connect(&fenetre_, &TFormPrincipal::PremiereApparition, this, [this] {
        RelacherOption();
        RelacherPause();
        RelacherArret();
        RelacherScan();
        EditHomeRepertoireScan->setText(TexteInvitation);
    });
    connect(&fenetre_, &TFormPrincipal::FondSurvole, this, [this] {
        RelacherOption();
        RelacherPause();
        RelacherArret();
        RelacherParcourir();
        RelacherScan();
    });
}

GestionBouton::Accessibles GestionBouton::Acces() const
{
    return {EditHomeRepertoireScan,
            LabelHomeParcourir,
            {ImgHomeScan, ImgHomeParcourir, LabelHomeOption, LabelPause, LabelArret},
            ImgHomeScan,
            ImgHomeParcourir,
            ImgHomeParcourirBas,
            LabelHomeScan,
            LabelHomeOption,
            LabelPause,
            LabelArret,
            compteurs_};
}

void GestionBouton::Montrer(bool montrer)
{
    for (QWidget* composant :
         std::initializer_list<QWidget*>{ImgHomeParcourir, ImgHomeParcourirBas, ImgHomeScan, LabelHomeOption,
                                         LabelHomeParcourir, LabelHomeScan, EditHomeRepertoireScan, ImgHomeFichierFond})
        composant->setVisible(montrer);
    for (Etiquette* compteur : compteurs_)
        compteur->setVisible(montrer);
    for (Etiquette* taille : tailles_)
        taille->setVisible(montrer);
}

QString GestionBouton::DossierDeDepart()
{
    // The dialog looks at its start folder on this thread, where a stat on
    // a network mount that stopped answering blocks the window; and given
    // a folder that is gone, it opens beside it with the missing name typed
    // in, which its "Choose" then refuses with a message of its own. So the
    // folder last scanned and the home folder are looked at off this thread
    // first, under the names the dialog gets, for a moment at most.
    const QString candidats[] = {QFile::decodeName(QByteArray::fromStdString(option_.DernierRepertoire)),
                                 QDir::homePath()};
    QEventLoop attente;
    attenteDepart_ = &attente;
    const uint64_t ouverture = ++ouvertures_;
    for (size_t i = 0; i < naturesDepart_.size(); ++i) {
        naturesDepart_[i].reset();
        const auto reponse = [this, ouverture, i](SondeChemin::Nature nature) {
            if (ouverture != ouvertures_ || !attenteDepart_)
                return;
            naturesDepart_[i] = nature;
            if (naturesDepart_[0] && naturesDepart_[1])
                attenteDepart_->quit();
        };
        sonde_.Demander(QFile::encodeName(candidats[i]).toStdString(), reponse);
    }
    QTimer::singleShot(DelaiDepart, &attente, &QEventLoop::quit);
    attente.exec();
    attenteDepart_ = nullptr;
    for (size_t i = 0; i < naturesDepart_.size(); ++i)
        if (naturesDepart_[i] == SondeChemin::Nature::Repertoire)
            return candidats[i];
    // Neither: the dialog's own choice, the working folder.
    return QString();
}

void GestionBouton::Parcourir()
{
    if (!fenetre_.isEnabled())
        return;
    fenetre_.setEnabled(false);
    if (Dialogue.Choisir(QString(), QString(), DossierDeDepart()))
        EditHomeRepertoireScan->setText(Dialogue.Repertoire);
    fenetre_.setEnabled(true);
}

void GestionBouton::Scanner(const QString& repertoire)
{
    EditHomeRepertoireScan->setText(repertoire);
    LancerScan();
}

void GestionBouton::Deposer(const QByteArray& chemin)
{
    if (scans_.EnVie())
        return;
    const uint64_t depot = ++depots_;
    sonde_.Demander(chemin.toStdString(),
                    [this, depot, chemin](SondeChemin::Nature nature) { DepotExamine(depot, chemin, nature); });
}

void GestionBouton::DepotExamine(uint64_t depot, const QByteArray& chemin, SondeChemin::Nature nature)
{
    // A newer drop wins; a scan started meanwhile, the browser or a message
    // box open (the window disabled) leave the drop unanswered.
    if (depot != depots_ || scans_.EnVie() || !fenetre_.isEnabled())
        return;
    QByteArray repertoire = chemin;
    if (nature == SondeChemin::Nature::Autre) {
        const qsizetype barre = chemin.lastIndexOf('/');
        repertoire = barre > 0 ? chemin.left(barre) : QByteArray("/");
    }
    emit DepotPris();
    cheminDepose_ = repertoire;
    texteDepose_ = QFile::decodeName(repertoire);
    EditHomeRepertoireScan->setText(texteDepose_);
    if (nature == SondeChemin::Nature::Absent || nature == SondeChemin::Nature::Injoignable) {
        SignalerInexistant(texteDepose_);
        return;
    }
    Demarrer(repertoire.toStdString());
}

void GestionBouton::ActiverCommandes(bool actives)
{
    ImgHomeParcourir->setEnabled(actives);
    ImgHomeParcourirBas->setEnabled(actives);
    EditHomeRepertoireScan->setEnabled(actives);
    ImgHomeScan->setEnabled(actives);
    LabelHomeScan->setCursor(actives ? Qt::PointingHandCursor : Qt::ArrowCursor);
    LabelHomeScan->setEnabled(true);
    LabelHomeOption->setEnabled(actives);
}

void GestionBouton::LancerScan()
{
    if (scans_.EnVie())
        return;
    const QString texte = EditHomeRepertoireScan->text();
    if (texte == TexteInvitation) {
        Fabrique::Message(&fenetre_, "Veuillez selectionner un répertoire", "Oubli répertoire",
                          QMessageBox::Information);
        return;
    }
    // The box still shows the path dropped last: its exact bytes, which a
    // name that is not UTF-8 does not survive the text with.
    const bool depose = !texteDepose_.isEmpty() && texte == texteDepose_;
    const std::string chemin = depose ? cheminDepose_.toStdString() : CheminSaisi(texte).toStdString();
    if (Scanneur::RepertoireInexistant(chemin)) {
        SignalerInexistant(texte);
        return;
    }
    Demarrer(chemin);
}

void GestionBouton::SignalerInexistant(const QString& texte)
{
    Fabrique::Message(&fenetre_, "Le répertoire \" " + texte + " \" n'existe pas.", "Erreur de répertoire",
                      QMessageBox::Critical);
}

void GestionBouton::Demarrer(const std::string& chemin)
{
    if (!scans_.Lancer(chemin))
        return;
    // Where the folder browser opens next time, in this run and the next.
    std::error_code erreur;
    const std::filesystem::path absolu = std::filesystem::absolute(chemin, erreur);
    if (const Resultat<void> retenu = option_.ConfierRepertoire(erreur ? chemin : absolu.string()); !retenu)
        std::cerr << "Ruvizaro : le dernier répertoire ne peut pas être enregistré (" << retenu.Echec().Complet() << ")"
                  << std::endl;
}

void GestionBouton::PauseScan()
{
    scans_.Basculer();
}

void GestionBouton::ArreterScan()
{
    scans_.Arreter(GestionScan::ModeArret::Utilisateur);
}

void GestionBouton::ScanDemarre()
{
    fenetre_.AccepterDepots(false);
    LabelPause->show();
    LabelPause->DefinirCouleurTexte(EtiquetteNormale);
    LabelPause->setText("Pause");
    LabelArret->show();
    LabelArret->DefinirCouleurTexte(EtiquetteNormale);
    LabelHomeScan->DefinirTexte(LegendeScan);
    ActiverCommandes(false);
    TimerFichier->start();
    SurvolerScan();
}

void GestionBouton::ScanEnPause()
{
    LabelPause->setText("Scan");
    TimerFichier->stop();
    // The workers are parked: the counters show what the trees built now hold.
    AfficherCompteurs();
}

void GestionBouton::ScanRepris()
{
    LabelPause->setText("Pause");
    TimerFichier->start();
}

void GestionBouton::ScanTermine()
{
    LabelPause->hide();
    LabelArret->hide();
    LabelHomeScan->DefinirTexte(LegendeRepos);
    RelacherScan();
    ActiverCommandes(true);
    // The box lost the focus while disabled: Enter starts the next scan.
    EditHomeRepertoireScan->setFocus();
    TimerFichier->stop();
    AfficherCompteurs();
    fenetre_.AccepterDepots(true);
}

void GestionBouton::AfficherCompteurs()
{
    const int32_t video = stockage_.Compteur(Categorie::Video);
    const int32_t son = stockage_.Compteur(Categorie::Son);
    const int32_t image = stockage_.Compteur(Categorie::Image);
    const int32_t texte = stockage_.Compteur(Categorie::Texte);
    const int64_t total = int64_t{video} + son + image + texte;
    const int64_t nombres[] = {video, son, image, texte, total};
    for (size_t i = 0; i < compteurs_.size(); ++i)
        compteurs_[i]->setText(QString::fromStdString(Textes::Nombre(nombres[i])));
    int64_t octets[NombreCategories + 1] = {};
    for (Categorie categorie : Categories) {
        octets[Slot(categorie)] = stockage_.Octets(categorie);
        octets[NombreCategories] += octets[Slot(categorie)];
    }
    for (size_t i = 0; i < tailles_.size(); ++i)
        tailles_[i]->setText(QString::fromStdString(Textes::Taille(octets[i])));
    NommerCompteurs();
}

void GestionBouton::NommerCompteurs()
{
    // Screen readers hear each counter with what it counts: "Vidéo : 12".
    static const QString categories[] = {"Vidéo", "Son", "Image", "Texte", "Total"};
    for (size_t i = 0; i < compteurs_.size(); ++i) {
        const QString nom = categories[i] + " : " + compteurs_[i]->text();
        if (compteurs_[i]->accessibleName() != nom)
            compteurs_[i]->setAccessibleName(nom);
        const QString taille = "Taille " + categories[i] + " : " + tailles_[i]->text();
        if (tailles_[i]->accessibleName() != taille)
            tailles_[i]->setAccessibleName(taille);
    }
}

void GestionBouton::SurvolerParcourir()
{
    ImgHomeParcourir->move(PlaceParcourir + QPoint(1, 1));
    ImgHomeParcourirBas->move(PlaceParcourirBas + QPoint(1, 1));
}

void GestionBouton::RelacherParcourir()
{
    ImgHomeParcourir->move(PlaceParcourir);
    ImgHomeParcourirBas->move(PlaceParcourirBas);
}

void GestionBouton::SurvolerScan()
{
    LabelHomeScan->DefinirCouleurTexte(ScanActif);
}

void GestionBouton::RelacherScan()
{
    if (!scans_.EnVie())
        LabelHomeScan->DefinirCouleurTexte(ScanNormal);
}

void GestionBouton::SurvolerOption()
{
    if (EtatOption == 1)
        return;
    LabelHomeOption->DefinirCouleurTexte(QColor(0x00, 0x00, 0xFF));
    QFont police = LabelHomeOption->font();
    police.setPointSize(11);
    LabelHomeOption->setFont(police);
    LabelHomeOption->adjustSize();
    EtatOption = 1;
}

void GestionBouton::RelacherOption()
{
    if (EtatOption == 2)
        return;
    LabelHomeOption->DefinirCouleurTexte(Qt::black);
    QFont police = LabelHomeOption->font();
    police.setPointSize(10);
    LabelHomeOption->setFont(police);
    LabelHomeOption->adjustSize();
    EtatOption = 2;
}

void GestionBouton::SurvolerPause()
{
    LabelPause->DefinirCouleurTexte(EtiquetteSurvolee);
}

void GestionBouton::RelacherPause()
{
    LabelPause->DefinirCouleurTexte(EtiquetteNormale);
}

void GestionBouton::SurvolerArret()
{
    LabelArret->DefinirCouleurTexte(EtiquetteSurvolee);
}

void GestionBouton::RelacherArret()
{
    LabelArret->DefinirCouleurTexte(EtiquetteNormale);
}
