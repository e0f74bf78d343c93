#include "media/SourceFfmpeg.h"

#include "media/FichierMedia.h"
#include "media/MoteurAudio.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/mem.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <limits>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// About three quarters of a second of decoded sound waits for the mixer.
constexpr int CapaciteFile = 32768;

// The highest sampling rate of real recordings. A damaged or forged header
// can claim hundreds of megahertz; the resampler's filter for that takes
// seconds and gigabytes to build, and the window would wait for it.
constexpr int FrequenceMax = 768000;

bool FrequenceValide(int frequence)
{
    return frequence > 0 && frequence <= FrequenceMax;
}

// Probing an audio file needs no more than this much of its stream time.
constexpr std::int64_t DureeAnalyse = 5 * std::int64_t(AV_TIME_BASE);
constexpr int TailleTamponLecture = 64 * 1024;

struct LibererAvio
{
    void operator()(AVIOContext* a) const
    {
        av_freep(&a->buffer);
        avio_context_free(&a);
    }
};
struct LibererFormat
{
    void operator()(AVFormatContext* f) const { avformat_close_input(&f); }
};
struct LibererCodec
{
    void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct LibererSwr
{
    void operator()(SwrContext* s) const { swr_free(&s); }
};
struct LibererPaquet
{
    void operator()(AVPacket* p) const { av_packet_free(&p); }
};
struct LibererTrame
{
    void operator()(AVFrame* t) const { av_frame_free(&t); }
};

// A declared duration in milliseconds, 0 when missing, on a broken time
// base, or beyond what any real recording lasts.
std::int32_t LongueurCroyable(std::int64_t valeur, AVRational base)
{
    if (valeur == AV_NOPTS_VALUE || valeur <= 0 || base.num <= 0 || base.den <= 0)
        return 0;
    const std::int64_t ms = av_rescale_q(valeur, base, AVRational{1, 1000});
    return ms > 0 && ms <= SourceFfmpeg::LongueurMaxMs ? std::int32_t(ms) : 0;
}

} // namespace

// The FFmpeg state, used by the decoding thread only once opened.
struct SourceFfmpeg::Decodeur
{
    // The file, FFmpeg's reader over it, then the demuxer that reads it:
    // destroyed in the reverse order.
    Descripteur fichier;
    std::unique_ptr<AVIOContext, LibererAvio> avio;
    std::unique_ptr<AVFormatContext, LibererFormat> format;
    std::unique_ptr<AVCodecContext, LibererCodec> codec;
    std::unique_ptr<SwrContext, LibererSwr> reechantillonneur;
    std::unique_ptr<AVPacket, LibererPaquet> paquet{av_packet_alloc()};
    std::unique_ptr<AVFrame, LibererTrame> trame{av_frame_alloc()};
    std::vector<float> converti;
    int flux = -1;
    bool neuf = true; // nothing decoded yet: no seek needed to start at 0
    // Input layout the resampler was made for.
    AVChannelLayout dispositionEntree{};
    int formatEntree = -1;
    int frequenceEntree = 0;

    // While probing: abandoned on request or past the deadline.
    std::atomic<bool> enSondage{true};
    std::stop_token arret;
    std::chrono::steady_clock::time_point echeance;

    ~Decodeur() { av_channel_layout_uninit(&dispositionEntree); }

    static int Interrompre(void* decodeur)
    {
        const auto* d = static_cast<const Decodeur*>(decodeur);
        return d->enSondage.load() && (d->arret.stop_requested() || std::chrono::steady_clock::now() > d->echeance);
    }

    // FFmpeg reads the checked descriptor itself, never the path again;
    // while probing, a read past the deadline or after the abandon fails.
    static int Lire(void* decodeur, std::uint8_t* tampon, int taille)
    {
        const auto* d = static_cast<const Decodeur*>(decodeur);
        for (;;) {
            if (Interrompre(decodeur))
                return AVERROR_EXIT;
            const ssize_t lus = ::read(d->fichier.Fd(), tampon, size_t(taille));
            if (lus > 0)
                return int(lus);
            if (lus == 0)
                return AVERROR_EOF;
            if (errno != EINTR)
                return AVERROR(errno);
        }
    }

    static std::int64_t Chercher(void* decodeur, std::int64_t position, int origine)
    {
        const int fd = static_cast<const Decodeur*>(decodeur)->fichier.Fd();
        if (origine & AVSEEK_SIZE) {
            struct stat etat;
            return fstat(fd, &etat) == 0 ? std::int64_t(etat.st_size) : AVERROR(errno);
        }
        const off_t nouvelle = ::lseek(fd, off_t(position), origine & ~AVSEEK_FORCE);
        return nouvelle < 0 ? AVERROR(errno) : std::int64_t(nouvelle);
    }

    // The demuxer over the descriptor, its probing bounded.
    bool OuvrirFormat()
    {
        auto* tampon = static_cast<std::uint8_t*>(av_malloc(TailleTamponLecture));
        if (!tampon)
            return false;
        avio.reset(
            avio_alloc_context(tampon, TailleTamponLecture, 0, this, &Decodeur::Lire, nullptr, &Decodeur::Chercher));
        if (!avio) {
            av_free(tampon);
            return false;
        }
        AVFormatContext* f = avformat_alloc_context();
        if (!f)
            return false;
        f->pb = avio.get();
        f->flags |= AVFMT_FLAG_CUSTOM_IO;
        f->probesize = OctetsSondage;
        f->format_probesize = int(OctetsSondage);
        f->max_analyze_duration = DureeAnalyse;
        f->interrupt_callback = AVIOInterruptCB{&Decodeur::Interrompre, this};
        // On failure FFmpeg frees the context itself.
        if (avformat_open_input(&f, "", nullptr, nullptr) < 0)
            return false;
        format.reset(f);
        return avformat_find_stream_info(f, nullptr) >= 0 && !Interrompre(this);
    }

    bool PreparerReechantillonneur(const AVFrame& t)
    {
        AVChannelLayout entree{};
        if (t.ch_layout.order == AV_CHANNEL_ORDER_UNSPEC || t.ch_layout.nb_channels <= 0)
            av_channel_layout_default(&entree, std::max(1, codec->ch_layout.nb_channels));
        else
            av_channel_layout_copy(&entree, &t.ch_layout);
        if (reechantillonneur && t.format == formatEntree && t.sample_rate == frequenceEntree &&
            av_channel_layout_compare(&entree, &dispositionEntree) == 0) {
            av_channel_layout_uninit(&entree);
            return true;
        }
        av_channel_layout_uninit(&dispositionEntree);
        dispositionEntree = entree;
        if (!FrequenceValide(t.sample_rate)) {
            reechantillonneur.reset();
            return false;
        }
        formatEntree = t.format;
        frequenceEntree = t.sample_rate;
        AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
        SwrContext* s = nullptr;
        if (swr_alloc_set_opts2(&s, &stereo, AV_SAMPLE_FMT_FLT, MoteurAudio::Frequence, &dispositionEntree,
                                AVSampleFormat(t.format), t.sample_rate, 0, nullptr) < 0 ||
            swr_init(s) < 0) {
            swr_free(&s);
            reechantillonneur.reset();
            return false;
        }
        reechantillonneur.reset(s);
        return true;
    }
};

std::unique_ptr<SourceFfmpeg> SourceFfmpeg::Ouvrir(MoteurAudio& moteur, const std::string& chemin)
{
    Resultat<Descripteur> fichier = FichierMedia::Ouvrir(chemin);
    if (!fichier)
        return nullptr;
    return Ouvrir(moteur, std::move(fichier).Valeur());
}

std::unique_ptr<SourceFfmpeg> SourceFfmpeg::Ouvrir(MoteurAudio& moteur, Descripteur fichier, std::stop_token arret)
{
    // The program keeps no log; damaged files must not print either.
    static const bool silence = [] {
        av_log_set_level(AV_LOG_QUIET);
        av_max_alloc(AllocationMax);
        return true;
    }();
    (void)silence;
    auto d = std::make_unique<Decodeur>();
    if (!d->paquet || !d->trame || !fichier.Valide())
        return nullptr;
    d->fichier = std::move(fichier);
    d->arret = std::move(arret);
    d->echeance = std::chrono::steady_clock::now() + DelaiSondage;
    if (!d->OuvrirFormat())
        return nullptr;
    AVFormatContext* format = d->format.get();
    const AVCodec* decodeur = nullptr;
    d->flux = av_find_best_stream(format, AVMEDIA_TYPE_AUDIO, -1, -1, &decodeur, 0);
    if (d->flux < 0 || !decodeur)
        return nullptr;
    AVStream* flux = format->streams[d->flux];
    d->codec.reset(avcodec_alloc_context3(decodeur));
    if (!d->codec || avcodec_parameters_to_context(d->codec.get(), flux->codecpar) < 0)
        return nullptr;
    d->codec->pkt_timebase = flux->time_base;
    if (avcodec_open2(d->codec.get(), decodeur, nullptr) < 0 || !FrequenceValide(d->codec->sample_rate))
        return nullptr;
    // Only the audio stream is read.
    for (unsigned i = 0; i < format->nb_streams; ++i)
        if (int(i) != d->flux)
            format->streams[i]->discard = AVDISCARD_ALL;

    // The file's declared length, else its stream's; unknown when neither
    // is believable.
    std::int32_t longueur = LongueurCroyable(format->duration, AV_TIME_BASE_Q);
    if (longueur == 0)
        longueur = LongueurCroyable(flux->duration, flux->time_base);
    // Decoding reads to the end whatever the time it takes.
    d->enSondage = false;

    auto source = std::unique_ptr<SourceFfmpeg>(new SourceFfmpeg(moteur, std::move(d), longueur));
    if (!moteur.Attacher(source.get()))
        return nullptr;
    source->Demarrer(0);
    return source;
}

SourceFfmpeg::SourceFfmpeg(MoteurAudio& moteur, std::unique_ptr<Decodeur> decodeur, std::int32_t longueurMs)
    : moteur_(moteur), decodeur_(std::move(decodeur)), longueurMs_(longueurMs), file_(CapaciteFile)
{}

SourceFfmpeg::~SourceFfmpeg()
{
    moteur_.Detacher(this);
    ArreterDecodage();
}

std::int32_t SourceFfmpeg::Temps() const
{
    const std::int64_t ms = std::int64_t(departMs_.load()) + tramesJouees_.load() * 1000 / MoteurAudio::Frequence;
    return std::int32_t(std::clamp<std::int64_t>(ms, 0, std::numeric_limits<std::int32_t>::max()));
}

void SourceFfmpeg::Jouer()
{
    if (terminee_)
        DefinirTemps(0);
    pause_ = false;
    enLecture_ = true;
}

void SourceFfmpeg::Arreter()
{
    enLecture_ = false;
    pause_ = false;
    if (terminee_ || departMs_ != 0 || tramesJouees_ != 0)
        DefinirTemps(0);
}

void SourceFfmpeg::DefinirTemps(std::int32_t ms)
{
    ms = std::max<std::int32_t>(ms, 0);
    if (longueurMs_ > 0)
        ms = std::min(ms, longueurMs_);
    ArreterDecodage();
    {
        MoteurAudio::Verrou verrou(moteur_);
        file_.Vider();
        departMs_ = ms;
        tramesJouees_ = 0;
        terminee_ = false;
        finFichier_ = false;
    }
    Demarrer(ms);
}

void SourceFfmpeg::Demarrer(std::int32_t departMs)
{
    finDemandee_ = false;
    fil_ = std::make_unique<Travailleur>([this, departMs](Travailleur&) { Decoder(departMs); });
    fil_->Demarrer();
}

void SourceFfmpeg::ArreterDecodage()
{
    if (!fil_)
        return;
    {
        std::lock_guard<std::mutex> verrou(attente_);
        finDemandee_ = true;
    }
    reveil_.notify_all();
    fil_->Joindre();
    fil_.reset();
}

void SourceFfmpeg::Melanger(float* sortie, int trames)
{
    if (!enLecture_.load(std::memory_order_relaxed) || pause_.load(std::memory_order_relaxed))
        return;
    const int lues = file_.Melanger(sortie, trames);
    tramesJouees_.fetch_add(lues, std::memory_order_relaxed);
    if (lues < trames && finFichier_.load(std::memory_order_acquire) && file_.Disponibles() == 0) {
        terminee_ = true;
        enLecture_ = false;
    }
}

// Waits for room in the queue; false when asked to end.
bool SourceFfmpeg::Pousser(const float* trames, int nombre)
{
    while (nombre > 0) {
        const int n = file_.Ecrire(trames, nombre);
        trames += 2 * n;
        nombre -= n;
        if (nombre > 0) {
            std::unique_lock<std::mutex> verrou(attente_);
            reveil_.wait_for(verrou, std::chrono::milliseconds(10), [this] { return finDemandee_.load(); });
        }
        if (finDemandee_)
            return false;
    }
    return true;
}

// The decoding thread: seeks to departMs, then decodes to the end of the
// file or until asked to end.
void SourceFfmpeg::Decoder(std::int32_t departMs)
{
    Decodeur& d = *decodeur_;
    AVStream* flux = d.format->streams[d.flux];
    // Stream times start at the stream's start time, file times at 0.
    const std::int64_t origine = flux->start_time != AV_NOPTS_VALUE ? flux->start_time : 0;
    std::int64_t aJeter = 0; // output frames before departMs still to drop
    bool premiereTrame = true;
    if (!d.neuf || departMs > 0) {
        const std::int64_t cible = origine + av_rescale_q(departMs, AVRational{1, 1000}, flux->time_base);
        if (av_seek_frame(d.format.get(), d.flux, cible, AVSEEK_FLAG_BACKWARD) < 0)
            av_seek_frame(d.format.get(), -1, std::int64_t(departMs) * 1000, AVSEEK_FLAG_BACKWARD);
        avcodec_flush_buffers(d.codec.get());
        d.reechantillonneur.reset();
    }
    d.neuf = false;

    auto convertir = [&](const AVFrame* t) -> bool {
        if (t && !d.PreparerReechantillonneur(*t))
            return true; // an undecodable frame is skipped
        if (!d.reechantillonneur)
            return true;
        const int entrees = t ? t->nb_samples : 0;
        const int place = swr_get_out_samples(d.reechantillonneur.get(), entrees);
        // A frame that would convert to more than this is a forged one.
        if (place <= 0 || place > TramesConvertiesMax)
            return true;
        d.converti.resize(size_t(place) * 2);
        auto* sortie = reinterpret_cast<std::uint8_t*>(d.converti.data());
        const int n = swr_convert(d.reechantillonneur.get(), &sortie, place,
                                  t ? const_cast<const std::uint8_t**>(t->extended_data) : nullptr, entrees);
        if (n <= 0)
            return true;
        if (t && premiereTrame) {
            premiereTrame = false;
            const std::int64_t pts = t->best_effort_timestamp;
            if (pts != AV_NOPTS_VALUE) {
                const std::int64_t debut =
                    av_rescale_q(pts - origine, flux->time_base, AVRational{1, MoteurAudio::Frequence});
                aJeter = std::int64_t(departMs) * MoteurAudio::Frequence / 1000 - debut;
            }
        }
        int debut = 0;
        if (aJeter > 0) {
            debut = int(std::min<std::int64_t>(aJeter, n));
            aJeter -= debut;
        }
        return Pousser(d.converti.data() + 2 * debut, n - debut);
    };

    auto recevoir = [&]() -> bool {
        while (avcodec_receive_frame(d.codec.get(), d.trame.get()) == 0) {
            const bool suite = convertir(d.trame.get());
            av_frame_unref(d.trame.get());
            if (!suite)
                return false;
        }
        return true;
    };

    while (!finDemandee_) {
        const int lu = av_read_frame(d.format.get(), d.paquet.get());
        if (lu < 0)
            break; // end of file, or a read error: both end the sound
        if (d.paquet->stream_index == d.flux)
            avcodec_send_packet(d.codec.get(), d.paquet.get()); // a damaged packet is skipped
        av_packet_unref(d.paquet.get());
        if (!recevoir())
            return;
    }
    if (finDemandee_)
        return;
    avcodec_send_packet(d.codec.get(), nullptr);
    if (!recevoir() || !convertir(nullptr))
        return;
    finFichier_.store(true, std::memory_order_release);
}
