#include "shared/SondeChemin.h"

#include "shared/AppelDiffere.h"

#include <cerrno>
#include <mutex>
#include <thread>
#include <utility>

#include <sys/stat.h>

// Shared by the probe and its threads: the probe's destruction cuts it
// under the lock, so a thread never posts to a target that is gone.
struct SondeChemin::Lien
{
    std::mutex Verrou;
    QObject* Cible = nullptr;
};

SondeChemin::SondeChemin(QObject& cible) : lien_(std::make_shared<Lien>())
{
    lien_->Cible = &cible;
}

SondeChemin::~SondeChemin()
{
    const std::lock_guard garde(lien_->Verrou);
    lien_->Cible = nullptr;
}

SondeChemin::Nature SondeChemin::Examiner(const std::string& chemin)
{
    struct stat etat
    {};
    if (chemin.empty())
        return Nature::Absent;
    if (::stat(chemin.c_str(), &etat) != 0)
        return errno == ENOENT || errno == ENOTDIR ? Nature::Absent : Nature::Injoignable;
    return S_ISDIR(etat.st_mode) ? Nature::Repertoire : Nature::Autre;
}

void SondeChemin::Demander(const std::string& chemin, std::function<void(Nature)> reponse)
{
    std::thread([lien = lien_, chemin, reponse = std::move(reponse)]() mutable {
        const Nature nature = Examiner(chemin);
        const std::lock_guard garde(lien->Verrou);
        if (lien->Cible)
            AppelDiffere(lien->Cible, [reponse = std::move(reponse), nature] { reponse(nature); });
    }).detach();
}
