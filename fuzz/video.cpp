// The video opening path on any bytes, as far as it runs without a
// display: a new libmpv player per file with no video and no sound output,
// the file loaded, its times and percentage read as the panel reads them,
// a seek, a stop.

#include "media/Video.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <fcntl.h>
#include <unistd.h>

namespace {

std::string Fichier;
Video* Lecteur = nullptr;
// How long one file is given to start playing.
constexpr int AttenteMaxMs = 250;

[[noreturn]] void Echec(const char* quoi)
{
    std::fprintf(stderr, "video opening property broken: %s\n", quoi);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static QGuiApplication application(*argc, *argv);
    Lecteur = new Video; // lives as long as the process, like the panel's
    Lecteur->Regler({BibliothequeMpv::NomParDefaut, "null"});
    Lecteur->Initialiser(nullptr);
    QObject::connect(Lecteur, &Video::ErreurLecture, [] { Echec("libmpv could not be loaded or started"); });
    const char* base = std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : std::getenv("TMPDIR");
    Fichier = std::string(base ? base : "/tmp") + "/ruvizaro-fuzz-video-" + std::to_string(getpid());
    std::atexit([] { ::unlink(Fichier.c_str()); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* donnees, std::size_t taille)
{
    const int fd = ::open(Fichier.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0 || ::write(fd, donnees, taille) != ssize_t(taille) || ::close(fd) != 0)
        Echec("cannot write the scratch file");

    Lecteur->Ouvrir(Fichier);
    if (Lecteur->Etat() != Video::EnCours)
        Echec("a file opened is not playing");
    QElapsedTimer horloge;
    horloge.start();
    int pourcentage = -1;
    while (horloge.elapsed() < AttenteMaxMs && (pourcentage = Lecteur->Pourcentage()) < 0)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    if (pourcentage > 100)
        Echec("a percentage over 100");
    if (Lecteur->TempsCourant().isEmpty() || Lecteur->DureeTotale().isEmpty())
        Echec("an empty time label");
    Lecteur->EnLecture();
    if (pourcentage >= 0) {
        Lecteur->Positionner(50);
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    Lecteur->Stop();
    if (Lecteur->Etat() != Video::Arrete)
        Echec("a stopped video is not stopped");
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return 0;
}
