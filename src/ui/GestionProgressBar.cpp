#include "ui/GestionProgressBar.h"

#include "widgets/ImageComposant.h"
#include "ui/TFormPrincipal.h"

#include <QTimer>

void GestionProgressBar::Demarrer()
{
    FormPrincipal->ImgProgressBar->move(DepartX, FormPrincipal->ImgProgressBar->y());
    FormPrincipal->ImgProgressBar->show();
    FormPrincipal->ImgProgressBarDevant->show();
    FormPrincipal->ImgProgressBarFond->show();
    FormPrincipal->TimerProgressBar->start();
    EnCours = true;
}

void GestionProgressBar::Arreter()
{
    FormPrincipal->TimerProgressBar->stop();
    FormPrincipal->ImgProgressBar->hide();
    FormPrincipal->ImgProgressBarDevant->hide();
    FormPrincipal->ImgProgressBarFond->hide();
    EnCours = false;
}

void GestionProgressBar::Avancer()
{
    ImageComposant* bloc = FormPrincipal->ImgProgressBar;
    int x = bloc->x() + Pas;
    if (x > LimiteX)
        x = DepartX;
    bloc->move(x, bloc->y());
}

void GestionProgressBar::Basculer()
{
    QTimer* minuterie = FormPrincipal->TimerProgressBar;
    if (minuterie->isActive())
        minuterie->stop();
    else
        minuterie->start();
    EnCours = minuterie->isActive();
}
