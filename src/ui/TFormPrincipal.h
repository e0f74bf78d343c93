#pragma once

// The single visible window: fixed-size, borderless and skinned. It holds no
// logic: every handler forwards to one of the managers it was given.

#include "shared/CleArbre.h"

#include <QWidget>

#include <array>

class ArbreCategorie;
class Cadre;
class EcranSon;
class EcranVideo;
class Etiquette;
class GestionBarreSystem;
class GestionBouton;
class GestionMenu;
class GestionProgressBar;
class GestionTreeView;
class ImageComposant;
class ListeImages;
struct Noeud;
class Previsualisation;
class QComboBox;
class QSlider;
class QSystemTrayIcon;
class QTimer;
class Son;
class Video;
class ZoneSaisie;

class TFormPrincipal : public QWidget
{
    Q_OBJECT
public:
    static constexpr int Largeur = 586;
    static constexpr int Hauteur = 451;

    explicit TFormPrincipal(QWidget* parent = nullptr);
    ~TFormPrincipal() override;

    void Lier(GestionMenu* m) { gestionMenu_ = m; }
    void Lier(GestionBarreSystem* b) { gestionBarreSystem_ = b; }
    void Lier(GestionProgressBar* p) { gestionProgressBar_ = p; }
    void Lier(GestionBouton* b) { gestionBouton_ = b; }
    void Lier(Previsualisation* p) { previsualisation_ = p; }
    void Lier(GestionTreeView* t) { gestionTreeView_ = t; }
    void Lier(Son* s) { son_ = s; }
    void Lier(Video* v) { video_ = v; }

    // What the window paints under its components: the menu strip and the
    // hover highlight, set by the menu manager.
    void DefinirBandeau(const QPixmap& bandeau);
    void DefinirSurbrillance(const QPixmap& surbrillance, int y);   // null pixmap: none

    // Frame and menu strip
    ImageComposant* ImgFond;
    ImageComposant* ImgClose;
    ImageComposant* ImgReduire;
    ImageComposant* ImgTitre;
    ImageComposant* ZoneHome;
    ImageComposant* ZoneVideo;
    ImageComposant* ZoneSon;
    ImageComposant* ZoneImage;
    ImageComposant* ZoneTexte;
    ImageComposant* ZoneTransfert;
    ImageComposant* ImagePropos;
    QSystemTrayIcon* TrayIcon;
    ListeImages* ImageListExt;

    // Scan strip
    ImageComposant* ImgProgressBarFond;
    ImageComposant* ImgProgressBar;
    ImageComposant* ImgProgressBarDevant;
    Etiquette* LabelPause;
    Etiquette* LabelArret;

    // Home panel
    ImageComposant* ImgHomeParcourir;
    ImageComposant* ImgHomeParcourirBas;
    Etiquette* LabelHomeParcourir;
    Etiquette* LabelHomeOption;
    ZoneSaisie* EditHomeRepertoireScan;
    ImageComposant* ImgHomeScan;
    Etiquette* LabelHomeScan;
    ImageComposant* ImgHomeFichierFond;
    Etiquette* LabelHomeFichierNbVideo;
    Etiquette* LabelHomeFichierNbSon;
    Etiquette* LabelHomeFichierNbImage;
    Etiquette* LabelHomeFichierNbTexte;
    Etiquette* LabelHomeFichierNbTotal;

    // Category area
    ArbreCategorie* TreeViewVideoExt;
    ArbreCategorie* TreeViewVideoAlpha;
    ArbreCategorie* TreeViewVideoRep;
    ArbreCategorie* TreeViewSonExt;
    ArbreCategorie* TreeViewSonAlpha;
    ArbreCategorie* TreeViewSonRep;
    ArbreCategorie* TreeViewImageExt;
    ArbreCategorie* TreeViewImageAlpha;
    ArbreCategorie* TreeViewImageRep;
    ArbreCategorie* TreeViewTexteExt;
    ArbreCategorie* TreeViewTexteAlpha;
    ArbreCategorie* TreeViewTexteRep;
    Cadre* Bevel;
    QComboBox* ComboBoxChoixTrie;
    Etiquette* LabelEnCourAffichage;
    Cadre* BevelPrevisu;

    // Video panel
    ImageComposant* ImageVideo;
    EcranVideo* FenetreVideo;   // where the video plays, over ImageVideo
    Etiquette* LabelVideoNom;
    Etiquette* LabelVideoExtension;
    Etiquette* LabelVideoTaille;
    Etiquette* LabelVideoDurreeCourant;
    Etiquette* LabelVideoDurreeTotale;
    ImageComposant* ImageVideoPlayPause;
    ImageComposant* ImageVideoStop;
    QSlider* TrackBarVideo;

    // Son panel
    ImageComposant* ImageSon;
    ImageComposant* ImageSonAucuneAnim;
    EcranSon* EcranDessin;   // where the sound player's drawing shows, over ImageSon
    Etiquette* LabelSonNom;
    Etiquette* LabelSonExtension;
    Etiquette* LabelSonTaille;
    Etiquette* LabelSonDurreeCourant;
    Etiquette* LabelSonDurreeTotale;
    ImageComposant* ImageSonPlayPause;
    ImageComposant* ImageSonStop;
    QSlider* TrackBarSon;

    // Image panel
    ImageComposant* ImgImagePrevisu;
    Etiquette* LabelImageNom;
    Etiquette* LabelImageExtension;
    Etiquette* LabelImageDimension;
    Etiquette* LabelImageTaille;

    // Texte panel
    ImageComposant* ImgTextePrevisu;
    Etiquette* LabelTexteNom;
    Etiquette* LabelTexteExtension;
    Etiquette* LabelTexteTaille;

    // Timers
    QTimer* TimerProgressBar;
    QTimer* TimerFichier;
    QTimer* TimerSon;
    QTimer* TimerVideo;

    // The twelve trees, in the order of ToutesLesCles.
    std::array<ArbreCategorie*, NombreArbres> Arbres{};
    ArbreCategorie* Arbre(CleArbre cle) const { return Arbres[cle.Rang()]; }

    bool DureeVideoConnue = false;

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void CreerCadre();
    void CreerBandeScan();
    void CreerHome();
    void CreerCategories();
    void CreerPrevisualisations();
    void CreerMinuteries();
    void Relier();

    // Handlers
    void FormShow();
    void ImgFondMouseMove();
    void ImgFondMouseDown(const QPoint& positionEcran);
    void TerminerDeplacement();
    void TreeViewExpanding(ArbreCategorie* arbre, Noeud* noeud);
    void TreeViewCollapsing(ArbreCategorie* arbre, Noeud* noeud);
    void TreeViewChange(ArbreCategorie* arbre, Noeud* noeud, Noeud* parentAttente);
    void EditHomeRepertoireScanEnter();
    void EditHomeRepertoireScanExit();
    void EditHomeRepertoireScanKeyPress(QChar touche);
    void ImgHomeScanClick();
    void ComboBoxChoixTrieChange(int index);
    void TimerSonTimer();
    void TrackBarSonChange();
    void TimerVideoTimer();
    void TrackBarVideoChange();

    GestionMenu* gestionMenu_ = nullptr;
    GestionBarreSystem* gestionBarreSystem_ = nullptr;
    GestionProgressBar* gestionProgressBar_ = nullptr;
    GestionBouton* gestionBouton_ = nullptr;
    Previsualisation* previsualisation_ = nullptr;
    GestionTreeView* gestionTreeView_ = nullptr;
    Son* son_ = nullptr;
    Video* video_ = nullptr;

    QPixmap bandeau_;
    QPixmap surbrillance_;
    int surbrillanceY_ = 0;
    QPoint origineDeplacement_;
    bool deplacementManuel_ = false;
    bool dejaMontree_ = false;
};

// The three windows, reached by the managers through these globals.
extern TFormPrincipal* FormPrincipal;
