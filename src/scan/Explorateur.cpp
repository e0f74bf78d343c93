#include "scan/Explorateur.h"

#include "shared/Option.h"
#include "scan/Descripteur.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <memory>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

// A directory is read by getdents64 in pieces of this size: one call takes
// a few hundred entries.
constexpr size_t TailleLecture = size_t{64} << 10;

bool EstPointOuPointPoint(const char* nom)
{
    return nom[0] == '.' && (nom[1] == '\0' || (nom[1] == '.' && nom[2] == '\0'));
}

enum class Genre { Fichier, Dossier, Ignore };

// What a link or an entry of unknown kind leads to, from a stat that
// follows links: only a regular file or a directory is of use.
Genre GenreCible(const struct stat& etat)
{
    if (S_ISREG(etat.st_mode))
        return Genre::Fichier;
    return S_ISDIR(etat.st_mode) ? Genre::Dossier : Genre::Ignore;
}

// What an entry is, from d_type; asks the file system only when d_type does
// not say, or for a link, to find out what it points to. Only regular files
// and links to regular files are files: a FIFO, a socket, a device or a
// dangling link is no file to show.
Genre GenreEntree(int dossierFd, const char* nom, unsigned char type)
{
    struct stat etat;
    switch (type) {
    case DT_REG:
        return Genre::Fichier;
    case DT_DIR:
        return Genre::Dossier;
    case DT_LNK:
        // A link to a directory is never entered nor listed.
        if (fstatat(dossierFd, nom, &etat, 0) != 0 || GenreCible(etat) != Genre::Fichier)
            return Genre::Ignore;
        return Genre::Fichier;
    case DT_UNKNOWN:
        if (fstatat(dossierFd, nom, &etat, AT_SYMLINK_NOFOLLOW) != 0)
            return Genre::Ignore; // gone since it was listed
        if (S_ISLNK(etat.st_mode))
            return GenreEntree(dossierFd, nom, DT_LNK);
        return GenreCible(etat);
    default:
        return Genre::Ignore;
    }
}

} // namespace

Explorateur::Reglages Explorateur::ReglagesActuels() const
{
    Reglages reglages;
    if (option_) {
        reglages.FichiersCaches = option_->FichierCache.load();
        reglages.RepertoiresCaches = option_->RepertoireCache.load();
        reglages.SousRepertoires = option_->SousRepertoire.load();
    }
    return reglages;
}

void Explorateur::ListerRepertoire(const std::string& repertoire, std::vector<std::string>& sousRepertoires,
                                   std::vector<std::string>& fichiers) const
{
    // Read once per listing: a change of settings counts from the next directory.
    ListerRepertoire(repertoire, ReglagesActuels(), sousRepertoires, fichiers);
}

void Explorateur::ListerRepertoire(const std::string& repertoire, const Reglages& reglages,
                                   std::vector<std::string>& sousRepertoires, std::vector<std::string>& fichiers) const
{
    std::string noms;
    ListerRepertoire(repertoire, reglages, sousRepertoires, noms);
    fichiers.clear();
    PourChaqueNom(noms, [&](std::string_view nom) { fichiers.emplace_back(nom); });
}

void Explorateur::ListerRepertoire(const std::string& repertoire, const Reglages& reglages,
                                   std::vector<std::string>& sousRepertoires, std::string& fichiers,
                                   const AMesurer& aMesurer, std::vector<int64_t>* tailles) const
{
    sousRepertoires.clear();
    fichiers.clear();
    if (tailles)
        tailles->clear();
    const bool mesurer = aMesurer && tailles;

    const bool fichiersCaches = reglages.FichiersCaches;
    const bool repertoiresCaches = reglages.RepertoiresCaches;
    const bool avecSousRepertoires = reglages.SousRepertoires;

    Descripteur fd(OuvrirChemin(repertoire, O_RDONLY | O_DIRECTORY));
    if (!fd.Valide())
        return;
    // One buffer per thread: the walker and each reader list on their own.
    thread_local std::unique_ptr<char[]> tampon = std::make_unique_for_overwrite<char[]>(TailleLecture);

    for (;;) {
        const long lus = ::syscall(SYS_getdents64, fd.Fd(), tampon.get(), TailleLecture);
        if (lus <= 0)
            break; // the end, or an error: what was read stands
        for (long position = 0; position < lus;) {
            // glibc's dirent64 has the kernel's layout.
            const auto* entree = reinterpret_cast<const dirent64*>(tampon.get() + position);
            position += entree->d_reclen;
            const char* nom = entree->d_name;
            if (nom[0] == '\0' || EstPointOuPointPoint(nom))
                continue;
            const bool cache = nom[0] == '.';
            if (cache && !fichiersCaches && !(avecSousRepertoires && repertoiresCaches))
                continue; // nothing hidden can be listed
            switch (GenreEntree(fd.Fd(), nom, entree->d_type)) {
            case Genre::Dossier:
                if (avecSousRepertoires && (repertoiresCaches || !cache))
                    sousRepertoires.emplace_back(nom);
                break;
            case Genre::Fichier:
                if (fichiersCaches || !cache) {
                    const size_t longueur = std::strlen(nom);
                    fichiers.append(nom, longueur + 1); // with its NUL
                    if (mesurer && aMesurer(std::string_view(nom, longueur)))
                        tailles->push_back(LireEtat(fd.Fd(), nom).Octets);
                }
                break;
            case Genre::Ignore:
                break;
            }
        }
    }
}

int Explorateur::OuvrirChemin(const std::string& chemin, int drapeaux)
{
    drapeaux |= O_CLOEXEC;
    if (chemin.size() < PATH_MAX)
        return ::open(chemin.c_str(), drapeaux);

    // Too long for one call: open directories along the way, each piece
    // shorter than PATH_MAX, and go on relative to the last one.
    Descripteur base;
    size_t debut = 0;
    for (;;) {
        const int relatif = base.Valide() ? base.Fd() : AT_FDCWD;
        if (chemin.size() - debut < PATH_MAX)
            return ::openat(relatif, chemin.c_str() + debut, drapeaux);
        const size_t coupe = chemin.rfind('/', debut + PATH_MAX - 1);
        if (coupe == std::string::npos || coupe <= debut) {
            errno = ENAMETOOLONG;
            return -1;
        }
        const std::string morceau = chemin.substr(debut, coupe - debut);
        Descripteur suivant(::openat(relatif, morceau.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
        if (!suivant.Valide())
            return -1;
        base = std::move(suivant);
        debut = coupe;
        while (debut < chemin.size() && chemin[debut] == '/')
            ++debut;
    }
}

Explorateur::Etat Explorateur::LireEtat(int dossierFd, const char* nom)
{
    // No automount: a name is never a reason to mount anything.
    struct statx etat;
    if (::statx(dossierFd, nom, AT_NO_AUTOMOUNT, STATX_TYPE | STATX_SIZE | STATX_MTIME, &etat) != 0 ||
        !S_ISREG(etat.stx_mode))
        return Etat{};
    return Etat{static_cast<int64_t>(etat.stx_size), static_cast<int64_t>(etat.stx_mtime.tv_sec)};
}

int64_t Explorateur::LireTaille(const std::string& chemin)
{
    // Not opened for reading: a FIFO cannot hold the caller, and a file
    // without read permission still gives its size.
    Descripteur fd(OuvrirChemin(chemin, O_PATH));
    if (!fd.Valide())
        return 0;
    struct stat etat;
    if (fstat(fd.Fd(), &etat) != 0 || !S_ISREG(etat.st_mode))
        return 0;
    return static_cast<int64_t>(etat.st_size);
}

std::string Explorateur::Joindre(std::string_view repertoire, std::string_view nom)
{
    std::string chemin;
    chemin.reserve(repertoire.size() + 1 + nom.size());
    chemin.append(repertoire);
    if (chemin.empty() || chemin.back() != '/')
        chemin.push_back('/');
    chemin.append(nom);
    return chemin;
}
