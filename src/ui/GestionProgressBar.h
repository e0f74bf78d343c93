#pragma once

// The image-based progress bar at the bottom of the window: a block that
// slides while a scan runs (activity, not a fraction done).

class GestionProgressBar
{
public:
    static constexpr int DepartX = 225;
    static constexpr int LimiteX = 444;
    static constexpr int Pas = 5;

    void Demarrer();
    void Arreter();
    void Avancer();
    void Basculer();

    // True while a scan runs and is not paused.
    bool EnCours = false;
};
