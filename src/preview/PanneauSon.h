#pragma once

// The Son panel over the sound player: a selected sound is loaded without
// playing, its total time shown.

#include "preview/PanneauLecteur.h"

class Son;

class PanneauSon : public PanneauLecteur
{
public:
    static const QString PrefixeSon;   // "Son "

    using PanneauLecteur::Lier;
    void Lier(Son* son) { son_ = son; }

    // Loads the file without playing it, whether or not it exists.
    void Afficher(const FichierApercu& fichier) override;

protected:
    void Jouer() override;
    void MettreEnPause() override;
    void Arreter() override;

private:
    Son* son_ = nullptr;
};
