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
    // Made with its window, so that the window is built for OpenGL from its
    // first showing instead of being rebuilt at the first video.
    if (OpenGLPossible()) {
        rendu_ = new RenduVideo(this);
        rendu_->setGeometry(rect());
        rendu_->setAttribute(Qt::WA_TransparentForMouseEvents);
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
