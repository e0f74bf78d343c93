#include "preview/Previsualisation.h"

#include "classification/NomFichier.h"
#include "scan/Stockage.h"
#include "shared/Textes.h"
#include "widgets/Bureau.h"
#include "widgets/Cadre.h"

#include <QUrl>

Previsualisation::Previsualisation(QWidget* fenetre, const TFormImage& skin, Stockage& stockage, Son& son, Video& video,
                                   Bureau& bureau)
    : BevelPrevisu(CreerCadre(fenetre)), Image(fenetre, skin), Audio(fenetre, skin, son), Film(fenetre, skin, video),
      Texte(fenetre, skin), OuvrirAvecBureau([&bureau](const std::string& chemin) { bureau.Ouvrir(chemin); }),
      sonde_(stockage, [this](const SondeApercu::Reponse& reponse) { Appliquer(reponse); })
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
    if (PanneauDe(groupe.Arbre.Cat))
        sonde_.Demander(groupe, ligne);
}

void Previsualisation::Appliquer(const SondeApercu::Reponse& reponse)
{
    Panneau* panneau = PanneauDe(reponse.Cat);
    if (!panneau)
        return;
    FichierApercu fichier;
    fichier.Chemin = reponse.Chemin;
    fichier.Existe = reponse.Existe;
    if (!fichier.Chemin.empty()) {
        fichier.Nom = NomFichier::Texte(reponse.Info.Nom);
        fichier.Ext = QString::fromStdString(reponse.Info.Ext);
        fichier.Taille = QString::fromStdString(Textes::Taille(reponse.Info.Octets));
    }
    apercus_[Slot(reponse.Cat)] = fichier;
    panneau->Afficher(fichier);
}

void Previsualisation::Ouvrir(Categorie categorie)
{
    Panneau* panneau = PanneauDe(categorie);
    if (!panneau || panneau->Chemin.empty())
        return;
    if (!SondeApercu::Existe(panneau->Chemin)) {
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
    sonde_.Annuler();
    Image.Effacer();
    Audio.Effacer();
    Film.Effacer();
    Texte.Effacer();
    apercus_ = {};
    Audio.Stop();
    Film.Stop();
}
