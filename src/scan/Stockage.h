#pragma once

// The results of the current scan: every classified file once, grouped per
// category by directory, by first letter and by extension, and counted.
// Fed one directory at a time through a waiting list; read for display by
// the counters, the tree builders, the fill jobs and the file information.

#include "scan/Semaphore.h"
#include "scan/TAttente.h"
#include "trees/EnfantNoeud.h"
#include "trees/PlaceNoeud.h"

#include <QString>

#include <atomic>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

class Explorateur;
class Extension;
class GestionBouton;
class GestionTreeView;
class Noeud;
class Travailleur;

class Stockage
{
public:
    Stockage();
    ~Stockage();

    void Lier(Explorateur* explorateur) { explorateur_ = explorateur; }
    void Lier(Extension* extension) { extension_ = extension; }
    void Lier(GestionBouton* bouton) { bouton_ = bouton; }
    void Lier(GestionTreeView* arbres) { arbres_ = arbres; }

    // --- filing (scan and store workers) ---
    // User-interface thread, before the workers of a new scan exist.
    void Reinitialiser();
    void DefinirRacine(int32_t longueur);
    void MarquerFinParcours();
    void EmpilerRepertoire(const std::string& chemin, std::vector<std::string> fichiers);
    // The store worker's loop. At the natural end it sets the tree manager's
    // FinDemandee and has ArreterScan(0) run on the user-interface thread.
    void BoucleStockage(Travailleur& travailleur);
    // Clears FinParcours; called before the workers of a scan start.
    void PreparerScan();

    static std::string FormaterNombre(int64_t nombre);

    // --- reading for display ---
    int32_t Compteur(int categorie) const;
    // User-interface thread: the five count labels.
    void AfficherCompteurs();
    // User-interface thread: clears the alphabetical and by-extension trees
    // and builds the four alphabetical skeletons.
    void ConstruireAlphabetique();
    // User-interface thread: the by-extension node of one extension.
    void AjouterNoeudsExtension(int categorie, const std::string& ext);
    // Any thread: the sorted file children of a group node; empty when the
    // node matches no group. Sorts the group in the store.
    std::vector<EnfantNoeud> EnfantsNoeud(int categorie, int ordre, const PlaceNoeud& place);
    // Worker side of a fill: computes the children and hands them to the
    // tree manager, which applies them on the user-interface thread.
    void RemplirNoeud(int categorie, int ordre, Noeud* noeud, const PlaceNoeud& place, quint64 generation);
    // Sorts positions by lower-cased name bytes; stable.
    void TrierGroupe(std::vector<uint32_t>& groupe) const;
    // The selected file's full path (bytes, as on disk), with its display
    // name, extension and size text. Empty path when no entry matches.
    std::string InformationFichier(int categorie, int ordre, const PlaceNoeud& place, QString& nom,
                                   QString& ext, QString& taille);

private:
    Explorateur* explorateur_ = nullptr;
    Extension* extension_ = nullptr;
    GestionBouton* bouton_ = nullptr;
    GestionTreeView* arbres_ = nullptr;
    // data members are the implementation's
};
