#pragma once

// The life of a scan, one at a time: its three workers (the walk, the
// store's filing, and the worker of the floor that shows the scan, made
// through EcouteScan), its state, pause and stop, and its end. It is the
// one end-of-scan channel: it subscribes to the store's end notice, drops
// a notice of an earlier scan, and announces the end by Termine(). Lives
// on the user-interface thread; its signals are emitted there.

#include <QObject>

#include <memory>
#include <string>

class EcouteScan;
class Scanneur;
class Stockage;
class ThreadScanneur;
class ThreadStockage;
class Travailleur;

class GestionScan : public QObject
{
    Q_OBJECT
public:
    enum class EtatScan { Jamais, EnCours, EnPause, Termine };
    Q_ENUM(EtatScan)
    // Why a scan ended: its store filed everything, the user stopped it,
    // or the program closes. The numbers are the journal's.
    enum class ModeArret { Fin = 0, Utilisateur = 1, Fermeture = 2 };
    Q_ENUM(ModeArret)

    // Subscribes to the store's end notice.
    GestionScan(Stockage& stockage, Scanneur& scanneur, EcouteScan& ecoute);
    // Stops the workers.
    ~GestionScan() override;

    // Starts a scan of a directory already checked, unless one runs or is
    // paused (false then). Stops the workers of the last scan, empties the
    // store, emits Demarre(), then clears the end marks of the store and
    // of EcouteScan before any worker of this scan runs, and starts the
    // third worker, the store's and the walk's, in that order.
    bool Lancer(const std::string& chemin);
    // Tests: the walks started from now on stop at their first check point
    // (after the root's listing), as a pause asked at once stops them; they
    // go on when a pause and a resume, or a stop, let them.
    bool RetenirMarche = false;
    // Pauses a running scan (the walk and the store's filing stand at a
    // check point when EnPause() is emitted) or resumes a paused one
    // (Repris()); does nothing otherwise.
    void Basculer();
    // Ends the scan and emits Termine(mode), then writes the journal's
    // "fin-scan" line. Utilisateur and Fermeture always end, running,
    // paused or not: they stop the walk and the store's filing and tell
    // EcouteScan that nothing more comes; Fermeture stops the third worker
    // too. Fin (the store filed everything) is ignored unless a scan runs
    // or is paused.
    void Arreter(ModeArret mode);
    // Stops every worker of the current scan for good, leaving the state
    // as it is (a new scan, the program's end).
    void TerminerTravailleurs();
    EtatScan Etat() const { return etat_; }
    // Whether a scan runs or is paused.
    bool EnVie() const { return etat_ == EtatScan::EnCours || etat_ == EtatScan::EnPause; }
    // Whether the walk and the filing of the last scan have returned (none
    // started counts as returned): nothing more can reach the store.
    bool TravailleursFinis() const;

signals:
    // A new scan: the store is empty and no worker of this scan runs yet.
    void Demarre();
    // The walk and the filing stand still.
    void EnPause();
    void Repris();
    // The scan has ended; the workers that end stopped are done (with Fin,
    // the store has filed everything). Subscribers run before the journal
    // line is written.
    void Termine(GestionScan::ModeArret mode);

private:
    // Store worker, through a direct connection: tells EcouteScan at once,
    // then hands the notice to the user-interface thread.
    void StockageFini(quint64 scan);
    // User-interface thread: ends the scan the notice belongs to, if it is
    // still the current one.
    void FinRecue(quint64 scan);

    Stockage& stockage_;
    Scanneur& scanneur_;
    EcouteScan& ecoute_;
    EtatScan etat_ = EtatScan::Jamais;
    std::unique_ptr<Travailleur> travailleurEcoute_;
    std::unique_ptr<ThreadStockage> threadStockage_;
    std::unique_ptr<ThreadScanneur> threadScanneur_;
};
