#include "ui/TFormPrincipal.h"

#include "preview/Previsualisation.h"
#include "media/Video.h"
#include "preview/Son.h"
#include "shared/Groupe.h"
#include "trees/ArbreCategorie.h"
#include "trees/GestionTreeView.h"
#include "widgets/Cadre.h"
#include "widgets/EcranSon.h"
#include "widgets/EcranVideo.h"
#include "widgets/Etiquette.h"
#include "ui/AccesClavier.h"
#include "ui/GestionBarreSystem.h"
#include "ui/GestionBouton.h"
#include "ui/GestionMenu.h"
#include "ui/GestionProgressBar.h"
#include "widgets/ImageComposant.h"
#include "shared/ListeImages.h"
#include "widgets/TFormImage.h"
#include "ui/TFormPropos.h"
#include "widgets/ZoneSaisie.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QSlider>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWindow>

TFormPrincipal* FormPrincipal = nullptr;

namespace {

const QColor Fond(0xF4, 0xF4, 0xF4);
const QColor FondCompteurs(0xE5, 0xE5, 0xE5);
const QColor Pervenche(0x80, 0x80, 0xFF);
const QColor GrisPause(0xAD, 0xAD, 0xAD);

// Families standing in for the skin's Windows fonts.
const QString Arial = "Liberation Sans";
const QString Verdana = "DejaVu Sans";
const QString TimesNewRoman = "Liberation Serif";
const QString ComicSans = "Comic Neue";

const QString IndiceImage = "Double Click pour agrandir";
const QString IndiceVideo = "Double Click pour agrandir ";
const QString IndiceSon = "Double Click pour agrandir - Click Droit pour changer l'animation";
const QString TempsNul = "00:00:00";

ImageComposant* Image(QWidget* parent, const QRect& place, const QString& skin = {})
{
    auto* image = new ImageComposant(parent, place);
    if (!skin.isEmpty())
        image->DefinirImage(TFormImage::Charger(skin));
    return image;
}

ImageComposant* Bouton(QWidget* parent, const QRect& place, const QString& skin = {})
{
    auto* image = Image(parent, place, skin);
    image->setCursor(Qt::PointingHandCursor);
    return image;
}

Etiquette* Label(QWidget* parent, const QString& texte, const QPoint& position, const QString& famille,
                 int pixels, bool gras, const QColor& couleur, const QColor& fond, const QSize& taille = {})
{
    auto* etiquette = new Etiquette(parent, texte, position, taille);
    etiquette->DefinirPolice(famille, pixels, gras);
    etiquette->DefinirCouleurTexte(couleur);
    etiquette->DefinirCouleurFond(fond);
    return etiquette;
}

// A name label of a preview panel: bold, 156 px wide, a long name elided in
// the middle, showing its hint (the full path).
Etiquette* LabelNom(QWidget* parent, const QPoint& position)
{
    auto* etiquette = Label(parent, QString(), position, Verdana, 11, true, Qt::black, Fond, QSize(156, 14));
    etiquette->setToolTipDuration(-1);
    etiquette->DefinirElision(Qt::ElideMiddle);
    return etiquette;
}

Etiquette* LabelPrevisu(QWidget* parent, const QPoint& position, const QString& texte = {})
{
    return Label(parent, texte, position, Verdana, 11, false, Qt::black, Fond);
}

QSlider* TrackBar(QWidget* parent, const QRect& place)
{
    auto* barre = new QSlider(Qt::Horizontal, parent);
    barre->setGeometry(place);
    barre->setRange(0, 100);
    barre->setTickPosition(QSlider::NoTicks);
    barre->setFocusPolicy(Qt::NoFocus);
    barre->hide();
    return barre;
}

}  // namespace

TFormPrincipal::TFormPrincipal(QWidget* parent) : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
{
    setWindowTitle(" Ruvizaro");
    setFixedSize(Largeur, Hauteur);
    setMouseTracking(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Fond);
    setPalette(p);
    setAutoFillBackground(true);
    QFont police(Arial);
    police.setPixelSize(11);
    setFont(police);

    ImageListExt = new ListeImages;
    ImageListExt->Ajouter(TFormImage::Charger("DossierFerme.png").toImage());
    ImageListExt->Ajouter(TFormImage::Charger("DossierOuvert.png").toImage());

    // Components are created in their stacking order, bottom first.
    CreerCadre();
    CreerBandeScan();
    CreerHome();
    CreerCategories();
    CreerPrevisualisations();
    CreerMinuteries();
    Relier();
    new AccesClavier(this);
}

TFormPrincipal::~TFormPrincipal()
{
    // The focus leaves now, while the window's handlers can still run: a
    // child losing it during the window's destruction would call them.
    if (QWidget* focus = focusWidget())
        focus->clearFocus();
    // The components go with the QWidget part, after this one: what they
    // announce meanwhile (the path box losing the focus) must not reach it.
    for (QObject* composant : findChildren<QObject*>())
        composant->disconnect(this);
    delete ImageListExt;
}

void TFormPrincipal::CreerCadre()
{
    ImgFond = Image(this, QRect(111, 0, 475, 451), "ImgFond.jpg");
    ImgClose = Bouton(this, QRect(565, 6, 15, 15));
    ImgClose->DefinirHint("Fermer", false);
    ImgReduire = Bouton(this, QRect(550, 6, 15, 15));
    ImgReduire->DefinirHint("Réduire", false);
    ImgTitre = Image(this, QRect(126, 30, 444, 61), "ImgTitre.jpg");
    const int zonesY[] = {6, 76, 146, 216, 286, 356};
    ImageComposant** zones[] = {&ZoneHome, &ZoneVideo, &ZoneSon, &ZoneImage, &ZoneTexte, &ZoneTransfert};
    for (int i = 0; i < 6; ++i)
        *zones[i] = Bouton(this, QRect(6, zonesY[i], 100, 70));

    TrayIcon = new QSystemTrayIcon(QIcon(TFormImage::Charger("Ruvizaro.png")), this);
    TrayIcon->setToolTip("Ruvizaro");
    setWindowIcon(TrayIcon->icon());
}

void TFormPrincipal::CreerBandeScan()
{
    ImgProgressBarFond = Image(this, QRect(254, 430, 190, 11), "ImgProgressBarFond.jpg");
    ImgProgressBar = Image(this, QRect(300, 431, 29, 9), "ImgProgressBar.jpg");
    ImgProgressBarDevant = Image(this, QRect(224, 429, 249, 14), "ImgProgressBarDevant.bmp");
    ImgProgressBarDevant->DefinirTransparent(true);
    for (auto* image : {ImgProgressBarFond, ImgProgressBar, ImgProgressBarDevant})
        image->hide();
}

void TFormPrincipal::CreerHome()
{
    ImgHomeParcourir = Bouton(this, QRect(170, 127, 40, 40), "ImgHomeParcourir.jpg");
    LabelHomeParcourir = Label(this, "Chemin d'accès à la lecture des fichiers :", QPoint(228, 125), Arial, 11,
                               false, Qt::black, QColor());
    LabelHomeOption = Label(this, ">>>", QPoint(448, 125), TimesNewRoman, 13, false, Qt::black, QColor());
    LabelHomeOption->setCursor(Qt::PointingHandCursor);
    ImgHomeFichierFond = Image(this, QRect(226, 248, 233, 158), "ImgHomeFichierFond.jpg");

    Etiquette** compteurs[] = {&LabelHomeFichierNbVideo, &LabelHomeFichierNbSon, &LabelHomeFichierNbImage,
                               &LabelHomeFichierNbTexte, &LabelHomeFichierNbTotal};
    const int compteursY[] = {271, 292, 313, 334, 367};
    for (int i = 0; i < 5; ++i) {
        *compteurs[i] = Label(this, "0", QPoint(320, compteursY[i]), Verdana, 13, true, Pervenche, FondCompteurs,
                              QSize(92, 16));
        (*compteurs[i])->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }

    LabelPause = Label(this, "Pause", QPoint(131, 429), Arial, 11, true, GrisPause, Fond, QSize(34, 14));
    LabelPause->setAlignment(Qt::AlignCenter);
    LabelPause->setCursor(Qt::PointingHandCursor);
    LabelPause->hide();
    LabelArret = Label(this, "Arrêt", QPoint(174, 429), Arial, 11, true, GrisPause, Fond, QSize(29, 14));
    LabelArret->setCursor(Qt::PointingHandCursor);
    LabelArret->hide();

    ImgHomeParcourirBas = Bouton(this, QRect(148, 158, 71, 13), "ImgHomeParcourirBas.jpg");
}

void TFormPrincipal::CreerCategories()
{
    Bevel = new Cadre(this, QRect(114, 103, 295, 316));
    Bevel->hide();

    LabelHomeScan = Label(this, GestionBouton::LegendeRepos, QPoint(272, 200), Arial, 16, true, Pervenche, Fond);
    LabelHomeScan->setAlignment(Qt::AlignCenter);
    LabelHomeScan->setCursor(Qt::PointingHandCursor);
    LabelEnCourAffichage =
        Label(this, "En cour d'affichage", QPoint(424, 376), Verdana, 13, true, Qt::red, QColor());
    LabelEnCourAffichage->hide();
    ImgHomeScan = Bouton(this, QRect(240, 192, 40, 40), "ImgHomeScan.jpg");
}

void TFormPrincipal::CreerPrevisualisations()
{
    // Image panel
    LabelImageNom = LabelNom(this, QPoint(415, 280));
    LabelImageExtension = LabelPrevisu(this, QPoint(415, 296));
    LabelImageDimension = LabelPrevisu(this, QPoint(415, 320));
    LabelImageTaille = LabelPrevisu(this, QPoint(415, 336));
    BevelPrevisu = new Cadre(this, QRect(411, 103, 165, 165));
    ImgImagePrevisu = Bouton(this, QRect(413, 105, 160, 160));
    ImgImagePrevisu->DefinirProportionnel(true);
    ImgImagePrevisu->DefinirCentre(true);
    ImgImagePrevisu->DefinirHint(IndiceImage, true);

    // Son panel
    ImageSonAucuneAnim = Bouton(this, QRect(413, 105, 160, 160), "ImageSonAucuneAnim.jpg");
    ImageSonAucuneAnim->DefinirHint(IndiceSon, true);
    ImageSon = Bouton(this, QRect(413, 105, 160, 160));
    ImageSon->DefinirProportionnel(true);
    ImageSon->DefinirCentre(true);
    ImageSon->DefinirHint(IndiceSon, true);
    EcranDessin = new EcranSon(this, QRect(Son::DessinX, Son::DessinY, EcranSon::Largeur, EcranSon::Hauteur));
    LabelSonNom = LabelNom(this, QPoint(415, 315));
    LabelSonExtension = LabelPrevisu(this, QPoint(415, 331));
    LabelSonTaille = LabelPrevisu(this, QPoint(415, 352));
    LabelSonDurreeCourant = LabelPrevisu(this, QPoint(411, 272), TempsNul);
    LabelSonDurreeTotale = Label(this, TempsNul, QPoint(488, 272), Verdana, 11, false, Qt::black, Fond, QSize(87, 14));
    LabelSonDurreeTotale->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    ImageSonPlayPause = Bouton(this, QRect(414, 293, 12, 12));
    ImageSonStop = Bouton(this, QRect(434, 293, 12, 12));

    // Video panel
    ImageVideo = Bouton(this, QRect(413, 105, 160, 160));
    ImageVideo->DefinirProportionnel(true);
    ImageVideo->DefinirCentre(true);
    ImageVideo->DefinirHint(IndiceVideo, true);
    // Made before the window first shows, so that the window is ready for
    // OpenGL; hidden until a video plays.
    FenetreVideo = new EcranVideo(this);
    LabelVideoNom = LabelNom(this, QPoint(415, 315));
    LabelVideoExtension = LabelPrevisu(this, QPoint(415, 331));
    LabelVideoTaille = LabelPrevisu(this, QPoint(415, 352));
    LabelVideoDurreeCourant = LabelPrevisu(this, QPoint(411, 272), TempsNul);
    LabelVideoDurreeTotale =
        Label(this, TempsNul, QPoint(488, 272), Verdana, 11, false, Qt::black, Fond, QSize(87, 14));
    LabelVideoDurreeTotale->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    ImageVideoPlayPause = Bouton(this, QRect(414, 293, 12, 12));
    ImageVideoStop = Bouton(this, QRect(434, 293, 12, 12));

    ImagePropos = Bouton(this, QRect(120, 24, 73, 73));

    // Texte panel
    ImgTextePrevisu = Bouton(this, QRect(413, 105, 160, 160));
    ImgTextePrevisu->DefinirCentre(true);
    ImgTextePrevisu->DefinirHint(IndiceImage, true);
    LabelTexteNom = LabelNom(this, QPoint(415, 280));
    LabelTexteExtension = LabelPrevisu(this, QPoint(415, 296));
    LabelTexteTaille = LabelPrevisu(this, QPoint(415, 336));

    for (QWidget* w : std::initializer_list<QWidget*>{
             LabelImageNom, LabelImageExtension, LabelImageDimension, LabelImageTaille, BevelPrevisu,
             ImgImagePrevisu, ImageSonAucuneAnim, ImageSon, EcranDessin, LabelSonNom, LabelSonExtension, LabelSonTaille,
             LabelSonDurreeCourant, LabelSonDurreeTotale, ImageSonPlayPause, ImageSonStop, ImageVideo,
             LabelVideoNom, LabelVideoExtension, LabelVideoTaille, LabelVideoDurreeCourant,
             LabelVideoDurreeTotale, ImageVideoPlayPause, ImageVideoStop, ImgTextePrevisu, LabelTexteNom,
             LabelTexteExtension, LabelTexteTaille})
        w->hide();

    // Child windows lie above every painted component.
    EditHomeRepertoireScan = new ZoneSaisie(this, QRect(226, 141, 313, 21));
    EditHomeRepertoireScan->setFrame(false);
    EditHomeRepertoireScan->setFocusPolicy(Qt::ClickFocus);
    QFont comic(ComicSans);
    comic.setPixelSize(11);
    EditHomeRepertoireScan->setFont(comic);
    QPalette pe = EditHomeRepertoireScan->palette();
    pe.setColor(QPalette::Base, FondCompteurs);
    pe.setColor(QPalette::Text, Qt::black);
    EditHomeRepertoireScan->setPalette(pe);

    for (CleArbre cle : ToutesLesCles) {
        auto* arbre = new ArbreCategorie(ImageListExt, cle, this);
        arbre->setGeometry(115, 104, 292, 313);
        arbre->hide();
        Arbres[cle.Rang()] = arbre;
    }
    ArbreCategorie** noms[] = {&TreeViewVideoExt, &TreeViewVideoAlpha, &TreeViewVideoRep,
                               &TreeViewSonExt,   &TreeViewSonAlpha,   &TreeViewSonRep,
                               &TreeViewImageExt, &TreeViewImageAlpha, &TreeViewImageRep,
                               &TreeViewTexteExt, &TreeViewTexteAlpha, &TreeViewTexteRep};
    for (size_t i = 0; i < Arbres.size(); ++i)
        *noms[i] = Arbres[i];

    ComboBoxChoixTrie = new QComboBox(this);
    ComboBoxChoixTrie->setGeometry(413, 397, 161, 22);
    ComboBoxChoixTrie->addItems({"Par Extension", "Par Ordre Alphabétique", "Par Répertoire"});
    ComboBoxChoixTrie->setCurrentIndex(0);
    ComboBoxChoixTrie->hide();

    TrackBarVideo = TrackBar(this, QRect(448, 289, 131, 25));
    TrackBarSon = TrackBar(this, QRect(448, 289, 131, 25));
}

void TFormPrincipal::CreerMinuteries()
{
    TimerProgressBar = new QTimer(this);
    TimerProgressBar->setInterval(20);
    TimerFichier = new QTimer(this);
    TimerFichier->setInterval(100);
    TimerSon = new QTimer(this);
    TimerSon->setInterval(10);
    TimerSon->start();
    TimerVideo = new QTimer(this);
    TimerVideo->setInterval(500);
    TimerVideo->start();
}

// Binds every component event to its handler; the handlers reach the
// managers only through the links, which are set after construction.
void TFormPrincipal::Relier()
{
    connect(ZoneHome, &ImageComposant::Clic, this, [this] { gestionMenu_->AfficherHome(true); });
    connect(ZoneVideo, &ImageComposant::Clic, this, [this] { gestionMenu_->AfficherVideo(true); });
    connect(ZoneSon, &ImageComposant::Clic, this, [this] { gestionMenu_->AfficherSon(true); });
    connect(ZoneImage, &ImageComposant::Clic, this, [this] { gestionMenu_->AfficherImage(true); });
    connect(ZoneTexte, &ImageComposant::Clic, this, [this] { gestionMenu_->AfficherTexte(true); });
    connect(ZoneTransfert, &ImageComposant::Clic, this, [this] { gestionMenu_->AfficherTransfert(true); });
    ImageComposant* const zones[] = {ZoneHome, ZoneVideo, ZoneSon, ZoneImage, ZoneTexte, ZoneTransfert};
    for (int z = 0; z < 6; ++z)
        connect(zones[z], &ImageComposant::SourisBouge, this, [this, z] { gestionMenu_->SurvolerZone(z + 1); });

    for (ImageComposant* fond : {ImgFond, ImgTitre, ImgHomeFichierFond}) {
        connect(fond, &ImageComposant::SourisBouge, this, &TFormPrincipal::ImgFondMouseMove);
        connect(fond, &ImageComposant::SourisEnfoncee, this, [this](Qt::MouseButton bouton, QPoint position) {
            if (bouton == Qt::LeftButton)
                ImgFondMouseDown(position);
        });
    }

    connect(ImgClose, &ImageComposant::Clic, this, [this] { gestionBarreSystem_->Fermer(); });
    connect(ImgReduire, &ImageComposant::Clic, this, [this] { gestionBarreSystem_->Reduire(); });
    connect(ImgClose, &ImageComposant::SourisBouge, this, [this] {
        gestionBarreSystem_->FermerSurvol();
        gestionBarreSystem_->ReduireNormal();
    });
    connect(ImgReduire, &ImageComposant::SourisBouge, this, [this] {
        gestionBarreSystem_->ReduireSurvol();
        gestionBarreSystem_->FermerNormal();
    });
    connect(ImgClose, &ImageComposant::SourisEnfoncee, this, [this] { gestionBarreSystem_->FermerClique(); });
    connect(ImgReduire, &ImageComposant::SourisEnfoncee, this, [this] { gestionBarreSystem_->ReduireClique(); });
    connect(TrayIcon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason raison) {
        if (raison == QSystemTrayIcon::DoubleClick)
            gestionBarreSystem_->Restaurer();
    });

    for (ImageComposant* parcourir : {ImgHomeParcourir, ImgHomeParcourirBas}) {
        connect(parcourir, &ImageComposant::Clic, this, [this] { gestionBouton_->Parcourir(); });
        connect(parcourir, &ImageComposant::SourisBouge, this, [this] { gestionBouton_->SurvolerParcourir(); });
    }
    connect(EditHomeRepertoireScan, &ZoneSaisie::Entree, this, &TFormPrincipal::EditHomeRepertoireScanEnter);
    connect(EditHomeRepertoireScan, &ZoneSaisie::Sortie, this, &TFormPrincipal::EditHomeRepertoireScanExit);
    connect(EditHomeRepertoireScan, &ZoneSaisie::ToucheFrappee, this,
            &TFormPrincipal::EditHomeRepertoireScanKeyPress);
    connect(ImgHomeScan, &ImageComposant::Clic, this, &TFormPrincipal::ImgHomeScanClick);
    connect(LabelHomeScan, &Etiquette::Clic, this, &TFormPrincipal::ImgHomeScanClick);
    connect(LabelHomeScan, &Etiquette::SourisBouge, this, [this] { gestionBouton_->SurvolerScan(); });
    connect(ImgHomeScan, &ImageComposant::SourisBouge, this, [this] { gestionBouton_->SurvolerScan(); });
    connect(LabelHomeOption, &Etiquette::SourisBouge, this, [this] { gestionBouton_->SurvolerOption(); });
    connect(LabelHomeOption, &Etiquette::Clic, this, [this] { gestionBouton_->ClicOption(); });
    connect(LabelPause, &Etiquette::SourisBouge, this, [this] { gestionBouton_->SurvolerPause(); });
    connect(LabelPause, &Etiquette::Clic, this, [this] { gestionBouton_->PauseScan(); });
    connect(LabelArret, &Etiquette::SourisBouge, this, [this] { gestionBouton_->SurvolerArret(); });
    connect(LabelArret, &Etiquette::Clic, this,
            [this] { gestionBouton_->ArreterScan(GestionBouton::Arret::Utilisateur); });

    connect(TimerProgressBar, &QTimer::timeout, this, [this] { gestionProgressBar_->Avancer(); });
    connect(TimerFichier, &QTimer::timeout, this, [this] { gestionBouton_->AfficherCompteurs(); });

    for (ArbreCategorie* arbre : Arbres) {
        connect(arbre, &ArbreCategorie::Deploiement, this,
                [this, arbre](Noeud* noeud) { TreeViewExpanding(arbre, noeud); });
        connect(arbre, &ArbreCategorie::Repli, this,
                [this, arbre](Noeud* noeud) { TreeViewCollapsing(arbre, noeud); });
        connect(arbre, &ArbreCategorie::ChangementSelection, this,
                [this, arbre](Noeud* noeud, Noeud* parentAttente) { TreeViewChange(arbre, noeud, parentAttente); });
    }
    connect(ComboBoxChoixTrie, &QComboBox::currentIndexChanged, this, &TFormPrincipal::ComboBoxChoixTrieChange);

    // A double click on the picture opens the image; a click on the document
    // picture opens the document (its double click adds nothing to that).
    connect(ImgImagePrevisu, &ImageComposant::DoubleClic, this,
            [this] { previsualisation_->Ouvrir(Categorie::Image); });
    connect(ImgTextePrevisu, &ImageComposant::Clic, this,
            [this] { previsualisation_->Ouvrir(Categorie::Texte); });

    // The Son panel.
    for (ImageComposant* image : {ImageSon, ImageSonAucuneAnim}) {
        connect(image, &ImageComposant::DoubleClic, this, [this] { previsualisation_->Ouvrir(Categorie::Son); });
        connect(image, &ImageComposant::SourisRelachee, this, [this](Qt::MouseButton bouton) {
            if (bouton == Qt::RightButton)
                son_->ChangerAnimation();
        });
    }
    connect(ImageSonPlayPause, &ImageComposant::Clic, this, [this] { previsualisation_->SonPlayPause(); });
    connect(ImageSonStop, &ImageComposant::Clic, this, [this] { previsualisation_->SonStop(); });
    connect(TimerSon, &QTimer::timeout, this, &TFormPrincipal::TimerSonTimer);
    connect(TrackBarSon, &QSlider::valueChanged, this, &TFormPrincipal::TrackBarSonChange);

    // The Video panel.
    connect(ImageVideo, &ImageComposant::DoubleClic, this, [this] { previsualisation_->Ouvrir(Categorie::Video); });
    connect(ImageVideoPlayPause, &ImageComposant::Clic, this, [this] { previsualisation_->VideoPlayPause(); });
    connect(ImageVideoStop, &ImageComposant::Clic, this, [this] { previsualisation_->VideoStop(); });
    connect(TimerVideo, &QTimer::timeout, this, &TFormPrincipal::TimerVideoTimer);
    connect(TrackBarVideo, &QSlider::valueChanged, this, &TFormPrincipal::TrackBarVideoChange);

    connect(ImagePropos, &ImageComposant::Clic, this, [this] {
        if (FormPropos)
            FormPropos->Montrer(this);
    });
}

void TFormPrincipal::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // Only the first showing sets the window up: coming back from the tray
    // keeps the zone and the path the user left.
    if (event->spontaneous() || dejaMontree_)
        return;
    dejaMontree_ = true;
    FormShow();
}

void TFormPrincipal::FormShow()
{
    gestionMenu_->AfficherHome(true);
    gestionBarreSystem_->ReduireNormal();
    gestionBarreSystem_->FermerNormal();
    gestionBouton_->RelacherOption();
    gestionBouton_->RelacherPause();
    gestionBouton_->RelacherArret();
    gestionBouton_->RelacherScan();
    EditHomeRepertoireScan->setText(GestionBouton::TexteInvitation);
}

void TFormPrincipal::paintEvent(QPaintEvent*)
{
    QPainter peintre(this);
    if (!bandeau_.isNull())
        peintre.drawPixmap(0, 0, bandeau_);
    if (!surbrillance_.isNull())
        peintre.drawPixmap(6, surbrillanceY_, surbrillance_);
}

void TFormPrincipal::DefinirBandeau(const QPixmap& bandeau)
{
    if (bandeau.cacheKey() == bandeau_.cacheKey())
        return;
    bandeau_ = bandeau;
    update(0, 0, 111, Hauteur);
}

void TFormPrincipal::DefinirSurbrillance(const QPixmap& surbrillance, int y)
{
    if (surbrillance.cacheKey() == surbrillance_.cacheKey() && y == surbrillanceY_)
        return;
    if (!surbrillance_.isNull())
        update(6, surbrillanceY_, surbrillance_.width(), surbrillance_.height());
    surbrillance_ = surbrillance;
    surbrillanceY_ = y;
    if (!surbrillance.isNull()) {
        // Pixels of the picture's bottom-left colour let the strip show through.
        const QImage image = surbrillance.toImage();
        surbrillance_.setMask(surbrillance.createMaskFromColor(image.pixelColor(0, image.height() - 1),
                                                               Qt::MaskInColor));
        update(6, y, surbrillance.width(), surbrillance.height());
    }
}

void TFormPrincipal::ImgFondMouseMove()
{
    gestionBarreSystem_->ReduireNormal();
    gestionBarreSystem_->FermerNormal();
    gestionBouton_->RelacherOption();
    gestionBouton_->RelacherPause();
    gestionBouton_->RelacherArret();
    gestionBouton_->RelacherParcourir();
    gestionBouton_->RelacherScan();
    gestionMenu_->Redessiner();
}

// Dragging the background moves the window: through the window system when
// it allows it, by hand otherwise. A hand drag lives from its own press to
// the next release: the window takes the mouse meanwhile, so that the
// release reaches it wherever the pointer is.
void TFormPrincipal::ImgFondMouseDown(const QPoint& positionEcran)
{
    TerminerDeplacement();
    QWindow* fenetre = windowHandle();
    if (fenetre && fenetre->startSystemMove())
        return;
    deplacementManuel_ = true;
    // Where the press was, not where the pointer is now: the pointer may
    // have moved on by the time the press is handled.
    origineDeplacement_ = positionEcran - pos();
    grabMouse();
}

void TFormPrincipal::TerminerDeplacement()
{
    if (!deplacementManuel_)
        return;
    deplacementManuel_ = false;
    if (QWidget::mouseGrabber() == this)
        releaseMouse();
}

void TFormPrincipal::mousePressEvent(QMouseEvent* event)
{
    event->accept();
}

void TFormPrincipal::mouseMoveEvent(QMouseEvent* event)
{
    if (deplacementManuel_ && (event->buttons() & Qt::LeftButton))
        move(event->globalPosition().toPoint() - origineDeplacement_);
    event->accept();
}

void TFormPrincipal::mouseReleaseEvent(QMouseEvent* event)
{
    TerminerDeplacement();
    event->accept();
}

// The window manager's close (Alt+F4, the taskbar) ends the program as the
// close picture does.
void TFormPrincipal::closeEvent(QCloseEvent* event)
{
    if (gestionBarreSystem_)
        gestionBarreSystem_->Fermer();
    event->accept();
}

void TFormPrincipal::TreeViewExpanding(ArbreCategorie* arbre, Noeud* noeud)
{
    arbre->ChangerImage(noeud, 1);
    if (noeud && noeud->AttenteVirtuelle())
        previsualisation_->LancerRemplissage(arbre->Cle().Cat, arbre->Cle().Ord, noeud);
}

void TFormPrincipal::TreeViewCollapsing(ArbreCategorie* arbre, Noeud* noeud)
{
    arbre->ChangerImage(noeud, 0);
}

// A file leaf is previewed; so is the "..." row, which stands first in its group.
void TFormPrincipal::TreeViewChange(ArbreCategorie* arbre, Noeud* noeud, Noeud* parentAttente)
{
    if (noeud && !noeud->AEnfants() && noeud->Parent)
        previsualisation_->Afficher(arbre->Cle().Cat, arbre->Cle().Ord, noeud);
    else if (!noeud && parentAttente)
        previsualisation_->Afficher(Groupe{arbre->Cle(), parentAttente->Groupe}, 0);
}

void TFormPrincipal::EditHomeRepertoireScanEnter()
{
    if (EditHomeRepertoireScan->text() == GestionBouton::TexteInvitation)
        EditHomeRepertoireScan->clear();
}

void TFormPrincipal::EditHomeRepertoireScanExit()
{
    if (EditHomeRepertoireScan->text().isEmpty())
        EditHomeRepertoireScan->setText(GestionBouton::TexteInvitation);
}

void TFormPrincipal::EditHomeRepertoireScanKeyPress(QChar touche)
{
    if (touche == QChar(13))
        ImgHomeScanClick();
}

void TFormPrincipal::ImgHomeScanClick()
{
    gestionBouton_->LancerScan();
}

void TFormPrincipal::ComboBoxChoixTrieChange(int index)
{
    gestionTreeView_->Deselectionner();
    const Categorie categorie = gestionMenu_->CategorieCourante();
    if (CategorieValide(categorie))
        gestionTreeView_->ChangerOrdre(categorie, static_cast<Ordre>(index + 1));
}

// Every 10 ms: one frame of the sound drawing, the sound's time, and the
// position bars following the sound and the video.
void TFormPrincipal::TimerSonTimer()
{
    if (son_) {
        son_->Dessiner();
        LabelSonDurreeCourant->DefinirTexte(son_->TempsCourant());
        const int p = son_->Pourcentage();
        if (p != -1 && TrackBarSon->value() != p)
            TrackBarSon->setValue(p);
    }
    if (video_) {
        const int q = video_->Pourcentage();
        if (q != -1 && TrackBarVideo->value() != q)
            TrackBarVideo->setValue(q);
    }
}

// Raised by the user and by the timer: only a position the sound is not at
// (the user's) seeks.
void TFormPrincipal::TrackBarSonChange()
{
    if (!son_)
        return;
    int p = son_->Pourcentage();
    if (p == -1)
        p = TrackBarSon->value();
    if (p != TrackBarSon->value())
        son_->Positionner(TrackBarSon->value());
}

// Every 500 ms: the video's times; seeking waits for its total. A video
// that has stopped on its own leaves the screen here.
void TFormPrincipal::TimerVideoTimer()
{
    if (!video_)
        return;
    LabelVideoDurreeCourant->DefinirTexte(video_->TempsCourant());
    LabelVideoDurreeTotale->DefinirTexte(video_->DureeTotale());
    DureeVideoConnue = LabelVideoDurreeTotale->text() != QStringLiteral("00:00:00");
    gestionMenu_->RafraichirVideo();
}

void TFormPrincipal::TrackBarVideoChange()
{
    if (!video_)
        return;
    int p = video_->Pourcentage();
    if (p == -1)
        p = TrackBarVideo->value();
    if (p != TrackBarVideo->value() && DureeVideoConnue)
        video_->Positionner(TrackBarVideo->value());
}
