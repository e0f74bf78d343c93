#include "shared/Registre.h"

#include <array>
#include <chrono>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <mutex>
#include <set>
#include <sstream>
#include <string_view>
#include <thread>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::array RacinesConnues = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE", "HKEY_USERS",
                                       "HKEY_CURRENT_CONFIG"};
constexpr const char* EnTete = "Windows Registry Editor Version 5.00";

struct Descripteur
{
    int fd = -1;
    ~Descripteur()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

std::string Echapper(const std::string& texte)
{
    std::string sortie;
    for (char c : texte) {
        if (c == '\\' || c == '"')
            sortie += '\\';
        sortie += c;
    }
    return sortie;
}

// Reads a quoted text starting at pos (on the opening quote); pos ends after
// the closing quote. False when the text is not properly closed.
bool LireGuillemets(const std::string& ligne, size_t& pos, std::string& texte)
{
    if (pos >= ligne.size() || ligne[pos] != '"')
        return false;
    texte.clear();
    for (++pos; pos < ligne.size(); ++pos) {
        const char c = ligne[pos];
        if (c == '\\') {
            if (++pos >= ligne.size())
                return false;
            texte += ligne[pos];
        } else if (c == '"') {
            ++pos;
            return true;
        } else {
            texte += c;
        }
    }
    return false;
}

constexpr const char* EnTeteAncien = "REGEDIT4";
constexpr const char* Blancs = " \t";

std::string SansBlancs(const std::string& texte)
{
    const size_t debut = texte.find_first_not_of(Blancs);
    if (debut == std::string::npos)
        return {};
    return texte.substr(debut, texte.find_last_not_of(Blancs) - debut + 1);
}

// "dword:" and one to eight hexadecimal digits, as regedit may shorten them.
bool LireDword(const std::string& texte, int32_t& valeur)
{
    constexpr size_t Prefixe = 6;
    if (texte.size() <= Prefixe || texte.size() > Prefixe + 8)
        return false;
    for (size_t i = 0; i < Prefixe; ++i)
        if (std::tolower(static_cast<unsigned char>(texte[i])) != "dword:"[i])
            return false;
    for (size_t i = Prefixe; i < texte.size(); ++i)
        if (!std::isxdigit(static_cast<unsigned char>(texte[i])))
            return false;
    valeur = static_cast<int32_t>(static_cast<uint32_t>(std::stoul(texte.substr(Prefixe), nullptr, 16)));
    return true;
}

bool LireValeur(const std::string& ligne, std::string& nom, Registre::Valeur& valeur)
{
    size_t pos = 0;
    if (!LireGuillemets(ligne, pos, nom))
        return false;
    pos = ligne.find_first_not_of(Blancs, pos);
    if (pos == std::string::npos || ligne[pos] != '=')
        return false;
    const std::string reste = SansBlancs(ligne.substr(pos + 1));
    int32_t entier = 0;
    if (LireDword(reste, entier)) {
        valeur = entier;
        return true;
    }
    std::string texte;
    size_t fin = 0;
    if (!LireGuillemets(reste, fin, texte) || fin != reste.size())
        return false;
    valeur = texte;
    return true;
}

void AjouterUtf8(char32_t point, std::string& sortie)
{
    if (point < 0x80) {
        sortie += static_cast<char>(point);
    } else if (point < 0x800) {
        sortie += static_cast<char>(0xC0 | (point >> 6));
        sortie += static_cast<char>(0x80 | (point & 0x3F));
    } else if (point < 0x10000) {
        sortie += static_cast<char>(0xE0 | (point >> 12));
        sortie += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
        sortie += static_cast<char>(0x80 | (point & 0x3F));
    } else {
        sortie += static_cast<char>(0xF0 | (point >> 18));
        sortie += static_cast<char>(0x80 | ((point >> 12) & 0x3F));
        sortie += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
        sortie += static_cast<char>(0x80 | (point & 0x3F));
    }
}

// UTF-16 text after its byte order mark, as UTF-8; nothing when it is cut
// in the middle of a unit or of a surrogate pair.
std::optional<std::string> DepuisUtf16(std::string_view octets, bool petitBoutiste)
{
    if (octets.size() % 2 != 0)
        return std::nullopt;
    auto unite = [&](size_t i) -> char32_t {
        const auto a = static_cast<unsigned char>(octets[i]);
        const auto b = static_cast<unsigned char>(octets[i + 1]);
        return petitBoutiste ? (b << 8 | a) : (a << 8 | b);
    };
    std::string sortie;
    sortie.reserve(octets.size() / 2);
    for (size_t i = 0; i < octets.size(); i += 2) {
        char32_t point = unite(i);
        if (point >= 0xD800 && point < 0xDC00) {
            if (i + 3 >= octets.size())
                return std::nullopt;
            const char32_t bas = unite(i + 2);
            if (bas < 0xDC00 || bas >= 0xE000)
                return std::nullopt;
            point = 0x10000 + ((point - 0xD800) << 10) + (bas - 0xDC00);
            i += 2;
        } else if (point >= 0xDC00 && point < 0xE000) {
            return std::nullopt;
        }
        AjouterUtf8(point, sortie);
    }
    return sortie;
}

// The file's text as UTF-8, whatever byte order mark it starts with.
std::optional<std::string> TexteUtf8(const std::string& contenu)
{
    const std::string_view octets(contenu);
    if (octets.substr(0, 3) == "\xEF\xBB\xBF")
        return std::string(octets.substr(3));
    if (octets.substr(0, 2) == "\xFF\xFE")
        return DepuisUtf16(octets.substr(2), true);
    if (octets.substr(0, 2) == "\xFE\xFF")
        return DepuisUtf16(octets.substr(2), false);
    return contenu;
}

std::optional<Registre::Ruche> Analyser(const std::string& contenu)
{
    const std::optional<std::string> texte = TexteUtf8(contenu);
    if (!texte)
        return std::nullopt;
    Registre::Ruche ruche;
    std::istringstream flux(*texte);
    std::string ligne;
    Registre::Cle* courante = nullptr;
    bool premiere = true;
    while (std::getline(flux, ligne)) {
        if (!ligne.empty() && ligne.back() == '\r')
            ligne.pop_back();
        ligne = SansBlancs(ligne);
        const bool enTete = premiere && (ligne == EnTete || ligne == EnTeteAncien);
        premiere = false;
        if (enTete || ligne.empty() || ligne.front() == ';')
            continue;
        if (ligne.front() == '[') {
            if (ligne.back() != ']' || ligne.size() < 3)
                return std::nullopt;
            courante = &ruche[ligne.substr(1, ligne.size() - 2)];
            continue;
        }
        std::string nom;
        Registre::Valeur valeur;
        if (!courante || !LireValeur(ligne, nom, valeur))
            return std::nullopt;
        (*courante)[nom] = valeur;
    }
    return ruche;
}

std::string Horodatage()
{
    const std::time_t maintenant = std::time(nullptr);
    char tampon[32];
    std::strftime(tampon, sizeof tampon, "%Y%m%d-%H%M%S", std::localtime(&maintenant));
    return tampon;
}

// The key path the hive files use: the separator of key paths is "\".
std::string CheminComplet(const std::string& racine, const std::string& cle)
{
    return cle.empty() ? racine : racine + "\\" + cle;
}

Erreur RacineInconnue(const std::string& racine)
{
    return {"racine de registre inconnue : " + racine};
}

// A failed system call of a save, with the system's reason (errno).
Erreur EchecSysteme(const std::string& quoi)
{
    return {quoi + " : " + std::strerror(errno)};
}

// What stands in a file's place when it is not a regular file.
std::string NatureFichier(mode_t mode)
{
    if (S_ISDIR(mode))
        return "un dossier";
    if (S_ISFIFO(mode))
        return "un tube nommé";
    if (S_ISSOCK(mode))
        return "une socket";
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return "un périphérique";
    return "un fichier spécial";
}

// The temporary files of a save are hidden, carry the program's name and
// are held under an advisory lock while they are written: no user would
// name a file so, and one that can be locked is nobody's work in progress.
constexpr const char* MarqueTemporaire = ".ruvizaro-enregistrement-";

std::string PrefixeTemporaire(const std::filesystem::path& cible)
{
    // Appended piece by piece: GCC 12's -Wrestrict takes "." + string for an overlapping copy at -O3.
    std::string prefixe = ".";
    prefixe += cible.filename().string();
    prefixe += MarqueTemporaire;
    return prefixe;
}

// The file a save replaces: the target of a symbolic link (of a chain of
// them), which keeps the link in place; the name itself otherwise.
std::filesystem::path CibleEcrite(const std::string& fichier)
{
    std::filesystem::path chemin(fichier);
    std::error_code erreur;
    for (int sauts = 0; sauts < 40 && std::filesystem::is_symlink(chemin, erreur); ++sauts) {
        const std::filesystem::path lien = std::filesystem::read_symlink(chemin, erreur);
        if (erreur)
            break;
        chemin = lien.is_absolute() ? lien : chemin.parent_path() / lien;
    }
    return chemin;
}
} // namespace

std::string Registre::Dossier()
{
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    std::string base;
    if (xdg && *xdg) {
        base = xdg;
    } else {
        const char* home = std::getenv("HOME");
        base = std::string(home ? home : ".") + "/.config";
    }
    return base + "/Dudidevir";
}

std::optional<std::string> Registre::FichierRuche(const std::string& racine)
{
    for (const char* connue : RacinesConnues)
        if (racine == connue)
            return Dossier() + "/" + racine + ".reg";
    return std::nullopt;
}

Resultat<Registre::Ruche> Registre::Charger(const std::string& fichier)
{
    // Without blocking: a FIFO put in the file's place would hold the open
    // until something writes to it. Only a regular file is read.
    Descripteur d{::open(fichier.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)};
    if (d.fd < 0) {
        if (errno == ENOENT)
            return Ruche{};
        return Erreur{"le fichier de réglages " + fichier + " ne peut pas être lu (" + std::strerror(errno) +
                      ") ; les valeurs par défaut sont utilisées et les réglages ne sont pas enregistrés"};
    }
    struct stat etat
    {};
    if (::fstat(d.fd, &etat) != 0 || !S_ISREG(etat.st_mode))
        return Erreur{"le fichier de réglages " + fichier + " n'est pas un fichier ordinaire (" +
                      NatureFichier(etat.st_mode) +
                      ") ; les valeurs par défaut sont utilisées et les réglages ne sont pas enregistrés"};
    std::string contenu;
    char bloc[65536];
    for (;;) {
        const ssize_t n = ::read(d.fd, bloc, sizeof bloc);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return Erreur{"le fichier de réglages " + fichier + " ne peut pas être lu (" + std::strerror(errno) +
                          ") ; les valeurs par défaut sont utilisées et les réglages ne sont pas enregistrés"};
        if (n == 0)
            break;
        contenu.append(bloc, static_cast<size_t>(n));
    }
    if (auto ruche = Analyser(contenu))
        return std::move(*ruche);
    // Set the damaged file aside for the user, then start from an empty
    // hive. Without a copy it is the only one: it stays, and is never
    // written over.
    std::error_code erreur;
    const std::string copie = fichier + ".endommage-" + Horodatage();
    if (std::filesystem::copy_file(fichier, copie, std::filesystem::copy_options::overwrite_existing, erreur)) {
        std::filesystem::remove(CibleEcrite(fichier), erreur);
        return Ruche{};
    }
    Erreur conserve{"le fichier de réglages " + fichier + " est endommagé et n'a pas pu être copié dans " + copie +
                    " (" + erreur.message() +
                    ") ; il reste tel quel, les valeurs par défaut sont utilisées et les réglages ne sont pas "
                    "enregistrés"};
    // Every read of the hive meets it: the user is told once per file.
    static std::mutex verrou;
    static std::set<std::string> signales;
    const std::lock_guard garde(verrou);
    if (signales.insert(fichier).second)
        std::cerr << "Ruvizaro : " << conserve.Message << std::endl;
    return conserve;
}

Resultat<void> Registre::Enregistrer(const std::string& fichier, const Ruche& ruche)
{
    std::ostringstream sortie;
    sortie << EnTete << "\n";
    for (const auto& [chemin, valeurs] : ruche) {
        sortie << "\n[" << chemin << "]\n";
        for (const auto& [nom, valeur] : valeurs) {
            sortie << '"' << Echapper(nom) << "\"=";
            if (const auto* entier = std::get_if<int32_t>(&valeur)) {
                char hex[16];
                std::snprintf(hex, sizeof hex, "dword:%08x", static_cast<uint32_t>(*entier));
                sortie << hex << "\n";
            } else {
                sortie << '"' << Echapper(std::get<std::string>(valeur)) << "\"\n";
            }
        }
    }
    const std::string contenu = sortie.str();

    // Through a symbolic link, its target is replaced, in its own folder:
    // the link stays.
    const std::filesystem::path cible = CibleEcrite(fichier);
    std::error_code erreur;
    std::filesystem::create_directories(cible.parent_path(), erreur);
    // A name of its own: another copy of the program may be saving too.
    std::string temporaire = (cible.parent_path() / (PrefixeTemporaire(cible) + "XXXXXX")).string();
    // Locked until it is renamed: the clean-up of abandoned files leaves it.
    Descripteur d{::mkostemp(temporaire.data(), O_CLOEXEC)};
    if (d.fd < 0)
        return EchecSysteme("impossible de créer un fichier temporaire pour " + fichier);
    ::flock(d.fd, LOCK_EX | LOCK_NB);
    ::fchmod(d.fd, 0600);
    const auto echec = [&temporaire](const std::string& quoi) {
        Erreur erreurSysteme = EchecSysteme(quoi);
        ::unlink(temporaire.c_str());
        return erreurSysteme;
    };
    size_t ecrit = 0;
    while (ecrit < contenu.size()) {
        const ssize_t n = ::write(d.fd, contenu.data() + ecrit, contenu.size() - ecrit);
        if (n < 0)
            return echec("impossible d'écrire " + temporaire);
        ecrit += static_cast<size_t>(n);
    }
    if (::fsync(d.fd) != 0)
        return echec("impossible de vider " + temporaire + " sur le disque");
    if (::rename(temporaire.c_str(), cible.c_str()) != 0)
        return echec("impossible de renommer " + temporaire + " en " + cible.string());
    // The file is in place; syncing its folder only hastens what the
    // system does anyway, so a folder that cannot be opened is no failure.
    Descripteur dossier{::open(cible.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
    if (dossier.fd >= 0)
        ::fsync(dossier.fd);
    return {};
}

namespace {

// The advisory lock of the hive folder, held from reading a hive to
// renaming its new file into place. Without a folder to lock there is
// nothing to protect: the write fails on its own. Another program may hold
// it for any time: it is waited for within a limit (flock has no timed
// form: tried again every few milliseconds), and a stop request ends the
// wait.
class VerrouDossier
{
public:
    VerrouDossier(const std::string& fichier, const AttenteVerrou& attente)
    {
        const std::filesystem::path dossier = std::filesystem::path(fichier).parent_path();
        std::error_code erreur;
        std::filesystem::create_directories(dossier, erreur);
        d_.fd = ::open(dossier.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (d_.fd < 0)
            return;
        const auto fin = std::chrono::steady_clock::now() + attente.Limite;
        while (::flock(d_.fd, LOCK_EX | LOCK_NB) != 0) {
            if (errno == EINTR)
                continue;
            if (errno != EWOULDBLOCK || attente.Jeton.stop_requested() || std::chrono::steady_clock::now() >= fin) {
                pris_ = false;
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
    // False when another program held the lock all along.
    bool Pris() const { return pris_; }

private:
    Descripteur d_;
    bool pris_ = true;
};

// The temporary files of saves that never reached their rename (the
// program killed, the machine stopped), beside the file a save replaces.
// Only this program's: its hidden name, owned by this user, a regular file
// holding nothing or the start of a hive, and not locked by a save under
// way. Anything else in the folder is the user's.
void SupprimerTemporairesAbandonnes(const std::string& fichier)
{
    const std::filesystem::path cible = CibleEcrite(fichier);
    const std::string prefixe = PrefixeTemporaire(cible);
    std::error_code erreur;
    std::filesystem::directory_iterator entrees(cible.parent_path(), erreur);
    if (erreur)
        return;
    std::vector<std::filesystem::path> abandonnes;
    for (const auto& entree : entrees) {
        const std::string nom = entree.path().filename().string();
        if (nom.size() != prefixe.size() + 6 || !nom.starts_with(prefixe))
            continue;
        Descripteur d{::open(entree.path().c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC)};
        struct stat etat
        {};
        if (d.fd < 0 || ::fstat(d.fd, &etat) != 0 || !S_ISREG(etat.st_mode) || etat.st_uid != ::geteuid() ||
            ::flock(d.fd, LOCK_EX | LOCK_NB) != 0)
            continue;
        const std::string attendu = std::string(EnTete) + "\n";
        std::string debut(attendu.size(), '\0');
        const ssize_t lus = ::pread(d.fd, debut.data(), debut.size(), 0);
        if (lus < 0 || attendu.compare(0, static_cast<size_t>(lus), debut, 0, static_cast<size_t>(lus)) != 0)
            continue;
        abandonnes.push_back(entree.path());
    }
    for (const auto& chemin : abandonnes)
        std::filesystem::remove(chemin, erreur);
}

} // namespace

Resultat<void> Registre::EcrireValeurs(const std::string& racine, const std::string& cle, const Valeurs& valeurs)
{
    return Modifier(racine, cle, [&valeurs](const Cle&) { return valeurs; });
}

Resultat<void> Registre::Modifier(const std::string& racine, const std::string& cle, const Changements& changements,
                                  const AttenteVerrou& attente)
{
    const auto fichier = FichierRuche(racine);
    if (!fichier)
        return RacineInconnue(racine);
    const std::string chemin = CheminComplet(racine, cle);
    Valeurs valeurs;
    {
        const VerrouDossier verrou(*fichier, attente);
        if (!verrou.Pris()) {
            if (attente.Indisponible)
                *attente.Indisponible = true;
            return Erreur{"le dossier " + Dossier() + " est verrouillé par un autre programme"};
        }
        SupprimerTemporairesAbandonnes(*fichier);
        // A damaged file left in place is never written over: nothing is
        // chosen from it, and a write fails.
        Resultat<Ruche> ruche = Charger(*fichier);
        if (ruche) {
            const auto trouvee = ruche.Valeur().find(chemin);
            valeurs = changements(trouvee != ruche.Valeur().end() ? trouvee->second : Cle{});
        } else {
            valeurs = changements(Cle{});
        }
        if (valeurs.empty())
            return {};
        // The file holds one value a line: a text with a line break cannot
        // be stored as it is.
        for (const auto& [nom, valeur] : valeurs)
            if (const auto* texte = std::get_if<std::string>(&valeur);
                texte && texte->find_first_of("\r\n") != std::string::npos)
                return Erreur{"Failed to set data for '" + nom + "'", "un texte sur plusieurs lignes"};
        if (ruche) {
            Cle& valeursCle = ruche.Valeur()[chemin];
            for (const auto& [nom, valeur] : valeurs)
                valeursCle[nom] = valeur;
        }
        const Resultat<void> ecrite = ruche ? Enregistrer(*fichier, ruche.Valeur()) : Resultat<void>(ruche.Echec());
        if (!ecrite)
            return Erreur{"Failed to set data for '" + valeurs.front().first + "'", ecrite.Echec().Complet()};
    }
    const Resultat<Ruche> relue = Charger(*fichier);
    if (!relue)
        return relue.Echec();
    const auto cleRelue = relue.Valeur().find(chemin);
    for (const auto& [nom, valeur] : valeurs) {
        const bool juste = cleRelue != relue.Valeur().end() && [&, &nom = nom, &valeur = valeur] {
            const auto lue = cleRelue->second.find(nom);
            return lue != cleRelue->second.end() && lue->second == valeur;
        }();
        if (!juste)
            return Erreur{"la valeur '" + nom + "' relue dans " + *fichier + " n'est pas celle écrite"};
    }
    return {};
}

namespace {

// The stored value of one name, or nothing when the key or the value does
// not exist (or the hive is a damaged file left in place: its defaults
// apply, and loading it has told the user).
Resultat<std::optional<Registre::Valeur>> LireValeurRegistre(const std::string& racine, const std::string& cle,
                                                             const std::string& nom)
{
    const auto fichier = Registre::FichierRuche(racine);
    if (!fichier)
        return RacineInconnue(racine);
    const Resultat<Registre::Ruche> chargee = Registre::Charger(*fichier);
    if (!chargee)
        return std::optional<Registre::Valeur>{};
    const Registre::Ruche& ruche = chargee.Valeur();
    const auto trouvee = ruche.find(CheminComplet(racine, cle));
    if (trouvee == ruche.end())
        return std::optional<Registre::Valeur>{};
    const auto lue = trouvee->second.find(nom);
    if (lue == trouvee->second.end())
        return std::optional<Registre::Valeur>{};
    return std::optional<Registre::Valeur>{lue->second};
}

} // namespace

Resultat<std::optional<int32_t>> LireRegistre(const std::string& racine, const std::string& cle, const std::string& nom)
{
    const auto lue = LireValeurRegistre(racine, cle, nom);
    if (!lue)
        return lue.Echec();
    if (!lue.Valeur())
        return std::optional<int32_t>{};
    if (const auto* entier = std::get_if<int32_t>(&*lue.Valeur()))
        return std::optional<int32_t>{*entier};
    // A string's data counts its terminating zero: longer than the four bytes
    // of the value to read, it cannot even be fetched.
    const size_t octets = std::get<std::string>(*lue.Valeur()).size() + 1;
    const std::string cause = "la valeur « " + nom + " » est un texte, pas un nombre";
    if (octets > sizeof(int32_t))
        return Erreur{"Failed to get data for '" + nom + "'", cause};
    return Erreur{"Invalid data type for '" + nom + "'", cause};
}

Resultat<std::optional<std::string>> LireTexteRegistre(const std::string& racine, const std::string& cle,
                                                       const std::string& nom)
{
    const auto lue = LireValeurRegistre(racine, cle, nom);
    if (!lue)
        return lue.Echec();
    if (!lue.Valeur())
        return std::optional<std::string>{};
    if (const auto* texte = std::get_if<std::string>(&*lue.Valeur()))
        return std::optional<std::string>{*texte};
    return Erreur{"Invalid data type for '" + nom + "'", "la valeur « " + nom + " » est un nombre, pas un texte"};
}

Resultat<void> EcrireRegistre(const std::string& racine, const std::string& cle, const std::string& nom, int32_t valeur)
{
    return Registre::EcrireValeurs(racine, cle, {{nom, valeur}});
}
