#include "widgets/Bureau.h"

#include "classification/NomFichier.h"
#include "widgets/Fabrique.h"

#include <QClipboard>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QMimeData>

#include <memory>

// GIO's headers name a member "signals", which Qt defines as a keyword.
#pragma push_macro("signals")
#undef signals
#include <gio/gio.h>
#pragma pop_macro("signals")

namespace {

const QString Titre = QStringLiteral("Ruvizaro");
const QString ObjetGestionnaire = QStringLiteral("/org/freedesktop/FileManager1");
const QString InterfaceGestionnaire = QStringLiteral("org.freedesktop.FileManager1");
const QByteArray TypeDossier = QByteArrayLiteral("inode/directory");

struct LibererObjet
{
    void operator()(gpointer objet) const { g_object_unref(objet); }
};
using AppInfo = std::unique_ptr<GAppInfo, LibererObjet>;

// The last component of a path, as bytes.
std::string NomDe(const std::string& chemin)
{
    const size_t barre = chemin.find_last_of('/');
    return barre == std::string::npos ? chemin : chemin.substr(barre + 1);
}

// The folder holding a path ("/" for a file at the root).
std::string DossierDe(const std::string& chemin)
{
    const size_t barre = chemin.find_last_of('/');
    if (barre == std::string::npos)
        return ".";
    return barre == 0 ? std::string("/") : chemin.substr(0, barre);
}

// « name », with the non-breaking spaces French puts inside the quotes.
QString Cite(const QString& nom)
{
    return QStringLiteral("\u00AB\u00A0%1\u00A0\u00BB").arg(nom);
}

// The type of a file from its name alone: its data is never read.
QByteArray TypeDuNom(const std::string& nom)
{
    gchar* type = g_content_type_guess(nom.c_str(), nullptr, 0, nullptr);
    QByteArray resultat(type ? type : "application/octet-stream");
    g_free(type);
    return resultat;
}

std::vector<Bureau::Logiciel> LogicielsDuType(const QByteArray& type)
{
    std::vector<Bureau::Logiciel> liste;
    const auto ajouter = [&liste](GAppInfo* info) {
        const char* id = g_app_info_get_id(info);
        if (!id)
            return;
        const QString identifiant = QString::fromUtf8(id);
        for (const Bureau::Logiciel& l : liste)
            if (l.Id == identifiant)
                return;
        liste.push_back({identifiant, QString::fromUtf8(g_app_info_get_display_name(info))});
    };
    if (const AppInfo defaut{g_app_info_get_default_for_type(type.constData(), FALSE)})
        ajouter(defaut.get());
    for (GList* infos :
         {g_app_info_get_recommended_for_type(type.constData()), g_app_info_get_all_for_type(type.constData())}) {
        for (GList* e = infos; e; e = e->next)
            ajouter(G_APP_INFO(e->data));
        g_list_free_full(infos, g_object_unref);
    }
    return liste;
}

AppInfo TrouverLogiciel(const QString& id)
{
    const QByteArray cherche = id.toUtf8();
    AppInfo trouve;
    GList* infos = g_app_info_get_all();
    for (GList* e = infos; e && !trouve; e = e->next) {
        const char* identifiant = g_app_info_get_id(G_APP_INFO(e->data));
        if (identifiant && cherche == identifiant)
            trouve.reset(G_APP_INFO(g_object_ref(e->data)));
    }
    g_list_free_full(infos, g_object_unref);
    return trouve;
}

} // namespace

const QString Bureau::ServiceGestionnaire = QStringLiteral("org.freedesktop.FileManager1");

Bureau::Bureau(QWidget* fenetre)
    : Avertir([this](const QString& texte) { Fabrique::Message(fenetre_, texte, Titre, QMessageBox::Warning); }),
      OuvrirAdresse([](const QUrl& adresse) { return QDesktopServices::openUrl(adresse); }), fenetre_(fenetre),
      sonde_(*this)
{}

QByteArray Bureau::Adresse(const std::string& chemin)
{
    // From the bytes themselves: a name that is not valid UTF-8 must reach
    // the desktop as it is on disk, not as replacement characters.
    return "file://" + QByteArray::fromStdString(chemin).toPercentEncoding("/");
}

QString Bureau::TexteChemins(const std::vector<std::string>& chemins)
{
    QString texte;
    for (const std::string& chemin : chemins) {
        if (!texte.isEmpty())
            texte += QLatin1Char('\n');
        texte += NomFichier::Texte(chemin);
    }
    return texte;
}

QMimeData* Bureau::DonneesFichiers(const std::vector<std::string>& chemins)
{
    QByteArray uris;
    QByteArray copies("copy");
    for (const std::string& chemin : chemins) {
        const QByteArray adresse = Adresse(chemin);
        uris += adresse + "\r\n";
        copies += '\n' + adresse;
    }
    auto* donnees = new QMimeData;
    donnees->setData(QStringLiteral("text/uri-list"), uris);
    donnees->setData(QStringLiteral("x-special/gnome-copied-files"), copies);
    donnees->setText(TexteChemins(chemins));
    return donnees;
}

void Bureau::CopierChemins(const std::vector<std::string>& chemins)
{
    if (!chemins.empty())
        QGuiApplication::clipboard()->setText(TexteChemins(chemins));
}

void Bureau::CopierFichiers(const std::vector<std::string>& chemins)
{
    if (!chemins.empty())
        QGuiApplication::clipboard()->setMimeData(DonneesFichiers(chemins));
}

std::vector<Bureau::Logiciel> Bureau::Applications(const std::string& nom)
{
    return LogicielsDuType(TypeDuNom(NomDe(nom)));
}

void Bureau::Prevenir(const QString& texte)
{
    if (Avertir)
        Avertir(texte);
}

void Bureau::OuvrirSelonType(const std::string& chemin, const QByteArray& type, const QString& nom,
                             std::function<void(bool)> fait)
{
    // A name too long for one call, or a folder that refuses to be looked
    // into, is not taken for a missing file: the desktop is asked anyway.
    sonde_.Demander(chemin, [this, chemin, type, nom, fait = std::move(fait)](SondeChemin::Nature nature) {
        bool ouvert = false;
        if (nature == SondeChemin::Nature::Absent)
            Prevenir(QStringLiteral("%1 n'existe plus.").arg(Cite(nom)));
        else
            ouvert = OuvrirPresent(chemin, type, nom);
        if (fait)
            fait(ouvert);
    });
}

bool Bureau::OuvrirPresent(const std::string& chemin, const QByteArray& type, const QString& nom)
{
    if (LogicielsDuType(type).empty()) {
        Prevenir(QStringLiteral("Aucune application ne sait ouvrir %1.").arg(Cite(nom)));
        return false;
    }
    if (!OuvrirAdresse || !OuvrirAdresse(QUrl::fromEncoded(Adresse(chemin)))) {
        Prevenir(QStringLiteral("Le bureau n'a pas pu ouvrir %1.").arg(Cite(nom)));
        return false;
    }
    return true;
}

void Bureau::Ouvrir(const std::string& chemin)
{
    if (chemin.empty())
        return;
    const std::string nom = NomDe(chemin);
    OuvrirSelonType(chemin, TypeDuNom(nom), NomFichier::Texte(nom));
}

void Bureau::OuvrirAvec(const QString& id, const std::string& chemin)
{
    const QString nom = NomFichier::Texte(NomDe(chemin));
    sonde_.Demander(chemin, [this, id, chemin, nom](SondeChemin::Nature nature) {
        if (nature == SondeChemin::Nature::Absent)
            Prevenir(QStringLiteral("%1 n'existe plus.").arg(Cite(nom)));
        else
            LancerPresent(id, chemin, nom);
    });
}

bool Bureau::LancerPresent(const QString& id, const std::string& chemin, const QString& nom)
{
    const AppInfo logiciel = TrouverLogiciel(id);
    if (!logiciel) {
        Prevenir(
            QStringLiteral("L'application %1 n'est plus installée : %2 n'a pas été ouvert.").arg(Cite(id), Cite(nom)));
        return false;
    }
    GFile* fichier = g_file_new_for_path(chemin.c_str());
    GList fichiers{fichier, nullptr, nullptr};
    GError* erreur = nullptr;
    const bool lance = g_app_info_launch(logiciel.get(), &fichiers, nullptr, &erreur);
    g_object_unref(fichier);
    if (!lance) {
        const QString cause = erreur ? QString::fromUtf8(erreur->message) : QString();
        g_clear_error(&erreur);
        Prevenir(QStringLiteral("%1 n'a pas pu ouvrir %2.\n%3")
                     .arg(Cite(QString::fromUtf8(g_app_info_get_display_name(logiciel.get()))), Cite(nom), cause)
                     .trimmed());
        return false;
    }
    return true;
}

void Bureau::AfficherDansDossier(const std::string& chemin)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        OuvrirDossier(chemin);
        return;
    }
    QDBusMessage appel = QDBusMessage::createMethodCall(Gestionnaire, ObjetGestionnaire, InterfaceGestionnaire,
                                                        QStringLiteral("ShowItems"));
    appel << QStringList{QString::fromLatin1(Adresse(chemin))} << QString();
    // Never waited for: a file manager that hangs must not hold the window.
    auto* veille = new QDBusPendingCallWatcher(bus.asyncCall(appel, DelaiGestionnaireMs), this);
    connect(veille, &QDBusPendingCallWatcher::finished, this, [this, chemin](QDBusPendingCallWatcher* appelFini) {
        appelFini->deleteLater();
        if (appelFini->isError()) {
            OuvrirDossier(chemin);
            return;
        }
        emit DossierMontre(true);
    });
}

void Bureau::OuvrirDossier(const std::string& chemin)
{
    const std::string dossier = DossierDe(chemin);
    OuvrirSelonType(dossier, TypeDossier, NomFichier::Texte(dossier), [this](bool ouvert) {
        if (ouvert)
            emit DossierMontre(false);
    });
}
