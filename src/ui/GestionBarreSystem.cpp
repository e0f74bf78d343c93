#include "ui/GestionBarreSystem.h"

#include "shared/Option.h"
#include "preview/Previsualisation.h"
#include "ui/GestionBouton.h"
#include "widgets/ImageComposant.h"
#include "widgets/TFormImage.h"
#include "ui/TFormPrincipal.h"

#include <QApplication>
#include <QMessageBox>
#include <QSystemTrayIcon>

void GestionBarreSystem::ChangerReduire(uint8_t etat)
{
    if (EtatReduire == etat)
        return;
    const QPixmap* images[] = {&FormImage->ImgReduireBase, &FormImage->ImgReduireCilck, &FormImage->ImgReduireMove};
    FormPrincipal->ImgReduire->DefinirImage(*images[etat - ReduireBase]);
    EtatReduire = etat;
}

void GestionBarreSystem::ChangerFermer(uint8_t etat)
{
    if (EtatFermer == etat)
        return;
    const QPixmap* images[] = {&FormImage->ImgCloseBase, &FormImage->ImgCloseClick, &FormImage->ImgCloseMove};
    FormPrincipal->ImgClose->DefinirImage(*images[etat - FermerBase]);
    EtatFermer = etat;
}

void GestionBarreSystem::ReduireNormal() { ChangerReduire(ReduireBase); }
void GestionBarreSystem::ReduireClique() { ChangerReduire(ReduireClic); }
void GestionBarreSystem::ReduireSurvol() { ChangerReduire(ReduireSurvole); }
void GestionBarreSystem::FermerNormal() { ChangerFermer(FermerBase); }
void GestionBarreSystem::FermerClique() { ChangerFermer(FermerClic); }
void GestionBarreSystem::FermerSurvol() { ChangerFermer(FermerSurvole); }

// Minimises to the tray; where the desktop has no tray, minimises normally so
// that the window can never be lost.
void GestionBarreSystem::Reduire()
{
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        FormPrincipal->TrayIcon->show();
        FormPrincipal->hide();
    } else {
        FormPrincipal->showMinimized();
    }
    ReduireNormal();
}

void GestionBarreSystem::Restaurer()
{
    FormPrincipal->showNormal();
    FormPrincipal->raise();
    FormPrincipal->activateWindow();
}

void GestionBarreSystem::Fermer()
{
    // The close picture, the window manager's close and the end of the
    // session all come here; the first one does the work.
    if (ferme_)
        return;
    ferme_ = true;
    if (previsualisation_)
        previsualisation_->SuspendreRemplissages();
    if (bouton_)
        bouton_->ArreterScan(GestionBouton::Arret::Fermeture);
    SauverReglages();
    QApplication::quit();
}

void GestionBarreSystem::SauverReglages()
{
    if (!option_)
        return;
    // Reported, and the program still ends: the user must never be kept in
    // by a settings folder that takes no file.
    if (const Resultat<void> sauvegarde = option_->Sauver(); !sauvegarde)
        QMessageBox::critical(FormPrincipal, "Ruvizaro", QString::fromStdString(sauvegarde.Echec().Message));
}
