#include "scan/GestionScan.h"

#include "scan/EcouteScan.h"
#include "scan/Stockage.h"
#include "scan/ThreadScanneur.h"
#include "scan/ThreadStockage.h"
#include "shared/AppelDiffere.h"
#include "shared/Categorie.h"
#include "shared/Journal.h"
#include "shared/Travailleur.h"

#include <QString>

namespace {

// Ends a worker of the scan for good, when it exists and is still working.
template <typename T>
void ArreterTravailleur(const std::unique_ptr<T>& travailleur)
{
    if (travailleur && !travailleur->Fini())
        travailleur->Arreter();
}

} // namespace

GestionScan::GestionScan(Stockage& stockage, Scanneur& scanneur, EcouteScan& ecoute)
    : stockage_(stockage), scanneur_(scanneur), ecoute_(ecoute)
{
    connect(&stockage_, &Stockage::FinStockage, this, &GestionScan::StockageFini, Qt::DirectConnection);
}

GestionScan::~GestionScan()
{
    TerminerTravailleurs();
}

bool GestionScan::Lancer(const std::string& chemin)
{
    if (EnVie())
        return false;

    // The workers of an earlier scan never touch the store of this one.
    TerminerTravailleurs();
    stockage_.Reinitialiser();
    etat_ = EtatScan::EnCours;
    emit Demarre();

    // The end marks are cleared before any worker of this scan runs, so
    // that a very short scan cannot set them first.
    ecoute_.PreparerScan();
    stockage_.PreparerScan();
    travailleurEcoute_ = ecoute_.CreerTravailleur();
    threadStockage_ = std::make_unique<ThreadStockage>(&stockage_);
    threadScanneur_ = std::make_unique<ThreadScanneur>(false, threadStockage_.get(), chemin, &scanneur_);
    if (RetenirMarche)
        threadScanneur_->Suspendre();
    return true;
}

void GestionScan::Basculer()
{
    if (etat_ == EtatScan::EnCours) {
        if (threadScanneur_)
            threadScanneur_->Suspendre();
        if (threadStockage_)
            threadStockage_->Suspendre();
        etat_ = EtatScan::EnPause;
        emit EnPause();
    } else if (etat_ == EtatScan::EnPause) {
        etat_ = EtatScan::EnCours;
        if (threadScanneur_)
            threadScanneur_->Reprendre();
        if (threadStockage_)
            threadStockage_->Reprendre();
        emit Repris();
    }
}

void GestionScan::Arreter(ModeArret mode)
{
    // The store's end notice may arrive after the user stopped the scan.
    if (mode == ModeArret::Fin && !EnVie())
        return;
    if (mode != ModeArret::Fin) {
        ArreterTravailleur(threadScanneur_);
        ArreterTravailleur(threadStockage_);
        ecoute_.FinScan();
        if (mode == ModeArret::Fermeture)
            ArreterTravailleur(travailleurEcoute_);
    }
    etat_ = EtatScan::Termine;
    // The subscribers (counters, trees built from the store) run first:
    // the journal line tells that everything of the end is done.
    emit Termine(mode);
    Journal::Ecrire(QString("fin-scan mode=%1 video=%2 son=%3 image=%4 texte=%5")
                        .arg(static_cast<int>(mode))
                        .arg(stockage_.Compteur(Categorie::Video))
                        .arg(stockage_.Compteur(Categorie::Son))
                        .arg(stockage_.Compteur(Categorie::Image))
                        .arg(stockage_.Compteur(Categorie::Texte)));
}

bool GestionScan::TravailleursFinis() const
{
    return (!threadScanneur_ || threadScanneur_->Fini()) && (!threadStockage_ || threadStockage_->Fini());
}

void GestionScan::TerminerTravailleurs()
{
    ArreterTravailleur(threadScanneur_);
    ArreterTravailleur(threadStockage_);
    ArreterTravailleur(travailleurEcoute_);
}

void GestionScan::StockageFini(quint64 scan)
{
    // Only the store worker of the current scan ends on its own: an earlier
    // one was stopped before this scan's end marks were cleared.
    ecoute_.FinScan();
    AppelDiffere(this, [this, scan] { FinRecue(scan); });
}

void GestionScan::FinRecue(quint64 scan)
{
    // By the time the notice is read the user may have stopped that scan
    // and started another.
    if (scan == stockage_.NumeroScan())
        Arreter(ModeArret::Fin);
}
