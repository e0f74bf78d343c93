#include "preview/Son.h"

#include "media/FichierMedia.h"
#include "media/SourceFfmpeg.h"
#include "media/SourceMidi.h"
#include "shared/AppelDiffere.h"
#include "shared/PrioriteFil.h"
#include "shared/Textes.h"

#include <algorithm>
#include <utility>

Son::Son() : moteur_(std::make_unique<MoteurAudio>()), fil_([this](Travailleur& fil) { Charger(fil.Jeton()); })
{
    fil_.Demarrer();
    moteur_->DefinirCapture(&AnimationSon::Capturer, &animation_);
}

Son::~Son()
{
    Abandonner();
    fil_.Arreter();
    // What was loaded for nobody goes before the output, as the sources do.
    std::optional<Reponse> perdue;
    {
        const std::lock_guard verrou(verrou_);
        perdue = std::exchange(reponse_, std::nullopt);
    }
    perdue.reset();
    musique_.reset();
    flux_.reset();
    moteur_->DefinirCapture(nullptr, nullptr);
}

void Son::Ouvrir(std::string chemin, bool jouer)
{
    if (jouer && EnPause && chemin == chemin_ && (flux_ || musique_ || chargement_)) {
        // Resumes where it stopped (from the beginning once finished).
        EnPause = false;
        FichierCourant = chemin;
        if (chargement_)
            jouerALArrivee_ = true;
        else
            Reprendre();
        return;
    }
    EnPause = false;
    musique_.reset();
    flux_.reset();
    FichierCourant = jouer ? chemin : std::string();
    chemin_ = std::move(chemin);
    jouerALArrivee_ = jouer;
    echec_.clear();
    chargement_ = true;
    Demander(chemin_);
}

void Son::Reprendre()
{
    if (flux_)
        flux_->Jouer();
    if (musique_) {
        if (musique_->EnLecture())
            musique_->DefinirPause(false);
        else
            musique_->Jouer();
    }
}

void Son::Stop()
{
    if (flux_)
        flux_->Arreter();
    if (musique_)
        musique_->Arreter();
    EnPause = false;
    jouerALArrivee_ = false;
    if (!FichierCourant.empty())
        Ouvrir(FichierCourant, false); // reloads silently, at the beginning
}

void Son::Pause(bool pause)
{
    if (flux_)
        flux_->DefinirPause(pause);
    if (musique_)
        musique_->DefinirPause(pause);
    if (pause)
        jouerALArrivee_ = false;
    EnPause = pause;
}

bool Son::LectureTerminee() const
{
    if (musique_)
        return musique_->Terminee();
    return flux_ && flux_->Terminee();
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
    // A file longer than its header says stays at the end of the bar.
    const std::int64_t produit = std::int64_t(flux_->Temps()) * 100;
    return int(std::min<std::int64_t>(produit / flux_->LongueurMs(), 100));
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
    if (!musique_ && flux_ && flux_->LongueurMs() > 0)
        return Textes::Temps(flux_->LongueurMs());
    return {};
}

void Son::Demander(const std::string& chemin)
{
    ++generation_;
    boite_.Deposer(Demande{generation_, chemin});
}

void Son::Abandonner()
{
    ++generation_;
    boite_.Abandonner();
}

// The loading thread: one request at a time, the newest; one abandoned
// meanwhile is dropped here.
void Son::Charger(std::stop_token arret)
{
    PrioriteFil::CederALaFenetre();
    for (;;) {
        Demande demande;
        std::stop_token arretDemande;
        if (!boite_.Prendre(arret, demande, arretDemande))
            return;
        std::optional<Reponse> reponse = Preparer(demande, arretDemande);
        if (arretDemande.stop_requested())
            continue;
        {
            const std::lock_guard verrou(verrou_);
            std::swap(reponse_, reponse);
        }
        reponse.reset(); // an older answer not taken yet, outside the lock
        AppelDiffere(this, [this] { Recevoir(); });
    }
}

Son::Reponse Son::Preparer(const Demande& demande, std::stop_token arret)
{
    Reponse reponse;
    reponse.Generation = demande.Generation;
    Resultat<Descripteur> fichier = FichierMedia::Ouvrir(demande.Chemin);
    if (!fichier) {
        reponse.Echec = QString::fromStdString(fichier.Echec().Message);
        return reponse;
    }
    // MIDI first, as module music was tried first; then any stream.
    reponse.Musique = SourceMidi::Charger(*moteur_, fichier.Valeur().Fd());
    if (!reponse.Musique && !arret.stop_requested())
        reponse.Flux = SourceFfmpeg::Ouvrir(*moteur_, std::move(fichier).Valeur(), arret);
    if (!reponse.Musique && !reponse.Flux)
        reponse.Echec = QString::fromStdString(FichierMedia::FormatInconnu().Message);
    return reponse;
}

void Son::Recevoir()
{
    std::optional<Reponse> reponse;
    {
        const std::lock_guard verrou(verrou_);
        reponse = std::exchange(reponse_, std::nullopt);
    }
    if (!reponse || reponse->Generation != generation_)
        return; // a newer load was asked for meanwhile
    chargement_ = false;
    musique_ = std::move(reponse->Musique);
    flux_ = std::move(reponse->Flux);
    echec_ = reponse->Echec;
    if (jouerALArrivee_ && !EnPause) {
        if (musique_)
            musique_->Jouer();
        if (flux_)
            flux_->Jouer();
    }
    jouerALArrivee_ = false;
    emit Charge();
}
