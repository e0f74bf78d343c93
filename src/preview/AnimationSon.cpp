#include "preview/AnimationSon.h"

#include <algorithm>
#include <chrono>
#include <utility>

namespace {

// Full scale of the float mix in 16-bit samples.
constexpr float EchelleEchantillon = 32767.0f;

std::int64_t Maintenant()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace

AnimationSon::AnimationSon()
    : pixels_(LargeurPixels, HauteurPixels, QImage::Format_RGB32), spectre_(std::make_unique<Spectre>())
{
    static_assert(Spectre::Taille == LongueurBloc && LongueurTotale >= 2 * LongueurBloc);
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
    case Dessin::Spectre: {
        if (!moteur.Ouvert())
            return false;
        const std::uint64_t debut = DebutFenetre();
        for (int i = 0; i < LongueurBloc; ++i)
            fenetre_[i] =
                float(echantillons_[(debut + std::uint64_t(i)) % LongueurTotale].load(std::memory_order_relaxed)) /
                EchelleEchantillon;
        PeindreSpectre(spectre_->Calculer(fenetre_));
        return true;
    }
    default:
        return false;
    }
}

void AnimationSon::Peindre(int x, int y, QRgb couleur)
{
    reinterpret_cast<QRgb*>(pixels_.scanLine(HauteurPixels - 1 - y))[x] = couleur;
}

std::uint64_t AnimationSon::DebutFenetre() const
{
    // Acquire: the samples written before the count moved on are seen.
    const std::uint64_t recus = recus_.load(std::memory_order_acquire);
    // The last block starts playing about when it is handed over: the sound
    // has got that far into it since, at the output's rate.
    const std::int64_t ecoule = Maintenant() - instantRecu_.load(std::memory_order_relaxed);
    const std::int64_t avance =
        std::clamp<std::int64_t>(ecoule * MoteurAudio::Frequence / 1'000'000'000, 0, LongueurBloc);
    // Modulo 2^64, a multiple of the ring's length: before the first blocks
    // the window reads the ring's silence.
    return recus - 2 * std::uint64_t(LongueurBloc) + std::uint64_t(avance);
}

void AnimationSon::DessinerOnde()
{
    pixels_.fill(GrisClair);
    const std::uint64_t debut = DebutFenetre();
    const auto echantillon = [&](int i) {
        return echantillons_[(debut + std::uint64_t(i)) % LongueurTotale].load(std::memory_order_relaxed);
    };
    const float pas = float(LongueurBloc) * 0.003125f;
    const int saut = int(pas);
    const auto ligne = [](std::int16_t echantillon) {
        return int((echantillon + 32768.0) * (1.0 / 65536) * double(HauteurPixels));
    };
    float position = 0.0f;
    for (int x = 0; x < LargeurPixels; ++x) {
        const int i = int(position);
        int y1 = ligne(echantillon(i));
        int y2 = ligne(echantillon(i + saut));
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
    const std::uint64_t recus = animation->recus_.load(std::memory_order_relaxed);
    const int n = std::min(trames, LongueurBloc);
    for (int i = 0; i < n; ++i) {
        float moyenne = (melange[2 * i] + melange[2 * i + 1]) * 0.5f * EchelleEchantillon;
        // Clipped, then truncated: an over-full mix stays at the edge (and
        // a value that is no number at all goes to the bottom).
        if (!(moyenne >= -32768.0f))
            moyenne = -32768.0f;
        else if (moyenne > 32767.0f)
            moyenne = 32767.0f;
        animation->echantillons_[(recus + std::uint64_t(i)) % LongueurTotale].store(std::int16_t(moyenne),
                                                                                    std::memory_order_relaxed);
    }
    animation->instantRecu_.store(Maintenant(), std::memory_order_relaxed);
    // Release: the block's samples are published with the count.
    animation->recus_.store(recus + std::uint64_t(n), std::memory_order_release);
    animation->blocsRecus_.fetch_add(1, std::memory_order_relaxed);
}
