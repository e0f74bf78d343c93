#pragma once

// Opens the media files the user selects on a thread of its own, so that
// the window's thread never opens one (see FichierMedia). The newest request
// wins: one not yet started when another comes is dropped. The answer is
// given on the opener's thread.

#include "media/FichierMedia.h"
#include "shared/Travailleur.h"

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <stop_token>
#include <string>

class OuvreurFichier
{
public:
    using Reponse = std::function<void(std::uint64_t numero, Resultat<Descripteur> fichier)>;

    explicit OuvreurFichier(Reponse reponse);
    // Waits for the open under way (it never blocks: see FichierMedia).
    ~OuvreurFichier();
    OuvreurFichier(const OuvreurFichier&) = delete;
    OuvreurFichier& operator=(const OuvreurFichier&) = delete;

    void Demander(std::uint64_t numero, std::string chemin);

private:
    struct Demande
    {
        std::uint64_t Numero = 0;
        std::string Chemin;
    };

    void Travailler(std::stop_token arret);

    Reponse reponse_;
    std::mutex verrou_;
    std::condition_variable_any reveil_;
    std::optional<Demande> boite_; // under verrou_
    Travailleur fil_;              // last: started once everything above exists
};
