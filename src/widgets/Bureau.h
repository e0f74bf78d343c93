#pragma once

// The desktop as the program uses it: a file opened with its default
// application or with one the desktop registers for its type, a file shown
// in the file manager, files handed to the clipboard and to a drag the way
// file managers take them. Paths are bytes, as on disk, and reach the
// desktop as they are. A failure is said in a message box, never dropped.
// User-interface thread only; nothing here reads a file's data, and whether
// a file is still there is looked at off this thread (SondeChemin).

#include "shared/SondeChemin.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QUrl>

#include <functional>
#include <string>
#include <vector>

class QMimeData;
class QWidget;

class Bureau : public QObject
{
    Q_OBJECT
public:
    // An application the desktop registers for a type: its desktop entry's
    // identifier and the name it shows.
    struct Logiciel
    {
        QString Id;
        QString Nom;
    };

    // The file manager's interface (org.freedesktop.FileManager1).
    static const QString ServiceGestionnaire;
    // How long the file manager may take to answer before the folder is
    // opened with the default application instead.
    static constexpr int DelaiGestionnaireMs = 10000;

    // fenetre: disabled while a message shows; may be nullptr.
    explicit Bureau(QWidget* fenetre);

    // "file://" and the path's bytes, percent-encoded but for '/'.
    static QByteArray Adresse(const std::string& chemin);
    // The paths as text, one a line (bytes that are not UTF-8 show as U+FFFD).
    static QString TexteChemins(const std::vector<std::string>& chemins);
    // The files as file managers paste and drop them: text/uri-list,
    // x-special/gnome-copied-files ("copy") and the paths as plain text.
    static QMimeData* DonneesFichiers(const std::vector<std::string>& chemins);

    // The clipboard: the paths as text; the files themselves.
    void CopierChemins(const std::vector<std::string>& chemins);
    void CopierFichiers(const std::vector<std::string>& chemins);

    // The applications the desktop registers for the type of a file name,
    // guessed from the name alone: the default one first.
    static std::vector<Logiciel> Applications(const std::string& nom);

    // Opens a file with the desktop's default application once the file is
    // seen to be there; a message says when it is gone, no application
    // knows its type or the desktop refuses. Returns at once.
    void Ouvrir(const std::string& chemin);
    // Launches the application of that identifier on the file, as Ouvrir;
    // a message says when it cannot be found or launched.
    void OuvrirAvec(const QString& id, const std::string& chemin);
    // Asks the file manager to show the file in its folder, without
    // waiting for it; when none answers, the folder is opened with the
    // default application.
    void AfficherDansDossier(const std::string& chemin);

    // What a failure says; a message box by default. Tests put a recorder here.
    std::function<void(const QString& texte)> Avertir;
    // The desktop's opener of an address (QDesktopServices::openUrl by
    // default); true when the desktop took it. Tests put a recorder here.
    std::function<bool(const QUrl& adresse)> OuvrirAdresse;
    // The bus name asked to show files (ServiceGestionnaire by default).
    QString Gestionnaire = ServiceGestionnaire;

signals:
    // The file manager took a ShowItems request (true), or the folder was
    // handed to the default application instead (false).
    void DossierMontre(bool parGestionnaire);

private:
    // Opens a path of a known type; nom is what the messages call it.
    // Answers true (opened) or false (said why) later, through `fait`.
    void OuvrirSelonType(const std::string& chemin, const QByteArray& type, const QString& nom,
                         std::function<void(bool)> fait = {});
    bool OuvrirPresent(const std::string& chemin, const QByteArray& type, const QString& nom);
    bool LancerPresent(const QString& id, const std::string& chemin, const QString& nom);
    void OuvrirDossier(const std::string& chemin);
    void Prevenir(const QString& texte);

    QWidget* fenetre_;
    SondeChemin sonde_;
};
