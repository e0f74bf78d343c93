#include "ui/TFormPrincipal.h"

#include "widgets/Fabrique.h"
#include "widgets/ImageComposant.h"

#include <QCloseEvent>
#include <QMouseEvent>
#include <QScreen>
#include <QWindow>

TFormPrincipal::TFormPrincipal() : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint)
{
    setObjectName("FormPrincipal");
    setWindowTitle(" Ruvizaro");
    setFixedSize(Largeur, Hauteur);
    setMouseTracking(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Fabrique::Fond);
    setPalette(p);
    setAutoFillBackground(true);
    QFont police(Fabrique::Arial);
    police.setPixelSize(11);
    setFont(police);

    ImgFond = Fabrique::Image(this, "ImgFond", QRect(111, 0, 475, 451), "ImgFond.jpg");
    AjouterFond(ImgFond);
}

TFormPrincipal::~TFormPrincipal()
{
    // The focus leaves now, while the components are whole: a child losing
    // it during the window's destruction would announce it half-destroyed.
    if (QWidget* focus = focusWidget())
        focus->clearFocus();
}

void TFormPrincipal::AjouterFond(ImageComposant* fond)
{
    connect(fond, &ImageComposant::SourisBouge, this, &TFormPrincipal::FondSurvole);
    connect(fond, &ImageComposant::SourisEnfoncee, this, [this](Qt::MouseButton bouton, QPoint position) {
        if (bouton == Qt::LeftButton)
            CommencerDeplacement(position);
    });
}

void TFormPrincipal::Centrer()
{
    if (const QScreen* ecran = screen()) {
        const QRect zone = ecran->availableGeometry();
        move(zone.x() + (zone.width() - width()) / 2, zone.y() + (zone.height() - height()) / 2);
    }
}

void TFormPrincipal::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (event->spontaneous() || dejaMontree_)
        return;
    dejaMontree_ = true;
    emit PremiereApparition();
}

// Dragging the background moves the window: through the window system when
// it allows it, by hand otherwise. A hand drag lives from its own press to
// the next release: the window takes the mouse meanwhile, so that the
// release reaches it wherever the pointer is.
void TFormPrincipal::CommencerDeplacement(const QPoint& positionEcran)
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

// The window manager's close ends the program as the close picture does.
void TFormPrincipal::closeEvent(QCloseEvent* event)
{
    emit FermetureDemandee();
    event->accept();
}
