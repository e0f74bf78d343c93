#include "trees/GestionTreeView.h"

#include "shared/Option.h"
#include "shared/Travailleur.h"
#include "trees/ArbreCategorie.h"
#include "widgets/Etiquette.h"
#include "ui/GestionMenu.h"
#include "ui/GestionProgressBar.h"
#include "ui/TFormPrincipal.h"

#include <QComboBox>
#include <QMetaObject>
#include <QSignalBlocker>

#include <algorithm>
#include <array>
#include <iterator>
#include <memory>

namespace {

constexpr int NombreCategories = 4;
constexpr int NombreOrdres = 3;
constexpr int OrdreExtension = 1;
constexpr int OrdreAlphabetique = 2;
constexpr int OrdreRepertoire = 3;
constexpr int OrdreRafraichirEtiquette = 4;
constexpr int ZonePremiereCategorie = 2;   // zone code - 1 = category
constexpr int ImageDossier = 0;
constexpr int SansImage = -1;
constexpr int PeriodeSondageMs = 10;
constexpr int AttenteLotsMs = 1;

// Defaults when no valid order was stored: Video, Son, Image, Texte.
constexpr std::array<uint8_t, NombreCategories> OrdresParDefaut = {3, 3, 3, 1};

using ChampArbre = ArbreCategorie* TFormPrincipal::*;
constexpr ChampArbre ChampsArbres[NombreCategories][NombreOrdres] = {
    {&TFormPrincipal::TreeViewVideoExt, &TFormPrincipal::TreeViewVideoAlpha, &TFormPrincipal::TreeViewVideoRep},
    {&TFormPrincipal::TreeViewSonExt, &TFormPrincipal::TreeViewSonAlpha, &TFormPrincipal::TreeViewSonRep},
    {&TFormPrincipal::TreeViewImageExt, &TFormPrincipal::TreeViewImageAlpha, &TFormPrincipal::TreeViewImageRep},
    {&TFormPrincipal::TreeViewTexteExt, &TFormPrincipal::TreeViewTexteAlpha, &TFormPrincipal::TreeViewTexteRep},
};

Etiquette* EtiquetteEnCours()
{
    return FormPrincipal ? FormPrincipal->LabelEnCourAffichage : nullptr;
}

bool OrdreValide(int ordre)
{
    return ordre >= OrdreExtension && ordre <= OrdreRepertoire;
}

} // namespace

const QString GestionTreeView::TexteInvitation = QStringLiteral("Cliquer sur \" Lancement du Scan \"");
const QString GestionTreeView::TextePatientez = QStringLiteral("Patientez  ...");
const QString GestionTreeView::TexteAttente = QStringLiteral("...");

// Root texts of one batch, per category, in queue order.
struct GestionTreeView::Lot
{
    std::array<std::vector<QString>, NombreCategories> Textes;
};

GestionTreeView::GestionTreeView() = default;

GestionTreeView::~GestionTreeView() = default;

ArbreCategorie* GestionTreeView::Arbre(int categorie, int ordre) const
{
    if (!FormPrincipal || categorie < 1 || categorie > NombreCategories || !OrdreValide(ordre))
        return nullptr;
    return FormPrincipal->*ChampsArbres[categorie - 1][ordre - 1];
}

Noeud* GestionTreeView::AjouterRacine(int categorie, int ordre, const QString& texte, int image)
{
    ArbreCategorie* arbre = Arbre(categorie, ordre);
    return arbre ? arbre->AjouterRacine(texte, image) : nullptr;
}

Noeud* GestionTreeView::AjouterEnfant(int categorie, int ordre, const QString& texte, int image, Noeud* parent)
{
    ArbreCategorie* arbre = Arbre(categorie, ordre);
    return arbre && parent ? arbre->AjouterEnfant(parent, texte, image) : nullptr;
}

void GestionTreeView::Vider(ModeVider mode)
{
    for (int c = 1; c <= NombreCategories; ++c) {
        for (int o : {OrdreAlphabetique, OrdreExtension, OrdreRepertoire}) {
            if (o == OrdreRepertoire && mode != ModeVider::Tous)
                continue;
            if (ArbreCategorie* arbre = Arbre(c, o)) {
                arbre->ToutSupprimer();
                arbre->DefinirShowRoot(true);
            }
        }
    }
}

void GestionTreeView::AfficherPatientez()
{
    for (int c = 1; c <= NombreCategories; ++c) {
        for (int o : {OrdreExtension, OrdreAlphabetique}) {
            if (ArbreCategorie* arbre = Arbre(c, o)) {
                arbre->AjouterRacine(TextePatientez, SansImage);
                arbre->DefinirShowRoot(false);
            }
        }
    }
}

void GestionTreeView::InitialiserOrdres(int video, int son, int image, int texte)
{
    const std::array<int, NombreCategories> ordres = {video, son, image, texte};
    for (int c = 0; c < NombreCategories; ++c)
        OrdreCourant[c] = OrdreValide(ordres[c]) ? static_cast<uint8_t>(ordres[c]) : OrdresParDefaut[c];
    for (int c = 1; c <= NombreCategories; ++c)
        for (int o = OrdreExtension; o <= OrdreRepertoire; ++o)
            AjouterRacine(c, o, TexteInvitation, SansImage);
}

void GestionTreeView::AfficherArbresVideo(int ordre, bool montrer)
{
    AfficherArbres(1, ordre, montrer);
}

void GestionTreeView::AfficherArbresSon(int ordre, bool montrer)
{
    AfficherArbres(2, ordre, montrer);
}

void GestionTreeView::AfficherArbresImage(int ordre, bool montrer)
{
    AfficherArbres(3, ordre, montrer);
}

void GestionTreeView::AfficherArbresTexte(int ordre, bool montrer)
{
    AfficherArbres(4, ordre, montrer);
}

void GestionTreeView::AfficherArbres(int categorie, int ordre, bool montrer)
{
    uint8_t& courant = OrdreCourant[categorie - 1];
    auto enregistrer = [this, categorie, &courant] {
        if (!option_)
            return;
        int32_t* champs[NombreCategories] = {&option_->TreeVideo, &option_->TreeSon, &option_->TreeImage,
                                             &option_->TreeTexte};
        *champs[categorie - 1] = courant;
    };
    Etiquette* etiquette = EtiquetteEnCours();
    auto rafraichirEtiquette = [etiquette] {
        if (etiquette)
            etiquette->setVisible(etiquette->Tag.load() != 0);
    };

    if (montrer && ordre == 0)
        ordre = courant;
    if (!montrer) {
        for (int o = OrdreExtension; o <= OrdreRepertoire; ++o)
            if (ArbreCategorie* arbre = Arbre(categorie, o))
                arbre->hide();
        enregistrer();
        return;
    }
    if (ordre == OrdreRafraichirEtiquette) {
        if (courant == OrdreRepertoire)
            rafraichirEtiquette();
        return;
    }

    bool dejaVisible = false;
    if (OrdreValide(ordre)) {
        ArbreCategorie* montre = Arbre(categorie, ordre);
        dejaVisible = montre && !montre->isHidden();
        for (int o = OrdreExtension; o <= OrdreRepertoire; ++o)
            if (ArbreCategorie* arbre = Arbre(categorie, o))
                arbre->setVisible(o == ordre);
        if (ordre == OrdreRepertoire)
            rafraichirEtiquette();
        else if (etiquette)
            etiquette->hide();
        courant = static_cast<uint8_t>(ordre);
        if (!dejaVisible && FormPrincipal && FormPrincipal->ComboBoxChoixTrie) {
            // Not a choice of the user: the combo's handler must not run.
            const QSignalBlocker bloqueur(FormPrincipal->ComboBoxChoixTrie);
            FormPrincipal->ComboBoxChoixTrie->setCurrentIndex(ordre - 1);
        }
    }
    enregistrer();
}

void GestionTreeView::ChangerOrdre(int zone, int index)
{
    const int categorie = zone - ZonePremiereCategorie + 1;
    if (categorie < 1 || categorie > NombreCategories)
        return;
    AfficherArbres(categorie, index + 1, true);
}

void GestionTreeView::Deselectionner()
{
    for (int c = 1; c <= NombreCategories; ++c)
        for (int o = OrdreExtension; o <= OrdreRepertoire; ++o)
            if (ArbreCategorie* arbre = Arbre(c, o); arbre && arbre->NoeudSelectionne())
                arbre->Deselectionner();
}

void GestionTreeView::AjouterRepertoire(const TAttente& attente)
{
    if (ArbreCategorie* arbre = Arbre(attente.Categorie, OrdreRepertoire))
        arbre->AjouterRacinesAvecAttente({QString::fromStdString(attente.Texte)}, ImageDossier);
}

void GestionTreeView::Empiler(int categorie, std::string texte)
{
    TAttente attente;
    attente.Texte = std::move(texte);
    attente.Categorie = categorie;
    Verrou.Attendre();
    FileAttente.push_back(std::move(attente));
    Verrou.Liberer();
}

void GestionTreeView::PreparerScan()
{
    Verrou.Attendre();
    FileAttente.clear();
    FinDemandee = false;
    ++numeroScan_;
    Verrou.Liberer();
}

void GestionTreeView::Traiter(Travailleur& travailleur)
{
    const quint64 scan = numeroScan_.load();
    Etiquette* etiquette = EtiquetteEnCours();   // only its atomic Tag is used here
    if (etiquette)
        etiquette->Tag = 1;

    int dernierTag = -1;   // forces the first label refresh
    std::vector<TAttente> attentes;
    for (;;) {
        // Let the user-interface thread catch up before taking more.
        while (lotsEnVol_.load() >= LotsEnVolMax)
            if (!travailleur.Dormir(AttenteLotsMs))
                return;

        Verrou.Attendre();
        if (FinDemandee && FileAttente.empty()) {
            Verrou.Liberer();
            break;
        }
        const int tag = (!FileAttente.empty() || (barre_ && barre_->EnCours.load())) ? 1 : 0;
        if (etiquette)
            etiquette->Tag = tag;
        const size_t nombre = std::min(FileAttente.size(), TailleLotMax);
        attentes.assign(std::make_move_iterator(FileAttente.begin()),
                        std::make_move_iterator(FileAttente.begin() + static_cast<std::ptrdiff_t>(nombre)));
        FileAttente.erase(FileAttente.begin(), FileAttente.begin() + static_cast<std::ptrdiff_t>(nombre));
        Verrou.Liberer();

        const bool vide = attentes.empty();
        if (!vide || tag != dernierTag)
            Publier(scan, attentes);
        dernierTag = tag;
        if (vide ? !travailleur.Dormir(PeriodeSondageMs) : !travailleur.PointDeControle())
            return;
    }

    if (etiquette)
        etiquette->Tag = 0;
    QMetaObject::invokeMethod(this, [this, scan] { TerminerAffichage(scan); }, Qt::QueuedConnection);
}

void GestionTreeView::Publier(quint64 scan, std::vector<TAttente>& attentes)
{
    auto lot = std::make_shared<Lot>();
    for (TAttente& a : attentes)
        if (a.Categorie >= 1 && a.Categorie <= NombreCategories)
            lot->Textes[static_cast<size_t>(a.Categorie - 1)].push_back(QString::fromStdString(a.Texte));
    attentes.clear();
    ++lotsEnVol_;
    QMetaObject::invokeMethod(
        this,
        [this, scan, lot] {
            AppliquerLot(scan, *lot);
            --lotsEnVol_;
        },
        Qt::QueuedConnection);
}

void GestionTreeView::AppliquerLot(quint64 scan, const Lot& lot)
{
    if (scan != numeroScan_.load())
        return;   // posted by the worker of an earlier scan
    for (int c = 1; c <= NombreCategories; ++c) {
        const auto& textes = lot.Textes[static_cast<size_t>(c - 1)];
        if (textes.empty())
            continue;
        if (ArbreCategorie* arbre = Arbre(c, OrdreRepertoire))
            arbre->AjouterRacinesAvecAttente(textes, ImageDossier);
    }
    ChangerOrdre(menu_ ? menu_->ZoneCourante() : 0, OrdreRafraichirEtiquette - 1);
}

void GestionTreeView::TerminerAffichage(quint64 scan)
{
    if (scan != numeroScan_.load())
        return;
    if (Etiquette* etiquette = EtiquetteEnCours())
        etiquette->hide();
}

void GestionTreeView::RemplacerEnfants(int categorie, int ordre, Noeud* noeud, quint64 generation,
                                       std::vector<EnfantNoeud> enfants)
{
    auto partages = std::make_shared<std::vector<EnfantNoeud>>(std::move(enfants));
    QMetaObject::invokeMethod(
        this,
        [this, categorie, ordre, noeud, generation, partages] {
            ArbreCategorie* arbre = Arbre(categorie, ordre);
            if (!arbre || arbre->Generation() != generation)
                return;   // the node went with its tree's last clearing
            arbre->RemplacerEnfants(noeud, *partages);
        },
        Qt::QueuedConnection);
}
