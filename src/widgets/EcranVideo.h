#pragma once

// The 160 × 160 place the video plays in, over the preview frame. On a real
// display it draws the player's frames with OpenGL (vo=libmpv) in a native
// child window it holds, so that the rest of the main window stays drawn
// without OpenGL; under the offscreen platform, which has no OpenGL
// windows, it is a plain black widget and the player shows nothing
// (vo=null). Created hidden; it lets the mouse through to the picture
// underneath.

#include "media/SurfaceVideo.h"

#include <QRect>
#include <QWidget>

class RenduVideo;

class EcranVideo : public QWidget, public SurfaceVideo
{
    Q_OBJECT
public:
    static constexpr QRect Place{413, 105, 160, 160};

    explicit EcranVideo(QWidget* parent, const QRect& place = Place);
    ~EcranVideo() override;

    bool RenduIntegre() const override { return rendu_ != nullptr; }
    void Attacher(mpv_handle* lecteur, const BibliothequeMpv& mpv, std::function<void()> pret) override;
    void Detacher() override;
    // Shown above its siblings, as the host's child window was above the
    // painted components.
    void Montrer(bool montrer) override;

    // The OpenGL window the frames are drawn in, or null for the plain widget.
    RenduVideo* Rendu() const { return rendu_; }
    // Whether a platform can hold an OpenGL window.
    static bool OpenGLPossible();

private:
    RenduVideo* rendu_ = nullptr;
};
