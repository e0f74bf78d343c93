#pragma once

// The video player of the Video panel, over libmpv loaded at run time. It
// keeps the operations of the system's media-player host: open with a new
// player per start, pause, stop, the times and percentage for the panel's
// labels and bar, and seeking. The picture shows in a SurfaceVideo given
// by the window. User-interface thread only; it never waits on the player.

#include "media/BibliothequeMpv.h"

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
    // resumes it when paused. Emits ErreurLecture when libmpv cannot be
    // loaded or the player cannot be created.
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
    // Players created since construction; each start from Etat 0 or 1 makes one.
    int InstancesCreees() const { return instances_; }

signals:
    // The caller shows the message box TexteErreur / TitreErreur.
    void ErreurLecture();

private:
    friend class SurfaceVideo;

    struct DetruireLecteur
    {
        const BibliothequeMpv* mpv;
        void operator()(mpv_handle* lecteur) const;
    };
    struct Lecture
    {
        double Position = 0;
        std::chrono::steady_clock::time_point Instant;
    };

    bool CreerLecteur();
    void Charger(const std::string& chemin);
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
};
