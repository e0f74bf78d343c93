#include "support/ConfigTemporaire.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

ConfigTemporaire::ConfigTemporaire()
{
    if (const char* ancien = std::getenv("XDG_CONFIG_HOME")) {
        ancien_ = ancien;
        avaitAncien_ = true;
    }
    setenv("XDG_CONFIG_HOME", dir_.path().toUtf8().constData(), 1);
}

ConfigTemporaire::~ConfigTemporaire()
{
    if (avaitAncien_)
        setenv("XDG_CONFIG_HOME", ancien_.c_str(), 1);
    else
        unsetenv("XDG_CONFIG_HOME");
}

std::string ConfigTemporaire::FichierUtilisateur() const
{
    return Dossier() + "/Dudidevir/HKEY_CURRENT_USER.reg";
}

std::string ConfigTemporaire::Lire() const
{
    std::ifstream entree(FichierUtilisateur(), std::ios::binary);
    std::ostringstream tampon;
    tampon << entree.rdbuf();
    return tampon.str();
}

void ConfigTemporaire::Ecrire(const std::string& contenu) const
{
    std::filesystem::create_directories(Dossier() + "/Dudidevir");
    std::ofstream sortie(FichierUtilisateur(), std::ios::binary | std::ios::trunc);
    sortie << contenu;
}
