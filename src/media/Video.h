#pragma once

// The video player of the Video panel, over libmpv loaded at run time. It
// keeps the operations of the system's media-player host: open with a new
// player per start, pause, stop, the times and percentage for the panel's
// labels and bar, and seeking. The picture shows in a SurfaceVideo given
// by the window. User-interface thread only; it never waits on the player,
// and never opens the file: an opener thread opens it, as a regular file
// only, and the player reads that descriptor, so that paths of any length
// play and a file that cannot be read says why.

#include "media/BibliothequeMpv.h"
#include "media/OuvreurFichier.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

class SurfaceVideo;

class Video : public QObject
{
    Q_OBJECT
public:
    // The message box shown when the player cannot be loaded or created.
    static constexpr char TexteErreur[] = "Impossible de pouvoir visualiser les videos";
    static constexpr char TitreErreur[] = "Erreur de lecture";

    // Etat: what the player was last told to do.
    static constexpr int Arrete = 0;
    static constexpr int EnCours = 1;
    static constexpr int EnPause = 2;

    // The position must have moved within this time for a playing video to
    // count as playing (the host's two readings 100 ms apart).
    static constexpr std::chrono::milliseconds FenetreMouvement{100};
    // A video with few frames a second moves its position once a frame: the
    // window stretches to one and a half frame intervals, up to this.
    static constexpr std::chrono::milliseconds FenetreMouvementMax{2000};
    // A declared duration beyond this is not believed: it is unknown.
    static constexpr double DureeMaxSecondes = 100.0 * 3600;

    // How the player is made; the program keeps the defaults. Tests use a
    // library name that does not exist, or no sound output.
    struct Reglages
    {
        std::string Bibliotheque = BibliothequeMpv::NomParDefaut;
        std::string SortieAudio = "auto";
    };

    explicit Video(QObject* parent = nullptr);
    ~Video() override;
    Video(const Video&) = delete;
    Video& operator=(const Video&) = delete;

    void Regler(const Reglages& reglages) { reglages_ = reglages; }
    // Once, at start-up on the user-interface thread, after the application
    // object exists: the surface (it may be null), Etat 0. Also puts the
    // numeric locale back to "C", which libmpv requires.
    void Initialiser(SurfaceVideo* surface);

    // Starts the file (path bytes) from its beginning in a new player, or
    // resumes it when paused (unless it has played to its end). Emits
    // ErreurLecture when libmpv cannot be loaded or the player cannot be
    // created, LectureImpossible later when the file cannot be played.
    void Ouvrir(const std::string& chemin);
    void Pause(bool pause);
    void Stop();
    void MontrerFenetre(bool montrer);
    // Paused, or playing with its position moving.
    bool EnLecture();
    QString TempsCourant();
    QString DureeTotale();
    // Position over duration in percent, or -1.
    int Pourcentage();
    void Positionner(int pourcentage);

    int Etat() const { return etat_; }
    // The video started last has played to its end.
    bool Terminee() const { return terminee_; }
    // Players created since construction; each start from Etat 0 or 1 makes one.
    int InstancesCreees() const { return instances_; }

signals:
    // The caller shows the message box TexteErreur / TitreErreur.
    void ErreurLecture();
    // The file does not play; raison says why, in French. The player has
    // stopped.
    void LectureImpossible(const QString& raison);

private:
    friend class SurfaceVideo;

    struct DetruireLecteur
    {
        const BibliothequeMpv* Bibliotheque;
        void operator()(mpv_handle* lecteur) const;
    };
    struct Lecture
    {
        double Position = 0;
        std::chrono::steady_clock::time_point Instant;
    };

    bool CreerLecteur();
    // The opener's answer for the start numero.
    void Ouvert(int numero, Resultat<Descripteur> fichier);
    // Loads the opened file once the surface is ready too.
    void ChargerSiPret();
    void Charger(const std::string& chemin);
    // The duration, 0 when unknown or not believable.
    double Duree() const;
    void Liberer();
    void OublierSurface() { surface_ = nullptr; }
    // Takes every event the player has queued: position, duration, pause.
    void Actualiser();
    void NouvellePosition(const mpv_event_property& propriete);
    bool PositionBouge() const;
    double Position() const { return derniere_ ? derniere_->Position : 0.0; }
    static void Reveil(void* video);

    Reglages reglages_;
    SurfaceVideo* surface_ = nullptr;
    const BibliothequeMpv* mpv_ = nullptr;
    std::unique_ptr<mpv_handle, DetruireLecteur> lecteur_{nullptr, DetruireLecteur{nullptr}};
    int etat_ = Arrete;
    int instances_ = 0;
    std::optional<Lecture> derniere_;
    std::optional<Lecture> precedente_;
    double duree_ = 0;
    bool pauseLecteur_ = false;
    std::atomic<bool> reveilDemande_{false};
    std::optional<Descripteur> fichier_; // the file the player reads
    bool surfacePrete_ = false;
    bool charge_ = false;
    bool aJoue_ = false; // a position came since the start
    bool terminee_ = false;
    // Last: its thread goes first. Answers are handed to this object's thread.
    OuvreurFichier ouvreur_;
};
