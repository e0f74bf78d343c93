#include "scan/ScanAutonome.h"

#include "scan/Stockage.h"
#include "shared/Travailleur.h"

ScanAutonome::ScanAutonome(Stockage& stockage) : stockage_(stockage)
{
    explorateur_.Lier(&option_);
    scanneur_.Lier(&stockage_);
    scanneur_.Lier(&explorateur_);
}

ScanAutonome::~ScanAutonome()
{
    // The walk first: the filing waits for what it queues.
    marche_.reset();
    classement_.reset();
}

void ScanAutonome::Lancer(const std::string& racine, const Explorateur::Reglages& reglages)
{
    option_.FichierCache = reglages.FichiersCaches;
    option_.RepertoireCache = reglages.RepertoiresCaches;
    option_.SousRepertoire = reglages.SousRepertoires;
    stockage_.Reinitialiser();
    stockage_.PreparerScan();
    // Both workers keep their normal priority: no window waits for a core.
    classement_ = std::make_unique<Travailleur>([this](Travailleur& travailleur) {
        stockage_.BoucleStockage(travailleur);
        if (!travailleur.ArretDemande() && AlaFin)
            AlaFin();
    });
    marche_ = std::make_unique<Travailleur>(
        [this, racine](Travailleur& travailleur) { scanneur_.Scanner(racine, travailleur); });
    classement_->Demarrer();
    marche_->Demarrer();
}
