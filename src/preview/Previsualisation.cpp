#include "preview/Previsualisation.h"

#include "classification/NomFichier.h"
#include "media/ChargeurImage.h"
#include "trees/ThreadPrevisualisation.h"
#include "scan/Descripteur.h"
#include "scan/Explorateur.h"
#include "scan/Stockage.h"
#include "trees/ArbreCategorie.h"
#include "trees/GestionTreeView.h"
#include "trees/PlaceNoeud.h"
#include "widgets/Etiquette.h"
#include "widgets/ImageComposant.h"
#include "widgets/TFormImage.h"
#include "ui/TFormPrincipal.h"

#include <QByteArray>
#include <QDesktopServices>
#include <QFile>
#include <QPixmap>
#include <QUrl>

#include <fcntl.h>
#include <unistd.h>

#include <climits>

const QString Previsualisation::TailleSeule = "Taille :";
const QString Previsualisation::PrefixeTaille = "Taille : ";
const QString Previsualisation::PrefixeDimension = "Dimension : ";
const QString Previsualisation::PrefixeImage = "Image ";
const QString Previsualisation::PrefixeTexte = "Texte ";
const QString Previsualisation::TailleNulle = "0 Ko";

namespace {

constexpr int TagsParCategorie = 10;

// Whether anything answers to the path; no other access test.
bool Existe(const std::string& chemin)
{
    if (chemin.empty())
        return false;
    if (chemin.size() < PATH_MAX)
        return ::access(chemin.c_str(), F_OK) == 0;
    return Descripteur(Explorateur::OuvrirChemin(chemin, O_PATH)).Valide();
}

// A missing file's size: "Taille :" alone unless the stored size says more.
void AppliquerRegleTaille(Etiquette* label, const QString& taille)
{
    label->DefinirTexte(Previsualisation::TailleSeule);
    if (taille != Previsualisation::TailleNulle)
        label->DefinirTexte(Previsualisation::PrefixeTaille + taille);
}

ArbreCategorie* ArbreDe(int categorie, int ordre)
{
    return FormPrincipal ? FormPrincipal->ArbreDeTag(categorie * TagsParCategorie + ordre) : nullptr;
}

}  // namespace

Previsualisation::Previsualisation()
    : OuvrirAvecBureau([](const std::string& chemin) {
          QDesktopServices::openUrl(QUrl::fromLocalFile(QFile::decodeName(QByteArray::fromStdString(chemin))));
      })
{
}

Previsualisation::~Previsualisation()
{
    SuspendreRemplissages();
}

void Previsualisation::Afficher(int categorie, int ordre, Noeud* noeud)
{
    if (!stockage_ || !noeud || !FormPrincipal || !FormImage)
        return;
    QString nom, ext, taille;
    const std::string chemin = stockage_->InformationFichier(categorie, ordre, PlaceNoeud::De(noeud), nom, ext, taille);
    const bool existe = Existe(chemin);
    switch (categorie) {
    case CategorieImage:
        AfficherImage(chemin, existe, nom, ext, taille);
        break;
    case CategorieTexte:
        AfficherTexte(chemin, existe, nom, ext, taille);
        break;
    default:
        // Video and Son panels come with their players.
        break;
    }
}

void Previsualisation::AfficherImage(const std::string& chemin, bool existe, const QString& nom,
                                     const QString& ext, const QString& taille)
{
    TFormPrincipal* f = FormPrincipal;
    f->LabelImageNom->DefinirTexte(nom);
    f->LabelImageNom->DefinirHint(NomFichier::Texte(chemin), true);
    f->LabelImageExtension->DefinirTexte(PrefixeImage + ext.toUpper());
    if (!existe) {
        f->ImgImagePrevisu->DefinirImage(FormImage->ImgNonTrouve);
        AppliquerRegleTaille(f->LabelImageTaille, taille);
        f->LabelImageDimension->DefinirTexte(PrefixeDimension);
        CheminImage.clear();
        return;
    }

    f->LabelImageTaille->DefinirTexte(PrefixeTaille + taille);
    ChargeurImage::Resultat image;
    if (ChargeurImage::Charger(chemin, image, f->ImgImagePrevisu->size())) {
        f->ImgImagePrevisu->DefinirImage(QPixmap::fromImage(image.Image));
        f->LabelImageDimension->DefinirTexte(PrefixeDimension + QString::number(image.LargeurOrigine) + "x"
                                             + QString::number(image.HauteurOrigine));
    } else {
        f->ImgImagePrevisu->DefinirImage(FormImage->ImgImageNonSupporte);
        f->LabelImageDimension->DefinirTexte(PrefixeDimension);
    }
    // Kept even when the picture does not decode: the desktop may open it.
    CheminImage = chemin;
}

void Previsualisation::AfficherTexte(const std::string& chemin, bool existe, const QString& nom,
                                     const QString& ext, const QString& taille)
{
    TFormPrincipal* f = FormPrincipal;
    f->LabelTexteNom->DefinirTexte(nom);
    f->LabelTexteNom->DefinirHint(NomFichier::Texte(chemin), true);
    f->LabelTexteExtension->DefinirTexte(PrefixeTexte + ext.toUpper());
    if (existe) {
        f->LabelTexteTaille->DefinirTexte(PrefixeTaille + taille);
        f->ImgTextePrevisu->DefinirImage(FormImage->ImageTexte);
        CheminTexte = chemin;
    } else {
        f->ImgTextePrevisu->DefinirImage(FormImage->ImgNonTrouve);
        AppliquerRegleTaille(f->LabelTexteTaille, taille);
        CheminTexte.clear();
    }
}

void Previsualisation::Ouvrir(int categorie)
{
    const std::string* chemin = nullptr;
    switch (categorie) {
    case CategorieVideo:
        chemin = &CheminVideo;
        break;
    case CategorieSon:
        chemin = &CheminSon;
        break;
    case CategorieImage:
        chemin = &CheminImage;
        break;
    case CategorieTexte:
        chemin = &CheminTexte;
        break;
    default:
        return;
    }
    // What the desktop makes of it is not reported.
    if (!chemin->empty() && OuvrirAvecBureau)
        OuvrirAvecBureau(*chemin);
}

void Previsualisation::Effacer()
{
    if (TFormPrincipal* f = FormPrincipal) {
        f->ImgImagePrevisu->ViderImage();
        f->LabelImageTaille->DefinirTexte({});
        f->LabelImageNom->DefinirTexte({});
        f->LabelImageDimension->DefinirTexte({});
        f->LabelImageExtension->DefinirTexte({});
        f->LabelImageNom->DefinirHint({}, true);

        // The sound and video panels are reset here once their players exist.

        f->ImgTextePrevisu->ViderImage();
        f->LabelTexteTaille->DefinirTexte({});
        f->LabelTexteNom->DefinirTexte({});
        f->LabelTexteNom->DefinirHint({}, true);
        f->LabelTexteExtension->DefinirTexte({});
    }

    CheminImage.clear();
    CheminSon.clear();
    CheminVideo.clear();
    CheminTexte.clear();

    // The players' stops come here, before the fill jobs, once the players exist.
    SuspendreRemplissages();
}

void Previsualisation::LancerRemplissage(int categorie, int ordre, Noeud* noeud)
{
    ArbreCategorie* arbre = ArbreDe(categorie, ordre);
    if (!stockage_ || !noeud || !arbre)
        return;
    const quint64 generation = arbre->Generation();
    LibererTermines();
    // The placeholder stays until the children arrive: a second expansion
    // meanwhile must not start a second job.
    for (const auto& job : remplissages_)
        if (job->NoeudCible() == noeud && job->Generation() == generation && job->Categorie() == categorie
            && job->Ordre() == ordre)
            return;
    remplissages_.push_back(std::make_unique<ThreadPrevisualisation>(stockage_, categorie, ordre, noeud,
                                                                     PlaceNoeud::De(noeud), generation));
}

void Previsualisation::LibererTermines()
{
    std::erase_if(remplissages_, [](const std::unique_ptr<ThreadPrevisualisation>& job) {
        if (!job->Fini())
            return false;
        const ArbreCategorie* arbre = ArbreDe(job->Categorie(), job->Ordre());
        if (!arbre || arbre->Generation() != job->Generation())
            return true;   // the node went with its tree
        // Same generation: the node is alive. Its children are in once the
        // placeholder has gone.
        const Noeud* premier = job->NoeudCible()->PremierEnfant();
        return !premier || premier->Texte != GestionTreeView::TexteAttente;
    });
}

void Previsualisation::SuspendreRemplissages()
{
    for (const auto& job : remplissages_)
        if (!job->Termine())
            job->Arreter();
    remplissages_.clear();
}
