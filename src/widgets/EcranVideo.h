#pragma once

// The 160 × 160 place the video plays in, over the preview frame. On a real
// display it draws the player's frames with OpenGL (vo=libmpv); under the
// offscreen platform, where Qt's OpenGL widget cannot live, it is a plain
// black widget and the player shows nothing (vo=null). Created hidden; it
// lets the mouse through to the picture underneath.

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

    // The OpenGL drawing widget, or null for the plain widget.
    RenduVideo* Rendu() const { return rendu_; }
    // Whether a platform can hold Qt's OpenGL widget.
    static bool OpenGLPossible();

private:
    RenduVideo* rendu_ = nullptr;
};
