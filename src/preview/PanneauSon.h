#pragma once

// The Son panel over the sound player: a selected sound is loaded without
// playing, its total time shown; while the zone shows, the live drawing of
// what plays (waveform, spectrum or none, changed by a right click), the
// current time and the position bar follow the sound every 10 ms. The
// sound loads off the window's thread: its total time, or why it does not
// play, shows when it has loaded; once it has played out, the button shows
// play again.

#include "preview/PanneauLecteur.h"
#include "shared/Dessin.h"

#include <array>

class EcranSon;
class QTimer;
class Son;

class PanneauSon : public PanneauLecteur
{
    Q_OBJECT
public:
    static const QString PrefixeSon; // "Son "
    // Where the drawing shows: the left 160 columns of the picture.
    static constexpr int DessinX = 413;
    static constexpr int DessinY = 123;

    PanneauSon(QWidget* fenetre, const TFormImage& skin, Son& son);

    // Loads the file without playing it, whether or not it exists.
    void Afficher(const FichierApercu& fichier) override;
    void Montrer(bool montrer) override;

    // The drawing to show, as the settings hold it.
    void DefinirDessin(Dessin dessin);
    // The next drawing (the right click on the sound picture).
    void ChangerAnimation();
    // Whether the drawing runs (the Son zone shows).
    bool DessinActif() const { return dessinActif_; }
    // The two pictures the drawing shows in (with and without a drawing):
    // a double click on either opens the file.
    std::array<ImageComposant*, 2> Apercus() const { return {ImageSon, ImageSonAucuneAnim}; }

signals:
    // The user chose another drawing: the settings keep it.
    void DessinChange(Dessin dessin);

protected:
    void Jouer() override;
    void MettreEnPause() override;
    void Arreter() override;

private:
    // Every 10 ms: one frame of the drawing, the time and the bar.
    void Suivre();
    void Dessiner();
    // The loaded sound's total time, or why it does not play.
    void SonCharge();
    // Raised by the user and by the timer: only a position the sound is not
    // at (the user's) seeks.
    void BarreDeplacee();

    Son& son_;
    ImageComposant* ImageSonAucuneAnim;
    ImageComposant* ImageSon;
    EcranSon* EcranDessin;
    QTimer* TimerSon;
    bool dessinActif_ = false;
};
