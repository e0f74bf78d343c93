#include "trees/VuesArbres.h"

#include "shared/Option.h"
#include "trees/ArbreCategorie.h"
#include "trees/Noeud.h"
#include "widgets/Cadre.h"
#include "widgets/Etiquette.h"
#include "widgets/Fabrique.h"
#include "widgets/TFormImage.h"

#include <QComboBox>
#include <QFont>
#include <QToolButton>
#include <QSignalBlocker>

namespace {

constexpr int SansImage = -1;
constexpr int ImageFerme = 0;
constexpr int ImageOuvert = 1;
// The three trees and the biggest-first list of a category.
constexpr std::array<Ordre, 4> OrdresMontres = {Ordre::Extension, Ordre::Alphabetique, Ordre::Repertoire,
                                                Ordre::Taille};
// Above the drop-down's right end, where the running label never reaches.
const QRect PlaceBoutonPlusGros(510, 374, 64, 20);

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

    const char* const noms[] = {
        "TreeViewVideoExt",    "TreeViewVideoAlpha", "TreeViewVideoRep",    "TreeViewSonExt",
        "TreeViewSonAlpha",    "TreeViewSonRep",     "TreeViewImageExt",    "TreeViewImageAlpha",
        "TreeViewImageRep",    "TreeViewTexteExt",   "TreeViewTexteAlpha",  "TreeViewTexteRep",
        "TreeViewVideoTaille", "TreeViewSonTaille",  "TreeViewImageTaille", "TreeViewTexteTaille"};
    for (CleArbre cle : ToutesLesVues) {
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
    choixTrie_->addItems({"Par Extension", "Par Ordre Alphabétique", "Par Répertoire", "Par Taille"});
    choixTrie_->setCurrentIndex(0);
    choixTrie_->hide();
    connect(choixTrie_, &QComboBox::currentIndexChanged, this, [this](int index) {
        Deselectionner();
        if (CategorieValide(categorieAffichee_))
            ChangerOrdre(categorieAffichee_, static_cast<Ordre>(index + 1));
    });

    // The biggest files first in one click, as a size column's header
    // would sort them in a file manager: the trees have no header.
    plusGros_ = new QToolButton(fenetre);
    plusGros_->setObjectName("BoutonPlusGros");
    plusGros_->setText(QStringLiteral("▼ Taille"));
    plusGros_->setToolTip(QStringLiteral("Les plus gros fichiers d'abord"));
    plusGros_->setAccessibleName(QStringLiteral("Les plus gros fichiers d'abord"));
    plusGros_->setAutoRaise(true);
    // The keyboard has « Par Taille » in the drop-down, next in the Tab order.
    plusGros_->setFocusPolicy(Qt::NoFocus);
    plusGros_->setFont(QFont(Fabrique::Verdana, 8));
    plusGros_->setGeometry(PlaceBoutonPlusGros);
    plusGros_->hide();
    connect(plusGros_, &QToolButton::clicked, this, [this] {
        Deselectionner();
        if (CategorieValide(categorieAffichee_))
            ChangerOrdre(categorieAffichee_, Ordre::Taille);
    });
}

ArbreCategorie* VuesArbres::Arbre(CleArbre cle) const
{
    if (!CategorieValide(cle.Cat) || !(OrdreValide(Code(cle.Ord)) || cle.Ord == Ordre::Taille))
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
    for (CleArbre cle : ToutesLesVues) {
        if (cle.Ord == Ordre::Repertoire && mode != ModeVider::Tous)
            continue;
        ArbreCategorie* arbre = arbres_[cle.Rang()];
        arbre->ToutSupprimer();
        arbre->DefinirShowRoot(true);
    }
}

void VuesArbres::AfficherPatientez()
{
    for (CleArbre cle : ToutesLesVues) {
        if (cle.Ord == Ordre::Repertoire)
            continue;
        ArbreCategorie* arbre = arbres_[cle.Rang()];
        arbre->AjouterRacine(TextePatientez, SansImage);
        arbre->DefinirShowRoot(false);
    }
}

void VuesArbres::InitialiserOrdres()
{
    for (CleArbre cle : ToutesLesVues)
        arbres_[cle.Rang()]->AjouterRacine(TexteInvitation, SansImage);
}

void VuesArbres::MontrerCadre(bool montrer)
{
    Bevel->setVisible(montrer);
    choixTrie_->setVisible(montrer);
    cadreMontre_ = montrer;
    if (!montrer)
        enCours_->hide();
    MontrerPlusGros();
}

void VuesArbres::MontrerPlusGros()
{
    // Beside the drop-down while another order is shown; never over the
    // running label.
    plusGros_->setVisible(cadreMontre_ && enCours_->isHidden() && CategorieValide(categorieAffichee_) &&
                          OrdreCourant(categorieAffichee_) != Ordre::Taille);
}

Ordre VuesArbres::OrdreCourant(Categorie categorie) const
{
    // The settings hold valid orders: Option::Charger checked them.
    if (CategorieValide(categorie))
        return option_.ParTaille[Slot(categorie)] ? Ordre::Taille : option_.OrdreArbre(categorie);
    return Option::OrdreParDefaut(categorie);
}

void VuesArbres::OuvrirParTaille(Categorie categorie)
{
    // The shown category's list opens as soon as it is built, shown or
    // not: the category is sorted then, off the window's thread, so that a
    // click on « Par Taille » finds it sorted. The other categories wait
    // until they are shown: a sort of each at every pause would cost the
    // machine for lists nobody looks at.
    ArbreCategorie* arbre = Arbre(categorie, Ordre::Taille);
    if (!arbre || categorie != categorieAffichee_ || arbre->NombreRacines() != 1)
        return;
    Noeud* racine = arbre->Racine(0);
    if (racine->Groupe >= 0 && racine->AttenteVirtuelle())
        arbre->Deployer(racine);
}

void VuesArbres::AfficherArbres(Categorie categorie, int ordre, bool montrer)
{
    if (!montrer) {
        for (Ordre o : OrdresMontres)
            if (ArbreCategorie* arbre = Arbre(categorie, o))
                arbre->hide();
        if (categorieAffichee_ == categorie)
            categorieAffichee_ = Categorie::Autre;
        MontrerPlusGros();
        return;
    }
    categorieAffichee_ = categorie;
    const Ordre choisi = ordre == 0 ? OrdreCourant(categorie) : static_cast<Ordre>(ordre);
    if (!OrdreValide(Code(choisi)) && choisi != Ordre::Taille)
        return;

    ArbreCategorie* montre = Arbre(categorie, choisi);
    const bool dejaVisible = montre && !montre->isHidden();
    for (Ordre o : OrdresMontres)
        if (ArbreCategorie* arbre = Arbre(categorie, o))
            arbre->setVisible(o == choisi);
    // The biggest-first choice has a setting of its own: the described
    // order keeps the last of the three chosen.
    if (CategorieValide(categorie)) {
        option_.ParTaille[Slot(categorie)] = choisi == Ordre::Taille;
        if (choisi != Ordre::Taille)
            option_.OrdreArbre(categorie) = choisi;
    }
    enCours_->setVisible(choisi == Ordre::Repertoire && CategorieValide(categorie) && affichageEnCours_);
    if (!dejaVisible) {
        // Not a choice of the user: the combo's handler must not run.
        const QSignalBlocker bloqueur(choixTrie_);
        choixTrie_->setCurrentIndex(Code(choisi) - 1);
    }
    MontrerPlusGros();
    OuvrirParTaille(categorie);
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
    MontrerPlusGros();
}

void VuesArbres::Deselectionner()
{
    for (ArbreCategorie* arbre : arbres_)
        if (arbre->NoeudSelectionne())
            arbre->Deselectionner();
}
