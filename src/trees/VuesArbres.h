#pragma once

// The category area's widgets: the twelve trees, the four biggest-first
// lists, their frame, the order drop-down (the three orders and « Par
// Taille »), the button to the biggest files and the running label, which it
// builds and owns; placeholders
// before and during a scan, the category shown and the order shown per
// category (kept in the settings), the folder pictures of opened groups.
// It knows nothing of the store nor of the scan: what they make reaches the
// trees through the builder and the stream. User-interface thread only.

#include "shared/Categorie.h"
#include "shared/CleArbre.h"
#include "widgets/ListeImages.h"
#include "shared/Ordre.h"

#include <QObject>
#include <QString>

#include <array>

class ArbreCategorie;
class Cadre;
class Etiquette;
class Option;
class QComboBox;
class QToolButton;
class QWidget;
struct Noeud;

class VuesArbres : public QObject
{
    Q_OBJECT
public:
    enum class ModeVider { Tous, ExtensionEtAlphabetique };

    static const QString TexteInvitation; // Cliquer sur " Lancement du Scan "
    static const QString TextePatientez;  // "Patientez  ..."

    // The components go into the window, hidden.
    VuesArbres(QWidget* fenetre, Option& option);

    // The file-type icons of the trees (folder pictures first).
    ListeImages& ImageListExt() { return imageListExt_; }
    // The drop-down of the orders, for the keyboard and screen readers.
    QComboBox* ChoixTrie() const { return choixTrie_; }
    // The one-click way to the shown category's biggest files.
    QToolButton* PlusGros() const { return plusGros_; }
    // Opens the shown category's biggest-first list's one group node (its
    // files are sorted then, off the window's thread).
    void OuvrirParTaille(Categorie categorie);
    ArbreCategorie* Arbre(CleArbre cle) const;
    ArbreCategorie* Arbre(Categorie categorie, Ordre ordre) const { return Arbre(CleArbre{categorie, ordre}); }

    Noeud* AjouterRacine(Categorie categorie, Ordre ordre, const QString& texte, int image);
    Noeud* AjouterEnfant(Categorie categorie, Ordre ordre, const QString& texte, int image, Noeud* parent);
    void Vider(ModeVider mode);
    void AfficherPatientez();
    // The invitation text in all twelve trees.
    void InitialiserOrdres();

    // Shows the frame and the drop-down of the category zones, or hides
    // them with the running label.
    void MontrerCadre(bool montrer);
    // Shows the category's tree of an order, or hides its three trees;
    // ordre 0 stands for the category's current order.
    void AfficherArbres(Categorie categorie, int ordre, bool montrer);
    void ChangerOrdre(Categorie categorie, Ordre ordre);
    // The order shown for a category (the settings hold it): one of the
    // three, or Taille for its biggest-first list.
    Ordre OrdreCourant(Categorie categorie) const;
    void Deselectionner();
    // The category shown (Autre: none) and its tree in the order shown.
    Categorie CategorieAffichee() const { return categorieAffichee_; }
    ArbreCategorie* ArbreMontre() const;

    // Whether by-directory nodes are still on their way: the running label
    // shows while they are and a "Par Répertoire" tree is shown.
    void DefinirEnCours(bool enCours);

signals:
    // The category shown changed, or its order.
    void AffichageChange();

private:
    void CreerComposants(QWidget* fenetre);
    void MontrerPlusGros();

    Option& option_;
    ListeImages imageListExt_;
    std::array<ArbreCategorie*, NombreVues> arbres_{};
    Cadre* Bevel = nullptr;
    QComboBox* choixTrie_ = nullptr;  // ComboBoxChoixTrie
    Etiquette* enCours_ = nullptr;    // LabelEnCourAffichage
    QToolButton* plusGros_ = nullptr; // BoutonPlusGros
    bool cadreMontre_ = false;
    Categorie categorieAffichee_ = Categorie::Autre; // none
    bool affichageEnCours_ = false;
};
