#pragma once

// The fill jobs of the group nodes the user expands: a node still holding
// its "..." placeholder starts one (ThreadPrevisualisation), unless one for
// that node is under way; its children reach the tree on the
// user-interface thread if the tree still holds the node.

#include "shared/CleArbre.h"
#include "shared/EnfantNoeud.h"

#include <QObject>

#include <cstddef>
#include <memory>
#include <vector>

class Stockage;
class ThreadPrevisualisation;
class VuesArbres;
struct Noeud;

class RemplissagesArbres : public QObject
{
    Q_OBJECT
public:
    // Listens to the expansions of the twelve trees and the four lists.
    RemplissagesArbres(VuesArbres& vues, Stockage& stockage);
    ~RemplissagesArbres() override;

    // An expanded group node still holding its placeholder: starts a fill
    // job, unless one for that node is already under way.
    void Lancer(CleArbre cle, Noeud* noeud);
    // Stops the unfinished fill jobs and forgets all of them.
    void Suspendre();
    // Fill jobs kept: running ones, and finished ones whose children have
    // not reached their tree yet.
    size_t Nombre() const { return jobs_.size(); }

    // Any thread: hands a fill job's children to the user-interface thread,
    // which replaces the node's children in one batch if the tree still
    // holds the node (same generation); a biggest-first group gets its
    // list of `nombre` rows, of which `enfants` are the first.
    void RemplacerEnfants(CleArbre cle, Noeud* noeud, quint64 generation, std::vector<EnfantNoeud> enfants,
                          int32_t nombre = -1);

private:
    // Drops the fill jobs that are done with: their node filled, or gone and the job finished.
    void LibererTermines();

    VuesArbres& vues_;
    Stockage& stockage_;
    std::vector<std::unique_ptr<ThreadPrevisualisation>> jobs_;
};
