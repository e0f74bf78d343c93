#pragma once

// The main window for the keyboard and for screen readers, without changing
// what it paints: a Tab order through the home and category controls, keys
// that press the picture buttons and zones as a click would, and a name and
// role for every picture button, zone, tree and label. Each room hands over
// the components it has for the keyboard and screen readers.

#include "preview/PanneauLecteur.h"
#include "ui/GestionBarreSystem.h"
#include "ui/GestionBouton.h"

#include <QObject>
#include <QString>

#include <array>
#include <vector>

class ArbreCategorie;
class GestionMenu;
class GestionProgressBar;
class GestionTreeView;
class ImageComposant;
class Previsualisation;
class QComboBox;
class TFormPrincipal;

class AccesClavier : public QObject
{
    Q_OBJECT
public:
    // Works on the components the rooms hand over, once they are built;
    // owned by the window.
    AccesClavier(TFormPrincipal* fenetre, const GestionBarreSystem& barreSysteme, const GestionBouton& home,
                 const GestionMenu& menu, const GestionProgressBar& progression, const GestionTreeView& arbres,
                 const Previsualisation& previsualisation);

protected:
    bool eventFilter(QObject* objet, QEvent* evenement) override;

private:
    void OrdonnerTabulation();
    void CreerRaccourcis();
    void Nommer();
    // Enter on a file of a tree: its preview's double click.
    bool OuvrirDepuis(ArbreCategorie* arbre);

    TFormPrincipal* f_;
    GestionBarreSystem::Accessibles barreSysteme_;
    GestionBouton::Accessibles home_;
    std::array<ImageComposant*, 6> zones_;
    ImageComposant* progression_;
    // The twelve trees, in their keys' order, and the drop-down.
    std::vector<ArbreCategorie*> arbres_;
    QComboBox* choixTrie_;
    PanneauLecteur::Commandes son_;
    PanneauLecteur::Commandes video_;
    ImageComposant* apercuImage_;
    ImageComposant* apercuTexte_;
    std::array<ImageComposant*, 2> apercusSon_;
    ImageComposant* apercuVideo_;
};
