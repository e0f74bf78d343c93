#pragma once

// The stream of "Par Répertoire" roots during a scan. The store tells it,
// on its worker, each directory group it files; the stream counts them per
// category and keeps one wake-up queued for the user-interface thread,
// which takes the counts (at most TailleLotMax roots a turn) and announces
// them. A root keeps no text: its tree shows the store's. It also keeps
// whether roots are still on their way (the running label's state). It
// owns no thread and no widget.

#include "scan/EcouteScan.h"
#include "scan/EcouteStockage.h"
#include "shared/Categorie.h"

#include <QObject>

#include <array>
#include <atomic>
#include <memory>

class FluxRepertoires : public QObject, public EcouteStockage, public EcouteScan
{
    Q_OBJECT
public:
    // At most this many roots reach the trees in one turn of the
    // user-interface thread's event loop.
    static constexpr int TailleLotMax = 5000;

    explicit FluxRepertoires(QObject* parent = nullptr);

    // Store worker: one more directory group of the category.
    void RepertoireClasse(Categorie categorie) override;
    // User-interface thread, before the workers of a new scan: forgets the
    // roots of an earlier scan not yet announced, and its end.
    void PreparerScan() override;
    // None: the stream needs no thread of its own.
    std::unique_ptr<Travailleur> CreerTravailleur() override;
    // Any thread: nothing more comes for this scan.
    void FinScan() override;

    // User-interface thread: whether a scan runs and is not paused.
    void DefinirScanActif(bool actif);
    // User-interface thread: whether roots are still on their way: some
    // counted and not announced, or a running scan not ended.
    bool EnCours() const;

    // Whether the end of the scan was told (FinScan sets it).
    const std::atomic<bool>& FinDemandee = finDemandee_;

signals:
    // `nombre` more roots of the category, in filing order.
    void RacinesArrivees(Categorie categorie, int nombre);
    void EnCoursChange(bool enCours);

private:
    // Any thread: queues the wake-up unless one is queued already.
    void Reveiller();
    void Livrer(quint64 scan);
    bool Vide() const;
    void Rafraichir();

    std::array<std::atomic<int>, NombreCategories> aAjouter_{};
    std::atomic<bool> reveilPrevu_{false};
    std::atomic<bool> finDemandee_{false};
    std::atomic<quint64> numeroScan_{0};
    bool scanActif_ = false; // user-interface thread
    bool enCours_ = false;   // the state last announced
};
