#include "ui/GestionProgressBar.h"

#include "widgets/Fabrique.h"
#include "widgets/ImageComposant.h"

#include <QTimer>

GestionProgressBar::GestionProgressBar(QWidget* fenetre)
{
    ImgProgressBarFond =
        Fabrique::Image(fenetre, "ImgProgressBarFond", QRect(254, 430, 190, 11), "ImgProgressBarFond.jpg");
    ImgProgressBar = Fabrique::Image(fenetre, "ImgProgressBar", QRect(300, 431, 29, 9), "ImgProgressBar.jpg");
    ImgProgressBarDevant =
        Fabrique::Image(fenetre, "ImgProgressBarDevant", QRect(224, 429, 249, 14), "ImgProgressBarDevant.bmp");
    ImgProgressBarDevant->DefinirTransparent(true);
    for (auto* image : {ImgProgressBarFond, ImgProgressBar, ImgProgressBarDevant})
        image->hide();

    TimerProgressBar = new QTimer(fenetre);
    TimerProgressBar->setObjectName("TimerProgressBar");
    TimerProgressBar->setInterval(20);
    connect(TimerProgressBar, &QTimer::timeout, this, &GestionProgressBar::Avancer);
}

void GestionProgressBar::Demarrer()
{
    ImgProgressBar->move(DepartX, ImgProgressBar->y());
    for (auto* image : {ImgProgressBar, ImgProgressBarDevant, ImgProgressBarFond})
        image->show();
    TimerProgressBar->start();
    EnCours = true;
}

void GestionProgressBar::Arreter()
{
    TimerProgressBar->stop();
    for (auto* image : {ImgProgressBar, ImgProgressBarDevant, ImgProgressBarFond})
        image->hide();
    EnCours = false;
}

void GestionProgressBar::Avancer()
{
    int x = ImgProgressBar->x() + Pas;
    if (x > LimiteX)
        x = DepartX;
    ImgProgressBar->move(x, ImgProgressBar->y());
}

void GestionProgressBar::Basculer()
{
    if (TimerProgressBar->isActive())
        TimerProgressBar->stop();
    else
        TimerProgressBar->start();
    EnCours = TimerProgressBar->isActive();
}
