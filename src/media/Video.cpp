#include "media/Video.h"

#include "media/SurfaceVideo.h"
#include "shared/AppelDiffere.h"
#include "shared/Textes.h"

#include <QMetaObject>

#include <algorithm>
#include <charconv>
#include <clocale>
#include <cmath>
#include <memory>
#include <string>

namespace {

using Horloge = std::chrono::steady_clock;

constexpr std::int64_t MillisecondesParSeconde = 1000;

// Reply numbers of the observed properties.
enum Propriete : std::uint64_t { ProprietePosition = 1, ProprieteDuree, ProprietePause };

// A player that starts the file by itself, shows no controls of its own,
// reads no user configuration, decodes in software (a 160 × 160 picture
// needs no more, and probing the hardware decoders costs time at each
// start) and stays alive (idle) after the end. With a video-timing offset
// of 0, the frame is handed over at its display time, so drawing it on the
// user-interface thread never waits for that time to come.
constexpr const char* OptionsLecteur[][2] = {
    {"idle", "yes"},
    {"keep-open", "no"},
    {"terminal", "no"},
    {"config", "no"},
    {"load-scripts", "no"},
    {"input-default-bindings", "no"},
    {"input-vo-keyboard", "no"},
    {"osc", "no"},
    {"osd-level", "0"},
    {"ytdl", "no"},
    {"audio-display", "no"},
    {"hwdec", "no"},
    {"gpu-hwdec-interop", "no"},
    {"video-timing-offset", "0"},
};

} // namespace

void Video::DetruireLecteur::operator()(mpv_handle* lecteur) const
{
    Bibliotheque->terminate_destroy(lecteur);
}

Video::Video(QObject* parent)
    : QObject(parent), ouvreur_([this](std::uint64_t numero, Resultat<Descripteur> fichier) {
          auto partage = std::make_shared<Resultat<Descripteur>>(std::move(fichier));
          AppelDiffere(this, [this, numero, partage] { Ouvert(int(numero), std::move(*partage)); });
      })
{}

Video::~Video()
{
    Stop();
    Liberer();
    if (surface_)
        surface_->video_ = nullptr;
}

void Video::Initialiser(SurfaceVideo* surface)
{
    if (surface_)
        surface_->video_ = nullptr;
    surface_ = surface;
    if (surface_)
        surface_->video_ = this;
    etat_ = Arrete;
    // QApplication takes the numeric locale from the environment; libmpv
    // refuses to create a player unless it is "C".
    std::setlocale(LC_NUMERIC, "C");
}

void Video::Ouvrir(const std::string& chemin)
{
    if (etat_ == EnPause && !terminee_) {
        Pause(false);
        return;
    }
    // The previous player and what its surface held go; the surface stays
    // hidden until a new player is under way.
    Liberer();
    if (surface_)
        surface_->Montrer(false);

    mpv_ = BibliothequeMpv::Charger(reglages_.Bibliotheque);
    if (!mpv_ || !CreerLecteur()) {
        emit ErreurLecture();
        return;
    }
    ++instances_;
    const int numero = instances_;
    ouvreur_.Demander(std::uint64_t(numero), chemin);
    auto pret = [this, numero] {
        if (lecteur_ && numero == instances_) {
            surfacePrete_ = true;
            ChargerSiPret();
        }
    };
    if (surface_)
        surface_->Attacher(lecteur_.get(), *mpv_, pret);
    else
        pret();
    MontrerFenetre(true);
    etat_ = EnCours;
}

bool Video::CreerLecteur()
{
    mpv_handle* lecteur = mpv_->create();
    if (!lecteur)
        return false;
    lecteur_ = std::unique_ptr<mpv_handle, DetruireLecteur>(lecteur, DetruireLecteur{mpv_});
    // Unknown options (osc without Lua, say) are refused one by one, harmlessly.
    for (const auto& [nom, valeur] : OptionsLecteur)
        mpv_->set_option_string(lecteur, nom, valeur);
    mpv_->set_option_string(lecteur, "vo", surface_ && surface_->RenduIntegre() ? "libmpv" : "null");
    mpv_->set_option_string(lecteur, "ao", reglages_.SortieAudio.c_str());
    if (mpv_->initialize(lecteur) < 0) {
        lecteur_.reset();
        return false;
    }
    derniere_.reset();
    precedente_.reset();
    duree_ = 0;
    pauseLecteur_ = false;
    mpv_->observe_property(lecteur, ProprietePosition, "time-pos", MPV_FORMAT_DOUBLE);
    mpv_->observe_property(lecteur, ProprieteDuree, "duration", MPV_FORMAT_DOUBLE);
    mpv_->observe_property(lecteur, ProprietePause, "pause", MPV_FORMAT_FLAG);
    mpv_->set_wakeup_callback(lecteur, &Video::Reveil, this);
    return true;
}

void Video::Ouvert(int numero, Resultat<Descripteur> fichier)
{
    if (numero != instances_ || !lecteur_)
        return; // a newer start came meanwhile
    if (!fichier) {
        Stop();
        emit LectureImpossible(QString::fromStdString(fichier.Echec().Message));
        return;
    }
    fichier_ = std::move(fichier).Valeur();
    ChargerSiPret();
}

void Video::ChargerSiPret()
{
    if (!lecteur_ || !surfacePrete_ || !fichier_ || charge_)
        return;
    charge_ = true;
    // The descriptor's own name: the file that was checked, whatever the
    // length of its path.
    Charger("/proc/self/fd/" + std::to_string(fichier_->Fd()));
}

void Video::Charger(const std::string& chemin)
{
    // mpv reads "-" as standard input and "name:" as a protocol; a path that
    // does not start at the root is made explicit.
    const std::string fichier = chemin.starts_with('/') ? chemin : "./" + chemin;
    const char* commande[] = {"loadfile", fichier.c_str(), nullptr};
    mpv_->command_async(lecteur_.get(), 0, commande);
}

void Video::Liberer()
{
    if (!lecteur_)
        return;
    // The surface's drawing context must go before the player.
    if (surface_)
        surface_->Detacher();
    lecteur_.reset();
    derniere_.reset();
    precedente_.reset();
    duree_ = 0;
    fichier_.reset();
    surfacePrete_ = false;
    charge_ = false;
    aJoue_ = false;
    terminee_ = false;
}

void Video::Pause(bool pause)
{
    if (!lecteur_)
        return;
    int drapeau = pause ? 1 : 0;
    mpv_->set_property_async(lecteur_.get(), 0, "pause", MPV_FORMAT_FLAG, &drapeau);
    etat_ = pause ? EnPause : EnCours;
}

void Video::Stop()
{
    if (!lecteur_)
        return;
    const char* commande[] = {"stop", nullptr};
    mpv_->command_async(lecteur_.get(), 0, commande);
    MontrerFenetre(false);
    etat_ = Arrete;
}

void Video::MontrerFenetre(bool montrer)
{
    // Without a player there is no window to show.
    if (surface_)
        surface_->Montrer(montrer && lecteur_);
}

bool Video::EnLecture()
{
    if (!lecteur_ || etat_ == Arrete)
        return false;
    if (etat_ == EnPause)
        return true;
    Actualiser();
    return PositionBouge();
}

QString Video::TempsCourant()
{
    if (!lecteur_)
        return Textes::Temps(0);
    Actualiser();
    return Textes::Temps(std::int64_t(Position()) * MillisecondesParSeconde);
}

QString Video::DureeTotale()
{
    if (!lecteur_ || !EnLecture())
        return Textes::Temps(0);
    return Textes::Temps(std::int64_t(Duree()) * MillisecondesParSeconde);
}

double Video::Duree() const
{
    return std::isfinite(duree_) && duree_ > 0 && duree_ <= DureeMaxSecondes ? duree_ : 0.0;
}

int Video::Pourcentage()
{
    if (!lecteur_ || !EnLecture() || Duree() == 0)
        return -1;
    return std::clamp(int(Position() * 100 / Duree()), 0, 100);
}

void Video::Positionner(int pourcentage)
{
    if (!lecteur_)
        return;
    if (!EnLecture()) {
        int lecture = 0;
        mpv_->set_property_async(lecteur_.get(), 0, "pause", MPV_FORMAT_FLAG, &lecture);
    }
    if (Duree() == 0)
        return;
    char secondes[32];
    const auto fin = std::to_chars(secondes, secondes + sizeof secondes - 1, pourcentage * Duree() * 0.01,
                                   std::chars_format::fixed, 3);
    *fin.ptr = '\0';
    const char* commande[] = {"seek", secondes, "absolute", nullptr};
    mpv_->command_async(lecteur_.get(), 0, commande);
}

void Video::Reveil(void* video)
{
    // Called on one of mpv's threads: only hand over to the user-interface
    // thread, once until it has drained the queue.
    auto* moi = static_cast<Video*>(video);
    if (!moi->reveilDemande_.exchange(true))
        AppelDiffere(moi, [moi] {
            moi->reveilDemande_ = false;
            moi->Actualiser();
        });
}

void Video::Actualiser()
{
    bool impossible = false;
    while (lecteur_) {
        const mpv_event* evenement = mpv_->wait_event(lecteur_.get(), 0);
        if (evenement->event_id == MPV_EVENT_NONE)
            break;
        if (evenement->event_id == MPV_EVENT_START_FILE) {
            derniere_.reset();
            precedente_.reset();
        }
        if (evenement->event_id == MPV_EVENT_END_FILE) {
            // Without a sound device a natural end comes as an error: one
            // that came after the video moved is an end too.
            const auto& fin = *static_cast<const mpv_event_end_file*>(evenement->data);
            if (fin.reason == MPV_END_FILE_REASON_EOF || (fin.reason == MPV_END_FILE_REASON_ERROR && aJoue_))
                terminee_ = true;
            else if (fin.reason == MPV_END_FILE_REASON_ERROR && etat_ != Arrete)
                impossible = true;
        }
        if (evenement->event_id != MPV_EVENT_PROPERTY_CHANGE)
            continue;
        const auto& propriete = *static_cast<const mpv_event_property*>(evenement->data);
        const bool connue = propriete.format != MPV_FORMAT_NONE && propriete.data;
        switch (evenement->reply_userdata) {
        case ProprietePosition:
            NouvellePosition(propriete);
            break;
        case ProprieteDuree:
            duree_ = connue ? *static_cast<const double*>(propriete.data) : 0.0;
            break;
        case ProprietePause:
            pauseLecteur_ = connue && *static_cast<const int*>(propriete.data) != 0;
            break;
        default:
            break;
        }
    }
    if (impossible) {
        Stop();
        emit LectureImpossible(QString::fromStdString(FichierMedia::FormatInconnu().Message));
    }
}

void Video::NouvellePosition(const mpv_event_property& propriete)
{
    if (propriete.format == MPV_FORMAT_NONE || !propriete.data) {
        // Nothing loaded any more (stopped, ended, or never played).
        derniere_.reset();
        precedente_.reset();
        return;
    }
    precedente_ = derniere_;
    derniere_ = Lecture{*static_cast<const double*>(propriete.data), Horloge::now()};
    aJoue_ = true;
}

bool Video::PositionBouge() const
{
    using std::chrono::milliseconds;
    if (!derniere_ || !precedente_ || pauseLecteur_ || derniere_->Position == precedente_->Position)
        return false;
    // The next reading is due about one frame after the last; the frame
    // interval shows as the time between the last two readings, or as their
    // distance in the video when that is larger (right after a seek).
    const auto horloge = std::chrono::duration_cast<milliseconds>(derniere_->Instant - precedente_->Instant);
    const auto video = std::chrono::duration_cast<milliseconds>(
        std::chrono::duration<double>(std::abs(derniere_->Position - precedente_->Position)));
    const auto fenetre = std::clamp(std::max(horloge, video) * 3 / 2, FenetreMouvement, FenetreMouvementMax);
    return Horloge::now() - derniere_->Instant <= fenetre;
}
