#include "support/ArbreTemporaire.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

ArbreTemporaire::ArbreTemporaire()
{
    if (!dir_.isValid())
        throw std::runtime_error("cannot create a temporary directory");
}

ArbreTemporaire::~ArbreTemporaire()
{
    std::error_code erreur;
    std::filesystem::remove_all(Racine(), erreur);
}

std::string ArbreTemporaire::Racine() const
{
    return dir_.path().toStdString();
}

std::string ArbreTemporaire::Repertoire(const std::string& relatif)
{
    const std::filesystem::path chemin = std::filesystem::path(Racine()) / relatif;
    std::filesystem::create_directories(chemin);
    return chemin.string();
}

std::string ArbreTemporaire::Fichier(const std::string& relatif, size_t taille)
{
    const std::filesystem::path chemin = std::filesystem::path(Racine()) / relatif;
    std::filesystem::create_directories(chemin.parent_path());
    std::ofstream sortie(chemin, std::ios::binary);
    const std::string contenu(taille, 'x');
    sortie.write(contenu.data(), static_cast<std::streamsize>(contenu.size()));
    return chemin.string();
}
