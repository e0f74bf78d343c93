#include "ui/AccesClavier.h"

#include "shared/Categorie.h"
#include "preview/Previsualisation.h"
#include "trees/ArbreCategorie.h"
#include "trees/GestionTreeView.h"
#include "trees/Noeud.h"
#include "ui/GestionMenu.h"
#include "ui/GestionProgressBar.h"
#include "ui/TFormPrincipal.h"
#include "widgets/Etiquette.h"
#include "widgets/ImageComposant.h"
#include "widgets/ZoneSaisie.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QAbstractItemView>
#include <QKeyEvent>
#include <QShortcut>
#include <QSlider>

#include <algorithm>
#include <array>

namespace {

// The accessible role a picture or label takes, kept on the widget.
const char* const ProprieteRole = "ruvizaroRoleAccessible";

// A picture or label that acts as a button (or a zone tab): screen readers
// name it, and their "press" action is a click.
class ComposantAccessible : public QAccessibleWidget
{
public:
    ComposantAccessible(QWidget* w, QAccessible::Role role) : QAccessibleWidget(w, role) {}

    QString text(QAccessible::Text t) const override
    {
        QString texte = QAccessibleWidget::text(t);
        // A label without a name of its own reads its text.
        if (t == QAccessible::Name && texte.isEmpty())
            if (const auto* etiquette = qobject_cast<const Etiquette*>(widget()))
                texte = etiquette->text().simplified();
        return texte;
    }
    QStringList actionNames() const override { return QStringList(pressAction()) << QAccessibleWidget::actionNames(); }
    void doAction(const QString& action) override
    {
        if (action == pressAction() && widget()->isEnabled())
            QMetaObject::invokeMethod(widget(), "Clic");
        else
            QAccessibleWidget::doAction(action);
    }
};

// A drop-down read by its own name (Qt names it by its current item on
// Linux), its current item being its value; its one child is its list, and
// its actions open the list.
class ListeDeroulanteAccessible : public QAccessibleWidget
{
public:
    explicit ListeDeroulanteAccessible(QComboBox* liste) : QAccessibleWidget(liste, QAccessible::ComboBox) {}

    QComboBox* Liste() const { return static_cast<QComboBox*>(widget()); }
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && !Liste()->accessibleName().isEmpty())
            return Liste()->accessibleName();
        if (t == QAccessible::Value || t == QAccessible::Name)
            return Liste()->currentText();
        return QAccessibleWidget::text(t);
    }
    int childCount() const override { return 1; }
    QAccessibleInterface* child(int index) const override
    {
        return index == 0 ? QAccessible::queryAccessibleInterface(Liste()->view()) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* enfant) const override
    {
        return enfant && enfant->object() == Liste()->view() ? 0 : -1;
    }
    QStringList actionNames() const override { return {showMenuAction(), pressAction()}; }
    void doAction(const QString& action) override
    {
        if ((action == showMenuAction() || action == pressAction()) && Liste()->isEnabled())
            Liste()->showPopup();
    }
};

QAccessibleInterface* Fabrique(const QString&, QObject* objet)
{
    if (!objet || !objet->isWidgetType())
        return nullptr;
    const QVariant role = objet->property(ProprieteRole);
    if (!role.isValid())
        return nullptr;
    if (auto* liste = qobject_cast<QComboBox*>(objet))
        return new ListeDeroulanteAccessible(liste);
    return new ComposantAccessible(static_cast<QWidget*>(objet), QAccessible::Role(role.toInt()));
}

void Decrire(QWidget* w, QAccessible::Role role, const QString& nom, const QString& description = {})
{
    static const bool installee = [] {
        QAccessible::installFactory(Fabrique);
        return true;
    }();
    (void)installee;
    w->setProperty(ProprieteRole, int(role));
    // An interface Qt made before, when the component was built, is dropped:
    // the next query builds ours.
    if (QAccessibleInterface* ancienne = QAccessible::queryAccessibleInterface(w);
        ancienne && !dynamic_cast<ComposantAccessible*>(ancienne) &&
        !dynamic_cast<ListeDeroulanteAccessible*>(ancienne))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(ancienne));
    if (!nom.isEmpty())
        w->setAccessibleName(nom);
    if (!description.isEmpty())
        w->setAccessibleDescription(description);
}

// Enter or Space, as on a push button.
bool ToucheValider(const QKeyEvent* e)
{
    if ((e->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return false;
    return e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter || e->key() == Qt::Key_Space;
}

// What a click on the component does, when it can be clicked.
void Presser(ImageComposant* image)
{
    if (image->isEnabled() && image->isVisible())
        emit image->Clic();
}
void Presser(Etiquette* etiquette)
{
    if (etiquette->isEnabled() && etiquette->isVisible())
        emit etiquette->Clic();
}

} // namespace

AccesClavier::AccesClavier(TFormPrincipal* fenetre, const GestionBarreSystem& barreSysteme, const GestionBouton& home,
                           const GestionMenu& menu, const GestionProgressBar& progression,
                           const GestionTreeView& arbres, const Previsualisation& previsualisation)
    : QObject(fenetre), f_(fenetre), barreSysteme_(barreSysteme.Acces()), home_(home.Acces()), zones_(menu.Zones()),
      progression_(progression.Animation()), choixTrie_(arbres.ChoixTrie()),
      son_(previsualisation.Audio.CommandesAccessibles()), video_(previsualisation.Film.CommandesAccessibles()),
      apercuImage_(previsualisation.Image.Apercu()), apercuTexte_(previsualisation.Texte.Apercu()),
      apercusSon_(previsualisation.Audio.Apercus()), apercuVideo_(previsualisation.Film.Apercu())
{
    for (CleArbre cle : ToutesLesVues)
        arbres_.push_back(arbres.Arbre(cle));
    OrdonnerTabulation();
    CreerRaccourcis();
    Nommer();
}

void AccesClavier::OrdonnerTabulation()
{
    home_.Chemin->setFocusPolicy(Qt::StrongFocus);
    // The picture buttons and labels a mouse can press, in the Tab order:
    // the home panel, then (after the trees and the drop-down) the players,
    // then the zones. Enter or Space presses them.
    QWidget* precedent = home_.Chemin;
    const auto suivant = [this, &precedent](QWidget* w) {
        if (auto* barre = qobject_cast<QSlider*>(w)) {
            // Arrow keys, Page Up/Down, Home and End move the bar, which
            // seeks as a mouse move does.
            barre->setFocusPolicy(Qt::StrongFocus);
        } else {
            w->setFocusPolicy(Qt::TabFocus);
            w->installEventFilter(this);
        }
        QWidget::setTabOrder(precedent, w);
        precedent = w;
    };
    for (QWidget* commande : home_.Commandes)
        suivant(commande);
    for (ArbreCategorie* arbre : arbres_) {
        arbre->setFocusPolicy(Qt::StrongFocus);
        arbre->installEventFilter(this);
        QWidget::setTabOrder(precedent, arbre);
        precedent = arbre;
    }
    choixTrie_->setFocusPolicy(Qt::StrongFocus);
    QWidget::setTabOrder(precedent, choixTrie_);
    precedent = choixTrie_;
    for (const PanneauLecteur::Commandes& lecteur : {son_, video_})
        for (QWidget* commande : std::initializer_list<QWidget*>{lecteur.PlayPause, lecteur.Stop, lecteur.Position})
            suivant(commande);
    for (ImageComposant* zone : zones_)
        suivant(zone);
    // The window itself holds the focus when first shown, so that the path
    // box keeps its invitation until the user goes there.
    f_->setFocus();
}

void AccesClavier::CreerRaccourcis()
{
    const std::array<Qt::Key, 6> chiffres = {Qt::Key_1, Qt::Key_2, Qt::Key_3, Qt::Key_4, Qt::Key_5, Qt::Key_6};
    for (size_t i = 0; i < zones_.size(); ++i) {
        auto* raccourci = new QShortcut(QKeySequence(Qt::CTRL | chiffres[i]), f_);
        connect(raccourci, &QShortcut::activated, this, [zone = zones_[i]] { Presser(zone); });
    }
    // Escape stops a scan as "Arrêt" does; the label shows while one runs.
    auto* echap = new QShortcut(QKeySequence(Qt::Key_Escape), f_);
    connect(echap, &QShortcut::activated, this, [this] { Presser(home_.Arret); });

    // Space plays or pauses the player of the zone shown; a focused picture
    // button or label takes Space itself (see eventFilter).
    auto* espace = new QShortcut(QKeySequence(Qt::Key_Space), f_);
    connect(espace, &QShortcut::activated, this, [this] {
        for (ImageComposant* bouton : {son_.PlayPause, video_.PlayPause})
            if (bouton->isVisible()) {
                Presser(bouton);
                return;
            }
    });
    // Ctrl+O opens the folder browser as "Parcourir" does, while no scan runs.
    auto* ouvrir = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_O), f_);
    connect(ouvrir, &QShortcut::activated, this, [this] {
        if (home_.Parcourir->isEnabled())
            emit home_.Parcourir->Clic();
    });
    // F5 scans the path again as Enter in the path box does; the box is
    // disabled while a scan runs.
    auto* relancer = new QShortcut(QKeySequence(Qt::Key_F5), f_);
    connect(relancer, &QShortcut::activated, this, [this] {
        if (home_.Chemin->isEnabled())
            emit home_.Chemin->ToucheFrappee(QChar(13));
    });
    // Ctrl+Q closes as the close picture does.
    auto* quitter = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), f_);
    connect(quitter, &QShortcut::activated, this, [this] { emit barreSysteme_.Fermer->Clic(); });
}

bool AccesClavier::eventFilter(QObject* objet, QEvent* evenement)
{
    // A focused picture button or label keeps Enter and Space from the
    // window's shortcuts: it is pressed instead.
    if (evenement->type() == QEvent::ShortcutOverride) {
        auto* touche = static_cast<QKeyEvent*>(evenement);
        if (!qobject_cast<ArbreCategorie*>(objet) && ToucheValider(touche)) {
            touche->accept();
            return true;
        }
        return false;
    }
    if (evenement->type() != QEvent::KeyPress)
        return false;
    const auto* touche = static_cast<QKeyEvent*>(evenement);
    if (auto* arbre = qobject_cast<ArbreCategorie*>(objet)) {
        const bool entree = touche->key() == Qt::Key_Return || touche->key() == Qt::Key_Enter;
        return entree && OuvrirDepuis(arbre);
    }
    if (!ToucheValider(touche))
        return false;
    if (auto* image = qobject_cast<ImageComposant*>(objet))
        Presser(image);
    else if (auto* etiquette = qobject_cast<Etiquette*>(objet))
        Presser(etiquette);
    return true;
}

bool AccesClavier::OuvrirDepuis(ArbreCategorie* arbre)
{
    const Noeud* noeud = arbre->NoeudSelectionne();
    if (!noeud || noeud->AEnfants() || !noeud->Parent)
        return false;
    // The preview picture the file shows in, and what double-clicking it does:
    // the document opens on its first click already.
    switch (arbre->Cle().Cat) {
    case Categorie::Image:
        if (apercuImage_->isVisible())
            emit apercuImage_->DoubleClic();
        return true;
    case Categorie::Texte:
        Presser(apercuTexte_);
        return true;
    case Categorie::Son:
        for (ImageComposant* image : apercusSon_)
            if (image->isVisible()) {
                emit image->DoubleClic();
                break;
            }
        return true;
    case Categorie::Video:
        if (apercuVideo_->isVisible())
            emit apercuVideo_->DoubleClic();
        return true;
    default:
        return false;
    }
}

void AccesClavier::Nommer()
{
    using R = QAccessible::Role;
    const QString zones[] = {"Home", "Vidéo", "Son", "Image", "Texte", "Transfert"};
    for (size_t i = 0; i < zones_.size(); ++i)
        Decrire(zones_[i], R::PageTab, zones[i], QString("Ctrl+%1").arg(i + 1));

    Decrire(barreSysteme_.Fermer, R::Button, "Fermer");
    Decrire(barreSysteme_.Reduire, R::Button, "Réduire");
    Decrire(barreSysteme_.Propos, R::Button, "A Propos");
    Decrire(home_.Parcourir, R::Button, "Parcourir");
    Decrire(home_.ParcourirBas, R::Button, "Parcourir");
    Decrire(home_.Scan, R::Button, "Lancement du Scan");
    Decrire(home_.LegendeScan, R::Button, QString());
    Decrire(home_.Options, R::Button, "Options");
    Decrire(home_.Pause, R::Button, QString());
    Decrire(home_.Arret, R::Button, QString(), "Échap");
    Decrire(apercuImage_, R::Button, "Aperçu de l'image", "Double Click pour agrandir");
    Decrire(apercuTexte_, R::Button, "Aperçu du document");
    for (ImageComposant* image : apercusSon_)
        Decrire(image, R::Button, "Animation du son");
    Decrire(apercuVideo_, R::Button, "Aperçu de la vidéo");
    for (const PanneauLecteur::Commandes& lecteur : {son_, video_}) {
        Decrire(lecteur.PlayPause, R::Button, "Lecture");
        Decrire(lecteur.Stop, R::Button, "Stop");
    }
    Decrire(progression_, R::Animation, "Scan en cours");

    home_.Chemin->setAccessibleName(home_.LegendeChemin->text());
    Decrire(choixTrie_, R::ComboBox, "Ordre d'affichage");
    son_.Position->setAccessibleName("Position du son");
    video_.Position->setAccessibleName("Position de la vidéo");
    const QString ordres[] = {"par extension", "par ordre alphabétique", "par répertoire",
                              "par taille, les plus gros d'abord"};
    for (ArbreCategorie* arbre : arbres_) {
        arbre->setAccessibleName(QString("%1 %2").arg(zones[int(arbre->Cle().Cat)], ordres[int(arbre->Cle().Ord) - 1]));
        // The keys the trees take themselves: the row's menu and the copy.
        arbre->setAccessibleDescription("Entrée : ouvrir ; Menu ou Maj+F10 : actions ; Ctrl+C : copier");
    }

    // The counters read with what they count; the home panel names them
    // with their numbers.
    const QString compteurs[] = {"Fichiers vidéo", "Fichiers son", "Fichiers image", "Fichiers texte",
                                 "Total des fichiers"};
    for (size_t i = 0; i < home_.Compteurs.size(); ++i)
        home_.Compteurs[i]->setAccessibleDescription(compteurs[i]);
    // The players' times.
    for (const PanneauLecteur::Commandes& lecteur : {son_, video_}) {
        lecteur.Temps->setAccessibleName(QStringLiteral("Temps écoulé"));
        lecteur.Duree->setAccessibleName("Durée totale");
    }
}
