#include "preview/Son.h"

#include "media/SourceFfmpeg.h"
#include "media/SourceMidi.h"
#include "shared/Option.h"
#include "shared/Textes.h"
#include "widgets/EcranSon.h"
#include "widgets/ImageComposant.h"

#include <algorithm>
#include <utility>

std::array<std::atomic<std::int16_t>, Son::LongueurTotale + 16> Son::TamponEchantillons{};
std::atomic<std::int32_t> Son::BlocCourant{0};

namespace {

// Full scale of the float mix in 16-bit samples.
constexpr float EchelleEchantillon = 32767.0f;

}  // namespace

Son::Son() : pixels_(LargeurPixels, HauteurPixels, QImage::Format_RGB32)
{
    for (auto& echantillon : TamponEchantillons)
        echantillon.store(0, std::memory_order_relaxed);
    BlocCourant = 0;
    pixels_.fill(0u);
    moteur_ = std::make_unique<MoteurAudio>();
    moteur_->DefinirCapture(&Son::CaptureEchantillons, nullptr);
}

Son::~Son()
{
    musique_.reset();
    flux_.reset();
    moteur_->DefinirCapture(nullptr, nullptr);
}

void Son::LierImages(ImageComposant* imageSon, ImageComposant* imageSonAucuneAnim)
{
    imageSon_ = imageSon;
    imageSonAucuneAnim_ = imageSonAucuneAnim;
}

void Son::Initialiser(EcranSon* ecran, std::int32_t dessinSon)
{
    ecran_ = ecran;
    // One step before the wanted mode, which ChangerAnimation then takes.
    Animation = std::int8_t((dessinSon >= 1 && dessinSon <= 3 ? dessinSon - 1 : 0) - 1);
    ChangerAnimation();
}

void Son::ChangerAnimation()
{
    ++Animation;
    if (Animation > AucuneAnimation || Animation < Onde)
        Animation = Onde;
    const bool aucune = Animation == AucuneAnimation;
    if (imageSonAucuneAnim_) {
        imageSonAucuneAnim_->Tag = aucune ? 1 : 0;
        imageSonAucuneAnim_->setVisible(aucune);
    }
    if (aucune && ecran_)
        ecran_->Effacer();
    if (option_)
        option_->DessinSon = Animation + 1;
}

void Son::Ouvrir(std::string chemin, bool jouer)
{
    if (jouer) {
        if ((flux_ || musique_) && EnPause) {
            Pause(false);   // resumes where it stopped
            return;
        }
        FichierCourant.clear();
        Stop();
    } else {
        FichierCourant.clear();
        if (arretApercu_)
            arretApercu_();
        else
            Stop();
    }
    musique_.reset();
    flux_.reset();
    // MIDI first, as module music was tried first; then any stream.
    musique_ = SourceMidi::Charger(*moteur_, chemin);
    if (!musique_)
        flux_ = SourceFfmpeg::Ouvrir(*moteur_, chemin);
    if (jouer) {
        if (musique_)
            musique_->Jouer();
        if (flux_)
            flux_->Jouer();
        FichierCourant = chemin;
    }
}

void Son::Stop()
{
    if (flux_)
        flux_->Arreter();
    if (musique_)
        musique_->Arreter();
    EnPause = false;
    if (!FichierCourant.empty())
        Ouvrir(FichierCourant, false);   // reloads silently, at the beginning
}

void Son::Pause(bool pause)
{
    if (flux_)
        flux_->DefinirPause(pause);
    if (musique_)
        musique_->DefinirPause(pause);
    EnPause = pause;
}

bool Son::LectureTerminee() const
{
    bool terminee = false;
    if (flux_)
        terminee = flux_->Temps() == flux_->LongueurMs();
    if (musique_)
        terminee = musique_->Terminee();
    return terminee;
}

void Son::Positionner(int pourcent)
{
    if (LectureTerminee()) {
        if (musique_)
            musique_->Jouer();
        else if (flux_)
            flux_->Jouer();
    }
    if (flux_) {
        // percent × length ÷ 100 − 1 ms. The product is taken on 64 bits:
        // on 32 it would wrap past 5 h 57 min and seek back to the start.
        const std::int64_t produit = std::int64_t(pourcent) * flux_->LongueurMs();
        flux_->DefinirTemps(std::int32_t(produit / 100 - 1));
    }
}

int Son::Pourcentage() const
{
    if (!flux_ || flux_->LongueurMs() == 0)
        return -1;
    // On 64 bits for the same reason: a long sound's bar must not jump back.
    const std::int64_t produit = std::int64_t(flux_->Temps()) * 100;
    return int(produit / flux_->LongueurMs());
}

QString Son::TempsCourant() const
{
    if (flux_)
        return FormatTemps(flux_->Temps());
    if (musique_)
        return FormatTemps(musique_->Temps());
    return FormatTemps(0);
}

QString Son::DureeTotale() const
{
    QString texte;
    if (flux_)
        texte = FormatTemps(flux_->LongueurMs());
    if (musique_)
        texte.clear();
    return texte;
}

QString Son::FormatTemps(std::int64_t ms)
{
    return Textes::Temps(ms);
}

void Son::ActiverDessin(bool actif)
{
    if (actif == DessinActif)
        return;
    DessinActif = actif;
    // Repainting the sound picture wipes the drawing left in the frame.
    if (ecran_)
        ecran_->Effacer();
    if (imageSon_)
        imageSon_->update();
}

void Son::Dessiner()
{
    const bool cadreLibre = !imageSon_ || imageSon_->ImageVide();
    if (!DessinActif || !cadreLibre) {
        if (ecran_)
            ecran_->Effacer();
        return;
    }
    if (Animation == Onde)
        DessinerOnde(ecran_);
    else if (Animation == SpectreBarres)
        DessinerSpectre(ecran_);
}

void Son::Peindre(int x, int y, QRgb couleur)
{
    reinterpret_cast<QRgb*>(pixels_.scanLine(HauteurPixels - 1 - y))[x] = couleur;
}

void Son::Montrer(EcranSon* ecran)
{
    if (ecran)
        ecran->Montrer(&pixels_);
}

void Son::DessinerOnde(EcranSon* ecran)
{
    pixels_.fill(GrisClair);
    // The block after the next one to be written: the oldest whole block.
    // Acquire: its samples, written before the mixer moved on, are seen.
    int decalage = LongueurBloc * (BlocCourant.load(std::memory_order_acquire) + 1);
    if (decalage >= LongueurTotale)
        decalage -= LongueurTotale;
    const float pas = float(LongueurBloc) * 0.003125f;
    const int saut = int(pas);
    const auto ligne = [](std::int16_t echantillon) {
        return int((echantillon + 32768.0) * (1.0 / 65536) * double(HauteurPixels));
    };
    float position = 0.0f;
    for (int x = 0; x < LargeurPixels; ++x) {
        const int i = int(position);
        int y1 = ligne(TamponEchantillons[size_t(decalage + i)].load(std::memory_order_relaxed));
        int y2 = ligne(TamponEchantillons[size_t(decalage + i + saut)].load(std::memory_order_relaxed));
        if (y1 > y2)
            std::swap(y1, y2);
        for (int y = y1; y <= y2; ++y)
            Peindre(x, y, GrisMoyen);
        position += pas;
    }
    Montrer(ecran);
}

void Son::DessinerSpectre(EcranSon* ecran)
{
    const float* spectre = moteur_->LireSpectre();
    if (!spectre)
        return;
    PeindreSpectre(spectre);
    Montrer(ecran);
}

void Son::PeindreSpectre(const float* spectre)
{
    pixels_.fill(GrisClair);
    for (int x = 0; x < LargeurPixels; ++x) {
        const float hauteur = spectre[x] * 4.0f * float(HauteurPixels);
        // Tested as a float first: a huge or undefined value is no integer.
        int h = 0;
        if (hauteur >= float(HauteurPixels))
            h = HauteurBarreMax;
        else if (hauteur > 0.0f)
            h = int(hauteur);
        for (int y = 0; y < h; ++y)
            Peindre(x, y, qRgb(2 * y, 255 - 2 * y, 31));
    }
}

void Son::CaptureEchantillons(const float* melange, int trames, void*)
{
    const std::int32_t bloc = BlocCourant.load(std::memory_order_relaxed);
    std::atomic<std::int16_t>* destination = TamponEchantillons.data() + size_t(LongueurBloc) * size_t(bloc);
    const int n = std::min(trames, LongueurBloc);
    for (int i = 0; i < n; ++i) {
        float moyenne = (melange[2 * i] + melange[2 * i + 1]) * 0.5f * EchelleEchantillon;
        // Clipped, then truncated: an over-full mix stays at the edge (and
        // a value that is no number at all goes to the bottom).
        if (!(moyenne >= -32768.0f))
            moyenne = -32768.0f;
        else if (moyenne > 32767.0f)
            moyenne = 32767.0f;
        destination[i].store(std::int16_t(moyenne), std::memory_order_relaxed);
    }
    // Release: the block's samples are published with the move to the next.
    BlocCourant.store(bloc + 1 >= NombreBlocs ? 0 : bloc + 1, std::memory_order_release);
}
