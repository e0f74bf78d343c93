#pragma once

// The Video panel over the video player: a selection readies the play
// button and stops the video playing; play starts the new one.

#include "preview/PanneauLecteur.h"

class Video;

class PanneauVideo : public PanneauLecteur
{
public:
    static const QString PrefixeVideo;   // "Video "

    using PanneauLecteur::Lier;
    void Lier(Video* video) { video_ = video; }

    void Afficher(const FichierApercu& fichier) override;

protected:
    void Jouer() override;
    void MettreEnPause() override;
    void Arreter() override;

private:
    Video* video_ = nullptr;
};
