#include "scan/ScanAutonome.h"

#include "scan/Scanneur.h"
#include "scan/Stockage.h"
#include "shared/Option.h"
#include "shared/Travailleur.h"

#include <condition_variable>
#include <mutex>

void ScanAutonome::Executer(const std::string& racine, const Explorateur::Reglages& reglages,
                            std::chrono::milliseconds periode, const std::function<void()>& pendant)
{
    // The walker reads its settings from an Option: this one is never
    // loaded nor saved, so the user's stored settings play no part.
    Option option;
    option.FichierCache = reglages.FichiersCaches;
    option.RepertoireCache = reglages.RepertoiresCaches;
    option.SousRepertoire = reglages.SousRepertoires;
    Explorateur explorateur;
    explorateur.Lier(&option);
    Scanneur scanneur;
    scanneur.Lier(&stockage_);
    scanneur.Lier(&explorateur);

    stockage_.Reinitialiser();
    stockage_.PreparerScan();

    std::mutex mutex;
    std::condition_variable fin;
    bool fini = false;
    // Both workers keep their normal priority: no window waits for a core.
    Travailleur classement([&](Travailleur& travailleur) {
        stockage_.BoucleStockage(travailleur);
        {
            const std::lock_guard verrou(mutex);
            fini = true;
        }
        fin.notify_all();
    });
    Travailleur marche([&](Travailleur& travailleur) { scanneur.Scanner(racine, travailleur); });
    classement.Demarrer();
    marche.Demarrer();
    {
        std::unique_lock verrou(mutex);
        if (pendant && periode.count() > 0) {
            while (!fin.wait_for(verrou, periode, [&] { return fini; })) {
                verrou.unlock();
                pendant();
                verrou.lock();
            }
        } else {
            fin.wait(verrou, [&] { return fini; });
        }
    }
    marche.Joindre();
    classement.Joindre();
}
