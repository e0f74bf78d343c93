#include "preview/Previsualisation.h"

#include "scan/Descripteur.h"
#include "scan/Explorateur.h"
#include "scan/Stockage.h"
#include "widgets/Bureau.h"
#include "widgets/Cadre.h"

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

} // namespace

Previsualisation::Previsualisation(QWidget* fenetre, const TFormImage& skin, Stockage& stockage, Son& son, Video& video,
                                   Bureau& bureau)
    : BevelPrevisu(CreerCadre(fenetre)), Image(fenetre, skin), Audio(fenetre, skin, son), Film(fenetre, skin, video),
      Texte(fenetre, skin), OuvrirAvecBureau([&bureau](const std::string& chemin) { bureau.Ouvrir(chemin); }),
      stockage_(stockage)
{
    for (Categorie categorie : Categories)
        QObject::connect(PanneauDe(categorie), &Panneau::OuvertureDemandee, PanneauDe(categorie),
                         [this, categorie] { Ouvrir(categorie); });
}

Cadre* Previsualisation::CreerCadre(QWidget* fenetre)
{
    auto* cadre = new Cadre(fenetre, QRect(411, 103, 165, 165));
    cadre->setObjectName("BevelPrevisu");
    cadre->hide();
    return cadre;
}

void Previsualisation::MontrerCadre(bool montrer)
{
    BevelPrevisu->setVisible(montrer);
}

QUrl Previsualisation::Adresse(const std::string& chemin)
{
    return QUrl::fromEncoded(Bureau::Adresse(chemin));
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

void Previsualisation::Afficher(const Groupe& groupe, int ligne)
{
    Panneau* panneau = PanneauDe(groupe.Arbre.Cat);
    if (!panneau)
        return;
    FichierApercu fichier;
    fichier.Chemin = stockage_.InformationFichier(groupe, ligne, fichier.Nom, fichier.Ext, fichier.Taille);
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
    if (OuvrirAvecBureau)
        OuvrirAvecBureau(panneau->Chemin);
}

void Previsualisation::Effacer()
{
    Image.Effacer();
    Audio.Effacer();
    Film.Effacer();
    Texte.Effacer();
    apercus_ = {};
    Audio.Stop();
    Film.Stop();
}
