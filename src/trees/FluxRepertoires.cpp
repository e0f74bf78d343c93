#include "trees/FluxRepertoires.h"

#include "shared/AppelDiffere.h"
#include "shared/Travailleur.h"

#include <algorithm>

FluxRepertoires::FluxRepertoires(QObject* parent) : QObject(parent) {}

void FluxRepertoires::RepertoireClasse(Categorie categorie)
{
    if (!CategorieValide(categorie))
        return;
    aAjouter_[Slot(categorie)].fetch_add(1);
    Reveiller();
}

void FluxRepertoires::PreparerScan()
{
    ++numeroScan_; // a wake-up of an earlier scan still queued is dropped
    for (std::atomic<int>& nombre : aAjouter_)
        nombre.store(0);
    finDemandee_.store(false);
    reveilPrevu_.store(false);
    Rafraichir();
}

std::unique_ptr<Travailleur> FluxRepertoires::CreerTravailleur()
{
    return nullptr;
}

void FluxRepertoires::FinScan()
{
    finDemandee_.store(true);
    Reveiller();
}

void FluxRepertoires::DefinirScanActif(bool actif)
{
    scanActif_ = actif;
    Rafraichir();
}

bool FluxRepertoires::EnCours() const
{
    return !Vide() || (scanActif_ && !finDemandee_.load());
}

void FluxRepertoires::Reveiller()
{
    if (reveilPrevu_.exchange(true))
        return;
    const quint64 scan = numeroScan_.load();
    AppelDiffere(this, [this, scan] { Livrer(scan); });
}

void FluxRepertoires::Livrer(quint64 scan)
{
    if (scan != numeroScan_.load())
        return;
    // Cleared before the counts are read: a root counted after that read
    // queues a wake-up of its own.
    reveilPrevu_.store(false);
    // Each category its share first, then what is left in order: a
    // category with many roots waiting holds the others back by no turn.
    // Only this thread takes from the counts: none falls below what is read.
    std::array<int, NombreCategories> pris{};
    int place = TailleLotMax;
    for (int passe = 0; passe < 2; ++passe)
        for (size_t i = 0; i < pris.size(); ++i) {
            const int part = passe == 0 ? TailleLotMax / NombreCategories : place;
            const int n = std::min({aAjouter_[i].load() - pris[i], part, place});
            pris[i] += n;
            place -= n;
        }
    for (Categorie categorie : Categories)
        if (const int n = pris[Slot(categorie)]; n > 0) {
            aAjouter_[Slot(categorie)].fetch_sub(n);
            emit RacinesArrivees(categorie, n);
        }
    if (!Vide())
        Reveiller(); // the rest at the next turn
    Rafraichir();
}

bool FluxRepertoires::Vide() const
{
    return std::all_of(aAjouter_.begin(), aAjouter_.end(), [](const std::atomic<int>& n) { return n.load() == 0; });
}

void FluxRepertoires::Rafraichir()
{
    const bool enCours = EnCours();
    if (enCours == enCours_)
        return;
    enCours_ = enCours;
    emit EnCoursChange(enCours);
}
