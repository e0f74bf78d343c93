#include "ui/GestionBarreSystem.h"

#include "shared/Option.h"
#include "ui/TFormPrincipal.h"
#include "ui/TFormPropos.h"
#include "widgets/Fabrique.h"
#include "widgets/ImageComposant.h"
#include "widgets/TFormImage.h"

#include <QApplication>
#include <QMessageBox>
#include <QSystemTrayIcon>

namespace {

// The program's icon at every size it has a drawing for: the installed
// icon theme's sized pictures (hicolor's ruvizaro, 16 to 256 pixels) when
// there are, and the skin's 64 and 128 pixel ones. Qt picks the nearest
// size for the window, the task bar and the tray.
QIcon IconeProgramme()
{
    QIcon icone;
    const QIcon theme = QIcon::fromTheme("ruvizaro");
    for (const QSize& taille : theme.availableSizes())
        icone.addPixmap(theme.pixmap(taille, 1.0));
    for (qreal ratio : {1.0, 2.0}) {
        // Taken by their pixel size.
        QPixmap image = TFormImage::Charger("Ruvizaro.png", ratio);
        image.setDevicePixelRatio(1.0);
        icone.addPixmap(image);
    }
    return icone;
}

} // namespace

GestionBarreSystem::GestionBarreSystem(TFormPrincipal& fenetre, const TFormImage& skin, Option& option)
    : fenetre_(fenetre), skin_(skin), option_(option)
{
    QWidget* f = &fenetre;
    ImgClose = Fabrique::Bouton(f, "ImgClose", QRect(565, 6, 15, 15));
    ImgClose->DefinirHint("Fermer", false);
    ImgReduire = Fabrique::Bouton(f, "ImgReduire", QRect(550, 6, 15, 15));
    ImgReduire->DefinirHint("Réduire", false);
    ImgTitre = Fabrique::Image(f, "ImgTitre", QRect(126, 30, 444, 61), "ImgTitre.jpg");
    ImagePropos = Fabrique::Bouton(f, "ImagePropos", QRect(120, 24, 73, 73));
    fenetre.AjouterFond(ImgTitre);

    TrayIcon = new QSystemTrayIcon(IconeProgramme(), f);
    TrayIcon->setObjectName("TrayIcon");
    TrayIcon->setToolTip("Ruvizaro");
    fenetre.setWindowIcon(TrayIcon->icon());
    propos_ = std::make_unique<TFormPropos>(f);

    connect(ImgClose, &ImageComposant::Clic, this, &GestionBarreSystem::Fermer);
    connect(ImgReduire, &ImageComposant::Clic, this, &GestionBarreSystem::Reduire);
    connect(ImgClose, &ImageComposant::SourisBouge, this, [this] {
        FermerSurvol();
        ReduireNormal();
    });
    connect(ImgReduire, &ImageComposant::SourisBouge, this, [this] {
        ReduireSurvol();
        FermerNormal();
    });
    // A pointer leaving fast (out of the window to the right) crosses no background.
    connect(ImgClose, &ImageComposant::SourisSortie, this, &GestionBarreSystem::FermerNormal);
    connect(ImgReduire, &ImageComposant::SourisSortie, this, &GestionBarreSystem::ReduireNormal);
    connect(ImgClose, &ImageComposant::SourisEnfoncee, this, &GestionBarreSystem::FermerClique);
    connect(ImgReduire, &ImageComposant::SourisEnfoncee, this, &GestionBarreSystem::ReduireClique);
    connect(TrayIcon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason raison) {
        if (raison == QSystemTrayIcon::DoubleClick)
            Restaurer();
    });
    connect(ImagePropos, &ImageComposant::Clic, this, [this] { propos_->Montrer(&fenetre_); });

    const auto normal = [this] {
        ReduireNormal();
        FermerNormal();
    };
    connect(&fenetre, &TFormPrincipal::PremiereApparition, this, normal);
    connect(&fenetre, &TFormPrincipal::FondSurvole, this, normal);
    connect(&fenetre, &TFormPrincipal::FermetureDemandee, this, &GestionBarreSystem::Fermer);
}

GestionBarreSystem::~GestionBarreSystem() = default;

void GestionBarreSystem::ChangerReduire(uint8_t etat)
{
    if (EtatReduire == etat)
        return;
    const QPixmap* images[] = {&skin_.ImgReduireBase, &skin_.ImgReduireCilck, &skin_.ImgReduireMove};
    ImgReduire->DefinirImage(*images[etat - ReduireBase]);
    EtatReduire = etat;
}

void GestionBarreSystem::ChangerFermer(uint8_t etat)
{
    if (EtatFermer == etat)
        return;
    const QPixmap* images[] = {&skin_.ImgCloseBase, &skin_.ImgCloseClick, &skin_.ImgCloseMove};
    ImgClose->DefinirImage(*images[etat - FermerBase]);
    EtatFermer = etat;
}

void GestionBarreSystem::ReduireNormal()
{
    ChangerReduire(ReduireBase);
}
void GestionBarreSystem::ReduireClique()
{
    ChangerReduire(ReduireClic);
}
void GestionBarreSystem::ReduireSurvol()
{
    ChangerReduire(ReduireSurvole);
}
void GestionBarreSystem::FermerNormal()
{
    ChangerFermer(FermerBase);
}
void GestionBarreSystem::FermerClique()
{
    ChangerFermer(FermerClic);
}
void GestionBarreSystem::FermerSurvol()
{
    ChangerFermer(FermerSurvole);
}

// Minimises to the tray; where the desktop has no tray, minimises normally so
// that the window can never be lost.
void GestionBarreSystem::Reduire()
{
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        TrayIcon->show();
        fenetre_.hide();
    } else {
        fenetre_.showMinimized();
    }
    ReduireNormal();
}

void GestionBarreSystem::Restaurer()
{
    fenetre_.showNormal();
    fenetre_.raise();
    fenetre_.activateWindow();
}

void GestionBarreSystem::MontrerIcone()
{
    TrayIcon->show();
}

void GestionBarreSystem::Fermer()
{
    // The close picture, the window manager's close and the end of the
    // session all come here; the first one does the work.
    if (ferme_)
        return;
    ferme_ = true;
    emit Fermeture();
    SauverReglages();
    QApplication::quit();
}

void GestionBarreSystem::SauverReglages()
{
    // Written by the saving thread; the close waits for it, within a limit
    // (another program may hold the settings folder's lock). Reported, and
    // the program still ends: the user must never be kept in by a settings
    // folder that takes no file.
    option_.Confier();
    if (const Resultat<void> sauvegarde = option_.AttendreEnregistrement(option_.AttenteFermeture); !sauvegarde)
        QMessageBox::critical(&fenetre_, "Ruvizaro",
                              QString::fromStdString(sauvegarde.Echec().Message + "\n" +
                                                     Option::LigneEnregistrement(sauvegarde.Echec())));
}
