#include "preview/Son.h"

#include "media/SourceFfmpeg.h"
#include "media/SourceMidi.h"
#include "shared/Textes.h"


Son::Son()
{
    moteur_ = std::make_unique<MoteurAudio>();
    moteur_->DefinirCapture(&AnimationSon::Capturer, &animation_);
}

Son::~Son()
{
    musique_.reset();
    flux_.reset();
    moteur_->DefinirCapture(nullptr, nullptr);
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
        return Textes::Temps(flux_->Temps());
    if (musique_)
        return Textes::Temps(musique_->Temps());
    return Textes::Temps(0);
}

QString Son::DureeTotale() const
{
    QString texte;
    if (flux_)
        texte = Textes::Temps(flux_->LongueurMs());
    if (musique_)
        texte.clear();
    return texte;
}
