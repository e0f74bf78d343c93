#pragma once

// The rules around the twelve category trees: adding nodes for the store,
// placeholders before and during a scan, the visible order per category,
// and the worker that grows the "Par Répertoire" trees during a scan.

#include "shared/Semaphore.h"
#include "shared/TAttente.h"
#include "trees/EnfantNoeud.h"
#include "trees/Noeud.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

class ArbreCategorie;
class GestionMenu;
class GestionProgressBar;
class Option;
class Travailleur;

class GestionTreeView : public QObject
{
    Q_OBJECT
public:
    enum class ModeVider { Tous, ExtensionEtAlphabetique };

    static const QString TexteInvitation;   // Cliquer sur " Lancement du Scan "
    static const QString TextePatientez;    // "Patientez  ..."
    static const QString TexteAttente;      // "..."

    GestionTreeView();
    ~GestionTreeView() override;

    void Lier(Option* option) { option_ = option; }
    void Lier(GestionProgressBar* barre) { barre_ = barre; }
    void Lier(GestionMenu* menu) { menu_ = menu; }

    // User-interface thread only.
    ArbreCategorie* Arbre(int categorie, int ordre) const;
    Noeud* AjouterRacine(int categorie, int ordre, const QString& texte, int image);
    Noeud* AjouterEnfant(int categorie, int ordre, const QString& texte, int image, Noeud* parent);
    void Vider(ModeVider mode);
    void AfficherPatientez();
    void InitialiserOrdres(int video, int son, int image, int texte);
    void AfficherArbresVideo(int ordre, bool montrer);
    void AfficherArbresSon(int ordre, bool montrer);
    void AfficherArbresImage(int ordre, bool montrer);
    void AfficherArbresTexte(int ordre, bool montrer);
    void ChangerOrdre(int zone, int index);
    void Deselectionner();
    void AjouterRepertoire(const TAttente& attente);

    // Any thread: queues one "Par Répertoire" root node.
    void Empiler(int categorie, std::string texte);
    // Before the workers of a scan start: clears FinDemandee and the queue,
    // and drops what an earlier scan's worker may still have posted.
    void PreparerScan();
    // The tree worker's loop; returns when FinDemandee is set and the queue
    // is empty, or when the worker is stopped.
    void Traiter(Travailleur& travailleur);
    // Any thread: hands a fill job's children to the user-interface thread,
    // which replaces the node's children in one batch if the tree still
    // holds the node (same generation).
    void RemplacerEnfants(int categorie, int ordre, Noeud* noeud, quint64 generation,
                          std::vector<EnfantNoeud> enfants);

    std::atomic<bool> FinDemandee{false};
    uint8_t OrdreCourant[4] = {3, 3, 3, 1};

    // At most this many records go into one batch posted to the
    // user-interface thread, and at most this many batches wait there.
    static constexpr size_t TailleLotMax = 5000;
    static constexpr int LotsEnVolMax = 4;
    // Batches posted by the worker and not yet applied.
    int LotsEnVol() const { return lotsEnVol_.load(); }

private:
    struct Lot;

    void AfficherArbres(int categorie, int ordre, bool montrer);
    void Publier(quint64 scan, std::vector<TAttente>& attentes);
    void AppliquerLot(quint64 scan, const Lot& lot);
    void TerminerAffichage(quint64 scan);

    Option* option_ = nullptr;
    GestionProgressBar* barre_ = nullptr;
    GestionMenu* menu_ = nullptr;
    std::deque<TAttente> FileAttente;
    Semaphore Verrou;
    std::atomic<quint64> numeroScan_{0};
    std::atomic<int> lotsEnVol_{0};
};
