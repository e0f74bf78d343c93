#include "scan/Exportation.h"

#include "shared/Travailleur.h"

#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <mutex>

#include <fcntl.h>
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

Erreur ErreurSysteme(const std::string& message)
{
    return Erreur(message, std::strerror(errno));
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

// The temporary file beside the destination, removed unless it was renamed.
struct Temporaire
{
    std::string Chemin;
    int Fd = -1;
    ~Temporaire()
    {
        if (Fd >= 0)
            ::close(Fd);
        if (!Chemin.empty())
            ::unlink(Chemin.c_str());
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
    // The size without opening the file: a link is followed by the name
    // only, and a FIFO or a device has none.
    struct stat etat
    {};
    const std::string chaine(chemin);
    if (::fstatat(AT_FDCWD, chaine.c_str(), &etat, 0) == 0 && S_ISREG(etat.st_mode))
        sortie += std::to_string(static_cast<long long>(etat.st_size));
    sortie += "\r\n";
    return true;
}

std::string Exportation::Texte(Format format, const std::vector<std::string>& chemins, size_t* omis)
{
    std::string texte = format == Format::ListeLecture ? "#EXTM3U\n" : EnTeteTableau;
    size_t laisses = 0;
    for (const std::string& chemin : chemins)
        if (!AjouterEntree(format, chemin, texte))
            ++laisses;
    if (omis)
        *omis = laisses;
    return texte;
}

Resultat<Exportation::Bilan> Exportation::Ecrire(Format format, const std::vector<std::string>& chemins,
                                                 const std::string& destination, const std::atomic<bool>& arret,
                                                 const Avancement& avancement)
{
    const std::string base = destination.substr(destination.rfind('/') + 1);
    Temporaire temporaire;
    temporaire.Chemin = Dossier(destination) + "/." + base + ".XXXXXX";
    temporaire.Fd = ::mkostemp(temporaire.Chemin.data(), O_CLOEXEC);
    if (temporaire.Fd < 0) {
        Erreur erreur = ErreurSysteme("Impossible de créer le fichier « " + destination + " »");
        temporaire.Chemin.clear();
        return erreur;
    }
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
        if (AjouterEntree(format, chemins[i], tampon))
            ++bilan.Ecrits;
        else
            ++bilan.Omis;
        if (tampon.size() >= TailleTampon && !ecrivain.Donner(tampon))
            return echec();
        if (avancement && (i + 1) % PasAvancement == 0)
            avancement(i + 1, chemins.size());
    }
    // An older file of that name must never be lost to a crash: its
    // replacement reaches the disk before the rename. A new name has
    // nothing to lose, and waits for no disk.
    struct stat ancien
    {};
    const bool remplace = ::lstat(destination.c_str(), &ancien) == 0 && S_ISREG(ancien.st_mode) && ancien.st_size > 0;
    if (!ecrivain.Donner(tampon) || ecrivain.Finir() != 0)
        return echec();
    if (::fchmod(temporaire.Fd, 0644) != 0 || (remplace && ::fsync(temporaire.Fd) != 0))
        return Erreur(echecEcriture.Message, std::strerror(errno));
    const int fd = temporaire.Fd;
    temporaire.Fd = -1;
    if (::close(fd) != 0)
        return Erreur(echecEcriture.Message, std::strerror(errno));
    // The last look: a stop asked during the write still leaves nothing.
    if (arret.load()) {
        bilan.Annule = true;
        return bilan;
    }
    if (::rename(temporaire.Chemin.c_str(), destination.c_str()) != 0)
        return Erreur(echecEcriture.Message, std::strerror(errno));
    temporaire.Chemin.clear();
    if (remplace) {
        const int dossier = ::open(Dossier(destination).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dossier >= 0) {
            ::fsync(dossier);
            ::close(dossier);
        }
    }
    if (avancement)
        avancement(chemins.size(), chemins.size());
    return bilan;
}
