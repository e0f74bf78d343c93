#include "ui/AccesClavier.h"

#include "shared/Categorie.h"
#include "trees/ArbreCategorie.h"
#include "trees/Noeud.h"
#include "ui/TFormPrincipal.h"
#include "widgets/Etiquette.h"
#include "widgets/ImageComposant.h"
#include "widgets/ZoneSaisie.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QKeyEvent>
#include <QShortcut>
#include <QSlider>

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
    QStringList actionNames() const override
    {
        return QStringList(pressAction()) << QAccessibleWidget::actionNames();
    }
    void doAction(const QString& action) override
    {
        if (action == pressAction() && widget()->isEnabled())
            QMetaObject::invokeMethod(widget(), "Clic");
        else
            QAccessibleWidget::doAction(action);
    }
};

QAccessibleInterface* Fabrique(const QString&, QObject* objet)
{
    if (!objet || !objet->isWidgetType())
        return nullptr;
    const QVariant role = objet->property(ProprieteRole);
    if (!role.isValid())
        return nullptr;
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
        ancienne && ancienne->role() != role)
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

}  // namespace

AccesClavier::AccesClavier(TFormPrincipal* fenetre) : QObject(fenetre), f_(fenetre)
{
    OrdonnerTabulation();
    CreerRaccourcis();
    Nommer();
}

void AccesClavier::OrdonnerTabulation()
{
    f_->EditHomeRepertoireScan->setFocusPolicy(Qt::StrongFocus);
    for (QWidget* w : std::initializer_list<QWidget*>{f_->ImgHomeScan, f_->LabelPause, f_->LabelArret}) {
        w->setFocusPolicy(Qt::TabFocus);
        w->installEventFilter(this);
    }
    QWidget* precedent = f_->EditHomeRepertoireScan;
    for (QWidget* w : std::initializer_list<QWidget*>{f_->ImgHomeScan, f_->LabelPause, f_->LabelArret}) {
        QWidget::setTabOrder(precedent, w);
        precedent = w;
    }
    for (ArbreCategorie* arbre : f_->Arbres) {
        arbre->setFocusPolicy(Qt::StrongFocus);
        arbre->installEventFilter(this);
        QWidget::setTabOrder(precedent, arbre);
        precedent = arbre;
    }
    f_->ComboBoxChoixTrie->setFocusPolicy(Qt::StrongFocus);
    QWidget::setTabOrder(precedent, f_->ComboBoxChoixTrie);
    // The window itself holds the focus when first shown, so that the path
    // box keeps its invitation until the user goes there.
    f_->setFocus();
}

void AccesClavier::CreerRaccourcis()
{
    const std::array<ImageComposant*, 6> zones = {f_->ZoneHome,  f_->ZoneVideo, f_->ZoneSon,
                                                   f_->ZoneImage, f_->ZoneTexte, f_->ZoneTransfert};
    const std::array<Qt::Key, 6> chiffres = {Qt::Key_1, Qt::Key_2, Qt::Key_3, Qt::Key_4, Qt::Key_5, Qt::Key_6};
    for (size_t i = 0; i < zones.size(); ++i) {
        auto* raccourci = new QShortcut(QKeySequence(Qt::CTRL | chiffres[i]), f_);
        connect(raccourci, &QShortcut::activated, this, [zone = zones[i]] { Presser(zone); });
    }
    // Escape stops a scan as "Arrêt" does; the label shows while one runs.
    auto* echap = new QShortcut(QKeySequence(Qt::Key_Escape), f_);
    connect(echap, &QShortcut::activated, this, [this] { Presser(f_->LabelArret); });
}

bool AccesClavier::eventFilter(QObject* objet, QEvent* evenement)
{
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
        if (f_->ImgImagePrevisu->isVisible())
            emit f_->ImgImagePrevisu->DoubleClic();
        return true;
    case Categorie::Texte:
        Presser(f_->ImgTextePrevisu);
        return true;
    case Categorie::Son:
        for (ImageComposant* image : {f_->ImageSon, f_->ImageSonAucuneAnim})
            if (image->isVisible()) {
                emit image->DoubleClic();
                break;
            }
        return true;
    case Categorie::Video:
        if (f_->ImageVideo->isVisible())
            emit f_->ImageVideo->DoubleClic();
        return true;
    default:
        return false;
    }
}

void AccesClavier::Nommer()
{
    using R = QAccessible::Role;
    const QString zones[] = {"Home", "Vidéo", "Son", "Image", "Texte", "Transfert"};
    ImageComposant* const composantsZones[] = {f_->ZoneHome,  f_->ZoneVideo, f_->ZoneSon,
                                                f_->ZoneImage, f_->ZoneTexte, f_->ZoneTransfert};
    for (int i = 0; i < 6; ++i)
        Decrire(composantsZones[i], R::PageTab, zones[i], QString("Ctrl+%1").arg(i + 1));

    Decrire(f_->ImgClose, R::Button, "Fermer");
    Decrire(f_->ImgReduire, R::Button, "Réduire");
    Decrire(f_->ImagePropos, R::Button, "A Propos");
    Decrire(f_->ImgHomeParcourir, R::Button, "Parcourir");
    Decrire(f_->ImgHomeParcourirBas, R::Button, "Parcourir");
    Decrire(f_->ImgHomeScan, R::Button, "Lancement du Scan");
    Decrire(f_->LabelHomeScan, R::Button, QString());
    Decrire(f_->LabelHomeOption, R::Button, "Options");
    Decrire(f_->LabelPause, R::Button, QString());
    Decrire(f_->LabelArret, R::Button, QString(), "Échap");
    Decrire(f_->ImgImagePrevisu, R::Button, "Aperçu de l'image", "Double Click pour agrandir");
    Decrire(f_->ImgTextePrevisu, R::Button, "Aperçu du document");
    Decrire(f_->ImageSon, R::Button, "Animation du son");
    Decrire(f_->ImageSonAucuneAnim, R::Button, "Animation du son");
    Decrire(f_->ImageVideo, R::Button, "Aperçu de la vidéo");
    Decrire(f_->ImageSonPlayPause, R::Button, "Lecture");
    Decrire(f_->ImageSonStop, R::Button, "Stop");
    Decrire(f_->ImageVideoPlayPause, R::Button, "Lecture");
    Decrire(f_->ImageVideoStop, R::Button, "Stop");
    Decrire(f_->ImgProgressBar, R::Animation, "Scan en cours");

    f_->EditHomeRepertoireScan->setAccessibleName(f_->LabelHomeParcourir->text());
    f_->ComboBoxChoixTrie->setAccessibleName("Ordre d'affichage");
    f_->TrackBarSon->setAccessibleName("Position du son");
    f_->TrackBarVideo->setAccessibleName("Position de la vidéo");
    const QString ordres[] = {"par extension", "par ordre alphabétique", "par répertoire"};
    for (ArbreCategorie* arbre : f_->Arbres)
        arbre->setAccessibleName(QString("%1 %2").arg(
            zones[int(arbre->Cle().Cat)], ordres[int(arbre->Cle().Ord) - 1]));

    // The counters read with what they count.
    const std::pair<Etiquette*, QString> compteurs[] = {
        {f_->LabelHomeFichierNbVideo, "Fichiers vidéo"}, {f_->LabelHomeFichierNbSon, "Fichiers son"},
        {f_->LabelHomeFichierNbImage, "Fichiers image"}, {f_->LabelHomeFichierNbTexte, "Fichiers texte"},
        {f_->LabelHomeFichierNbTotal, "Total des fichiers"}};
    for (const auto& [etiquette, description] : compteurs)
        etiquette->setAccessibleDescription(description);
}
