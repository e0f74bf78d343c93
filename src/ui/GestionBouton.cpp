#include "ui/GestionBouton.h"

#include "shared/Journal.h"
#include "shared/Textes.h"
#include "preview/Previsualisation.h"
#include "scan/Scanneur.h"
#include "scan/Stockage.h"
#include "scan/ThreadScanneur.h"
#include "scan/ThreadStockage.h"
#include "trees/GestionTreeView.h"
#include "trees/ThreadTreeView.h"
#include "widgets/Etiquette.h"
#include "ui/GestionProgressBar.h"
#include "widgets/ImageComposant.h"
#include "ui/TFormPrincipal.h"
#include "widgets/ZoneSaisie.h"

#include <QDir>
#include <QMessageBox>
#include <QTimer>

const QString GestionBouton::TexteInvitation = " Cliquer sur l'image pour Parcourir";
const QString GestionBouton::LegendeRepos = "     Lancement du Scan";
const QString GestionBouton::LegendeScan = "         Scan en cours ...";

namespace {

const QColor ScanNormal(0xA7, 0x9F, 0x8F);
const QColor ScanActif(0x80, 0x80, 0xFF);
const QColor EtiquetteNormale(0xAD, 0xAD, 0xAD);
const QColor EtiquetteSurvolee(0xFF, 0x80, 0x40);
const QPoint ParcourirRepos(170, 127);
const QPoint ParcourirBasRepos(148, 158);

// The path as the user means it: "~" and "~/..." start with the home directory.
QString CheminSaisi(const QString& texte)
{
    if (texte == "~")
        return QDir::homePath();
    if (texte.startsWith("~/"))
        return QDir::homePath() + texte.mid(1);
    return texte;
}

// A message box with one OK button; the main window takes no input meanwhile.
void Message(const QString& texte, const QString& titre, QMessageBox::Icon icone)
{
    FormPrincipal->setEnabled(false);
    QMessageBox boite(icone, titre, texte, QMessageBox::Ok);
    boite.exec();
    FormPrincipal->setEnabled(true);
}

// Ends a worker of the scan for good, when it exists and is still working.
template <typename T>
void ArreterTravailleur(const std::unique_ptr<T>& travailleur)
{
    if (travailleur && !travailleur->Fini())
        travailleur->Arreter();
}

}  // namespace

GestionBouton::GestionBouton() = default;
GestionBouton::~GestionBouton() = default;

void GestionBouton::Parcourir()
{
    FormPrincipal->setEnabled(false);
    if (Dialogue.Choisir(QString(), QString()))
        FormPrincipal->EditHomeRepertoireScan->setText(Dialogue.Repertoire);
    FormPrincipal->setEnabled(true);
}

void GestionBouton::ActiverCommandes(bool actives)
{
    TFormPrincipal* f = FormPrincipal;
    f->ImgHomeParcourir->setEnabled(actives);
    f->ImgHomeParcourirBas->setEnabled(actives);
    f->EditHomeRepertoireScan->setEnabled(actives);
    f->ImgHomeScan->setEnabled(actives);
    f->LabelHomeScan->setCursor(actives ? Qt::PointingHandCursor : Qt::ArrowCursor);
    f->LabelHomeScan->setEnabled(true);
    f->LabelHomeOption->setEnabled(actives);
}

void GestionBouton::LancerScan()
{
    TFormPrincipal* f = FormPrincipal;
    if (EtatScan == 1)
        return;
    const QString texte = f->EditHomeRepertoireScan->text();
    if (texte == TexteInvitation) {
        Message("Veuillez selectionner un répertoire", "Oubli répertoire", QMessageBox::Information);
        return;
    }
    const QString chemin = CheminSaisi(texte);
    if (Scanneur::RepertoireInexistant(chemin.toStdString())) {
        Message("Le répertoire \" " + texte + " \" n'existe pas.", "Erreur de répertoire", QMessageBox::Critical);
        return;
    }

    EtatScan = 1;
    f->LabelPause->show();
    f->LabelPause->DefinirCouleurTexte(EtiquetteNormale);
    f->LabelPause->setText("Pause");
    f->LabelArret->show();
    f->LabelArret->DefinirCouleurTexte(EtiquetteNormale);
    f->LabelHomeScan->DefinirTexte(LegendeScan);
    ActiverCommandes(false);
    f->TimerFichier->start();

    // The workers of an earlier scan never touch the store of this one.
    TerminerTravailleurs();

    previsualisation_->Effacer();
    stockage_->Reinitialiser();
    arbres_->Vider(GestionTreeView::ModeVider::Tous);
    arbres_->AfficherPatientez();
    barre_->Demarrer();
    arbres_->DefinirScanActif(true);
    SurvolerScan();

    // The end flags are cleared before any worker of this scan runs, so that
    // a very short scan cannot set them first.
    arbres_->PreparerScan();
    stockage_->PreparerScan();
    threadTreeView_ = std::make_unique<ThreadTreeView>(arbres_);
    threadStockage_ = std::make_unique<ThreadStockage>(stockage_);
    threadScanneur_ = std::make_unique<ThreadScanneur>(false, threadStockage_.get(),
                                                       CheminSaisi(f->EditHomeRepertoireScan->text()).toStdString(),
                                                       scanneur_);
}

void GestionBouton::PauseScan()
{
    TFormPrincipal* f = FormPrincipal;
    barre_->Basculer();
    arbres_->DefinirScanActif(barre_->EnCours);
    if (barre_->EnCours) {
        f->LabelPause->setText("Pause");
        f->TimerFichier->start();
        if (threadScanneur_)
            threadScanneur_->Reprendre();
        if (threadStockage_)
            threadStockage_->Reprendre();
        arbres_->Vider(GestionTreeView::ModeVider::ExtensionEtAlphabetique);
        arbres_->AfficherPatientez();
    } else {
        f->LabelPause->setText("Scan");
        f->TimerFichier->stop();
        if (threadScanneur_)
            threadScanneur_->Suspendre();
        if (threadStockage_)
            threadStockage_->Suspendre();
        // The workers are parked: the counters show what the trees built
        // now hold.
        AfficherCompteurs();
        arbres_->ConstruireAlphabetique();
        arbres_->RemplirArbresExtension();
    }
}

void GestionBouton::ArreterScan(Arret mode)
{
    TFormPrincipal* f = FormPrincipal;
    // The store's end-of-scan notice may arrive after the user stopped the scan.
    if (mode == Arret::Fin && EtatScan != 1)
        return;
    EtatScan = 2;
    barre_->Arreter();
    arbres_->DefinirScanActif(false);
    f->LabelPause->hide();
    f->LabelArret->hide();
    f->LabelHomeScan->DefinirTexte(LegendeRepos);
    RelacherScan();
    ActiverCommandes(true);
    // The box lost the focus while disabled: Enter starts the next scan.
    f->EditHomeRepertoireScan->setFocus();
    f->TimerFichier->stop();
    if (mode != Arret::Fin) {
        ArreterTravailleur(threadScanneur_);
        ArreterTravailleur(threadStockage_);
        arbres_->FinScan();
        if (mode == Arret::Fermeture)
            ArreterTravailleur(threadTreeView_);
    }
    AfficherCompteurs();
    arbres_->ConstruireAlphabetique();
    arbres_->RemplirArbresExtension();
    Journal::Ecrire(QString("fin-scan mode=%1 video=%2 son=%3 image=%4 texte=%5")
                        .arg(static_cast<int>(mode))
                        .arg(stockage_->Compteur(Categorie::Video))
                        .arg(stockage_->Compteur(Categorie::Son))
                        .arg(stockage_->Compteur(Categorie::Image))
                        .arg(stockage_->Compteur(Categorie::Texte)));
}

void GestionBouton::AfficherCompteurs()
{
    TFormPrincipal* f = FormPrincipal;
    const int32_t video = stockage_->Compteur(Categorie::Video);
    const int32_t son = stockage_->Compteur(Categorie::Son);
    const int32_t image = stockage_->Compteur(Categorie::Image);
    const int32_t texte = stockage_->Compteur(Categorie::Texte);
    const int64_t total = int64_t{video} + son + image + texte;
    auto texteDe = [](int64_t nombre) { return QString::fromStdString(Textes::Nombre(nombre)); };
    f->LabelHomeFichierNbVideo->setText(texteDe(video));
    f->LabelHomeFichierNbSon->setText(texteDe(son));
    f->LabelHomeFichierNbImage->setText(texteDe(image));
    f->LabelHomeFichierNbTexte->setText(texteDe(texte));
    f->LabelHomeFichierNbTotal->setText(texteDe(total));
}

void GestionBouton::TerminerTravailleurs()
{
    ArreterTravailleur(threadScanneur_);
    ArreterTravailleur(threadStockage_);
    ArreterTravailleur(threadTreeView_);
}

void GestionBouton::SurvolerParcourir()
{
    FormPrincipal->ImgHomeParcourir->move(ParcourirRepos + QPoint(1, 1));
    FormPrincipal->ImgHomeParcourirBas->move(ParcourirBasRepos + QPoint(1, 1));
}

void GestionBouton::RelacherParcourir()
{
    FormPrincipal->ImgHomeParcourir->move(ParcourirRepos);
    FormPrincipal->ImgHomeParcourirBas->move(ParcourirBasRepos);
}

void GestionBouton::SurvolerScan()
{
    FormPrincipal->LabelHomeScan->DefinirCouleurTexte(ScanActif);
}

void GestionBouton::RelacherScan()
{
    if (EtatScan != 1)
        FormPrincipal->LabelHomeScan->DefinirCouleurTexte(ScanNormal);
}

void GestionBouton::SurvolerOption()
{
    if (EtatOption == 1)
        return;
    FormPrincipal->LabelHomeOption->DefinirCouleurTexte(QColor(0x00, 0x00, 0xFF));
    QFont police = FormPrincipal->LabelHomeOption->font();
    police.setPointSize(11);
    FormPrincipal->LabelHomeOption->setFont(police);
    FormPrincipal->LabelHomeOption->adjustSize();
    EtatOption = 1;
}

void GestionBouton::RelacherOption()
{
    if (EtatOption == 2)
        return;
    FormPrincipal->LabelHomeOption->DefinirCouleurTexte(Qt::black);
    QFont police = FormPrincipal->LabelHomeOption->font();
    police.setPointSize(10);
    FormPrincipal->LabelHomeOption->setFont(police);
    FormPrincipal->LabelHomeOption->adjustSize();
    EtatOption = 2;
}

void GestionBouton::SurvolerPause()
{
    FormPrincipal->LabelPause->DefinirCouleurTexte(EtiquetteSurvolee);
}

void GestionBouton::RelacherPause()
{
    FormPrincipal->LabelPause->DefinirCouleurTexte(EtiquetteNormale);
}

void GestionBouton::SurvolerArret()
{
    FormPrincipal->LabelArret->DefinirCouleurTexte(EtiquetteSurvolee);
}

void GestionBouton::RelacherArret()
{
    FormPrincipal->LabelArret->DefinirCouleurTexte(EtiquetteNormale);
}
