#pragma once

// The main window for the keyboard and for screen readers, without changing
// what it paints: a Tab order through the home and category controls, keys
// that press the picture buttons and zones as a click would, and a name and
// role for every picture button, zone, tree and label. It finds the rooms'
// components by their names, once the rooms are built.

#include <QObject>
#include <QString>

#include <vector>

class ArbreCategorie;
class TFormPrincipal;

class AccesClavier : public QObject
{
    Q_OBJECT
public:
    // Works on the window's components; owned by the window.
    explicit AccesClavier(TFormPrincipal* fenetre);

protected:
    bool eventFilter(QObject* objet, QEvent* evenement) override;

private:
    void OrdonnerTabulation();
    void CreerRaccourcis();
    void Nommer();
    // Enter on a file of a tree: its preview's double click.
    bool OuvrirDepuis(ArbreCategorie* arbre);
    // The component of that name, built by one of the rooms.
    template <typename T>
    T* Composant(const char* nom) const;
    // The twelve trees, in their keys' order.
    std::vector<ArbreCategorie*> Arbres() const;

    TFormPrincipal* f_;
};
