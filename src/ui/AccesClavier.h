#pragma once

// The main window for the keyboard and for screen readers, without changing
// what it paints: a Tab order through the home and category controls, keys
// that press the picture buttons and zones as a click would, and a name and
// role for every picture button, zone, tree and label.

#include <QObject>

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

    TFormPrincipal* f_;
};
