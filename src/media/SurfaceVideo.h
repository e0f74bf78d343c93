#pragma once

// The place a video shows in, as the player sees it: the widget floor
// implements it (on a real display by drawing mpv's frames with OpenGL),
// so that the player itself needs no widget.

#include <functional>

struct mpv_handle;
class BibliothequeMpv;
class Video;

class SurfaceVideo
{
public:
    SurfaceVideo() = default;
    SurfaceVideo(const SurfaceVideo&) = delete;
    SurfaceVideo& operator=(const SurfaceVideo&) = delete;
    // Tells the player it was given to that the surface is gone.
    virtual ~SurfaceVideo();

    // True when the surface draws the player's frames itself through mpv's
    // render API (vo=libmpv); false when the player shows nothing (vo=null).
    virtual bool RenduIntegre() const = 0;
    // A new player, created but with nothing loaded yet. The surface calls
    // pret on the user-interface thread once it can show the player's frames:
    // at once, or when its drawing context comes up. It calls it even when
    // that context fails (the sound then plays without a picture).
    virtual void Attacher(mpv_handle* lecteur, const BibliothequeMpv& mpv, std::function<void()> pret) = 0;
    // The player is about to be destroyed: everything tied to it is released
    // now, and a pending pret is dropped.
    virtual void Detacher() = 0;
    virtual void Montrer(bool montrer) = 0;

private:
    friend class Video;
    Video* video_ = nullptr;
};
