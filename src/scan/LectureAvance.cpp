#include "scan/LectureAvance.h"

#include "shared/Travailleur.h"

#include <chrono>
#include <utility>

namespace {

// Listings under way or ready at most: enough to keep the disk busy, little
// memory (the names of a few hundred directories).
constexpr size_t Fenetre = 256;
// Slow listings of the walk before the readers start.
constexpr int ListingsLents = 4;
// How often an idle reader looks whether the walk is still paused.
constexpr auto RegardPause = std::chrono::milliseconds(5);

} // namespace

LectureAvance::LectureAvance(const Explorateur& explorateur, const Travailleur& marche, int lecteurs,
                             std::chrono::microseconds attente, std::atomic<uint64_t>& lues,
                             Explorateur::AMesurer aMesurer)
    : explorateur_(explorateur), marche_(marche), aMesurer_(std::move(aMesurer)), lectures_(lues),
      nombreLecteurs_(lecteurs), attente_(attente)
{
    if (attente_.count() <= 0) {
        std::lock_guard verrou(verrou_);
        Demarrer();
    }
}

void LectureAvance::Demarrer()
{
    // Made on the walk's thread, so the readers inherit its priority.
    for (int i = 0; i < nombreLecteurs_; ++i) {
        lecteurs_.push_back(std::make_unique<Travailleur>([this](Travailleur&) { Lecteur(); }));
        lecteurs_.back()->Demarrer();
    }
}

LectureAvance::~LectureAvance()
{
    {
        std::lock_guard verrou(verrou_);
        arret_ = true;
    }
    pourLecteurs_.notify_all();
    for (const std::unique_ptr<Travailleur>& lecteur : lecteurs_)
        lecteur->Joindre();
}

void LectureAvance::Oublier()
{
    std::lock_guard verrou(verrou_);
    // Listings under way are dropped when they end: their generation is old.
    ++generation_;
    lues_.clear();
    pourLecteurs_.notify_all();
}

void LectureAvance::Annoncer(const Rang& rang, const std::string& chemin,
                             const std::vector<std::string>& sousRepertoires)
{
    if (lecteurs_.empty())
        return;
    Rang enfant = rang;
    enfant.push_back(0);
    for (size_t i = 0; i < sousRepertoires.size(); ++i) {
        enfant.back() = static_cast<uint32_t>(i);
        if (!lues_.contains(enfant))
            aLire_.try_emplace(enfant, Explorateur::Joindre(chemin, sousRepertoires[i]));
    }
}

void LectureAvance::Lister(const Rang& rang, const std::string& chemin, std::vector<std::string>& sousRepertoires,
                           std::string& fichiers, std::vector<int64_t>& tailles, bool mesurer)
{
    tailles.clear();
    const Explorateur::AMesurer aucun;
    const Explorateur::AMesurer& aMesurer = mesurer ? aMesurer_ : aucun;
    if (lecteurs_.empty()) {
        const auto debut = std::chrono::steady_clock::now();
        explorateur_.ListerRepertoire(chemin, explorateur_.ReglagesActuels(), sousRepertoires, fichiers, aMesurer,
                                      &tailles);
        // A few slow listings, not one: a listing of the page cache may be
        // slow once, when the walk is preempted.
        if (nombreLecteurs_ <= 0 || std::chrono::steady_clock::now() - debut < attente_ ||
            ++listingsLents_ < ListingsLents)
            return;
        // The disk is being read: from here on, the directories below are
        // read ahead.
        {
            std::lock_guard verrou(verrou_);
            Demarrer();
            Annoncer(rang, chemin, sousRepertoires);
        }
        pourLecteurs_.notify_all();
        return;
    }

    std::unique_lock verrou(verrou_);
    // Everything before this rank is behind the walk for good: a listing of
    // a directory since gone, or of one the walk no longer takes.
    lues_.erase(lues_.begin(), lues_.lower_bound(rang));
    aLire_.erase(aLire_.begin(), aLire_.upper_bound(rang));

    const auto lue = lues_.find(rang);
    if (lue != lues_.end() && lue->second.Chemin == chemin && lue->second.Generation == generation_) {
        pourMarche_.wait(verrou, [&] { return lue->second.Prete || lue->second.Generation != generation_; });
        // Oublier() is only called by the walk, so the entry is still there.
        const bool bonne =
            lue->second.Generation == generation_ && lue->second.Reglages == explorateur_.ReglagesActuels();
        if (bonne) {
            sousRepertoires = std::move(lue->second.SousRepertoires);
            fichiers = std::move(lue->second.Fichiers);
            tailles = std::move(lue->second.Tailles);
            lues_.erase(lue);
            pourLecteurs_.notify_one();
            return;
        }
        // The settings changed since it was read: what was read ahead from
        // it may name directories the walk will not take.
        ++generation_;
        lues_.clear();
        aLire_.clear();
    }
    verrou.unlock();
    explorateur_.ListerRepertoire(chemin, explorateur_.ReglagesActuels(), sousRepertoires, fichiers, aMesurer,
                                  &tailles);
    verrou.lock();
    Annoncer(rang, chemin, sousRepertoires);
    verrou.unlock();
    pourLecteurs_.notify_all();
}

void LectureAvance::Lecteur()
{
    std::unique_lock verrou(verrou_);
    for (;;) {
        const auto pret = [&] {
            return arret_ || marche_.ArretDemande() ||
                   (!marche_.Suspendu() && !aLire_.empty() && lues_.size() < Fenetre);
        };
        // No wake-up comes with a pause nor its end: look again now and then.
        while (!pret())
            pourLecteurs_.wait_for(verrou, RegardPause);
        if (arret_ || marche_.ArretDemande())
            return;

        const auto premier = aLire_.begin();
        const Rang rang = premier->first;
        const std::string chemin = std::move(premier->second);
        aLire_.erase(premier);
        const uint64_t generation = generation_;
        lues_[rang] = Lecture{chemin, generation, false, {}, {}, {}, {}};

        const Explorateur::Reglages reglages = explorateur_.ReglagesActuels();
        std::vector<std::string> sousRepertoires;
        std::string fichiers;
        std::vector<int64_t> tailles;
        verrou.unlock();
        explorateur_.ListerRepertoire(chemin, reglages, sousRepertoires, fichiers, aMesurer_, &tailles);
        verrou.lock();

        lectures_.fetch_add(1);
        const auto lue = lues_.find(rang);
        if (lue == lues_.end() || lue->second.Generation != generation || generation != generation_) {
            // Dropped meanwhile; wake the walk in case it waits for it.
            if (lue != lues_.end() && lue->second.Generation == generation)
                lues_.erase(lue);
            pourMarche_.notify_all();
            continue;
        }
        Annoncer(rang, chemin, sousRepertoires);
        lue->second.Reglages = reglages;
        lue->second.SousRepertoires = std::move(sousRepertoires);
        lue->second.Fichiers = std::move(fichiers);
        lue->second.Tailles = std::move(tailles);
        lue->second.Prete = true;
        pourMarche_.notify_all();
    }
}
