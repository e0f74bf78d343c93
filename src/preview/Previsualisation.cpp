#include "preview/Previsualisation.h"

#include "scan/Descripteur.h"
#include "scan/Explorateur.h"
#include "scan/Stockage.h"
#include "trees/ArbreCategorie.h"
#include "trees/GestionTreeView.h"
#include "trees/Noeud.h"
#include "trees/ThreadPrevisualisation.h"

#include <QByteArray>
#include <QDesktopServices>
#include <QUrl>

#include <fcntl.h>
#include <unistd.h>

#include <climits>

namespace {

// Whether anything answers to the path; no other access test.
bool Existe(const std::string& chemin)
{
    if (chemin.empty())
        return false;
    if (chemin.size() < PATH_MAX)
        return ::access(chemin.c_str(), F_OK) == 0;
    return Descripteur(Explorateur::OuvrirChemin(chemin, O_PATH)).Valide();
}

}  // namespace

Previsualisation::Previsualisation()
    : OuvrirAvecBureau([](const std::string& chemin) { QDesktopServices::openUrl(Adresse(chemin)); })
{
}

QUrl Previsualisation::Adresse(const std::string& chemin)
{
    // From the bytes themselves: a name that is not valid UTF-8 must reach
    // the desktop as it is on disk, not as replacement characters.
    return QUrl::fromEncoded("file://" + QByteArray::fromStdString(chemin).toPercentEncoding("/"));
}

Previsualisation::~Previsualisation()
{
    SuspendreRemplissages();
}

Panneau* Previsualisation::PanneauDe(Categorie categorie)
{
    switch (categorie) {
    case Categorie::Image:
        return &Image;
    case Categorie::Son:
        return &Audio;
    case Categorie::Texte:
        return &Texte;
    case Categorie::Video:
        return &Film;
    default:
        return nullptr;
    }
}

void Previsualisation::Afficher(Categorie categorie, Ordre ordre, const Noeud* noeud)
{
    if (!noeud || !noeud->Parent)
        return;
    Afficher(Groupe{{categorie, ordre}, noeud->Parent->Groupe}, noeud->Index);
}

void Previsualisation::Afficher(const Groupe& groupe, int ligne)
{
    Panneau* panneau = PanneauDe(groupe.Arbre.Cat);
    if (!stockage_ || !panneau)
        return;
    FichierApercu fichier;
    fichier.Chemin = stockage_->InformationFichier(groupe, ligne, fichier.Nom, fichier.Ext, fichier.Taille);
    fichier.Existe = Existe(fichier.Chemin);
    apercus_[Slot(groupe.Arbre.Cat)] = fichier;
    panneau->Afficher(fichier);
}

void Previsualisation::Ouvrir(Categorie categorie)
{
    Panneau* panneau = PanneauDe(categorie);
    if (!panneau || panneau->Chemin.empty())
        return;
    if (!Existe(panneau->Chemin)) {
        // Deleted or moved since it was selected: the desktop would only
        // fail on it, out of sight. The panel says it instead.
        FichierApercu parti = apercus_[Slot(categorie)];
        parti.Existe = false;
        panneau->Afficher(parti);
        return;
    }
    // What the desktop makes of an existing file is not reported.
    if (OuvrirAvecBureau)
        OuvrirAvecBureau(panneau->Chemin);
}

void Previsualisation::SonPlayPause()
{
    Audio.PlayPause();
}

void Previsualisation::SonStop()
{
    Audio.Stop();
}

void Previsualisation::VideoPlayPause()
{
    Film.PlayPause();
}

void Previsualisation::VideoStop()
{
    Film.Stop();
}

void Previsualisation::Effacer()
{
    Image.Effacer();
    Audio.Effacer();
    Film.Effacer();
    Texte.Effacer();
    apercus_ = {};
    SonStop();
    VideoStop();
    SuspendreRemplissages();
}

void Previsualisation::LancerRemplissage(Categorie categorie, Ordre ordre, Noeud* noeud)
{
    const CleArbre cle{categorie, ordre};
    ArbreCategorie* arbre = arbres_ ? arbres_->Arbre(cle) : nullptr;
    if (!stockage_ || !noeud || !arbre || !noeud->AttenteVirtuelle())
        return;
    const quint64 generation = arbre->Generation();
    LibererTermines();
    // The placeholder stays until the children arrive: a second expansion
    // meanwhile must not start a second job.
    for (const auto& job : remplissages_)
        if (job->NoeudCible() == noeud && job->Generation() == generation && job->Cle() == cle)
            return;
    remplissages_.push_back(std::make_unique<ThreadPrevisualisation>(stockage_, arbres_, Groupe{cle, noeud->Groupe},
                                                                     noeud, generation));
}

void Previsualisation::LibererTermines()
{
    std::erase_if(remplissages_, [this](const std::unique_ptr<ThreadPrevisualisation>& job) {
        if (!job->Fini())
            return false;
        const ArbreCategorie* arbre = arbres_ ? arbres_->Arbre(job->Cle()) : nullptr;
        if (!arbre || arbre->Generation() != job->Generation())
            return true;   // the node went with its tree
        // Same generation: the node is alive. Its children are in once the
        // placeholder has gone.
        return !job->NoeudCible()->AttenteVirtuelle();
    });
}

void Previsualisation::SuspendreRemplissages()
{
    for (const auto& job : remplissages_)
        if (!job->Termine())
            job->Arreter();
    remplissages_.clear();
}
