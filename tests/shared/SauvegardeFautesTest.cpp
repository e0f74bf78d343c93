// Faults during a settings save: the saving process killed at random
// moments, and a disk that fills up. The settings file is always whole:
// the old one or the new one.

#include "shared/Option.h"
#include "shared/Registre.h"

#include "support/ConfigTemporaire.h"
#include "support/Endurance.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <thread>

#include <csignal>
#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// The values of a save numbered n: every value depends on n, so that a
// file mixing two saves shows. The orders carry the number itself, out of
// their range: Sauver stores the orders as they are held.
void Remplir(Option& option, int32_t n)
{
    option.FichierCache = n % 2 == 0;
    option.RepertoireCache = n % 3 == 0;
    option.SousRepertoire = n % 5 == 0;
    option.TreeVideo = static_cast<Ordre>(n);
    option.TreeSon = static_cast<Ordre>(n + 1);
    option.TreeImage = static_cast<Ordre>(n + 2);
    option.TreeTexte = static_cast<Ordre>(n + 3);
    option.DessinSon = static_cast<Dessin>(1 + n % 3);
    for (size_t i = 0; i < option.ParTaille.size(); ++i)
        option.ParTaille[i] = (n >> i & 1) != 0;
}

// The save number the file holds, or -1 when it is not one whole save.
int32_t SauvegardeLue(const std::string& fichier)
{
    if (!std::filesystem::exists(fichier))
        return -1;
    const Resultat<Registre::Ruche> chargee = Registre::Charger(fichier);
    if (!chargee)
        return -1;
    const Registre::Ruche& ruche = chargee.Valeur();
    const auto cle = ruche.find(std::string(Option::Racine) + "\\" + Option::Cle);
    if (cle == ruche.end() || cle->second.size() != 9)
        return -1;
    auto entier = [&](const char* nom) -> int64_t {
        const auto v = cle->second.find(nom);
        if (v == cle->second.end() || !std::holds_alternative<int32_t>(v->second))
            return INT64_MIN;
        return std::get<int32_t>(v->second);
    };
    const int64_t n = entier("TreeVideo");
    if (n < 0)
        return -1;
    const bool juste = entier("FichierCache") == (n % 2 == 0) && entier("RepertoireCache") == (n % 3 == 0) &&
                       entier("SousRepertoire") == (n % 5 == 0) && entier("TreeSon") == n + 1 &&
                       entier("TreeImage") == n + 2 && entier("TreeTexte") == n + 3 &&
                       entier("DessinSon") == 1 + n % 3 && entier("ParTaille") == n % 16;
    return juste ? int32_t(n) : -1;
}

// Files beside the settings file other than a filling one.
int FichiersTemporaires(const std::string& dossier)
{
    int n = 0;
    for (const auto& entree : std::filesystem::directory_iterator(dossier))
        n += entree.path().filename() != "HKEY_CURRENT_USER.reg" && entree.path().filename() != "remplissage";
    return n;
}

} // namespace

// A child saves numbered settings over and over and tells each finished
// save through a pipe; it is killed with SIGKILL at a random moment. The
// file then holds the last save it told of, or the one after it.
TEST(SauvegardeFautes, KilledAtRandomMomentsTheFileIsTheOldOrTheNewSave)
{
    ConfigTemporaire config;
    const std::string fichier = config.FichierUtilisateur();
    Option depart;
    Remplir(depart, 0);
    ASSERT_TRUE(depart.Sauver());

    std::mt19937 hasard(1234);
    const int tues = Endurance(60);
    int32_t confirmee = 0;
    for (int t = 0; t < tues; ++t) {
        int tube[2];
        ASSERT_EQ(::pipe2(tube, O_CLOEXEC), 0);
        const pid_t enfant = ::fork();
        ASSERT_GE(enfant, 0);
        if (enfant == 0) {
            ::close(tube[0]);
            Option option;
            for (int32_t n = confirmee + 1;; ++n) {
                Remplir(option, n);
                if (!option.Sauver())
                    ::_exit(3);
                if (::write(tube[1], &n, sizeof n) != sizeof n)
                    ::_exit(2);
            }
        }
        ::close(tube[1]);
        std::this_thread::sleep_for(std::chrono::microseconds(std::uniform_int_distribution<int>(0, 20000)(hasard)));
        ASSERT_EQ(::kill(enfant, SIGKILL), 0);
        int statut = 0;
        ASSERT_EQ(::waitpid(enfant, &statut, 0), enfant);
        ASSERT_TRUE(WIFSIGNALED(statut) && WTERMSIG(statut) == SIGKILL) << "the saving child ended on its own";
        int32_t n = 0;
        while (::read(tube[0], &n, sizeof n) == sizeof n)
            confirmee = n;
        ::close(tube[0]);
        const int32_t lue = SauvegardeLue(fichier);
        ASSERT_TRUE(lue == confirmee || lue == confirmee + 1)
            << "kill " << t << ": the file holds save " << lue << ", the last finished one was " << confirmee;
        confirmee = lue;
    }
    // No damaged copy was ever needed, and the saves that were cut short
    // left no temporary file behind once a save has run again.
    for (const auto& entree : std::filesystem::directory_iterator(config.Dossier() + "/Dudidevir"))
        EXPECT_EQ(entree.path().filename().string().find(".endommage-"), std::string::npos) << entree.path();
    Option apres;
    Remplir(apres, confirmee + 1);
    EXPECT_TRUE(apres.Sauver());
    EXPECT_EQ(SauvegardeLue(fichier), confirmee + 1);
    EXPECT_EQ(FichiersTemporaires(config.Dossier() + "/Dudidevir"), 0);
    std::printf("%d kills, %d saves finished\n", tues, confirmee);
}

namespace {

// In a child process, with the settings folder on a tmpfs of its own (a
// private mount namespace, root only) or, without root, with a file size
// limit: the old settings stay, the save's result is the refusal, no
// temporary file is left, and a save that fits succeeds afterwards.
// Returns the child's exit status: 0 passed, 77 could not set up.
int SauverSurDisquePlein(const std::string& dossierConfig)
{
    const pid_t enfant = ::fork();
    if (enfant != 0) {
        int statut = 0;
        ::waitpid(enfant, &statut, 0);
        return WIFEXITED(statut) ? WEXITSTATUS(statut) : 100 + WTERMSIG(statut);
    }
    const std::string dossier = dossierConfig + "/Dudidevir";
    std::filesystem::create_directories(dossier);
    bool tmpfs = false;
    if (::geteuid() == 0 && ::unshare(CLONE_NEWNS) == 0 &&
        ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
        ::mount("tmpfs", dossier.c_str(), "tmpfs", 0, "size=16k") == 0)
        tmpfs = true;

    Option ancienne;
    Remplir(ancienne, 7);
    const std::string fichier = dossier + "/HKEY_CURRENT_USER.reg";
    if (!ancienne.Sauver() || SauvegardeLue(fichier) != 7)
        ::_exit(1);

    if (tmpfs) {
        // Fill the disk to its last few bytes.
        const int fd = ::open((dossier + "/remplissage").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
        const std::string bloc(512, 'x');
        while (::write(fd, bloc.data(), bloc.size()) > 0) {
        }
        while (::write(fd, bloc.data(), 1) > 0) {
        }
        ::close(fd);
    } else {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limite{64, 64};
        if (::setrlimit(RLIMIT_FSIZE, &limite) != 0)
            ::_exit(77);
    }

    Option nouvelle;
    Remplir(nouvelle, 8);
    const Resultat<void> refusee = nouvelle.Sauver();
    if (refusee || refusee.Echec().Message != "Failed to set data for 'SousRepertoire'")
        ::_exit(2);
    if (SauvegardeLue(fichier) != 7)
        ::_exit(3);
    if (FichiersTemporaires(dossier) != 0)
        ::_exit(4);

    // Room again: the next save goes through.
    if (tmpfs) {
        ::unlink((dossier + "/remplissage").c_str());
    } else {
        const rlimit sansLimite{RLIM_INFINITY, RLIM_INFINITY};
        ::setrlimit(RLIMIT_FSIZE, &sansLimite);
    }
    if (!nouvelle.Sauver() || SauvegardeLue(fichier) != 8)
        ::_exit(5);
    ::_exit(tmpfs ? 0 : 10);
}

} // namespace

TEST(SauvegardeFautes, AFullDiskKeepsTheOldFileAndFailsTheSaveOnce)
{
    ConfigTemporaire config;
    const int statut = SauverSurDisquePlein(config.Dossier());
    ASSERT_NE(statut, 77) << "no way to make the disk full here";
    EXPECT_TRUE(statut == 0 || statut == 10) << "child status " << statut
                                             << " (1 setup, 2 no error, 3 old file lost, 4 temporary "
                                                "file left, 5 next save failed)";
    if (statut == 10)
        std::printf("not root: the full disk was a file size limit, not a tmpfs\n");
}
