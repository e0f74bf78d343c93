#pragma once

// The tree worker: adds the "Par Répertoire" root nodes during a scan.

#include "shared/Travailleur.h"

class GestionTreeView;

class ThreadTreeView : public Travailleur
{
public:
    explicit ThreadTreeView(GestionTreeView* cible); // starts at once
    ~ThreadTreeView() override;

protected:
    void Execute() override;

private:
    GestionTreeView* Cible;
};
