#pragma once

// The painted minimise and close buttons of the title bar, with their three
// looks, minimising to the tray and the program's orderly close.

#include <cstdint>

class GestionBouton;
class Option;
class Previsualisation;

class GestionBarreSystem
{
public:
    enum Etat : uint8_t {
        Aucun = 0,
        ReduireBase = 1, ReduireClic = 2, ReduireSurvole = 3,
        FermerBase = 4, FermerClic = 5, FermerSurvole = 6
    };

    void Lier(GestionBouton* bouton) { bouton_ = bouton; }
    void Lier(Previsualisation* previsualisation) { previsualisation_ = previsualisation; }
    void Lier(Option* option) { option_ = option; }

    void ReduireNormal();
    void ReduireClique();
    void ReduireSurvol();
    void FermerNormal();
    void FermerClique();
    void FermerSurvol();
    void Reduire();
    // Ends the program in order: fill jobs and scan stopped, settings saved
    // (a failed save reported), the application asked to quit. Only the
    // first call does anything.
    void Fermer();
    // Saves the settings, reporting a refused write in a message box.
    void SauverReglages();
    // Brings the window back from the tray (double click on the tray icon).
    void Restaurer();

    uint8_t EtatReduire = Aucun;
    uint8_t EtatFermer = Aucun;

private:
    void ChangerReduire(uint8_t etat);
    void ChangerFermer(uint8_t etat);

    GestionBouton* bouton_ = nullptr;
    Previsualisation* previsualisation_ = nullptr;
    Option* option_ = nullptr;
    bool ferme_ = false;
};
