// The settings file reader on any bytes, then a write and read-back round
// trip: what was read is written, read again and must be the same, and one
// value set through the registry's own path keeps every other value.

#include "shared/Registre.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

namespace {

std::filesystem::path Dossier;

[[noreturn]] void Echec(const char* quoi)
{
    std::fprintf(stderr, "round trip broken: %s\n", quoi);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // tmpfs when there is one: the writer syncs every file.
    const char* base = std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : std::getenv("TMPDIR");
    std::string modele = std::string(base ? base : "/tmp") + "/ruvizaro-fuzz-registre.XXXXXX";
    if (!mkdtemp(modele.data()))
        std::abort();
    Dossier = modele;
    setenv("XDG_CONFIG_HOME", modele.c_str(), 1);
    std::atexit([] {
        std::error_code e;
        std::filesystem::remove_all(Dossier, e);
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* donnees, std::size_t taille)
{
    const std::string fichier = *Registre::FichierRuche("HKEY_CURRENT_USER");
    std::error_code e;
    std::filesystem::remove_all(Dossier / "Dudidevir", e);
    std::filesystem::create_directories(Dossier / "Dudidevir");
    {
        std::ofstream sortie(fichier, std::ios::binary);
        sortie.write(reinterpret_cast<const char*>(donnees), std::streamsize(taille));
    }

    const Resultat<Registre::Ruche> chargee = Registre::Charger(fichier);
    if (!chargee)
        Echec("a damaged file was not set aside in a writable folder");
    const Registre::Ruche& lue = chargee.Valeur();
    if (!Registre::Enregistrer(fichier, lue))
        Echec("writing what was read failed");
    const Resultat<Registre::Ruche> relue = Registre::Charger(fichier);
    if (!relue || relue.Valeur() != lue)
        Echec("reading back what was written gives other values");

    // One value set the way the settings are saved: under the lock, read,
    // changed, written, checked.
    const std::string cle = "Software\\Dudidevir\\Fuzz";
    if (!EcrireRegistre("HKEY_CURRENT_USER", cle, "Valeur", 0x12345678))
        Echec("a value set does not read back");
    Registre::Ruche attendue = lue;
    attendue["HKEY_CURRENT_USER\\" + cle]["Valeur"] = std::int32_t(0x12345678);
    const Resultat<Registre::Ruche> changee = Registre::Charger(fichier);
    if (!changee || changee.Valeur() != attendue)
        Echec("setting one value changed the others");
    const Resultat<std::optional<std::int32_t>> valeur = LireRegistre("HKEY_CURRENT_USER", cle, "Valeur");
    if (!valeur || valeur.Valeur() != 0x12345678)
        Echec("the value set is not the value read");
    return 0;
}
