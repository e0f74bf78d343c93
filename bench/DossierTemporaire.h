#pragma once

// A private temporary folder for a benchmark (its settings, its generated
// files), removed with everything in it when it goes.

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

class DossierTemporaire
{
public:
    explicit DossierTemporaire(const std::string& prefixe = "ruvizaro-bench")
    {
        std::string modele = (std::filesystem::temp_directory_path() / (prefixe + "-XXXXXX")).string();
        if (::mkdtemp(modele.data()))
            chemin_ = modele;
    }
    ~DossierTemporaire()
    {
        std::error_code erreur;
        if (!chemin_.empty())
            std::filesystem::remove_all(chemin_, erreur);
    }
    DossierTemporaire(const DossierTemporaire&) = delete;
    DossierTemporaire& operator=(const DossierTemporaire&) = delete;
    const std::string& Chemin() const { return chemin_; }

private:
    std::string chemin_;
};
