#include "shared/Registre.h"

#include <array>
#include <cctype>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr std::array RacinesConnues = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE",
                                       "HKEY_USERS", "HKEY_CURRENT_CONFIG"};
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

bool LireValeur(const std::string& ligne, std::string& nom, Registre::Valeur& valeur)
{
    size_t pos = 0;
    if (!LireGuillemets(ligne, pos, nom) || pos >= ligne.size() || ligne[pos] != '=')
        return false;
    ++pos;
    const std::string reste = ligne.substr(pos);
    if (reste.rfind("dword:", 0) == 0) {
        const std::string hex = reste.substr(6);
        if (hex.size() != 8)
            return false;
        for (char c : hex)
            if (!std::isxdigit(static_cast<unsigned char>(c)))
                return false;
        valeur = static_cast<int32_t>(static_cast<uint32_t>(std::stoul(hex, nullptr, 16)));
        return true;
    }
    std::string texte;
    if (!LireGuillemets(ligne, pos, texte) || pos != ligne.size())
        return false;
    valeur = texte;
    return true;
}

std::optional<std::map<std::string, Registre::Cle>> Analyser(const std::string& contenu)
{
    std::map<std::string, Registre::Cle> ruche;
    std::istringstream flux(contenu);
    std::string ligne;
    Registre::Cle* courante = nullptr;
    bool premiere = true;
    while (std::getline(flux, ligne)) {
        if (!ligne.empty() && ligne.back() == '\r')
            ligne.pop_back();
        if (premiere && ligne == EnTete) {
            premiere = false;
            continue;
        }
        premiere = false;
        if (ligne.empty())
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
    // A file that does not end with a newline was cut short while written.
    if (!contenu.empty() && contenu.back() != '\n')
        return std::nullopt;
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

}  // namespace

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

std::map<std::string, Registre::Cle> Registre::Charger(const std::string& fichier)
{
    std::ifstream entree(fichier, std::ios::binary);
    if (!entree)
        return {};
    std::ostringstream tampon;
    tampon << entree.rdbuf();
    const std::string contenu = tampon.str();
    if (auto ruche = Analyser(contenu))
        return *ruche;
    // Keep the damaged file for the user, then start from an empty hive.
    std::error_code erreur;
    std::filesystem::copy_file(fichier, fichier + ".endommage-" + Horodatage(),
                               std::filesystem::copy_options::overwrite_existing, erreur);
    std::filesystem::remove(fichier, erreur);
    return {};
}

bool Registre::Enregistrer(const std::string& fichier, const std::map<std::string, Cle>& ruche)
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

    const std::filesystem::path cible(fichier);
    std::error_code erreur;
    std::filesystem::create_directories(cible.parent_path(), erreur);
    const std::string temporaire = fichier + ".tmp";
    {
        Descripteur d{::open(temporaire.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600)};
        if (d.fd < 0)
            return false;
        size_t ecrit = 0;
        while (ecrit < contenu.size()) {
            const ssize_t n = ::write(d.fd, contenu.data() + ecrit, contenu.size() - ecrit);
            if (n < 0) {
                ::unlink(temporaire.c_str());
                return false;
            }
            ecrit += static_cast<size_t>(n);
        }
        if (::fsync(d.fd) != 0) {
            ::unlink(temporaire.c_str());
            return false;
        }
    }
    if (::rename(temporaire.c_str(), fichier.c_str()) != 0) {
        ::unlink(temporaire.c_str());
        return false;
    }
    Descripteur dossier{::open(cible.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
    if (dossier.fd >= 0)
        ::fsync(dossier.fd);
    return true;
}

bool LireRegistre(const std::string& racine, const std::string& cle, const std::string& nom,
                  int32_t& valeur)
{
    const auto fichier = Registre::FichierRuche(racine);
    if (!fichier)
        return false;
    const auto ruche = Registre::Charger(*fichier);
    const auto trouvee = ruche.find(CheminComplet(racine, cle));
    if (trouvee == ruche.end())
        return false;
    const auto lue = trouvee->second.find(nom);
    if (lue == trouvee->second.end())
        return false;
    if (const auto* entier = std::get_if<int32_t>(&lue->second)) {
        valeur = *entier;
        return true;
    }
    // A string's data counts its terminating zero: longer than the four bytes
    // of the value to read, it cannot even be fetched.
    const size_t octets = std::get<std::string>(lue->second).size() + 1;
    if (octets > sizeof(int32_t))
        throw ErreurRegistre("Failed to get data for '" + nom + "'");
    throw ErreurRegistre("Invalid data type for '" + nom + "'");
}

bool EcrireRegistre(const std::string& racine, const std::string& cle, const std::string& nom,
                    int32_t valeur)
{
    const auto fichier = Registre::FichierRuche(racine);
    if (!fichier)
        return false;
    auto ruche = Registre::Charger(*fichier);
    ruche[CheminComplet(racine, cle)][nom] = valeur;
    if (!Registre::Enregistrer(*fichier, ruche))
        throw ErreurRegistre("Failed to set data for '" + nom + "'");
    int32_t relue = 0;
    if (!LireRegistre(racine, cle, nom, relue))
        return false;
    return relue == valeur;
}
