#pragma once

// Filter as you type over the category trees: the small box over the shown
// category's trees (Ctrl+F, or a letter typed in a tree, opens it), the
// filtering worker, and the filter applied. While a filter holds, the
// category's three trees show only the files whose name contains the text
// (case and accents folded as the first-letter buckets fold them), their
// group texts counting those files, and the store reads the category's
// groups through the same filter, so that rows, the preview and the files'
// actions all mean the files shown. Escape (in the box or in the tree) or an
// empty box gives the whole trees back. It holds across zone and order changes and a paused scan;
// a running scan shows everything until its next pause or its end.

#include "scan/Stockage.h"
#include "shared/Categorie.h"
#include "shared/Ordre.h"

#include <QLineEdit>
#include <QObject>
#include <QPointer>
#include <QString>

#include <array>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

class ConstructeurArbres;
class QWidget;
class RemplissagesArbres;
class TravailFiltre;
class VuesArbres;

class FiltreArbres : public QObject
{
    Q_OBJECT
public:
    static const QString TexteInvite; // the box's placeholder
    static const QString NomAccessible;

    // The box goes into the window. The filter rebuilds the shown
    // category's trees with the builder, after stopping the fill jobs.
    FiltreArbres(QWidget* fenetre, VuesArbres& vues, ConstructeurArbres& constructeur, RemplissagesArbres& remplissages,
                 Stockage& stockage);
    ~FiltreArbres() override;

    // Shows the box with the focus, the typed text appended.
    void Ouvrir(const QString& saisie);
    // Empties and hides the box; the whole trees come back.
    void Fermer();
    QString Texte() const;
    // Whether the box shows (a filter typed, or about to be).
    bool Ouvert() const;
    // The category whose trees are filtered now; Autre: none.
    Categorie CategorieFiltree() const { return filtree_; }
    // Files kept by the filter applied (0 when none).
    int64_t NombreRetenus() const { return nombre_; }

    // The category area's events.
    void MontrerBoite(bool montrer);
    // The trees are built from the store (a pause or the end): filter again.
    void ArbresConstruits();
    // Whether the trees are built from the store (after a pause or the end).
    bool ArbresPrets() const { return arbresPrets_; }
    // The trees are about to change under a running scan (a start, a
    // resume): the whole trees come back, the text stays for the next pause.
    void ArbresEnChangement(bool nouveauScan);
    // The shown category changed: the filter follows it.
    void CategorieMontree();
    // Directory roots of a scan arriving for a filtered tree: kept for its
    // restoring, true; false when the category is not filtered.
    bool RetenirRepertoires(Categorie categorie, int nombre);

signals:
    // A filtering reached the trees (tests and the journal wait on it).
    void FiltreApplique(const QString& texte, qint64 nombre);

private:
    // The groups open in a category's three trees, per order, by their
    // parent's group and their own.
    using Ouverts = std::array<std::vector<std::pair<int32_t, int32_t>>, NombreOrdres>;

    void Relancer();
    void Restaurer();
    void Appliquer(quint64 numero, const std::shared_ptr<Stockage::Filtre>& filtre);
    // Builds the category's trees again (the files kept by filtre, or all),
    // the groups open before open again; when the files kept fit in the
    // shown tree, every group holding one opens.
    void Reconstruire(Categorie categorie, const Stockage::Filtre* filtre);
    Ouverts GroupesOuverts(Categorie categorie) const;

    VuesArbres& vues_;
    ConstructeurArbres& constructeur_;
    RemplissagesArbres& remplissages_;
    Stockage& stockage_;
    QPointer<QLineEdit> boite_;
    std::unique_ptr<TravailFiltre> travail_;
    quint64 attendu_ = 0;
    Categorie filtree_ = Categorie::Autre;
    // The filtered category's directory roots while unfiltered.
    int racines_ = 0;
    int64_t nombre_ = 0;
    bool boiteMontrable_ = false;
    bool arbresPrets_ = false;
};
