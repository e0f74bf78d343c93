#include "trees/ExportationFichiers.h"

#include "scan/Exportation.h"
#include "scan/Stockage.h"
#include "shared/AppelDiffere.h"
#include "shared/Option.h"
#include "shared/Textes.h"
#include "widgets/Fabrique.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QProgressDialog>

#include <utility>

namespace {

const QString TitreDialogue = QStringLiteral("Exporter");
const QString TitreEchec = QStringLiteral("Exportation");
constexpr int Echelle = 1000; // the progress bar's steps
constexpr int DelaiProgression = 500;
constexpr qsizetype NomMax = 255; // bytes in a file name (NAME_MAX)

// The proposed file's name: nom and its suffix within NomMax bytes, nom cut
// at a character's edge when it is too long (the suffix is kept).
QString NomPropose(QString nom, const QString& suffixe)
{
    nom.replace(QLatin1Char('/'), QLatin1Char('_'));
    const qsizetype place = NomMax - QFile::encodeName(suffixe).size();
    while (QFile::encodeName(nom).size() > place) {
        qsizetype fin = nom.size() - 1;
        if (fin > 0 && nom.at(fin).isLowSurrogate())
            --fin;
        nom.truncate(fin);
    }
    return nom + suffixe;
}

// What an export that left files out says of them; empty when none was.
QString TexteOmis(size_t omis)
{
    if (omis == 0)
        return {};
    const QString nombre = QString::fromStdString(Textes::Nombre(static_cast<int64_t>(omis)));
    return omis == 1 ? QStringLiteral("1 fichier n'a pas été mis dans la liste de lecture : son chemin contient un "
                                      "saut de ligne, que le format M3U8 ne peut pas écrire.")
                     : nombre + QStringLiteral(" fichiers n'ont pas été mis dans la liste de lecture : leur chemin "
                                               "contient un saut de ligne, que le format M3U8 ne peut pas écrire.");
}

} // namespace

const QString ExportationFichiers::FiltreListe = QStringLiteral("Liste de lecture M3U8 (*.m3u8)");
const QString ExportationFichiers::FiltreTableau = QStringLiteral("Tableau CSV (*.csv)");

ExportationFichiers::ExportationFichiers(QWidget* fenetre, Stockage& stockage, const Option& option)
    : QObject(fenetre), fenetre_(fenetre), stockage_(stockage), option_(option)
{
    DemanderDestination = [](QWidget* parent, const QString& titre, const QString& propose, const QString& filtres,
                             QString* filtreChoisi) {
        return QFileDialog::getSaveFileName(parent, titre, propose, filtres, filtreChoisi);
    };
}

ExportationFichiers::~ExportationFichiers()
{
    arret_ = true;
    travail_.reset(); // joined
}

bool ExportationFichiers::Exporter(Categorie categorie, const std::vector<Groupe>& groupes, const QString& nom)
{
    if (groupes.empty() || EnCours() || !DemanderDestination)
        return false;
    const bool liste = categorie == Categorie::Son || categorie == Categorie::Video;
    const QString filtres = liste ? FiltreListe + QStringLiteral(";;") + FiltreTableau : FiltreTableau;
    QString filtre = liste ? FiltreListe : FiltreTableau;
    const QString dossier = option_.DernierRepertoire.empty()
                                ? QDir::homePath()
                                : QFile::decodeName(QByteArray::fromStdString(option_.DernierRepertoire));
    const QString propose =
        dossier + QLatin1Char('/') + NomPropose(nom, liste ? QStringLiteral(".m3u8") : QStringLiteral(".csv"));
    QString choisi = DemanderDestination(fenetre_, TitreDialogue, propose, filtres, &filtre);
    if (choisi.isEmpty())
        return false;

    // The suffix typed wins over the filter when it names an offered format.
    Exportation::Format format =
        filtre == FiltreListe && liste ? Exportation::Format::ListeLecture : Exportation::Format::Tableau;
    if (choisi.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive))
        format = Exportation::Format::Tableau;
    else if (liste && choisi.endsWith(QStringLiteral(".m3u8"), Qt::CaseInsensitive))
        format = Exportation::Format::ListeLecture;
    else
        choisi += format == Exportation::Format::ListeLecture ? QStringLiteral(".m3u8") : QStringLiteral(".csv");

    progression_ = new QProgressDialog(QStringLiteral("Exportation des fichiers…"), QStringLiteral("Annuler"), 0,
                                       Echelle, fenetre_);
    progression_->setObjectName("ProgressionExport");
    progression_->setWindowTitle(TitreDialogue);
    progression_->setWindowModality(Qt::WindowModal);
    progression_->setAutoClose(false);
    progression_->setAutoReset(false);
    progression_->setMinimumDuration(DelaiProgression);
    // At its minimum the bar starts the delay: the dialog shows after it even
    // while the worker is still gathering the paths and has told nothing.
    progression_->setValue(0);
    connect(progression_, &QProgressDialog::canceled, this, [this] { arret_ = true; });

    arret_ = false;
    const std::string destination = QFile::encodeName(choisi).toStdString();
    travail_ = std::make_unique<Travailleur>([this, format, groupes, destination](Travailleur&) {
        // The sizes come from the store, read during the walk: no file is stat'ed again.
        std::vector<std::string> chemins;
        std::vector<int64_t> tailles;
        for (const Groupe& groupe : groupes) {
            if (arret_)
                break;
            std::vector<int64_t> taillesGroupe;
            std::vector<std::string> fichiers = stockage_.CheminsGroupe(groupe, taillesGroupe);
            chemins.insert(chemins.end(), std::make_move_iterator(fichiers.begin()),
                           std::make_move_iterator(fichiers.end()));
            tailles.insert(tailles.end(), taillesGroupe.begin(), taillesGroupe.end());
        }
        const auto avancement = [this](size_t fait, size_t total) {
            const int valeur = static_cast<int>(fait * Echelle / (total ? total : 1));
            AppelDiffere(this, [this, valeur] {
                if (progression_ && !progression_->wasCanceled())
                    progression_->setValue(valeur);
            });
        };
        const Resultat<Exportation::Bilan> bilan =
            Exportation::Ecrire(format, chemins, tailles, destination, arret_, avancement);
        const bool ecrit = bilan && !bilan.Valeur().Annule;
        const QString echec = bilan ? QString() : QString::fromStdString(bilan.Echec().Complet());
        const QString omis = ecrit ? TexteOmis(bilan.Valeur().Omis) : QString();
        AppelDiffere(this, [this, ecrit, echec, omis] { Terminer(ecrit, echec, omis); });
    });
    travail_->Demarrer();
    return true;
}

QProgressDialog* ExportationFichiers::Progression() const
{
    return progression_;
}

void ExportationFichiers::Terminer(bool ecrit, const QString& echec, const QString& omis)
{
    travail_.reset(); // its last step was to post this call
    if (QProgressDialog* progression = progression_) {
        progression_ = nullptr;
        progression->hide();
        // Its delay timer stopped: the deferred delete waits for the message
        // box's end, and the timer would show it over the box meanwhile.
        progression->reset();
        progression->deleteLater();
    }
    if (!echec.isEmpty())
        Fabrique::Message(fenetre_, echec, TitreEchec, QMessageBox::Warning);
    else if (!omis.isEmpty())
        Fabrique::Message(fenetre_, omis, TitreEchec, QMessageBox::Information);
    emit Fini(ecrit);
}
