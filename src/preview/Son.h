#pragma once

// The sound player of the Son panel: loads, plays, pauses, stops and seeks
// the previewed sound file, gives the panel its times and percentage, and
// draws the live waveform or spectrum of what is mixed, 100 times a second,
// into a picture that the sound frame's widget shows.

#include "media/MoteurAudio.h"

#include <QImage>
#include <QString>

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class EcranSon;
class ImageComposant;
class Option;
class SourceFfmpeg;
class SourceMidi;

class Son
{
public:
    // The picture: 320 × 123, rows counted from the bottom in the drawing
    // code; the window shows its left 160 columns at (413, 123).
    static constexpr int LargeurPixels = 320;
    static constexpr int HauteurPixels = 123;
    static constexpr int DessinX = 413;
    static constexpr int DessinY = 123;
    static constexpr int DessinLargeur = 160;
    static constexpr QRgb GrisClair = 0xFFF4F4F4;   // background, 244
    static constexpr QRgb GrisMoyen = 0xFF707070;   // waveform, 112
    static constexpr int HauteurBarreMax = HauteurPixels - 1;

    // Drawing modes; the DessinSon setting holds the mode plus one.
    static constexpr std::int8_t Onde = 0;
    static constexpr std::int8_t SpectreBarres = 1;
    static constexpr std::int8_t AucuneAnimation = 2;

    // Opens the sound output (SDL's dummy driver when no device opens).
    Son();
    ~Son();
    Son(const Son&) = delete;
    Son& operator=(const Son&) = delete;

    // Wiring. Each link may stay null: what it serves is then skipped
    // (without the preview's stop, loading silently calls Stop itself).
    void Lier(Option* option) { option_ = option; }
    void LierArretApercu(std::function<void()> sonStop) { arretApercu_ = std::move(sonStop); }
    void LierImages(ImageComposant* imageSon, ImageComposant* imageSonAucuneAnim);

    // Once, after the window exists: the frame's widget and the DessinSon
    // setting (1 waveform, 2 spectrum, 3 none; anything else waveform).
    void Initialiser(EcranSon* ecran, std::int32_t dessinSon);

    void Ouvrir(std::string chemin, bool jouer);
    void Stop();
    void Pause(bool pause);
    bool LectureTerminee() const;
    void Positionner(int pourcent);
    int Pourcentage() const;
    QString TempsCourant() const;
    QString DureeTotale() const;
    static QString FormatTemps(std::int64_t ms);

    void Dessiner();
    void DessinerOnde(EcranSon* ecran);
    void DessinerSpectre(EcranSon* ecran);
    // The bars of 320 spectrum values into the picture.
    void PeindreSpectre(const float* spectre);
    void ChangerAnimation();
    void ActiverDessin(bool actif);

    // The mixer's capture: averages each stereo pair of the block into the
    // next block of TamponEchantillons. Mixer thread; no allocation, no lock.
    static void CaptureEchantillons(const float* melange, int trames, void* donnees);

    const QImage& Pixels() const { return pixels_; }
    const MoteurAudio& Moteur() const { return *moteur_; }
    bool MusiqueChargee() const { return bool(musique_); }
    bool FluxCharge() const { return bool(flux_); }

    std::string FichierCourant;
    bool EnPause = false;
    bool DessinActif = false;
    std::int8_t Animation = Onde;

    // Shared with the mixer thread: the last mixed blocks, mono, 16-bit.
    // Each sample is atomic (relaxed, free on this machine): the drawing
    // may read a block the mixer is writing when it laps the drawing.
    static constexpr int LongueurBloc = MoteurAudio::LongueurBloc;
    static constexpr int LongueurTotale = MoteurAudio::LongueurTotale;
    static constexpr int NombreBlocs = LongueurTotale / LongueurBloc;
    static std::array<std::atomic<std::int16_t>, LongueurTotale + 16> TamponEchantillons;
    static std::atomic<std::int32_t> BlocCourant;

private:
    void Peindre(int x, int y, QRgb couleur);
    void Montrer(EcranSon* ecran);

    // Declared first so that the sources go before the output.
    std::unique_ptr<MoteurAudio> moteur_;
    std::unique_ptr<SourceMidi> musique_;
    std::unique_ptr<SourceFfmpeg> flux_;

    QImage pixels_;
    EcranSon* ecran_ = nullptr;
    Option* option_ = nullptr;
    std::function<void()> arretApercu_;
    ImageComposant* imageSon_ = nullptr;
    ImageComposant* imageSonAucuneAnim_ = nullptr;
};
