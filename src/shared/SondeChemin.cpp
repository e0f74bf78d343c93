#include "shared/SondeChemin.h"

#include "shared/AppelDiffere.h"

#include <cerrno>

#include <sys/stat.h>

SondeChemin::SondeChemin(QObject& cible) : cible_(cible), fil_([this](Travailleur& fil) { Repondre(fil); })
{
    fil_.Demarrer();
}

SondeChemin::~SondeChemin()
{
    fil_.Arreter();
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
    {
        const std::lock_guard verrou(verrou_);
        questions_.emplace_back(chemin, std::move(reponse));
    }
    reveil_.notify_one();
}

void SondeChemin::Repondre(Travailleur& fil)
{
    for (;;) {
        std::unique_lock verrou(verrou_);
        if (!fil.Attendre(verrou, reveil_, [this] { return !questions_.empty(); })) {
            verrou.unlock();
            if (!fil.PointDeControle())
                return;
            continue;
        }
        auto [chemin, reponse] = std::move(questions_.front());
        questions_.pop_front();
        verrou.unlock();
        const Nature nature = Examiner(chemin);
        // Posted while the probe lives: its end waits for this question.
        AppelDiffere(&cible_, [reponse = std::move(reponse), nature] { reponse(nature); });
    }
}
