#include "ui/TFormPrincipal.h"

#include "widgets/Fabrique.h"
#include "widgets/ImageComposant.h"

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QScreen>
#include <QUrl>
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
    // Drags reach the frame wherever they are over the window; whether a
    // drop is taken is decided per drag.
    setAcceptDrops(true);
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

void TFormPrincipal::AccepterDepots(bool accepter)
{
    depotsAcceptes_ = accepter;
}

std::optional<QByteArray> TFormPrincipal::CheminLocal(const QMimeData* donnees)
{
    if (!donnees || !donnees->hasUrls())
        return std::nullopt;
    const QList<QUrl> urls = donnees->urls();
    if (urls.size() != 1)
        return std::nullopt;
    const QUrl& url = urls.front();
    if (!url.isValid() || url.scheme() != "file" || !(url.host().isEmpty() || url.host() == "localhost"))
        return std::nullopt;
    // The encoded path decodes to the very bytes the file manager put in,
    // where toLocalFile() would turn a name that is not UTF-8 into another.
    QByteArray chemin = QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
    if (!chemin.startsWith('/') || chemin.contains('\0'))
        return std::nullopt;
    while (chemin.size() > 1 && chemin.endsWith('/'))
        chemin.chop(1);
    return chemin;
}

bool TFormPrincipal::AccepterGlisser(QDropEvent* event)
{
    const Qt::DropActions possibles = event->possibleActions();
    const Qt::DropAction action = possibles & Qt::CopyAction   ? Qt::CopyAction
                                  : possibles & Qt::LinkAction ? Qt::LinkAction
                                                               : Qt::IgnoreAction;
    if (!depotsAcceptes_ || action == Qt::IgnoreAction || !CheminLocal(event->mimeData())) {
        event->ignore();
        return false;
    }
    event->setDropAction(action);
    event->accept();
    return true;
}

void TFormPrincipal::dragEnterEvent(QDragEnterEvent* event)
{
    AccepterGlisser(event);
}

void TFormPrincipal::dragMoveEvent(QDragMoveEvent* event)
{
    AccepterGlisser(event);
}

void TFormPrincipal::dropEvent(QDropEvent* event)
{
    if (AccepterGlisser(event))
        emit CheminDepose(*CheminLocal(event->mimeData()));
}

void TFormPrincipal::leaveEvent(QEvent* event)
{
    // A pointer that leaves fast never crosses the background on its way.
    emit FondSurvole();
    QWidget::leaveEvent(event);
}
