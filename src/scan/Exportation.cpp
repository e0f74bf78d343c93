#include "scan/Exportation.h"

#include "shared/Travailleur.h"

#include <cerrno>
#include <climits>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr size_t TailleTampon = 1 << 20;
// How often the stop is looked at and the progress told, in files.
constexpr size_t PasArret = 256;
constexpr size_t PasAvancement = 8192;

// Length of the valid UTF-8 sequence at the start of texte, 0 when its
// first byte does not begin one (overlong forms, surrogates and code
// points past U+10FFFF are not valid).
size_t LongueurUtf8(std::string_view texte)
{
    const auto o = [&](size_t i) { return static_cast<unsigned char>(texte[i]); };
    const unsigned char c = o(0);
    if (c < 0x80)
        return 1;
    size_t n = 0;
    unsigned char bas = 0x80, haut = 0xBF;
    if (c >= 0xC2 && c <= 0xDF)
        n = 2;
    else if (c >= 0xE0 && c <= 0xEF) {
        n = 3;
        if (c == 0xE0)
            bas = 0xA0;
        else if (c == 0xED)
            haut = 0x9F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        n = 4;
        if (c == 0xF0)
            bas = 0x90;
        else if (c == 0xF4)
            haut = 0x8F;
    } else
        return 0;
    if (texte.size() < n || o(1) < bas || o(1) > haut)
        return 0;
    for (size_t i = 2; i < n; ++i)
        if (o(i) < 0x80 || o(i) > 0xBF)
            return 0;
    return n;
}

// memchr looks at many bytes at a time; string_view::find_first_of calls
// it once per byte of the text.
bool Contient(std::string_view texte, char c)
{
    return std::memchr(texte.data(), c, texte.size()) != nullptr;
}

bool EcrireTout(int fd, const std::string& texte)
{
    size_t fait = 0;
    while (fait < texte.size()) {
        const ssize_t n = ::write(fd, texte.data() + fait, texte.size() - fait);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        fait += static_cast<size_t>(n);
    }
    return true;
}

std::string Dossier(const std::string& chemin)
{
    const size_t barre = chemin.rfind('/');
    if (barre == std::string::npos)
        return ".";
    return barre == 0 ? "/" : chemin.substr(0, barre);
}

// Writes each full buffer on a worker of its own while the next one is
// filled: the text is made and written at once, on two cores.
class EcrivainParallele
{
public:
    explicit EcrivainParallele(int fd) : fd_(fd), fil_([this](Travailleur&) { Boucle(); })
    {
        enCours_.reserve(TailleTampon + 4096);
        fil_.Demarrer();
    }
    ~EcrivainParallele() { Finir(); }
    EcrivainParallele(const EcrivainParallele&) = delete;
    EcrivainParallele& operator=(const EcrivainParallele&) = delete;

    // Takes the buffer's text (the buffer comes back empty, with room);
    // false once a write failed.
    bool Donner(std::string& tampon)
    {
        std::unique_lock verrou(mutex_);
        libre_.wait(verrou, [this] { return !plein_; });
        if (erreur_ != 0)
            return false;
        std::swap(tampon, enCours_);
        tampon.clear();
        plein_ = true;
        verrou.unlock();
        pret_.notify_one();
        return true;
    }
    // Waits for the last write; 0, or the errno of the first that failed.
    int Finir()
    {
        {
            std::unique_lock verrou(mutex_);
            libre_.wait(verrou, [this] { return !plein_; });
            fin_ = true;
        }
        pret_.notify_one();
        fil_.Joindre();
        return erreur_;
    }

private:
    void Boucle()
    {
        std::unique_lock verrou(mutex_);
        for (;;) {
            pret_.wait(verrou, [this] { return plein_ || fin_; });
            if (!plein_)
                return;
            const bool echec = erreur_ != 0;
            verrou.unlock();
            const bool ecrit = !echec && EcrireTout(fd_, enCours_);
            const int cause = ecrit ? 0 : errno;
            verrou.lock();
            if (!echec && !ecrit)
                erreur_ = cause != 0 ? cause : EIO;
            plein_ = false;
            libre_.notify_one();
        }
    }

    const int fd_;
    std::mutex mutex_;
    std::condition_variable pret_;  // a buffer to write, or the end
    std::condition_variable libre_; // the buffer written
    std::string enCours_;
    bool plein_ = false;
    bool fin_ = false;
    int erreur_ = 0;
    Travailleur fil_; // last: started once everything above exists
};

// A temporary export file is named ".ruvizaro-export-<inode>.tmp" in the
// destination's folder: the inode in its name, its owner and its lock are
// what tells it is ours (see NettoyerTemporaires).
constexpr std::string_view PrefixeTemporaire = ".ruvizaro-export-";
constexpr std::string_view SuffixeTemporaire = ".tmp";

std::string NomTemporaire(ino_t inode)
{
    char chiffres[32];
    std::snprintf(chiffres, sizeof chiffres, "%llx", static_cast<unsigned long long>(inode));
    return std::string(PrefixeTemporaire) + chiffres + std::string(SuffixeTemporaire);
}

// The inode a temporary's name gives, 0 when the name is not one of ours.
ino_t InodeDuNom(std::string_view nom)
{
    if (nom.size() <= PrefixeTemporaire.size() + SuffixeTemporaire.size() || !nom.starts_with(PrefixeTemporaire) ||
        !nom.ends_with(SuffixeTemporaire))
        return 0;
    nom.remove_prefix(PrefixeTemporaire.size());
    nom.remove_suffix(SuffixeTemporaire.size());
    if (nom.size() > 16)
        return 0;
    unsigned long long inode = 0;
    for (char c : nom) {
        const int chiffre = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
        if (chiffre < 0)
            return 0;
        inode = inode * 16 + static_cast<unsigned>(chiffre);
    }
    // "%llx" writes no leading zero: a name holding one is not ours.
    return nom[0] == '0' ? 0 : static_cast<ino_t>(inode);
}

// The mode a new file takes: 0666 less the process's umask (read without
// changing it, which umask() cannot do).
mode_t ModeNouveau()
{
    mode_t masque = 022;
    if (FILE* etat = std::fopen("/proc/self/status", "re")) {
        char ligne[256];
        while (std::fgets(ligne, sizeof ligne, etat))
            if (std::strncmp(ligne, "Umask:", 6) == 0) {
                masque = static_cast<mode_t>(std::strtoul(ligne + 6, nullptr, 8));
                break;
            }
        std::fclose(etat);
    }
    return 0666 & ~masque;
}

// The file a destination names: a symbolic link is followed to its target
// (which may not exist yet), so that the link stays and its target is
// written. A loop of links is left to the write to refuse.
std::string Cible(std::string chemin)
{
    for (int saut = 0; saut < 40; ++saut) {
        struct stat etat
        {};
        if (::lstat(chemin.c_str(), &etat) != 0 || !S_ISLNK(etat.st_mode))
            return chemin;
        std::string lien(PATH_MAX, '\0');
        const ssize_t n = ::readlink(chemin.c_str(), lien.data(), lien.size());
        if (n <= 0 || static_cast<size_t>(n) >= lien.size())
            return chemin;
        lien.resize(static_cast<size_t>(n));
        chemin = lien[0] == '/' ? lien : Dossier(chemin) + "/" + lien;
    }
    return chemin;
}

// The file being written: nameless (O_TMPFILE) until it is linked into
// place, or, where the file system cannot make one, named as a temporary of
// ours. Locked while it lives, closed, and its temporary name removed
// unless it was renamed.
struct Temporaire
{
    std::string Chemin; // its temporary name, when it has one
    int Fd = -1;
    ~Temporaire()
    {
        if (!Chemin.empty())
            ::unlink(Chemin.c_str());
        if (Fd >= 0)
            ::close(Fd);
    }

    // Opens it in dossier; an errno on failure, else 0.
    int Creer(const std::string& dossier, bool anonyme)
    {
        if (anonyme) {
            Fd = ::open(dossier.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
            if (Fd >= 0)
                return ::flock(Fd, LOCK_EX) == 0 ? 0 : errno;
            // Only a file system without nameless files takes the named way.
            if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
                return errno;
        }
        // A short name whatever the destination's length; renamed at once
        // to carry its inode, once it is locked.
        std::string modele = dossier + "/" + std::string(PrefixeTemporaire) + "XXXXXX";
        Fd = ::mkostemp(modele.data(), O_CLOEXEC);
        if (Fd < 0)
            return errno;
        Chemin = modele;
        struct stat etat
        {};
        if (::flock(Fd, LOCK_EX) != 0 || ::fstat(Fd, &etat) != 0 || ::fchmod(Fd, ModeNouveau()) != 0)
            return errno;
        const std::string nom = dossier + "/" + NomTemporaire(etat.st_ino);
        if (::rename(Chemin.c_str(), nom.c_str()) != 0)
            return errno;
        Chemin = nom;
        return 0;
    }

    // Gives it the name destination; 0 or an errno. A nameless file is
    // linked in when the name is free, else given a temporary name first
    // and renamed over the older file.
    int Publier(const std::string& destination, const std::string& dossier)
    {
        if (Chemin.empty()) {
            const std::string lien = "/proc/self/fd/" + std::to_string(Fd);
            if (::linkat(AT_FDCWD, lien.c_str(), AT_FDCWD, destination.c_str(), AT_SYMLINK_FOLLOW) == 0)
                return 0;
            if (errno != EEXIST)
                return errno;
            struct stat etat
            {};
            if (::fstat(Fd, &etat) != 0)
                return errno;
            const std::string nom = dossier + "/" + NomTemporaire(etat.st_ino);
            if (::linkat(AT_FDCWD, lien.c_str(), AT_FDCWD, nom.c_str(), AT_SYMLINK_FOLLOW) != 0)
                return errno;
            Chemin = nom;
        }
        if (::rename(Chemin.c_str(), destination.c_str()) != 0)
            return errno;
        Chemin.clear();
        return 0;
    }
};

} // namespace

const char* const Exportation::EnTeteTableau = "Nom,Dossier,Extension,Taille (octets)\r\n";

void Exportation::AjouterEchappe(std::string_view texte, std::string& sortie)
{
    static const char Chiffres[] = "0123456789ABCDEF";
    while (!texte.empty()) {
        // A run of plain ASCII goes through as it is.
        size_t ascii = 0;
        while (ascii < texte.size() && static_cast<unsigned char>(texte[ascii]) < 0x80 && texte[ascii] != '\\')
            ++ascii;
        if (ascii > 0) {
            sortie.append(texte.data(), ascii);
            texte.remove_prefix(ascii);
            continue;
        }
        const size_t n = LongueurUtf8(texte);
        if (n == 0) {
            const auto octet = static_cast<unsigned char>(texte[0]);
            sortie += "\\x";
            sortie += Chiffres[octet >> 4];
            sortie += Chiffres[octet & 0xF];
            texte.remove_prefix(1);
            continue;
        }
        if (texte[0] == '\\')
            sortie += '\\';
        sortie.append(texte.data(), n);
        texte.remove_prefix(n);
    }
}

void Exportation::AjouterChamp(std::string_view champ, std::string& sortie)
{
    if (!Contient(champ, ',') && !Contient(champ, '"') && !Contient(champ, '\r') && !Contient(champ, '\n')) {
        sortie.append(champ);
        return;
    }
    sortie += '"';
    for (char c : champ) {
        if (c == '"')
            sortie += '"';
        sortie += c;
    }
    sortie += '"';
}

bool Exportation::AjouterEntree(Format format, std::string_view chemin, std::string& sortie)
{
    if (format == Format::ListeLecture)
        return AjouterEntree(format, chemin, -1, sortie);
    // The size without opening the file: a link is followed by the name
    // only, and a FIFO or a device has none.
    struct stat etat
    {};
    const std::string chaine(chemin);
    const bool lue = ::fstatat(AT_FDCWD, chaine.c_str(), &etat, 0) == 0 && S_ISREG(etat.st_mode);
    return AjouterEntree(format, chemin, lue ? static_cast<int64_t>(etat.st_size) : -1, sortie);
}

bool Exportation::AjouterEntree(Format format, std::string_view chemin, int64_t octets, std::string& sortie)
{
    const size_t barre = chemin.rfind('/');
    const std::string_view nom = barre == std::string_view::npos ? chemin : chemin.substr(barre + 1);
    if (format == Format::ListeLecture) {
        if (Contient(chemin, '\n') || Contient(chemin, '\r'))
            return false;
        static constexpr std::string_view Info = "#EXTINF:-1,";
        sortie.append(Info).append(nom).append(1, '\n').append(chemin).append(1, '\n');
        return true;
    }
    std::string_view dossier;
    if (barre != std::string_view::npos)
        dossier = barre == 0 ? chemin.substr(0, 1) : chemin.substr(0, barre);
    const size_t point = nom.rfind('.');
    const std::string_view extension = point == std::string_view::npos ? std::string_view() : nom.substr(point + 1);

    std::string champ;
    for (std::string_view texte : {nom, dossier, extension}) {
        champ.clear();
        AjouterEchappe(texte, champ);
        AjouterChamp(champ, sortie);
        sortie += ',';
    }
    if (octets >= 0)
        sortie += std::to_string(static_cast<long long>(octets));
    sortie += "\r\n";
    return true;
}

namespace {

// A path's line: with its size from the store when sizes were given.
bool AjouterLigne(Exportation::Format format, const std::vector<std::string>& chemins,
                  const std::vector<int64_t>* tailles, size_t i, std::string& sortie)
{
    if (!tailles)
        return Exportation::AjouterEntree(format, chemins[i], sortie);
    return Exportation::AjouterEntree(format, chemins[i], i < tailles->size() ? (*tailles)[i] : -1, sortie);
}

} // namespace

std::string Exportation::Texte(Format format, const std::vector<std::string>& chemins, size_t* omis)
{
    return TexteAvec(format, chemins, nullptr, omis);
}

std::string Exportation::Texte(Format format, const std::vector<std::string>& chemins,
                               const std::vector<int64_t>& tailles, size_t* omis)
{
    return TexteAvec(format, chemins, &tailles, omis);
}

std::string Exportation::TexteAvec(Format format, const std::vector<std::string>& chemins,
                                   const std::vector<int64_t>* tailles, size_t* omis)
{
    std::string texte = format == Format::ListeLecture ? "#EXTM3U\n" : EnTeteTableau;
    size_t laisses = 0;
    for (size_t i = 0; i < chemins.size(); ++i)
        if (!AjouterLigne(format, chemins, tailles, i, texte))
            ++laisses;
    if (omis)
        *omis = laisses;
    return texte;
}

void Exportation::NettoyerTemporaires(const std::string& dossier)
{
    DIR* flux = ::opendir(dossier.c_str());
    if (!flux)
        return;
    const int descripteur = ::dirfd(flux);
    while (const dirent* entree = ::readdir(flux)) {
        const ino_t inode = InodeDuNom(entree->d_name);
        struct stat etat
        {};
        if (inode == 0 || ::fstatat(descripteur, entree->d_name, &etat, AT_SYMLINK_NOFOLLOW) != 0 ||
            !S_ISREG(etat.st_mode) || etat.st_ino != inode || etat.st_uid != ::geteuid() || etat.st_nlink != 1)
            continue;
        const int fd = ::openat(descripteur, entree->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat ouvert
        {};
        // Unlocked: no export is writing it any more.
        if (::fstat(fd, &ouvert) == 0 && ouvert.st_ino == etat.st_ino && ouvert.st_dev == etat.st_dev &&
            ::flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlinkat(descripteur, entree->d_name, 0);
        ::close(fd);
    }
    ::closedir(flux);
}

Resultat<Exportation::Bilan> Exportation::Ecrire(Format format, const std::vector<std::string>& chemins,
                                                 const std::string& destination, const std::atomic<bool>& arret,
                                                 const Avancement& avancement)
{
    return EcrireAvec(format, chemins, nullptr, destination, arret, avancement);
}

Resultat<Exportation::Bilan> Exportation::Ecrire(Format format, const std::vector<std::string>& chemins,
                                                 const std::vector<int64_t>& tailles, const std::string& destination,
                                                 const std::atomic<bool>& arret, const Avancement& avancement)
{
    return EcrireAvec(format, chemins, &tailles, destination, arret, avancement);
}

Resultat<Exportation::Bilan> Exportation::EcrireAvec(Format format, const std::vector<std::string>& chemins,
                                                     const std::vector<int64_t>* tailles,
                                                     const std::string& destination, const std::atomic<bool>& arret,
                                                     const Avancement& avancement)
{
    const std::string cible = Cible(destination);
    const std::string dossier = Dossier(cible);
    NettoyerTemporaires(dossier);
    Temporaire temporaire;
    if (const int cause = temporaire.Creer(dossier, FichierAnonyme); cause != 0)
        return Erreur("Impossible de créer le fichier « " + destination + " »", std::strerror(cause));
    const Erreur echecEcriture("Impossible d'écrire le fichier « " + destination + " »");

    Bilan bilan;
    std::string tampon = format == Format::ListeLecture ? "#EXTM3U\n" : EnTeteTableau;
    tampon.reserve(TailleTampon + 4096);
    // Gone before the temporary file is closed.
    EcrivainParallele ecrivain(temporaire.Fd);
    const auto echec = [&] { return Erreur(echecEcriture.Message, std::strerror(ecrivain.Finir())); };
    for (size_t i = 0; i < chemins.size(); ++i) {
        if (i % PasArret == 0 && arret.load(std::memory_order_relaxed)) {
            bilan.Annule = true;
            return bilan;
        }
        if (AjouterLigne(format, chemins, tailles, i, tampon))
            ++bilan.Ecrits;
        else
            ++bilan.Omis;
        if (tampon.size() >= TailleTampon && !ecrivain.Donner(tampon))
            return echec();
        if (avancement && (i + 1) % PasAvancement == 0)
            avancement(i + 1, chemins.size());
    }
    // An older file of that name must never be lost to a crash: its
    // replacement reaches the disk before the rename, and keeps its mode.
    // A new name has nothing to lose, and waits for no disk.
    struct stat ancien
    {};
    const bool remplace = ::lstat(cible.c_str(), &ancien) == 0 && S_ISREG(ancien.st_mode);
    if (!ecrivain.Donner(tampon) || ecrivain.Finir() != 0)
        return echec();
    if ((remplace && ::fchmod(temporaire.Fd, ancien.st_mode & 07777) != 0) ||
        (remplace && ancien.st_size > 0 && ::fsync(temporaire.Fd) != 0))
        return Erreur(echecEcriture.Message, std::strerror(errno));
    // The last look: a stop asked during the write still leaves nothing.
    if (arret.load()) {
        bilan.Annule = true;
        return bilan;
    }
    if (const int cause = temporaire.Publier(cible, dossier); cause != 0)
        return Erreur(echecEcriture.Message, std::strerror(cause));
    if (remplace) {
        const int fd = ::open(dossier.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd >= 0) {
            ::fsync(fd);
            ::close(fd);
        }
    }
    if (avancement)
        avancement(chemins.size(), chemins.size());
    return bilan;
}
