#include "trees/GestionTreeView.h"

#include "shared/AppelDiffere.h"
#include "classification/Extension.h"
#include "classification/NomFichier.h"
#include "scan/Stockage.h"
#include "shared/Option.h"
#include "shared/Textes.h"
#include "shared/Travailleur.h"
#include "trees/ActionsFichiers.h"
#include "trees/ArbreCategorie.h"
#include "trees/FiltreArbres.h"
#include "trees/ModeleArbre.h"
#include "trees/ThreadPrevisualisation.h"
#include "widgets/Cadre.h"
#include "trees/ThreadTreeView.h"
#include "widgets/Etiquette.h"
#include "widgets/Fabrique.h"
#include "widgets/TFormImage.h"

#include <QComboBox>
#include <QMetaObject>
#include <QSignalBlocker>
#include <QShortcut>

#include <algorithm>
#include <iterator>
#include <memory>

namespace {

constexpr int ImageDossier = 0;
constexpr int SansImage = -1;
constexpr int NombreLettresAlphabet = 26;

const QString TexteLettres = QStringLiteral("A...Z");

} // namespace

const QString GestionTreeView::TexteInvitation = QStringLiteral("Cliquer sur \" Lancement du Scan \"");
const QString GestionTreeView::TextePatientez = QStringLiteral("Patientez  ...");
const QString GestionTreeView::TexteAttente = QStringLiteral("...");

// Root texts of one batch, per category, in queue order.
struct GestionTreeView::Lot
{
    std::array<std::vector<QString>, NombreCategories> Textes;
};

GestionTreeView::GestionTreeView(QWidget* fenetre, Option& option, Stockage& stockage, Extension& extension,
                                 Bureau& bureau)
    : option_(option), stockage_(stockage), extension_(extension)
{
    imageListExt_.Ajouter(TFormImage::Charger("DossierFerme.png").toImage());
    imageListExt_.Ajouter(TFormImage::Charger("DossierOuvert.png").toImage());
    CreerComposants(fenetre);
    actions_ = new ActionsFichiers(fenetre, stockage_, bureau, option_);
    filtre_ = new FiltreArbres(fenetre, *this, stockage_);
    Relier();
}

GestionTreeView::~GestionTreeView()
{
    SuspendreRemplissages();
}

void GestionTreeView::CreerComposants(QWidget* fenetre)
{
    Bevel = new Cadre(fenetre, QRect(114, 103, 295, 316));
    Bevel->setObjectName("Bevel");
    Bevel->hide();
    enCours_ = Fabrique::Label(fenetre, "LabelEnCourAffichage", "En cour d'affichage", QPoint(424, 376),
                               Fabrique::Verdana, 13, true, Qt::red, QColor());
    enCours_->hide();

    const char* const noms[] = {"TreeViewVideoExt", "TreeViewVideoAlpha", "TreeViewVideoRep",   "TreeViewSonExt",
                                "TreeViewSonAlpha", "TreeViewSonRep",     "TreeViewImageExt",   "TreeViewImageAlpha",
                                "TreeViewImageRep", "TreeViewTexteExt",   "TreeViewTexteAlpha", "TreeViewTexteRep"};
    for (CleArbre cle : ToutesLesCles) {
        auto* arbre = new ArbreCategorie(&imageListExt_, cle, fenetre);
        arbre->setObjectName(noms[cle.Rang()]);
        arbre->setGeometry(115, 104, 292, 313);
        arbre->hide();
        arbres_[cle.Rang()] = arbre;
        // A directory node shows its group's text in the store: it keeps no copy.
        if (cle.Ord == Ordre::Repertoire)
            arbre->Modele()->DefinirSourceTextes([this, categorie = cle.Cat](int32_t groupe) {
                return NomFichier::Texte(stockage_.TexteRepertoire(categorie, groupe));
            });
    }

    choixTrie_ = new QComboBox(fenetre);
    choixTrie_->setObjectName("ComboBoxChoixTrie");
    choixTrie_->setGeometry(413, 397, 161, 22);
    choixTrie_->addItems({"Par Extension", "Par Ordre Alphabétique", "Par Répertoire"});
    choixTrie_->setCurrentIndex(0);
    choixTrie_->hide();
}

void GestionTreeView::Relier()
{
    for (ArbreCategorie* arbre : arbres_) {
        connect(arbre, &ArbreCategorie::Deploiement, this, [this, arbre](Noeud* noeud) {
            arbre->ChangerImage(noeud, 1);
            if (noeud && noeud->AttenteVirtuelle())
                LancerRemplissage(arbre->Cle(), noeud);
        });
        connect(arbre, &ArbreCategorie::Repli, this, [arbre](Noeud* noeud) { arbre->ChangerImage(noeud, 0); });
        connect(arbre, &ArbreCategorie::ChangementSelection, this, [this, arbre](Noeud* noeud, Noeud* parentAttente) {
            ChangementSelection(arbre, noeud, parentAttente);
        });
        // The actions on the files: the rows' menu, Ctrl+C, a double click
        // on a file (one on a group opens the group), the drag out.
        connect(arbre, &ArbreCategorie::MenuDemande, this,
                [this, arbre](const QModelIndex& ligne, const QPoint& position) {
                    actions_->Montrer(arbre, ligne, position);
                });
        connect(arbre, &ArbreCategorie::CopieDemandee, this, [this, arbre] { actions_->CopierSelection(arbre); });
        // Ctrl+E: the tree's whole category exported.
        auto* exporter = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_E), arbre, nullptr, nullptr, Qt::WidgetShortcut);
        connect(exporter, &QShortcut::activated, this,
                [this, arbre] { actions_->ExporterCategorie(arbre->Cle().Cat); });
        connect(arbre, &ArbreCategorie::FiltreDemande, filtre_, &FiltreArbres::Ouvrir);
        connect(arbre, &ArbreCategorie::FermetureFiltreDemandee, filtre_, &FiltreArbres::Fermer);
        arbre->FiltreOuvert = [this] { return filtre_->Ouvert(); };
        connect(arbre, &QAbstractItemView::doubleClicked, this,
                [this, arbre](const QModelIndex& ligne) { actions_->Ouvrir(arbre->Cle(), ligne); });
        arbre->DonneesGlisser = [this, arbre](const QModelIndexList& lignes) {
            return actions_->DonneesGlisser(arbre->Cle(), lignes);
        };
    }
    connect(choixTrie_, &QComboBox::currentIndexChanged, this, [this](int index) {
        Deselectionner();
        if (CategorieValide(categorieAffichee_))
            ChangerOrdre(categorieAffichee_, static_cast<Ordre>(index + 1));
    });
}

// A file leaf is previewed; so is the "..." row, which stands first in its group.
void GestionTreeView::ChangementSelection(ArbreCategorie* arbre, Noeud* noeud, Noeud* parentAttente)
{
    if (noeud && !noeud->AEnfants() && noeud->Parent)
        emit FichierChoisi(Groupe{arbre->Cle(), noeud->Parent->Groupe}, noeud->Index);
    else if (!noeud && parentAttente)
        emit FichierChoisi(Groupe{arbre->Cle(), parentAttente->Groupe}, 0);
}

void GestionTreeView::ScanDemarre()
{
    arbresPrets_ = false;
    filtre_->ArbresEnChangement(true);
    SuspendreRemplissages();
    Vider(ModeVider::Tous);
    AfficherPatientez();
    DefinirScanActif(true);
}

void GestionTreeView::ScanArrete()
{
    filtre_->ArbresEnChangement(false);
    DefinirScanActif(false);
    ConstruireAlphabetique();
    RemplirArbresExtension();
    arbresPrets_ = true;
    filtre_->ArbresConstruits();
}

void GestionTreeView::ScanRepris()
{
    filtre_->ArbresEnChangement(false);
    arbresPrets_ = false;
    DefinirScanActif(true);
    Vider(ModeVider::ExtensionEtAlphabetique);
    AfficherPatientez();
}

void GestionTreeView::MontrerCadre(bool montrer)
{
    Bevel->setVisible(montrer);
    choixTrie_->setVisible(montrer);
    filtre_->MontrerBoite(montrer);
    if (!montrer)
        enCours_->hide();
}

ArbreCategorie* GestionTreeView::Arbre(CleArbre cle) const
{
    if (!CategorieValide(cle.Cat) || !OrdreValide(Code(cle.Ord)))
        return nullptr;
    return arbres_[cle.Rang()];
}

Noeud* GestionTreeView::AjouterRacine(Categorie categorie, Ordre ordre, const QString& texte, int image)
{
    ArbreCategorie* arbre = Arbre(categorie, ordre);
    return arbre ? arbre->AjouterRacine(texte, image) : nullptr;
}

Noeud* GestionTreeView::AjouterEnfant(Categorie categorie, Ordre ordre, const QString& texte, int image, Noeud* parent)
{
    ArbreCategorie* arbre = Arbre(categorie, ordre);
    return arbre && parent ? arbre->AjouterEnfant(parent, texte, image) : nullptr;
}

void GestionTreeView::Vider(ModeVider mode)
{
    for (CleArbre cle : ToutesLesCles) {
        if (cle.Ord == Ordre::Repertoire && mode != ModeVider::Tous)
            continue;
        if (ArbreCategorie* arbre = Arbre(cle)) {
            arbre->ToutSupprimer();
            arbre->DefinirShowRoot(true);
        }
    }
}

void GestionTreeView::AfficherPatientez()
{
    for (CleArbre cle : ToutesLesCles) {
        if (cle.Ord == Ordre::Repertoire)
            continue;
        if (ArbreCategorie* arbre = Arbre(cle)) {
            arbre->AjouterRacine(TextePatientez, SansImage);
            arbre->DefinirShowRoot(false);
        }
    }
}

void GestionTreeView::InitialiserOrdres()
{
    for (CleArbre cle : ToutesLesCles)
        AjouterRacine(cle.Cat, cle.Ord, TexteInvitation, SansImage);
}

Ordre GestionTreeView::OrdreCourant(Categorie categorie) const
{
    // The settings hold valid orders: Option::Charger checked them.
    if (CategorieValide(categorie))
        return option_.OrdreArbre(categorie);
    return Option::OrdreParDefaut(categorie);
}

void GestionTreeView::AfficherArbres(Categorie categorie, int ordre, bool montrer)
{
    if (!montrer) {
        for (Ordre o : Ordres)
            if (ArbreCategorie* arbre = Arbre(categorie, o))
                arbre->hide();
        if (categorieAffichee_ == categorie)
            categorieAffichee_ = Categorie::Autre;
        return;
    }
    categorieAffichee_ = categorie;
    const Ordre choisi = ordre == 0 ? OrdreCourant(categorie) : static_cast<Ordre>(ordre);
    if (!OrdreValide(Code(choisi)))
        return;

    ArbreCategorie* montre = Arbre(categorie, choisi);
    const bool dejaVisible = montre && !montre->isHidden();
    for (Ordre o : Ordres)
        if (ArbreCategorie* arbre = Arbre(categorie, o))
            arbre->setVisible(o == choisi);
    option_.OrdreArbre(categorie) = choisi;
    if (choisi == Ordre::Repertoire)
        RafraichirEtiquette();
    else
        enCours_->hide();
    if (!dejaVisible) {
        // Not a choice of the user: the combo's handler must not run.
        const QSignalBlocker bloqueur(choixTrie_);
        choixTrie_->setCurrentIndex(Code(choisi) - 1);
    }
    filtre_->CategorieMontree();
}

ArbreCategorie* GestionTreeView::ArbreMontre() const
{
    return CategorieValide(categorieAffichee_) ? Arbre(categorieAffichee_, OrdreCourant(categorieAffichee_)) : nullptr;
}

void GestionTreeView::ChangerOrdre(Categorie categorie, Ordre ordre)
{
    if (!CategorieValide(categorie))
        return;
    AfficherArbres(categorie, Code(ordre), true);
}

void GestionTreeView::RafraichirEtiquette()
{
    if (!CategorieValide(categorieAffichee_) || OrdreCourant(categorieAffichee_) != Ordre::Repertoire)
        return;
    enCours_->setVisible(affichageEnCours_.load());
}

void GestionTreeView::Deselectionner()
{
    for (CleArbre cle : ToutesLesCles)
        if (ArbreCategorie* arbre = Arbre(cle); arbre && arbre->NoeudSelectionne())
            arbre->Deselectionner();
}

void GestionTreeView::ConstruireAlphabetique()
{
    Vider(ModeVider::ExtensionEtAlphabetique);
    for (Categorie categorie : Categories)
        ConstruireLettres(categorie, stockage_.NombresLettres(categorie));
}

void GestionTreeView::ConstruireLettres(Categorie categorie, const std::array<int32_t, Stockage::NombreLettres>& n)
{
    ArbreCategorie* arbre = Arbre(categorie, Ordre::Alphabetique);
    if (!arbre)
        return;
    arbre->AjouterGroupe(nullptr, QStringLiteral("0...9 (%1)").arg(n[NomFichier::LettreChiffre]), ImageDossier,
                         NomFichier::LettreChiffre, SansImage);
    Noeud* lettres = arbre->AjouterRacine(TexteLettres, ImageDossier);
    for (int j = 1; j <= NombreLettresAlphabet; ++j) {
        const QString texte = QStringLiteral("%1 (%2)").arg(QChar('A' + j - 1)).arg(n[static_cast<size_t>(j)]);
        arbre->AjouterGroupe(lettres, texte, ImageDossier, j, ImageDossier);
    }
    arbre->AjouterGroupe(nullptr, QStringLiteral("Special (%1)").arg(n[NomFichier::LettreSpeciale]), ImageDossier,
                         NomFichier::LettreSpeciale, SansImage);
}

void GestionTreeView::RemplirArbresExtension()
{
    for (Categorie categorie : Categories)
        ConstruireExtensions(categorie,
                             [this, categorie](int ligne) { return stockage_.NombreExtension(categorie, ligne); });
}

template <typename Nombre>
void GestionTreeView::ConstruireExtensions(Categorie categorie, Nombre&& nombreDe)
{
    ArbreCategorie* arbre = Arbre(categorie, Ordre::Extension);
    const std::vector<TExt>& table = extension_.Table();
    for (size_t ligne = 0; ligne < table.size() && arbre; ++ligne) {
        const TExt& entree = table[ligne];
        if (entree.Cat != categorie)
            continue;
        const int32_t nombre = nombreDe(static_cast<int>(ligne));
        if (nombre < 0)
            continue;
        arbre->AjouterGroupe(nullptr, QString::fromStdString(Textes::Groupe(nombre, entree.Ext)), ImageDossier,
                             static_cast<int32_t>(ligne), SansImage);
    }
}

void GestionTreeView::ReconstruireCategorie(Categorie categorie, const Stockage::Filtre* filtre, int racines)
{
    if (!CategorieValide(categorie))
        return;
    SuspendreRemplissages();
    for (Ordre ordre : Ordres)
        if (ArbreCategorie* arbre = Arbre(categorie, ordre))
            arbre->ToutSupprimer();
    if (filtre) {
        ConstruireLettres(categorie, filtre->Lettres);
        // A filter leaves out the extensions with no file kept.
        ConstruireExtensions(categorie, [filtre](int ligne) {
            const auto i = static_cast<size_t>(ligne);
            const int32_t n = i < filtre->Extensions.size() ? filtre->Extensions[i] : -1;
            return n > 0 ? n : -1;
        });
    } else {
        ConstruireLettres(categorie, stockage_.NombresLettres(categorie));
        ConstruireExtensions(categorie,
                             [this, categorie](int ligne) { return stockage_.NombreExtension(categorie, ligne); });
    }
    ArbreCategorie* repertoires = Arbre(categorie, Ordre::Repertoire);
    // Unfiltered, the nodes show the store's texts.
    if (filtre) {
        repertoires->AjouterRacinesAvecAttente(filtre->TextesRepertoires, ImageDossier, &filtre->Repertoires);
        return;
    }
    const std::vector<QString> sansTexte(
        static_cast<size_t>(std::clamp(racines, 0, stockage_.NombreRepertoires(categorie))));
    repertoires->AjouterRacinesAvecAttente(sansTexte, ImageDossier, nullptr);
}

void GestionTreeView::RepertoireClasse(Categorie categorie)
{
    Empiler(categorie);
}

void GestionTreeView::FinScan()
{
    {
        std::lock_guard verrou(Verrou);
        finDemandee_.store(true);
    }
    travail_.notify_all();
}

std::unique_ptr<Travailleur> GestionTreeView::CreerTravailleur()
{
    return std::make_unique<ThreadTreeView>(this);
}

void GestionTreeView::DefinirScanActif(bool actif)
{
    {
        std::lock_guard verrou(Verrou);
        scanActif_.store(actif);
    }
    travail_.notify_all();
}

void GestionTreeView::Empiler(Categorie categorie, std::string texte)
{
    TAttente attente;
    attente.Texte = std::move(texte);
    attente.Categorie = Code(categorie);
    bool etaitVide = false;
    {
        std::lock_guard verrou(Verrou);
        etaitVide = FileAttente.empty();
        FileAttente.push_back(std::move(attente));
    }
    // The worker sleeps on travail_ only while the queue is empty.
    if (etaitVide)
        travail_.notify_all();
}

void GestionTreeView::PreparerScan()
{
    std::lock_guard verrou(Verrou);
    FileAttente.clear();
    finDemandee_.store(false);
    ++numeroScan_;
}

void GestionTreeView::Traiter(Travailleur& travailleur)
{
    const quint64 scan = numeroScan_.load();
    affichageEnCours_.store(true);

    bool dernierEtat = false;
    bool premier = true; // forces the first label refresh
    std::vector<TAttente> attentes;
    // A wait cut short by a pause or a stop takes effect at the check point.
    auto pointDeControle = [&travailleur](auto& verrou) {
        verrou.unlock();
        return travailleur.PointDeControle();
    };
    for (;;) {
        LibererLotsRendus();
        // Let the user-interface thread catch up before taking more.
        {
            std::unique_lock verrou(verrouLots_);
            if (!travailleur.Attendre(verrou, lotsAppliques_, [this] { return lotsEnVol_.load() < LotsEnVolMax; })) {
                if (!pointDeControle(verrou))
                    return;
                continue;
            }
        }

        // Sleep until there are records to hand over, the end is asked, or
        // the running label's state has to change.
        std::unique_lock verrou(Verrou);
        const bool pret = travailleur.Attendre(verrou, travail_, [&] {
            return premier || !FileAttente.empty() || finDemandee_.load() || scanActif_.load() != dernierEtat;
        });
        if (!pret) {
            if (!pointDeControle(verrou))
                return;
            continue;
        }
        if (finDemandee_.load() && FileAttente.empty())
            break;
        const bool enCours = !FileAttente.empty() || scanActif_.load();
        affichageEnCours_.store(enCours);
        const size_t nombre = std::min(FileAttente.size(), TailleLotMax);
        attentes.assign(std::make_move_iterator(FileAttente.begin()),
                        std::make_move_iterator(FileAttente.begin() + static_cast<std::ptrdiff_t>(nombre)));
        FileAttente.erase(FileAttente.begin(), FileAttente.begin() + static_cast<std::ptrdiff_t>(nombre));
        verrou.unlock();

        if (!attentes.empty() || enCours != dernierEtat || premier)
            Publier(scan, attentes);
        dernierEtat = enCours;
        premier = false;
        if (!travailleur.PointDeControle())
            return;
    }

    affichageEnCours_.store(false);
    AppelDiffere(this, [this, scan] { TerminerAffichage(scan); });
    // The last batches are freed here too, once applied.
    {
        std::unique_lock verrou(verrouLots_);
        if (!travailleur.Attendre(verrou, lotsAppliques_, [this] { return lotsEnVol_.load() == 0; }))
            return;
    }
    LibererLotsRendus();
}

void GestionTreeView::LibererLotsRendus()
{
    std::vector<std::shared_ptr<Lot>> rendus;
    {
        std::lock_guard verrou(verrouLots_);
        rendus.swap(lotsRendus_);
    }
    // Freed here, on the worker, as `rendus` goes.
}

void GestionTreeView::Publier(quint64 scan, std::vector<TAttente>& attentes)
{
    auto lot = std::make_shared<Lot>();
    for (TAttente& a : attentes)
        if (CategorieValide(static_cast<Categorie>(a.Categorie)))
            lot->Textes[Slot(static_cast<Categorie>(a.Categorie))].push_back(
                a.Texte.empty() ? QString() : NomFichier::Texte(a.Texte));
    attentes.clear();
    ++lotsEnVol_;
    AppelDiffere(this, [this, scan, lot] {
        AppliquerLot(scan, *lot);
        {
            std::lock_guard verrou(verrouLots_);
            --lotsEnVol_;
            lotsRendus_.push_back(lot);
        }
        lotsAppliques_.notify_all();
    });
}

void GestionTreeView::AppliquerLot(quint64 scan, const Lot& lot)
{
    if (scan != numeroScan_.load())
        return; // posted by the worker of an earlier scan
    for (Categorie categorie : Categories) {
        const auto& textes = lot.Textes[Slot(categorie)];
        if (textes.empty() || filtre_->RetenirRepertoires(categorie, static_cast<int>(textes.size())))
            continue;
        if (ArbreCategorie* arbre = Arbre(categorie, Ordre::Repertoire))
            arbre->AjouterRacinesAvecAttente(textes, ImageDossier);
    }
    RafraichirEtiquette();
}

void GestionTreeView::TerminerAffichage(quint64 scan)
{
    if (scan != numeroScan_.load())
        return;
    enCours_->hide();
}

void GestionTreeView::RemplacerEnfants(CleArbre cle, Noeud* noeud, quint64 generation, std::vector<EnfantNoeud> enfants)
{
    auto partages = std::make_shared<std::vector<EnfantNoeud>>(std::move(enfants));
    AppelDiffere(this, [this, cle, noeud, generation, partages] {
        ArbreCategorie* arbre = Arbre(cle);
        if (!arbre || arbre->Generation() != generation)
            return; // the node went with its tree's last clearing
        arbre->RemplacerEnfants(noeud, *partages);
    });
}

void GestionTreeView::LancerRemplissage(CleArbre cle, Noeud* noeud)
{
    ArbreCategorie* arbre = Arbre(cle);
    if (!noeud || !arbre || !noeud->AttenteVirtuelle())
        return;
    const quint64 generation = arbre->Generation();
    LibererTermines();
    // The placeholder stays until the children arrive: a second expansion
    // meanwhile must not start a second job.
    for (const auto& job : remplissages_)
        if (job->NoeudCible() == noeud && job->Generation() == generation && job->Cle() == cle)
            return;
    remplissages_.push_back(
        std::make_unique<ThreadPrevisualisation>(&stockage_, this, Groupe{cle, noeud->Groupe}, noeud, generation));
}

void GestionTreeView::LibererTermines()
{
    std::erase_if(remplissages_, [this](const std::unique_ptr<ThreadPrevisualisation>& job) {
        const ArbreCategorie* arbre = Arbre(job->Cle());
        const bool noeudVivant = arbre && arbre->Generation() == job->Generation();
        // Same generation: the node is alive. Once its placeholder has gone
        // its children are in, and the job has only to return (its
        // destructor waits for that moment).
        if (noeudVivant)
            return !job->NoeudCible()->AttenteVirtuelle();
        return job->Fini(); // the node went with its tree
    });
}

void GestionTreeView::SuspendreRemplissages()
{
    for (const auto& job : remplissages_)
        if (!job->Termine())
            job->Arreter();
    remplissages_.clear();
}
