// Builds a deterministic test tree for the scan benchmarks.
//   gen-tree DIR N D [--seed S] [--deep]
// N files spread over D directories (DIR itself and D - 1 directories below
// it, a balanced tree four levels deep), with a mix of known extensions of
// the four categories, unknown ones and none, upper-case names, hidden files
// and directories, accented names and names of many lengths. The files are
// empty.
// With --deep: deep directories (chains of up to 64 levels), files spread
// heavy-tailed (up to 4 000 in a directory), 30 % of them classified, each
// with a heavy-tailed size (sparse: bytes to gigabytes, no block written).
// Prints to stdout, as JSON, the counts a scan must find with the default
// walk settings (sub-directories, hidden files and hidden directories on),
// and the totals under each of the three settings turned off alone.

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int NombreCategories = 4;
constexpr int Aucune = -1;         // not a category: the file is not counted
constexpr int ProfondeurArbre = 4; // levels below DIR
constexpr uint64_t GraineParDefaut = 1;
constexpr mode_t DroitsDossier = 0755;
constexpr mode_t DroitsFichier = 0644;
// Out of 1000.
constexpr uint64_t Pourmille = 1000;
constexpr uint64_t PartDossiersCaches = 30;
constexpr uint64_t PartFichiersCaches = 20;
constexpr uint64_t PartNomsLongs = 100;
constexpr uint64_t PartNomsMajuscules = 40;
constexpr size_t LongueurLongueMax = 180; // bytes, well under NAME_MAX
constexpr size_t LongueurLongueMin = 40;
// The deep shape.
constexpr int ProfondeurMax = 64;
constexpr uint64_t PartChaine = 600;  // a directory below the one made just before
constexpr uint64_t PartClassee = 300; // files of a known extension
constexpr uint64_t FichiersParDossierMax = 4000;
constexpr size_t PremierSuffixeInconnu = 37; // Suffixes below it are the known ones

const std::array<const char*, NombreCategories> NomsCategories = {"video", "son", "image", "texte"};

// The classification a scan applies: extension after the last dot,
// lower-cased, looked up in this table.
struct Connue
{
    const char* Ext;
    int Categorie; // 0 video, 1 son, 2 image, 3 texte
};
constexpr std::array<Connue, 30> Table = {{
    {"avi", 0}, {"mpg", 0}, {"mpeg", 0}, {"mov", 0}, {"wmv", 0}, {"divx", 0}, {"qt", 0},  {"asf", 0},
    {"mkv", 0}, {"mp3", 1}, {"wav", 1},  {"wma", 1}, {"mid", 1}, {"midi", 1}, {"ogg", 1}, {"mp2", 1},
    {"mp4", 1}, {"jpg", 2}, {"jpeg", 2}, {"ico", 2}, {"bmp", 2}, {"gif", 2},  {"png", 2}, {"txt", 3},
    {"doc", 3}, {"xls", 3}, {"pdf", 3},  {"rtf", 3}, {"pps", 3}, {"ppt", 3},
}};

// What follows a file's stem, with its weight in the mix. "" means no dot
// at all, "." a name ending with a dot. jpg weighs enough that 1 000 000
// files give a by-extension group of more than 100 000.
struct Suffixe
{
    const char* Texte;
    uint32_t Poids;
};
constexpr std::array<Suffixe, 50> Suffixes = {{
    // Image
    {".jpg", 140},
    {".JPG", 20},
    {".jpeg", 15},
    {".Jpeg", 3},
    {".png", 60},
    {".PNG", 4},
    {".gif", 15},
    {".bmp", 5},
    {".ico", 5},
    // Son
    {".mp3", 75},
    {".MP3", 5},
    {".wav", 10},
    {".wma", 5},
    {".ogg", 10},
    {".mid", 3},
    {".midi", 2},
    {".mp2", 2},
    {".mp4", 25},
    // Video
    {".avi", 15},
    {".AVI", 2},
    {".mpg", 8},
    {".mpeg", 5},
    {".mov", 10},
    {".wmv", 5},
    {".divx", 2},
    {".qt", 2},
    {".asf", 2},
    {".mkv", 15},
    {".MKV", 2},
    // Texte
    {".txt", 60},
    {".doc", 25},
    {".xls", 15},
    {".pdf", 40},
    {".PDF", 5},
    {".rtf", 5},
    {".pps", 3},
    {".ppt", 7},
    // Unknown
    {".zip", 40},
    {".html", 45},
    {".cpp", 55},
    {".o", 40},
    {".json", 40},
    {".h", 30},
    {".py", 20},
    {".tar.gz", 15},
    {".jpg.part", 5},
    {".mp3~", 3},
    {"", 60},
    {".", 3},
    {".jpgx", 3},
}};

static_assert(std::string_view(Suffixes[PremierSuffixeInconnu].Texte) == ".zip");

// Starts of file names: letters, accents, digits, other scripts, signs.
constexpr std::array<const char*, 32> Tiges = {{
    "IMG_",    "DSC",     "photo",    "PHOTO",       "Photo de vacances",
    "été",     "Zoé",     "Îles",     "résumé",      "Ça va",
    "naïve",   "Straße",  "rapport",  "notes",       "chanson",
    "film",    "clip",    "document", "backup.2020", "a",
    "x",       "Ærø",     "Ελλάδα",   "日本",        "Éric",
    "Œuvre",   "über",    "2019-",    "_brouillon",  "#tmp",
    "(copie)", "~verrou",
}};

constexpr std::array<const char*, 18> NomsDossiers = {{
    "Photos",
    "Musique",
    "Vidéos",
    "Documents",
    "été 2019",
    "Zoé",
    "Îles Canaries",
    "projets",
    "src",
    "build",
    "Téléchargements",
    "Bureau",
    "archive.old",
    "node_modules",
    "DCIM",
    "Ærø",
    "2020",
    "x",
}};
constexpr std::array<const char*, 5> NomsDossiersCaches = {{".cache", ".config", ".local", ".thumbnails", ".git"}};

// Relative sizes of directories; 0 leaves one empty.
constexpr std::array<uint32_t, 5> PoidsDossier = {0, 1, 2, 4, 8};
constexpr std::array<uint32_t, 5> ChancesPoids = {50, 450, 300, 150, 50}; // out of 1000

// splitmix64: small, fast and the same everywhere.
class Aleatoire
{
public:
    explicit Aleatoire(uint64_t graine) : etat_(graine) {}
    uint64_t Suivant()
    {
        uint64_t z = (etat_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    uint64_t Sous(uint64_t borne) { return Suivant() % borne; }

private:
    uint64_t etat_;
};

// Owns a descriptor.
class Fd
{
public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int Get() const { return fd_; }

private:
    int fd_;
};

int CategorieDe(std::string_view nom)
{
    const size_t point = nom.rfind('.');
    if (point == std::string_view::npos)
        return Aucune;
    std::string ext(nom.substr(point + 1));
    for (char& c : ext)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    for (const Connue& connue : Table)
        if (ext == connue.Ext)
            return connue.Categorie;
    return Aucune;
}

struct Dossier
{
    std::string Chemin; // relative to DIR; "." for DIR itself
    int Parent = -1;
    int Niveau = 0;
    bool SousCache = false; // itself or an ancestor is hidden
    uint32_t Poids = 0;
    uint64_t Fichiers = 0;
};

struct Totaux
{
    std::array<uint64_t, NombreCategories> Categories{};
    uint64_t Total() const
    {
        uint64_t t = 0;
        for (uint64_t n : Categories)
            t += n;
        return t;
    }
};

// Appends "key":value to a JSON object under construction.
void Champ(std::string& json, const char* cle, const std::string& valeur)
{
    if (json.back() != '{')
        json += ',';
    json += '"';
    json += cle;
    json += "\":";
    json += valeur;
}

std::string JsonTotaux(const Totaux& t)
{
    std::string s = "{";
    for (size_t c = 0; c < NombreCategories; ++c)
        Champ(s, NomsCategories[c], std::to_string(t.Categories[c]));
    Champ(s, "total", std::to_string(t.Total()));
    return s + "}";
}

// Smallest branching that holds n directories in ProfondeurArbre levels.
uint64_t Branchement(uint64_t n)
{
    for (uint64_t b = 2;; ++b) {
        uint64_t capacite = 0;
        uint64_t niveau = 1;
        for (int i = 0; i < ProfondeurArbre; ++i) {
            niveau *= b;
            capacite += niveau;
        }
        if (capacite >= n)
            return b;
    }
}

bool Nombre(const char* texte, uint64_t& valeur)
{
    char* fin = nullptr;
    errno = 0;
    const unsigned long long v = std::strtoull(texte, &fin, 10);
    if (errno != 0 || fin == texte || *fin != '\0' || texte[0] == '-')
        return false;
    valeur = v;
    return true;
}

// A heavy-tailed draw (Pareto, index 1.1) of at least 1.
double Queue(Aleatoire& alea)
{
    const double u = (static_cast<double>(alea.Sous(1u << 30)) + 1.0) / static_cast<double>(1u << 30);
    return std::pow(u, -1.0 / 1.1);
}

// Draws a suffix among Suffixes[debut, fin) by weight.
size_t Tirer(Aleatoire& alea, size_t debut, size_t fin)
{
    uint32_t poids = 0;
    for (size_t k = debut; k < fin; ++k)
        poids += Suffixes[k].Poids;
    uint64_t tirage = alea.Sous(poids);
    size_t k = debut;
    while (tirage >= Suffixes[k].Poids) {
        tirage -= Suffixes[k].Poids;
        ++k;
    }
    return k;
}

int Usage()
{
    std::fprintf(stderr, "usage: gen-tree DIR N D [--seed S] [--deep]\n"
                         "  N files in D directories (DIR and D - 1 below it); DIR must be empty or absent\n");
    return 2;
}

bool RepertoireVide(const char* chemin)
{
    DIR* d = ::opendir(chemin);
    if (!d)
        return false;
    bool vide = true;
    while (const dirent* e = ::readdir(d)) {
        if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0) {
            vide = false;
            break;
        }
    }
    ::closedir(d);
    return vide;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 4)
        return Usage();
    const char* racine = argv[1];
    uint64_t nombreFichiers = 0;
    uint64_t nombreDossiers = 0;
    uint64_t graine = GraineParDefaut;
    bool profond = false;
    if (!Nombre(argv[2], nombreFichiers) || !Nombre(argv[3], nombreDossiers) || nombreDossiers == 0)
        return Usage();
    for (int i = 4; i < argc; ++i) {
        if (std::strcmp(argv[i], "--seed") == 0 && i + 1 < argc) {
            if (!Nombre(argv[++i], graine))
                return Usage();
        } else if (std::strcmp(argv[i], "--deep") == 0) {
            profond = true;
        } else {
            return Usage();
        }
    }
    if (nombreDossiers > static_cast<uint64_t>(INT32_MAX) ||
        (profond && nombreFichiers > nombreDossiers * FichiersParDossierMax))
        return Usage();

    if (::mkdir(racine, DroitsDossier) != 0 && errno != EEXIST) {
        std::fprintf(stderr, "gen-tree: cannot create %s: %s\n", racine, std::strerror(errno));
        return 1;
    }
    if (!RepertoireVide(racine)) {
        std::fprintf(stderr, "gen-tree: %s is not an empty directory\n", racine);
        return 1;
    }
    const Fd racineFd(::open(racine, O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (racineFd.Get() < 0) {
        std::fprintf(stderr, "gen-tree: cannot open %s: %s\n", racine, std::strerror(errno));
        return 1;
    }
    const auto debut = std::chrono::steady_clock::now();
    Aleatoire alea(graine);

    // The directories, breadth first: node j (0-based below DIR) has
    // parent j / b - 1, -1 being DIR.
    const uint64_t b = Branchement(nombreDossiers - 1);
    std::vector<Dossier> dossiers(nombreDossiers);
    dossiers[0].Chemin = ".";
    dossiers[0].Poids = PoidsDossier[2]; // DIR always holds files
    for (uint64_t i = 1; i < nombreDossiers; ++i) {
        Dossier& d = dossiers[i];
        const int64_t parent = static_cast<int64_t>((i - 1) / b) - 1;
        d.Parent = parent < 0 ? 0 : static_cast<int>(parent + 1);
        if (profond) {
            // Mostly below the directory made just before: long chains.
            const bool chaine = alea.Sous(Pourmille) < PartChaine && dossiers[i - 1].Niveau < ProfondeurMax;
            d.Parent = chaine ? static_cast<int>(i - 1) : static_cast<int>(alea.Sous(i));
        }
        const Dossier& p = dossiers[static_cast<size_t>(d.Parent)];
        d.Niveau = p.Niveau + 1;
        const bool cache = alea.Sous(Pourmille) < PartDossiersCaches;
        const char* base = cache ? NomsDossiersCaches[alea.Sous(NomsDossiersCaches.size())]
                                 : NomsDossiers[alea.Sous(NomsDossiers.size())];
        const std::string nom = std::string(base) + "-" + std::to_string(i);
        d.Chemin = d.Parent == 0 ? nom : p.Chemin + "/" + nom;
        d.SousCache = cache || p.SousCache;
        uint64_t tirage = alea.Sous(Pourmille);
        size_t k = 0;
        while (tirage >= ChancesPoids[k]) {
            tirage -= ChancesPoids[k];
            ++k;
        }
        d.Poids = PoidsDossier[k];
        if (::mkdirat(racineFd.Get(), d.Chemin.c_str(), DroitsDossier) != 0) {
            std::fprintf(stderr, "gen-tree: cannot create %s/%s: %s\n", racine, d.Chemin.c_str(), std::strerror(errno));
            return 1;
        }
    }

    // Files per directory, in proportion to the weights (heavy-tailed ones
    // for the deep shape, at most FichiersParDossierMax each).
    if (profond)
        for (Dossier& d : dossiers)
            d.Poids = static_cast<uint32_t>(std::min(Queue(alea) * 16.0, 1e9));
    const uint64_t plafond = profond ? FichiersParDossierMax : UINT64_MAX;
    uint64_t poidsTotal = 0;
    for (const Dossier& d : dossiers)
        poidsTotal += d.Poids;
    uint64_t reparti = 0;
    for (Dossier& d : dossiers) {
        d.Fichiers = std::min<uint64_t>(nombreFichiers * d.Poids / poidsTotal, plafond);
        reparti += d.Fichiers;
    }
    for (size_t i = 0; reparti < nombreFichiers; i = (i + 1) % dossiers.size()) {
        if ((dossiers[i].Poids > 0 || profond) && dossiers[i].Fichiers < plafond) {
            ++dossiers[i].Fichiers;
            ++reparti;
        }
    }

    uint32_t poidsSuffixes = 0;
    for (const Suffixe& s : Suffixes)
        poidsSuffixes += s.Poids;

    Totaux parDefaut;
    Totaux sansSousRepertoires;
    Totaux sansFichiersCaches;
    Totaux sansRepertoiresCaches;
    std::array<uint64_t, NombreCategories> noeudsRepertoire{};
    uint64_t dossiersSansCaches = 0;
    std::string nom;
    for (const Dossier& d : dossiers) {
        if (!d.SousCache)
            ++dossiersSansCaches;
        const Fd dossierFd(::openat(racineFd.Get(), d.Chemin.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (dossierFd.Get() < 0) {
            std::fprintf(stderr, "gen-tree: cannot open %s/%s: %s\n", racine, d.Chemin.c_str(), std::strerror(errno));
            return 1;
        }
        std::array<bool, NombreCategories> present{};
        for (uint64_t f = 0; f < d.Fichiers; ++f) {
            nom.clear();
            const bool cache = alea.Sous(Pourmille) < PartFichiersCaches;
            if (cache)
                nom += '.';
            nom += alea.Sous(Pourmille) < PartNomsMajuscules ? "SCAN" : Tiges[alea.Sous(Tiges.size())];
            nom += '_';
            nom += std::to_string(f);
            if (alea.Sous(Pourmille) < PartNomsLongs) {
                const size_t cible = LongueurLongueMin + alea.Sous(LongueurLongueMax - LongueurLongueMin);
                while (nom.size() < cible)
                    nom += " - copie";
            }
            size_t k = 0;
            if (profond) {
                k = alea.Sous(Pourmille) < PartClassee ? Tirer(alea, 0, PremierSuffixeInconnu)
                                                       : Tirer(alea, PremierSuffixeInconnu, Suffixes.size());
            } else {
                uint64_t tirage = alea.Sous(poidsSuffixes);
                while (tirage >= Suffixes[k].Poids) {
                    tirage -= Suffixes[k].Poids;
                    ++k;
                }
            }
            nom += Suffixes[k].Texte;

            const int fd =
                ::openat(dossierFd.Get(), nom.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, DroitsFichier);
            if (fd < 0) {
                std::fprintf(stderr, "gen-tree: cannot create %s/%s/%s: %s\n", racine, d.Chemin.c_str(), nom.c_str(),
                             std::strerror(errno));
                return 1;
            }
            // Sparse: the size costs no block.
            if (profond && ::ftruncate(fd, static_cast<off_t>(std::min(Queue(alea) * 2000.0, 64e9))) != 0) {
                std::fprintf(stderr, "gen-tree: cannot size %s/%s: %s\n", racine, nom.c_str(), std::strerror(errno));
                ::close(fd);
                return 1;
            }
            ::close(fd);

            const int c = CategorieDe(nom);
            if (c == Aucune)
                continue;
            ++parDefaut.Categories[static_cast<size_t>(c)];
            present[static_cast<size_t>(c)] = true;
            if (d.Niveau == 0)
                ++sansSousRepertoires.Categories[static_cast<size_t>(c)];
            if (!cache)
                ++sansFichiersCaches.Categories[static_cast<size_t>(c)];
            if (!d.SousCache)
                ++sansRepertoiresCaches.Categories[static_cast<size_t>(c)];
        }
        for (int c = 0; c < NombreCategories; ++c)
            if (present[static_cast<size_t>(c)])
                ++noeudsRepertoire[static_cast<size_t>(c)];
    }

    const double secondes = std::chrono::duration<double>(std::chrono::steady_clock::now() - debut).count();
    std::string json = "{";
    for (size_t c = 0; c < NombreCategories; ++c)
        Champ(json, NomsCategories[c], std::to_string(parDefaut.Categories[c]));
    Champ(json, "total", std::to_string(parDefaut.Total()));
    Champ(json, "directories", std::to_string(nombreDossiers));
    Champ(json, "files", std::to_string(nombreFichiers));
    std::string noeuds = "{";
    for (size_t c = 0; c < NombreCategories; ++c)
        Champ(noeuds, NomsCategories[c], std::to_string(noeudsRepertoire[c]));
    Champ(json, "directory_nodes", noeuds + "}");
    Champ(json, "no_subdirs", JsonTotaux(sansSousRepertoires));
    Champ(json, "no_hidden_files", JsonTotaux(sansFichiersCaches));
    Champ(json, "no_hidden_dirs", JsonTotaux(sansRepertoiresCaches));
    Champ(json, "directories_no_hidden_dirs", std::to_string(dossiersSansCaches));
    json += "}";
    std::printf("%s\n", json.c_str());
    std::fprintf(stderr, "gen-tree: %llu files in %llu directories (branching %llu) in %.1f s\n",
                 static_cast<unsigned long long>(nombreFichiers), static_cast<unsigned long long>(nombreDossiers),
                 static_cast<unsigned long long>(b), secondes);
    return 0;
}
