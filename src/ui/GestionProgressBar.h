#pragma once

// The image-based progress bar at the bottom of the window: a block that
// slides while a scan runs (activity, not a fraction done).

#include <QObject>

class ImageComposant;
class QTimer;
class QWidget;

class GestionProgressBar : public QObject
{
    Q_OBJECT
public:
    static constexpr int DepartX = 225;
    static constexpr int LimiteX = 444;
    static constexpr int Pas = 5;

    // Builds the bar's pictures in the window, hidden.
    explicit GestionProgressBar(QWidget* fenetre);

    void Demarrer();
    void Arreter();
    void Avancer();
    void Basculer();

    // True while a scan runs and is not paused.
    bool EnCours = false;

    // The moving picture, which screen readers name.
    ImageComposant* Animation() const { return ImgProgressBar; }

private:
    ImageComposant* ImgProgressBarFond;
    ImageComposant* ImgProgressBar;
    ImageComposant* ImgProgressBarDevant;
    QTimer* TimerProgressBar;
};
