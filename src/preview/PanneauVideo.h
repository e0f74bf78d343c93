#pragma once

// The Video panel over the video player: a selection readies the play
// button and stops the video playing; play starts the new one inside the
// panel's screen. The times follow the video every 500 ms, the position bar
// every 10 ms; a video that stopped on its own leaves the screen. At stop
// and at the end the bar goes back to 0 and the button shows play; a video
// that cannot play says why.

#include "preview/PanneauLecteur.h"

class EcranVideo;
class QTimer;
class Video;

class PanneauVideo : public PanneauLecteur
{
    Q_OBJECT
public:
    static const QString PrefixeVideo; // "Video "

    // Gives the player its screen, and shows the player's error message
    // when it cannot be loaded or created.
    PanneauVideo(QWidget* fenetre, const TFormImage& skin, Video& video);

    void Afficher(const FichierApercu& fichier) override;
    void Montrer(bool montrer) override;

    // Whether the video's total time is known: seeking waits for it.
    bool DureeVideoConnue() const { return dureeConnue_; }
    // The picture a double click on opens the file.
    ImageComposant* Apercu() const { return ImageVideo; }

protected:
    void Jouer() override;
    void MettreEnPause() override;
    void Arreter() override;

private:
    void SuivreTemps();
    // Raised by the user and by the timer: only a position the video is not
    // at (the user's) seeks, once its length is known.
    void BarreDeplacee();
    void MessageErreur();
    // Every 10 ms: the bar follows the video, back to 0 once it has ended.
    void SuivrePositionVideo();

    Video& video_;
    ImageComposant* ImageVideo;
    EcranVideo* FenetreVideo; // where the video plays, over ImageVideo
    QTimer* TimerVideo;
    QTimer* TimerPosition;
    bool dureeConnue_ = false;
};
