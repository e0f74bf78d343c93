// The sound opening path on any bytes: MIDI recognition, then the file
// opened the way the Son panel opens it (FluidSynth for a MIDI song,
// FFmpeg for the rest) and played until its first block has been mixed,
// on SDL's dummy output.

#include "media/MoteurAudio.h"
#include "media/SourceFfmpeg.h"
#include "media/SourceMidi.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace {

std::string Fichier;
MoteurAudio* Moteur = nullptr;
// A source that opens plays until its time moves, its end, or this.
constexpr auto AttenteMax = std::chrono::milliseconds(150);

[[noreturn]] void Echec(const char* quoi)
{
    std::fprintf(stderr, "sound opening property broken: %s\n", quoi);
    std::abort();
}

template <typename Source>
void JouerUnBloc(Source& source)
{
    source.Jouer();
    const auto fin = std::chrono::steady_clock::now() + AttenteMax;
    while (source.Temps() <= 0 && !source.Terminee() && std::chrono::steady_clock::now() < fin)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    if (source.Temps() < 0)
        Echec("a negative time");
    source.Arreter();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    Moteur = new MoteurAudio; // lives as long as the process, like the program's
    if (!Moteur->Ouvert())
        Echec("no sound output, not even the dummy one");
    const char* base = std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : std::getenv("TMPDIR");
    Fichier = std::string(base ? base : "/tmp") + "/ruvizaro-fuzz-son-" + std::to_string(getpid());
    std::atexit([] { ::unlink(Fichier.c_str()); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* donnees, std::size_t taille)
{
    const std::vector<std::uint8_t> octets(donnees, donnees + taille);
    const int fd = ::open(Fichier.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0 || ::write(fd, donnees, taille) != ssize_t(taille) || ::close(fd) != 0)
        Echec("cannot write the scratch file");

    const bool midi = SourceMidi::EstMidi(octets);
    if (auto source = SourceMidi::Charger(*Moteur, Fichier)) {
        if (!midi)
            Echec("a file not recognised as MIDI was loaded as MIDI");
        JouerUnBloc(*source);
        return 0;
    }
    if (midi)
        Echec("a file recognised as MIDI did not load");
    if (auto source = SourceFfmpeg::Ouvrir(*Moteur, Fichier)) {
        if (source->LongueurMs() < 0)
            Echec("a negative length");
        JouerUnBloc(*source);
    }
    return 0;
}
