#include "trees/VuesArbres.h"

#include "shared/Option.h"
#include "trees/ArbreCategorie.h"
#include "widgets/Cadre.h"
#include "widgets/Etiquette.h"
#include "widgets/Fabrique.h"
#include "widgets/TFormImage.h"

#include <QComboBox>
#include <QSignalBlocker>

namespace {

constexpr int SansImage = -1;
constexpr int ImageFerme = 0;
constexpr int ImageOuvert = 1;

} // namespace

const QString VuesArbres::TexteInvitation = QStringLiteral("Cliquer sur \" Lancement du Scan \"");
const QString VuesArbres::TextePatientez = QStringLiteral("Patientez  ...");

VuesArbres::VuesArbres(QWidget* fenetre, Option& option) : option_(option)
{
    imageListExt_.Ajouter(TFormImage::Charger("DossierFerme.png").toImage());
    imageListExt_.Ajouter(TFormImage::Charger("DossierOuvert.png").toImage());
    CreerComposants(fenetre);
}

void VuesArbres::CreerComposants(QWidget* fenetre)
{
    Bevel = new Cadre(fenetre, QRect(114, 103, 295, 316));
    Bevel->setObjectName("Bevel");
    Bevel->hide();
    enCours_ = Fabrique::Label(fenetre, "LabelEnCourAffichage", "En cour d'affichage", QPoint(424, 376),
                               Fabrique::Verdana, 13, true, Qt::red, QColor());
    enCours_->hide();

    const char* const noms[] = {"TreeViewVideoExt", "TreeViewVideoAlpha", "TreeViewVideoRep",   "TreeViewSonExt",
                                "TreeViewSonAlpha", "TreeViewSonRep",     "TreeViewImageExt",   "TreeViewImageAlpha",
                                "TreeViewImageRep", "TreeViewTexteExt",   "TreeViewTexteAlpha", "TreeViewTexteRep"};
    for (CleArbre cle : ToutesLesCles) {
        auto* arbre = new ArbreCategorie(&imageListExt_, cle, fenetre);
        arbre->setObjectName(noms[cle.Rang()]);
        arbre->setGeometry(115, 104, 292, 313);
        arbre->hide();
        arbres_[cle.Rang()] = arbre;
        connect(arbre, &ArbreCategorie::Deploiement, this, [arbre](Noeud* n) { arbre->ChangerImage(n, ImageOuvert); });
        connect(arbre, &ArbreCategorie::Repli, this, [arbre](Noeud* n) { arbre->ChangerImage(n, ImageFerme); });
    }

    choixTrie_ = new QComboBox(fenetre);
    choixTrie_->setObjectName("ComboBoxChoixTrie");
    choixTrie_->setGeometry(413, 397, 161, 22);
    choixTrie_->addItems({"Par Extension", "Par Ordre Alphabétique", "Par Répertoire"});
    choixTrie_->setCurrentIndex(0);
    choixTrie_->hide();
    connect(choixTrie_, &QComboBox::currentIndexChanged, this, [this](int index) {
        Deselectionner();
        if (CategorieValide(categorieAffichee_))
            ChangerOrdre(categorieAffichee_, static_cast<Ordre>(index + 1));
    });
}

ArbreCategorie* VuesArbres::Arbre(CleArbre cle) const
{
    if (!CategorieValide(cle.Cat) || !OrdreValide(Code(cle.Ord)))
        return nullptr;
    return arbres_[cle.Rang()];
}

Noeud* VuesArbres::AjouterRacine(Categorie categorie, Ordre ordre, const QString& texte, int image)
{
    ArbreCategorie* arbre = Arbre(categorie, ordre);
    return arbre ? arbre->AjouterRacine(texte, image) : nullptr;
}

Noeud* VuesArbres::AjouterEnfant(Categorie categorie, Ordre ordre, const QString& texte, int image, Noeud* parent)
{
    ArbreCategorie* arbre = Arbre(categorie, ordre);
    return arbre && parent ? arbre->AjouterEnfant(parent, texte, image) : nullptr;
}

void VuesArbres::Vider(ModeVider mode)
{
    for (CleArbre cle : ToutesLesCles) {
        if (cle.Ord == Ordre::Repertoire && mode != ModeVider::Tous)
            continue;
        ArbreCategorie* arbre = arbres_[cle.Rang()];
        arbre->ToutSupprimer();
        arbre->DefinirShowRoot(true);
    }
}

void VuesArbres::AfficherPatientez()
{
    for (CleArbre cle : ToutesLesCles) {
        if (cle.Ord == Ordre::Repertoire)
            continue;
        ArbreCategorie* arbre = arbres_[cle.Rang()];
        arbre->AjouterRacine(TextePatientez, SansImage);
        arbre->DefinirShowRoot(false);
    }
}

void VuesArbres::InitialiserOrdres()
{
    for (CleArbre cle : ToutesLesCles)
        arbres_[cle.Rang()]->AjouterRacine(TexteInvitation, SansImage);
}

void VuesArbres::MontrerCadre(bool montrer)
{
    Bevel->setVisible(montrer);
    choixTrie_->setVisible(montrer);
    if (!montrer)
        enCours_->hide();
}

Ordre VuesArbres::OrdreCourant(Categorie categorie) const
{
    // The settings hold valid orders: Option::Charger checked them.
    if (CategorieValide(categorie))
        return option_.OrdreArbre(categorie);
    return Option::OrdreParDefaut(categorie);
}

void VuesArbres::AfficherArbres(Categorie categorie, int ordre, bool montrer)
{
    if (!montrer) {
        for (Ordre o : Ordres)
            if (ArbreCategorie* arbre = Arbre(categorie, o))
                arbre->hide();
        if (categorieAffichee_ == categorie)
            categorieAffichee_ = Categorie::Autre;
        return;
    }
    categorieAffichee_ = categorie;
    const Ordre choisi = ordre == 0 ? OrdreCourant(categorie) : static_cast<Ordre>(ordre);
    if (!OrdreValide(Code(choisi)))
        return;

    ArbreCategorie* montre = Arbre(categorie, choisi);
    const bool dejaVisible = montre && !montre->isHidden();
    for (Ordre o : Ordres)
        if (ArbreCategorie* arbre = Arbre(categorie, o))
            arbre->setVisible(o == choisi);
    option_.OrdreArbre(categorie) = choisi;
    enCours_->setVisible(choisi == Ordre::Repertoire && CategorieValide(categorie) && affichageEnCours_);
    if (!dejaVisible) {
        // Not a choice of the user: the combo's handler must not run.
        const QSignalBlocker bloqueur(choixTrie_);
        choixTrie_->setCurrentIndex(Code(choisi) - 1);
    }
    emit AffichageChange();
}

ArbreCategorie* VuesArbres::ArbreMontre() const
{
    return CategorieValide(categorieAffichee_) ? Arbre(categorieAffichee_, OrdreCourant(categorieAffichee_)) : nullptr;
}

void VuesArbres::ChangerOrdre(Categorie categorie, Ordre ordre)
{
    if (!CategorieValide(categorie))
        return;
    AfficherArbres(categorie, Code(ordre), true);
}

void VuesArbres::DefinirEnCours(bool enCours)
{
    affichageEnCours_ = enCours;
    if (!enCours)
        enCours_->hide();
    else if (CategorieValide(categorieAffichee_) && OrdreCourant(categorieAffichee_) == Ordre::Repertoire)
        enCours_->show();
}

void VuesArbres::Deselectionner()
{
    for (ArbreCategorie* arbre : arbres_)
        if (arbre->NoeudSelectionne())
            arbre->Deselectionner();
}
