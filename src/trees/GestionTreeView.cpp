#include "trees/GestionTreeView.h"

#include "classification/NomFichier.h"
#include "scan/Stockage.h"
#include "trees/ActionsFichiers.h"
#include "trees/ArbreCategorie.h"
#include "trees/ConstructeurArbres.h"
#include "trees/FiltreArbres.h"
#include "trees/FluxRepertoires.h"
#include "trees/ModeleArbre.h"
#include "trees/RemplissagesArbres.h"

#include <QShortcut>

GestionTreeView::GestionTreeView(QWidget* fenetre, Option& option, Stockage& stockage, Extension& extension,
                                 Bureau& bureau)
    : vues_(std::make_unique<VuesArbres>(fenetre, option)),
      constructeur_(std::make_unique<ConstructeurArbres>(*vues_, stockage, extension)),
      flux_(std::make_unique<FluxRepertoires>()), remplissages_(std::make_unique<RemplissagesArbres>(*vues_, stockage)),
      actions_(new ActionsFichiers(fenetre, stockage, bureau, option)),
      filtre_(std::make_unique<FiltreArbres>(fenetre, *vues_, *constructeur_, *remplissages_, stockage)),
      FinDemandee(flux_->FinDemandee)
{
    // A directory node shows its group's text in the store: it keeps no copy.
    for (Categorie categorie : Categories)
        vues_->Arbre(categorie, Ordre::Repertoire)
            ->Modele()
            ->DefinirSourceTextes([&stockage, categorie](int32_t groupe) {
                return NomFichier::Texte(stockage.TexteRepertoire(categorie, groupe));
            });
    // A group's total size, and the rows of a biggest-first list, are the
    // store's, read when shown.
    for (CleArbre cle : ToutesLesVues) {
        ModeleArbre* modele = vues_->Arbre(cle)->Modele();
        modele->DefinirSourceOctets([&stockage, cle](int32_t groupe) {
            return stockage.OctetsGroupe(Groupe{cle, groupe});
        });
        if (cle.Ord == Ordre::Taille)
            modele->DefinirSourceLignes([&stockage, cle](int32_t groupe, size_t debut, size_t nombre) {
                return stockage.EnfantsGroupe(Groupe{cle, groupe}, debut, nombre);
            });
    }
    Relier();
}

GestionTreeView::~GestionTreeView()
{
    filtre_.reset(); // its worker joined before the trees go
    remplissages_->Suspendre();
}

void GestionTreeView::Relier()
{
    for (CleArbre cle : ToutesLesVues) {
        ArbreCategorie* arbre = vues_->Arbre(cle);
        // A file leaf is previewed; so is the "..." row, which stands first
        // in its group, and a row of a biggest-first list.
        connect(arbre, &ArbreCategorie::ChangementSelection, this,
                [this, cle, arbre](Noeud* noeud, Noeud* parentAttente) {
                    const int ligne = ModeleArbre::LigneListe(arbre->currentIndex());
                    if (noeud && !noeud->AEnfants() && noeud->Parent)
                        emit FichierChoisi(Groupe{cle, noeud->Parent->Groupe}, noeud->Index);
                    else if (!noeud && parentAttente)
                        emit FichierChoisi(Groupe{cle, parentAttente->Groupe}, 0);
                    else if (ligne >= 0 && arbre->Modele()->ParentLignes())
                        emit FichierChoisi(Groupe{cle, arbre->Modele()->ParentLignes()->Groupe}, ligne);
                });
        // The actions on the files: the rows' menu, Ctrl+C, a double click
        // on a file (one on a group opens the group), the drag out.
        connect(arbre, &ArbreCategorie::MenuDemande, actions_,
                [this, arbre](const QModelIndex& ligne, const QPoint& position) {
                    actions_->Montrer(arbre, ligne, position);
                });
        connect(arbre, &ArbreCategorie::CopieDemandee, actions_, [this, arbre] { actions_->CopierSelection(arbre); });
        // Ctrl+E: the tree's whole category exported.
        auto* exporter = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_E), arbre, nullptr, nullptr, Qt::WidgetShortcut);
        connect(exporter, &QShortcut::activated, actions_, [this, cle] { actions_->ExporterCategorie(cle.Cat); });
        connect(arbre, &QAbstractItemView::doubleClicked, actions_,
                [this, cle](const QModelIndex& ligne) { actions_->Ouvrir(cle, ligne); });
        arbre->GlisserDonnees = [this, cle](const QModelIndexList& lignes) {
            return actions_->DonneesGlisser(cle, lignes);
        };
        connect(arbre, &ArbreCategorie::FiltreDemande, filtre_.get(), &FiltreArbres::Ouvrir);
        connect(arbre, &ArbreCategorie::FermetureFiltreDemandee, filtre_.get(), &FiltreArbres::Fermer);
        arbre->FiltreOuvert = [this] { return filtre_->Ouvert(); };
    }
    connect(vues_.get(), &VuesArbres::AffichageChange, filtre_.get(), &FiltreArbres::CategorieMontree);
    // The stream's roots go to their tree, or are counted while a filter holds it.
    connect(flux_.get(), &FluxRepertoires::RacinesArrivees, this, [this](Categorie categorie, int nombre) {
        if (!filtre_->RetenirRepertoires(categorie, nombre))
            constructeur_->AjouterRepertoires(categorie, nombre);
    });
    connect(flux_.get(), &FluxRepertoires::EnCoursChange, vues_.get(), &VuesArbres::DefinirEnCours);
}

void GestionTreeView::ScanDemarre()
{
    filtre_->ArbresEnChangement(true);
    remplissages_->Suspendre();
    vues_->Vider(ModeVider::Tous);
    vues_->AfficherPatientez();
    flux_->DefinirScanActif(true);
}

void GestionTreeView::ScanArrete()
{
    filtre_->ArbresEnChangement(false);
    flux_->DefinirScanActif(false);
    constructeur_->ConstruireAlphabetique();
    constructeur_->RemplirArbresExtension();
    filtre_->ArbresConstruits();
}

void GestionTreeView::ScanRepris()
{
    filtre_->ArbresEnChangement(false);
    flux_->DefinirScanActif(true);
    vues_->Vider(ModeVider::ExtensionEtAlphabetique);
    vues_->AfficherPatientez();
}

void GestionTreeView::MontrerCadre(bool montrer)
{
    vues_->MontrerCadre(montrer);
    filtre_->MontrerBoite(montrer);
}

bool GestionTreeView::AffichageEnCours() const
{
    return flux_->EnCours();
}

void GestionTreeView::LancerRemplissage(CleArbre cle, Noeud* noeud)
{
    remplissages_->Lancer(cle, noeud);
}

void GestionTreeView::SuspendreRemplissages()
{
    remplissages_->Suspendre();
}

size_t GestionTreeView::NombreRemplissages() const
{
    return remplissages_->Nombre();
}
