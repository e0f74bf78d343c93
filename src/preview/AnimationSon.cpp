#include "preview/AnimationSon.h"

#include <algorithm>
#include <utility>

namespace {

// Full scale of the float mix in 16-bit samples.
constexpr float EchelleEchantillon = 32767.0f;

} // namespace

AnimationSon::AnimationSon() : pixels_(LargeurPixels, HauteurPixels, QImage::Format_RGB32)
{
    pixels_.fill(0u);
}

Dessin AnimationSon::ModeSuivant()
{
    switch (mode_) {
    case Dessin::Onde:
        return Dessin::Spectre;
    case Dessin::Spectre:
        return Dessin::Aucun;
    default:
        return Dessin::Onde;
    }
}

bool AnimationSon::Dessiner(MoteurAudio& moteur)
{
    switch (mode_) {
    case Dessin::Onde:
        DessinerOnde();
        return true;
    case Dessin::Spectre:
        if (const float* spectre = moteur.LireSpectre()) {
            PeindreSpectre(spectre);
            return true;
        }
        return false;
    default:
        return false;
    }
}

void AnimationSon::Peindre(int x, int y, QRgb couleur)
{
    reinterpret_cast<QRgb*>(pixels_.scanLine(HauteurPixels - 1 - y))[x] = couleur;
}

void AnimationSon::DessinerOnde()
{
    pixels_.fill(GrisClair);
    // The block after the next one to be written: the oldest whole block.
    // Acquire: its samples, written before the mixer moved on, are seen.
    int decalage = LongueurBloc * (bloc_.load(std::memory_order_acquire) + 1);
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
        int y1 = ligne(echantillons_[size_t(decalage + i)].load(std::memory_order_relaxed));
        int y2 = ligne(echantillons_[size_t(decalage + i + saut)].load(std::memory_order_relaxed));
        if (y1 > y2)
            std::swap(y1, y2);
        for (int y = y1; y <= y2; ++y)
            Peindre(x, y, GrisMoyen);
        position += pas;
    }
}

void AnimationSon::PeindreSpectre(const float* spectre)
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

void AnimationSon::Capturer(const float* melange, int trames, void* donnees)
{
    auto* animation = static_cast<AnimationSon*>(donnees);
    const std::int32_t bloc = animation->bloc_.load(std::memory_order_relaxed);
    std::atomic<std::int16_t>* destination = animation->echantillons_.data() + size_t(LongueurBloc) * size_t(bloc);
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
    animation->bloc_.store(bloc + 1 >= NombreBlocs ? 0 : bloc + 1, std::memory_order_release);
    animation->blocsRecus_.fetch_add(1, std::memory_order_relaxed);
}
