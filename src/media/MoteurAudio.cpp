#include "media/MoteurAudio.h"

#include "media/SourceAudio.h"

#include <SDL.h>

#include <dlfcn.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <mutex>

namespace {

// SDL's audio subsystem is process-wide: the first engine starts it, the
// last one stops it.
std::mutex verrouSdl;
int nombreMoteurs = 0;

const char* const PiloteFactice = "dummy";

// ALSA's error handler, as libasound declares it.
using GestionnaireErreurAlsa = void (*)(const char*, int, const char*, int, const char*, ...);

void IgnorerErreurAlsa(const char*, int, const char*, int, const char*, ...) {}

// SDL loads ALSA at run time and probes its devices; without a sound card
// ALSA's default handler prints "ALSA lib ..." lines on stderr. The same
// library, loaded here first and kept loaded, gets a handler that prints
// nothing: the engine says once itself when a sound plays on no device.
void FaireTaireAlsa()
{
    static const bool fait = [] {
        void* alsa = dlopen("libasound.so.2", RTLD_NOW | RTLD_GLOBAL);
        if (!alsa)
            return false;
        using Installer = int (*)(GestionnaireErreurAlsa);
        if (auto installer = reinterpret_cast<Installer>(dlsym(alsa, "snd_lib_error_set_handler")))
            installer(&IgnorerErreurAlsa);
        return true;
    }();
    (void)fait;
}

// The one line said when a sound is played without an output device.
std::atomic<bool> silenceAnnonce{false};

} // namespace

MoteurAudio::MoteurAudio() : spectre_(std::make_unique<Spectre>())
{
    std::lock_guard<std::mutex> verrou(verrouSdl);
    FaireTaireAlsa();
    if (nombreMoteurs++ == 0 && SDL_AudioInit(nullptr) != 0)
        SDL_AudioInit(PiloteFactice);
    if (!OuvrirPeripherique() && nombreMoteurs == 1) {
        // No device: start over on the dummy driver.
        SDL_AudioQuit();
        SDL_AudioInit(PiloteFactice);
        OuvrirPeripherique();
    }
    if (const char* nom = SDL_GetCurrentAudioDriver())
        pilote_ = nom;
    if (peripherique_ != 0)
        SDL_PauseAudioDevice(peripherique_, 0);
}

MoteurAudio::~MoteurAudio()
{
    std::lock_guard<std::mutex> verrou(verrouSdl);
    if (peripherique_ != 0)
        SDL_CloseAudioDevice(peripherique_);
    if (--nombreMoteurs == 0)
        SDL_AudioQuit();
}

bool MoteurAudio::OuvrirPeripherique()
{
    if (!SDL_GetCurrentAudioDriver())
        return false;
    SDL_AudioSpec voulu{};
    voulu.freq = Frequence;
    voulu.format = AUDIO_F32SYS;
    voulu.channels = Canaux;
    voulu.samples = LongueurBloc;
    voulu.callback = &MoteurAudio::Rappel;
    voulu.userdata = this;
    SDL_AudioSpec obtenu{};
    // No change allowed: SDL converts to whatever the device takes.
    peripherique_ = SDL_OpenAudioDevice(nullptr, 0, &voulu, &obtenu, 0);
    return peripherique_ != 0;
}

void MoteurAudio::DefinirCapture(FonctionCapture fonction, void* donnees)
{
    Verrou verrou(*this);
    capture_ = fonction;
    donneesCapture_ = donnees;
}

MoteurAudio::Verrou::Verrou(MoteurAudio& moteur) : moteur_(moteur)
{
    moteur_.melange_.lock();
}

MoteurAudio::Verrou::~Verrou()
{
    moteur_.melange_.unlock();
}

bool MoteurAudio::Attacher(SourceAudio* source)
{
    if (pilote_ == PiloteFactice && !silenceAnnonce.exchange(true))
        std::fprintf(stderr, "Ruvizaro : aucune sortie son, la lecture est muette.\n");
    Verrou verrou(*this);
    for (SourceAudio*& place : sources_) {
        if (!place) {
            place = source;
            return true;
        }
    }
    return false;
}

void MoteurAudio::Detacher(SourceAudio* source)
{
    Verrou verrou(*this);
    for (SourceAudio*& place : sources_)
        if (place == source)
            place = nullptr;
}

void MoteurAudio::Rappel(void* donnees, std::uint8_t* flux, int octets)
{
    auto* moteur = static_cast<MoteurAudio*>(donnees);
    auto* sortie = reinterpret_cast<float*>(flux);
    const int trames = octets / int(sizeof(float) * Canaux);
    std::lock_guard<std::mutex> verrou(moteur->melange_);
    // Blocks longer than the capture ring's are mixed in pieces.
    for (int fait = 0; fait < trames; fait += LongueurBloc)
        moteur->Melanger(sortie + fait * Canaux, std::min(LongueurBloc, trames - fait));
}

void MoteurAudio::Melanger(float* sortie, int trames)
{
    std::memset(sortie, 0, sizeof(float) * size_t(trames) * Canaux);
    for (SourceAudio* source : sources_)
        if (source)
            source->Melanger(sortie, trames);
    if (capture_)
        capture_(sortie, trames, donneesCapture_);

    // Odd while the block is written. Each sample is stored with release
    // order, so a reader that sees one also sees the odd sequence after it.
    const std::uint32_t sequence = sequenceHistorique_.load(std::memory_order_relaxed);
    sequenceHistorique_.store(sequence + 1, std::memory_order_relaxed);
    std::uint32_t position = positionHistorique_.load(std::memory_order_relaxed);
    for (int i = 0; i < trames; ++i, ++position)
        historique_[position % TailleHistorique].store((sortie[2 * i] + sortie[2 * i + 1]) * 0.5f,
                                                       std::memory_order_release);
    positionHistorique_.store(position, std::memory_order_release);
    sequenceHistorique_.store(sequence + 2, std::memory_order_release);
}

void MoteurAudio::DerniersEchantillons(float* destination, int nombre) const
{
    nombre = std::min(nombre, TailleHistorique);
    // A block is written in microseconds and comes every 23 ms: a copy that
    // met one is made again, a few times at most.
    for (int essai = 0; essai < 64; ++essai) {
        const std::uint32_t avant = sequenceHistorique_.load(std::memory_order_acquire);
        const std::uint32_t fin = positionHistorique_.load(std::memory_order_relaxed);
        const std::uint32_t debut = fin - std::uint32_t(nombre);
        // Acquire loads: the sequence read after them is not read earlier.
        for (int i = 0; i < nombre; ++i)
            destination[i] = historique_[(debut + std::uint32_t(i)) % TailleHistorique].load(std::memory_order_acquire);
        if (avant % 2 == 0 && sequenceHistorique_.load(std::memory_order_relaxed) == avant)
            return;
    }
}

const float* MoteurAudio::LireSpectre()
{
    if (peripherique_ == 0)
        return nullptr;
    DerniersEchantillons(fenetre_, Spectre::Taille);
    return spectre_->Calculer(fenetre_);
}
