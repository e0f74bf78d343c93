#include "media/SourceMidi.h"

#include "media/FichierMedia.h"
#include "media/MoteurAudio.h"

#include <fluidsynth.h>

#include <cerrno>
#include <mutex>
#include <utility>

#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr double Gain = 0.8;
// A MIDI file larger than this is not taken as one.
constexpr off_t TailleMax = 16 * 1024 * 1024;

std::uint32_t GrandBoutiste(const std::vector<std::uint8_t>& o, size_t i)
{
    return std::uint32_t(o[i]) << 24 | std::uint32_t(o[i + 1]) << 16 | std::uint32_t(o[i + 2]) << 8 | o[i + 3];
}

// Loading the 6 MB SoundFont takes 40 to 70 ms. So the synthesiser of a closed song is kept, with
// its SoundFont, for the next song; one at most, freed at exit.
class SynthetiseurGarde
{
public:
    ~SynthetiseurGarde() { Liberer(reglages_, synthe_); }

    static SynthetiseurGarde& Commun()
    {
        static SynthetiseurGarde garde;
        return garde;
    }
    // The kept synthesiser, if there is one.
    bool Prendre(fluid_settings_t*& reglages, fluid_synth_t*& synthe)
    {
        std::lock_guard verrou(verrou_);
        if (!synthe_)
            return false;
        reglages = std::exchange(reglages_, nullptr);
        synthe = std::exchange(synthe_, nullptr);
        return true;
    }
    // Keeps a synthesiser no song plays any more, or frees it (and settings
    // left without one) if one is kept. Its notes may still sound: Jouer
    // resets it before a song.
    void Rendre(fluid_settings_t* reglages, fluid_synth_t* synthe)
    {
        {
            std::lock_guard verrou(verrou_);
            if (!synthe_ && synthe) {
                reglages_ = reglages;
                synthe_ = synthe;
                return;
            }
        }
        Liberer(reglages, synthe);
    }

private:
    static void Liberer(fluid_settings_t* reglages, fluid_synth_t* synthe)
    {
        if (synthe)
            delete_fluid_synth(synthe);
        if (reglages)
            delete_fluid_settings(reglages);
    }

    std::mutex verrou_;
    fluid_settings_t* reglages_ = nullptr;
    fluid_synth_t* synthe_ = nullptr;
};

// Reads taille bytes from position; false when the file ends before.
bool LireA(int fd, std::uint8_t* destination, size_t taille, off_t position)
{
    while (taille > 0) {
        const ssize_t lus = ::pread(fd, destination, taille, position);
        if (lus < 0 && errno == EINTR)
            continue;
        if (lus <= 0)
            return false;
        destination += lus;
        taille -= size_t(lus);
        position += lus;
    }
    return true;
}

bool Lire(int fd, std::vector<std::uint8_t>& octets)
{
    std::uint8_t entete[4] = {};
    if (!LireA(fd, entete, 4, 0) || std::string(entete, entete + 4) != "MThd")
        return false; // not MIDI: nothing more is read
    struct stat etat;
    if (fstat(fd, &etat) != 0 || !S_ISREG(etat.st_mode) || etat.st_size <= 0 || etat.st_size > TailleMax)
        return false;
    octets.resize(size_t(etat.st_size));
    return LireA(fd, octets.data(), octets.size(), 0);
}

void Silence(int, const char*, void*) {}

} // namespace

bool SourceMidi::EstMidi(const std::vector<std::uint8_t>& o)
{
    if (o.size() < 14 || std::string(o.begin(), o.begin() + 4) != "MThd" || GrandBoutiste(o, 4) < 6)
        return false;
    const unsigned pistes = unsigned(o[10]) << 8 | o[11];
    const unsigned division = unsigned(o[12]) << 8 | o[13];
    if (pistes == 0 || division == 0)
        return false;
    // Every chunk must lie whole inside the file, and every track be there.
    unsigned trouvees = 0;
    size_t i = 8 + GrandBoutiste(o, 4);
    while (i + 8 <= o.size() && trouvees < pistes) {
        const size_t longueur = GrandBoutiste(o, i + 4);
        if (longueur > o.size() - i - 8)
            return false;
        if (std::string(o.begin() + std::ptrdiff_t(i), o.begin() + std::ptrdiff_t(i) + 4) == "MTrk")
            ++trouvees;
        i += 8 + longueur;
    }
    return trouvees == pistes;
}

std::unique_ptr<SourceMidi> SourceMidi::Charger(MoteurAudio& moteur, const std::string& chemin)
{
    const Resultat<Descripteur> fichier = FichierMedia::Ouvrir(chemin);
    if (!fichier)
        return nullptr;
    return Charger(moteur, fichier.Valeur().Fd());
}

std::unique_ptr<SourceMidi> SourceMidi::Charger(MoteurAudio& moteur, int fichier)
{
    std::vector<std::uint8_t> octets;
    if (!Lire(fichier, octets) || !EstMidi(octets))
        return nullptr;
    auto source = std::unique_ptr<SourceMidi>(new SourceMidi(moteur, std::move(octets)));
    if (!source->Preparer() || !moteur.Attacher(source.get()))
        return nullptr;
    return source;
}

SourceMidi::SourceMidi(MoteurAudio& moteur, std::vector<std::uint8_t> octets)
    : moteur_(moteur), octets_(std::move(octets)), rendu_(size_t(MoteurAudio::LongueurBloc) * 2)
{}

bool SourceMidi::Preparer()
{
    static const bool silence = [] {
        for (int niveau = FLUID_PANIC; niveau < LAST_LOG_LEVEL; ++niveau)
            fluid_set_log_function(niveau, &Silence, nullptr);
        return true;
    }();
    (void)silence;
    if (SynthetiseurGarde::Commun().Prendre(reglages_, synthe_))
        return true;
    reglages_ = new_fluid_settings();
    if (!reglages_)
        return false;
    fluid_settings_setnum(reglages_, "synth.sample-rate", MoteurAudio::Frequence);
    fluid_settings_setnum(reglages_, "synth.gain", Gain);
    // The song advances with the samples we render, not with a clock.
    fluid_settings_setstr(reglages_, "player.timing-source", "sample");
    synthe_ = new_fluid_synth(reglages_);
    if (!synthe_)
        return false;
    // Without the SoundFont the song still plays, silently.
    fluid_synth_sfload(synthe_, PoliceSons, 1);
    return true;
}

SourceMidi::~SourceMidi()
{
    moteur_.Detacher(this);
    if (lecteur_)
        delete_fluid_player(lecteur_);
    SynthetiseurGarde::Commun().Rendre(reglages_, synthe_);
}

void SourceMidi::LibererLecteur()
{
    if (!lecteur_)
        return;
    fluid_player_stop(lecteur_);
    delete_fluid_player(lecteur_);
    lecteur_ = nullptr;
}

void SourceMidi::Jouer()
{
    MoteurAudio::Verrou verrou(moteur_);
    LibererLecteur();
    fluid_synth_system_reset(synthe_);
    lecteur_ = new_fluid_player(synthe_);
    const bool pret = lecteur_ && fluid_player_add_mem(lecteur_, octets_.data(), octets_.size()) == FLUID_OK &&
                      fluid_player_play(lecteur_) == FLUID_OK;
    tramesJouees_ = 0;
    pause_ = false;
    terminee_ = !pret;
    enLecture_ = pret;
}

void SourceMidi::Arreter()
{
    MoteurAudio::Verrou verrou(moteur_);
    enLecture_ = false;
    pause_ = false;
    LibererLecteur();
    fluid_synth_all_sounds_off(synthe_, -1);
}

std::int32_t SourceMidi::Temps() const
{
    return std::int32_t(tramesJouees_.load() * 1000 / MoteurAudio::Frequence);
}

void SourceMidi::Melanger(float* sortie, int trames)
{
    if (!enLecture_.load(std::memory_order_relaxed) || pause_.load(std::memory_order_relaxed))
        return;
    float* rendu = rendu_.data();
    fluid_synth_write_float(synthe_, trames, rendu, 0, 2, rendu, 1, 2);
    for (int i = 0; i < 2 * trames; ++i)
        sortie[i] += rendu[i];
    tramesJouees_.fetch_add(trames, std::memory_order_relaxed);
    if (fluid_player_get_status(lecteur_) == FLUID_PLAYER_DONE && fluid_synth_get_active_voice_count(synthe_) == 0) {
        terminee_ = true;
        enLecture_ = false;
    }
}
