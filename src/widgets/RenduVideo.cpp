#include "widgets/RenduVideo.h"

#include "media/BibliothequeMpv.h"

#include <QMetaObject>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QSurfaceFormat>

#include <mpv/render_gl.h>

#include <utility>

RenduVideo::RenduVideo() : QOpenGLWindow(QOpenGLWindow::NoPartialUpdate)
{
    // Swapping the buffers must not wait for the screen's refresh: it is done
    // on the user-interface thread, which the sound drawing also needs.
    QSurfaceFormat format = requestedFormat();
    format.setSwapInterval(0);
    setFormat(format);
    // The mouse goes through to the window underneath (the preview picture).
    setFlag(Qt::WindowTransparentForInput);
}

RenduVideo::~RenduVideo()
{
    Detacher();
    // The base class destroys the GL context after this object has become a
    // plain QOpenGLWindow: its signal must no longer reach this class.
    if (context())
        disconnect(context(), nullptr, this, nullptr);
}

void RenduVideo::Attacher(mpv_handle* lecteur, const BibliothequeMpv& mpv, std::function<void()> pret)
{
    Detacher();
    lecteur_ = lecteur;
    mpv_ = &mpv;
    pret_ = std::move(pret);
    if (isValid()) {
        makeCurrent();
        CreerRendu();
        doneCurrent();
    }
}

void RenduVideo::Detacher()
{
    if (rendu_) {
        makeCurrent();
        LibererRendu();
        doneCurrent();
    }
    lecteur_ = nullptr;
    mpv_ = nullptr;
    pret_ = nullptr;
}

void RenduVideo::initializeGL()
{
    // The GL context can be replaced (the window moved to another screen, or
    // rebuilt): the render context follows it.
    connect(context(), &QOpenGLContext::aboutToBeDestroyed, this, &RenduVideo::ContexteDetruit, Qt::UniqueConnection);
    if (lecteur_ && !rendu_)
        CreerRendu();
}

void RenduVideo::ContexteDetruit()
{
    makeCurrent();
    LibererRendu();
    doneCurrent();
}

void RenduVideo::CreerRendu()
{
    mpv_opengl_init_params gl{&RenduVideo::Adresse, nullptr};
    char api[] = MPV_RENDER_API_TYPE_OPENGL;
    mpv_render_param parametres[] = {{MPV_RENDER_PARAM_API_TYPE, api},
                                     {MPV_RENDER_PARAM_OPENGL_INIT_PARAMS, &gl},
                                     {MPV_RENDER_PARAM_INVALID, nullptr}};
    if (mpv_->render_context_create(&rendu_, lecteur_, parametres) < 0)
        rendu_ = nullptr;
    else
        mpv_->render_context_set_update_callback(rendu_, &RenduVideo::NouvelleImage, this);
    // Without a render context the player still plays, its sound alone.
    if (auto pret = std::exchange(pret_, nullptr))
        pret();
}

void RenduVideo::LibererRendu()
{
    if (!rendu_)
        return;
    mpv_->render_context_set_update_callback(rendu_, nullptr, nullptr);
    mpv_->render_context_free(rendu_);
    rendu_ = nullptr;
}

void RenduVideo::paintGL()
{
    if (!rendu_) {
        QOpenGLFunctions* gl = context()->functions();
        gl->glClearColor(0, 0, 0, 1);
        gl->glClear(GL_COLOR_BUFFER_BIT);
        return;
    }
    const qreal echelle = devicePixelRatio();
    mpv_opengl_fbo fbo{int(defaultFramebufferObject()), int(width() * echelle), int(height() * echelle), 0};
    // The window's framebuffer is shown with its rows bottom-up.
    int retourner = 1;
    mpv_render_param parametres[] = {{MPV_RENDER_PARAM_OPENGL_FBO, &fbo},
                                     {MPV_RENDER_PARAM_FLIP_Y, &retourner},
                                     {MPV_RENDER_PARAM_INVALID, nullptr}};
    mpv_->render_context_render(rendu_, parametres);
}

void* RenduVideo::Adresse(void*, const char* nom)
{
    QOpenGLContext* contexte = QOpenGLContext::currentContext();
    return contexte ? reinterpret_cast<void*>(contexte->getProcAddress(nom)) : nullptr;
}

void RenduVideo::NouvelleImage(void* moi)
{
    // Called on one of mpv's threads: the frame is drawn on the window's own.
    auto* rendu = static_cast<RenduVideo*>(moi);
    QMetaObject::invokeMethod(rendu, qOverload<>(&QPaintDeviceWindow::update), Qt::QueuedConnection);
}
