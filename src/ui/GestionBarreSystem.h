#pragma once

// The title bar: the title picture, the about picture and its box, the
// painted minimise and close buttons with their three looks, the tray icon,
// minimising to the tray and the program's orderly close.

#include <QObject>

#include <cstdint>
#include <memory>

class ImageComposant;
class Option;
class QSystemTrayIcon;
class TFormImage;
class TFormPrincipal;
class TFormPropos;

class GestionBarreSystem : public QObject
{
    Q_OBJECT
public:
    enum Etat : uint8_t {
        Aucun = 0,
        ReduireBase = 1,
        ReduireClic = 2,
        ReduireSurvole = 3,
        FermerBase = 4,
        FermerClic = 5,
        FermerSurvole = 6
    };

    // Builds the title bar's components in the window.
    GestionBarreSystem(TFormPrincipal& fenetre, const TFormImage& skin, Option& option);
    ~GestionBarreSystem() override;

    void ReduireNormal();
    void ReduireClique();
    void ReduireSurvol();
    void FermerNormal();
    void FermerClique();
    void FermerSurvol();
    void Reduire();
    // Ends the program in order: announces the close (the scan and the fill
    // jobs stop), saves the settings (a failed save reported), and asks the
    // application to quit. Only the first call does anything.
    void Fermer();
    // Saves the settings through their saving thread and waits for the
    // write (Option::AttenteFermeture at most), reporting a refused or
    // unfinished write in a message box.
    void SauverReglages();
    // Brings the window back from the tray (double click on the tray icon).
    void Restaurer();
    // Shows the tray icon: it joins a tray that starts later.
    void MontrerIcone();

    // The title bar's buttons, for the keyboard and screen readers.
    struct Accessibles
    {
        ImageComposant* Fermer;
        ImageComposant* Reduire;
        ImageComposant* Propos;
    };
    Accessibles Acces() const { return {ImgClose, ImgReduire, ImagePropos}; }

    uint8_t EtatReduire = Aucun;
    uint8_t EtatFermer = Aucun;

signals:
    // The program is closing: what runs must stop before the settings are saved.
    void Fermeture();

private:
    void ChangerReduire(uint8_t etat);
    void ChangerFermer(uint8_t etat);

    TFormPrincipal& fenetre_;
    const TFormImage& skin_;
    Option& option_;
    ImageComposant* ImgClose;
    ImageComposant* ImgReduire;
    ImageComposant* ImgTitre;
    ImageComposant* ImagePropos;
    QSystemTrayIcon* TrayIcon;
    std::unique_ptr<TFormPropos> propos_;
    bool ferme_ = false;
};
