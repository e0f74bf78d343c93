#include "trees/ActionsFichiers.h"

#include "scan/Stockage.h"
#include "shared/Groupe.h"
#include "trees/ArbreCategorie.h"
#include "trees/ExportationFichiers.h"
#include "trees/ModeleArbre.h"
#include "widgets/Bureau.h"

#include <QItemSelectionModel>
#include <QMenu>
#include <QMimeData>

#include <unordered_set>

namespace {

const QString TitreMenu = QStringLiteral("Actions sur le fichier");
const QString TitreMenuGroupe = QStringLiteral("Actions sur le groupe");
// Rows chosen beyond which a biggest-first list's paths are read whole.
constexpr qsizetype ListeLue = 256;

QString NomCategorie(Categorie categorie)
{
    static const QString noms[] = {QStringLiteral("Vidéo"), QStringLiteral("Son"), QStringLiteral("Image"),
                                   QStringLiteral("Texte")};
    return CategorieValide(categorie) ? noms[Slot(categorie)] : QString();
}

// The node a row stands for: a node, or the group whose "..." it is.
const Noeud* NoeudDeLigne(const QModelIndex& ligne)
{
    if (const Noeud* attente = ModeleArbre::ParentAttenteDe(ligne))
        return attente;
    return ModeleArbre::NoeudDe(ligne);
}

} // namespace

ActionsFichiers::ActionsFichiers(QWidget* fenetre, Stockage& stockage, Bureau& bureau, const Option& option)
    : QObject(fenetre), stockage_(stockage), bureau_(bureau),
      exportation_(new ExportationFichiers(fenetre, stockage, option)), menu_(new QMenu(fenetre)),
      avec_(new QMenu(menu_))
{
    menu_->setObjectName("MenuFichier");
    avec_->setObjectName("MenuOuvrirAvec");
    avec_->setTitle(QStringLiteral("Ouvrir a&vec…"));
    avec_->setWindowTitle(QStringLiteral("Ouvrir avec"));
    avec_->setAccessibleName(QStringLiteral("Ouvrir avec"));
    // The applications are asked for only when the submenu opens.
    connect(avec_, &QMenu::aboutToShow, this, &ActionsFichiers::RemplirApplications);
}

ActionsFichiers::Cible ActionsFichiers::CibleDe(const QModelIndex& ligne, CleArbre cle)
{
    Cible cible;
    cible.Cle = cle;
    const auto* modele = qobject_cast<const ModeleArbre*>(ligne.model());
    // A row of a biggest-first list: a file of its group node's group.
    if (const int rang = ModeleArbre::LigneListe(ligne); rang >= 0 && modele && modele->ParentLignes()) {
        const EnfantNoeud* enfant = modele->EnfantListe(rang);
        cible.Type = Cible::Genre::Fichier;
        cible.Groupes = {modele->ParentLignes()->Groupe};
        cible.Ligne = rang;
        cible.Nom = enfant ? enfant->Texte : QString();
        return cible;
    }
    const Noeud* noeud = NoeudDeLigne(ligne);
    if (!noeud)
        return cible;
    cible.Nom = modele ? modele->Texte(noeud) : noeud->Texte.Chaine();
    if (noeud->Groupe >= 0) {
        cible.Type = Cible::Genre::Groupe;
        cible.Groupes = {noeud->Groupe};
    } else if (noeud->Parent && noeud->Parent->Groupe >= 0 && !noeud->AEnfants()) {
        cible.Type = Cible::Genre::Fichier;
        cible.Groupes = {noeud->Parent->Groupe};
        cible.Ligne = noeud->Index;
    } else if (!noeud->Enfants.empty() && noeud->Enfants[0]->Groupe >= 0) {
        // "A...Z": its letters, each a group of the store.
        cible.Type = Cible::Genre::Groupe;
        for (const Noeud* lettre : noeud->Enfants)
            if (lettre->Groupe >= 0)
                cible.Groupes.push_back(lettre->Groupe);
    }
    return cible;
}

bool ActionsFichiers::Montrer(ArbreCategorie* arbre, const QModelIndex& ligne, const QPoint& position)
{
    if (!arbre)
        return false;
    Cible cible = CibleDe(ligne, arbre->Cle());
    if (cible.Type == Cible::Genre::Aucun)
        return false;
    cible_ = std::move(cible);
    arbre_ = arbre;
    generation_ = arbre->Generation();
    menu_->clear();
    if (cible_.Type == Cible::Genre::Fichier)
        RemplirFichier();
    else
        RemplirGroupe();
    menu_->popup(position);
    return true;
}

void ActionsFichiers::RemplirFichier()
{
    menu_->setWindowTitle(TitreMenu);
    menu_->setAccessibleName(TitreMenu);
    QAction* ouvrir = menu_->addAction(QStringLiteral("&Ouvrir"), this, [this] {
        if (CibleVivante())
            bureau_.Ouvrir(CheminCible());
    });
    menu_->setDefaultAction(ouvrir);
    menu_->addMenu(avec_);
    menu_->addSeparator();
    menu_->addAction(QStringLiteral("Afficher dans le &dossier"), this, [this] {
        if (CibleVivante())
            bureau_.AfficherDansDossier(CheminCible());
    });
    menu_->addSeparator();
    menu_->addAction(QStringLiteral("Copier le c&hemin"), this, [this] {
        if (CibleVivante())
            bureau_.CopierChemins({CheminCible()});
    });
    // The key is only shown: the tree takes Ctrl+C itself.
    menu_->addAction(QStringLiteral("&Copier\tCtrl+C"), this, [this] {
        if (CibleVivante())
            bureau_.CopierFichiers({CheminCible()});
    });
}

void ActionsFichiers::RemplirGroupe()
{
    menu_->setWindowTitle(TitreMenuGroupe);
    menu_->setAccessibleName(TitreMenuGroupe);
    menu_->addAction(QStringLiteral("Copier les c&hemins"), this, [this] {
        if (const Cible* cible = CibleVivante())
            bureau_.CopierChemins(Chemins(*cible));
    });
    menu_->addSeparator();
    menu_->addAction(QStringLiteral("E&xporter…"), this, [this] {
        const Cible* cible = CibleVivante();
        if (!cible)
            return;
        std::vector<Groupe> groupes;
        for (int32_t groupe : cible->Groupes)
            groupes.push_back(Groupe{cible->Cle, groupe});
        // "(12) mp3" or "(3) ~/Albums/Été" names the file "Son - mp3".
        QString nom = cible->Nom;
        if (nom.startsWith(QLatin1Char('(')) && nom.indexOf(QLatin1String(") ")) > 0)
            nom = nom.mid(nom.indexOf(QLatin1String(") ")) + 2);
        if (nom.startsWith(QLatin1Char('~')))
            nom = nom.mid(1);
        while (nom.startsWith(QLatin1Char('/')))
            nom = nom.mid(1);
        const QString categorie = NomCategorie(cible->Cle.Cat);
        exportation_->Exporter(cible->Cle.Cat, groupes, nom.isEmpty() ? categorie : categorie + " - " + nom);
    });
}

bool ActionsFichiers::ExporterCategorie(Categorie categorie)
{
    if (!CategorieValide(categorie) || stockage_.Compteur(categorie) == 0)
        return false;
    std::vector<Groupe> groupes;
    for (int lettre = 0; lettre < Stockage::NombreLettres; ++lettre)
        groupes.push_back(Groupe{CleArbre{categorie, Ordre::Alphabetique}, lettre});
    return exportation_->Exporter(categorie, groupes, NomCategorie(categorie));
}

void ActionsFichiers::RemplirApplications()
{
    avec_->clear();
    if (!CibleVivante())
        return;
    const std::vector<Bureau::Logiciel> logiciels = Bureau::Applications(CheminCible());
    if (logiciels.empty()) {
        avec_->addAction(QStringLiteral("Aucune application ne sait ouvrir ce fichier"))->setEnabled(false);
        return;
    }
    for (const Bureau::Logiciel& logiciel : logiciels)
        avec_->addAction(logiciel.Nom, this, [this, id = logiciel.Id] {
            if (CibleVivante())
                bureau_.OuvrirAvec(id, CheminCible());
        });
}

const ActionsFichiers::Cible* ActionsFichiers::CibleVivante() const
{
    return arbre_ && arbre_->Generation() == generation_ ? &cible_ : nullptr;
}

std::string ActionsFichiers::CheminCible() const
{
    if (cible_.Type != Cible::Genre::Fichier)
        return {};
    return stockage_.CheminFichier(Groupe{cible_.Cle, cible_.Groupes.front()}, cible_.Ligne);
}

std::vector<std::string> ActionsFichiers::Chemins(const Cible& cible)
{
    std::vector<std::string> chemins;
    switch (cible.Type) {
    case Cible::Genre::Fichier:
        if (std::string chemin = stockage_.CheminFichier(Groupe{cible.Cle, cible.Groupes.front()}, cible.Ligne);
            !chemin.empty())
            chemins.push_back(std::move(chemin));
        break;
    case Cible::Genre::Groupe:
        for (int32_t groupe : cible.Groupes) {
            std::vector<std::string> fichiers = stockage_.CheminsGroupe(Groupe{cible.Cle, groupe});
            if (chemins.empty())
                chemins = std::move(fichiers);
            else
                chemins.insert(chemins.end(), std::make_move_iterator(fichiers.begin()),
                               std::make_move_iterator(fichiers.end()));
        }
        break;
    case Cible::Genre::Aucun:
        break;
    }
    return chemins;
}

std::vector<std::string> ActionsFichiers::Chemins(CleArbre cle, const QModelIndexList& lignes)
{
    std::unordered_set<const Noeud*> choisis;
    for (const QModelIndex& ligne : lignes)
        if (const Noeud* noeud = NoeudDeLigne(ligne))
            choisis.insert(noeud);
    std::unordered_set<const Noeud*> faits;
    std::unordered_set<int> rangsFaits; // rows of a biggest-first list
    // Many rows of such a list: its paths read once, not one lookup a row.
    std::vector<std::string> liste;
    std::vector<std::string> chemins;
    for (const QModelIndex& ligne : lignes) {
        if (const int rang = ModeleArbre::LigneListe(ligne); rang >= 0) {
            const auto* modele = qobject_cast<const ModeleArbre*>(ligne.model());
            // Its group node chosen too holds it already.
            if (!rangsFaits.insert(rang).second || !modele || !modele->ParentLignes() ||
                choisis.count(modele->ParentLignes()) != 0)
                continue;
            const Groupe groupe{cle, modele->ParentLignes()->Groupe};
            if (liste.empty() && lignes.size() > ListeLue)
                liste = stockage_.CheminsGroupe(groupe);
            if (static_cast<size_t>(rang) < liste.size())
                chemins.push_back(liste[static_cast<size_t>(rang)]);
            else if (std::string chemin = stockage_.CheminFichier(groupe, rang); !chemin.empty())
                chemins.push_back(std::move(chemin));
            continue;
        }
        const Noeud* noeud = NoeudDeLigne(ligne);
        if (!noeud || !faits.insert(noeud).second)
            continue;
        bool couvert = false;
        for (const Noeud* p = noeud->Parent; p && !couvert; p = p->Parent)
            couvert = choisis.count(p) != 0;
        if (couvert)
            continue;
        std::vector<std::string> fichiers = Chemins(CibleDe(ligne, cle));
        chemins.insert(chemins.end(), std::make_move_iterator(fichiers.begin()),
                       std::make_move_iterator(fichiers.end()));
    }
    return chemins;
}

bool ActionsFichiers::Ouvrir(CleArbre cle, const QModelIndex& ligne)
{
    const Cible cible = CibleDe(ligne, cle);
    if (cible.Type != Cible::Genre::Fichier)
        return false;
    const std::vector<std::string> chemins = Chemins(cible);
    if (!chemins.empty())
        bureau_.Ouvrir(chemins.front());
    return true;
}

void ActionsFichiers::CopierSelection(ArbreCategorie* arbre)
{
    if (arbre)
        bureau_.CopierFichiers(Chemins(arbre->Cle(), arbre->selectionModel()->selectedIndexes()));
}

QMimeData* ActionsFichiers::DonneesGlisser(CleArbre cle, const QModelIndexList& lignes)
{
    const std::vector<std::string> chemins = Chemins(cle, lignes);
    if (chemins.empty())
        return nullptr;
    // A drop takes the addresses and the text; "copy" is the clipboard's word.
    QMimeData* donnees = Bureau::DonneesFichiers(chemins);
    donnees->removeFormat(QStringLiteral("x-special/gnome-copied-files"));
    return donnees;
}
