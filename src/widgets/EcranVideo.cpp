#include "widgets/EcranVideo.h"

#include "widgets/RenduVideo.h"

#include <QGuiApplication>
#include <QPalette>

EcranVideo::EcranVideo(QWidget* parent, const QRect& place) : QWidget(parent)
{
    setGeometry(place);
    QPalette noir = palette();
    noir.setColor(QPalette::Window, Qt::black);
    setPalette(noir);
    setAutoFillBackground(true);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    // The frames are drawn in a native child window of their own, the only
    // one drawn with OpenGL: an OpenGL widget would make Qt compose the whole
    // main window with OpenGL at each of its repaints.
    if (OpenGLPossible()) {
        rendu_ = new RenduVideo;
        QWidget* conteneur = QWidget::createWindowContainer(rendu_, this);
        conteneur->setGeometry(rect());
        conteneur->setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    hide();
}

EcranVideo::~EcranVideo()
{
    // The render context goes with its GL context, while the player is alive.
    Detacher();
}

bool EcranVideo::OpenGLPossible()
{
    const QString plateforme = QGuiApplication::platformName();
    return plateforme != QLatin1String("offscreen") && plateforme != QLatin1String("minimal");
}

void EcranVideo::Attacher(mpv_handle* lecteur, const BibliothequeMpv& mpv, std::function<void()> pret)
{
    if (rendu_)
        rendu_->Attacher(lecteur, mpv, std::move(pret));
    else
        pret();
}

void EcranVideo::Detacher()
{
    if (rendu_)
        rendu_->Detacher();
}

void EcranVideo::Montrer(bool montrer)
{
    if (montrer)
        raise();
    setVisible(montrer);
}
