#pragma once

// Draws a player's frames with mpv's render API in an OpenGL window of its
// own. EcranVideo embeds it as a native child window on a real display, so
// that only this window is drawn with OpenGL and the main window stays
// raster-drawn. The render context lives with the window's GL context and
// always goes before the player does. The window lets the mouse through to
// what lies underneath.

#include <QOpenGLWindow>

#include <functional>

struct mpv_handle;
struct mpv_render_context;
class BibliothequeMpv;

class RenduVideo : public QOpenGLWindow
{
    Q_OBJECT
public:
    RenduVideo();
    ~RenduVideo() override;

    // The new player is drawn from now on; pret is called once the render
    // context exists (at once when the GL context is up, else on its start).
    void Attacher(mpv_handle* lecteur, const BibliothequeMpv& mpv, std::function<void()> pret);
    // Frees the render context, the GL context made current for it.
    void Detacher();
    // A render context is in place: frames will be drawn.
    bool Dessine() const { return rendu_ != nullptr; }

protected:
    void initializeGL() override;
    void paintGL() override;

private:
    void CreerRendu();
    void LibererRendu();
    void ContexteDetruit();
    static void* Adresse(void* contexte, const char* nom);
    static void NouvelleImage(void* moi);

    mpv_handle* lecteur_ = nullptr;
    const BibliothequeMpv* mpv_ = nullptr;
    mpv_render_context* rendu_ = nullptr;
    std::function<void()> pret_;
};
