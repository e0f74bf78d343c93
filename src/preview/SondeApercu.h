#pragma once

// Reads, off the window's thread, what the preview shows of a selected file:
// the store's record of it, its size (read from the disk the first time) and
// whether anything still answers to its path. One worker serves every
// category; in each, the newest selection wins. The answer comes back on the
// thread that made the probe, through the event queue; the preview formats
// it. Lives on the window's thread.

#include "scan/Stockage.h"
#include "shared/Categorie.h"
#include "shared/Groupe.h"
#include "shared/Travailleur.h"

#include <QObject>

#include <array>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>

class SondeApercu : public QObject
{
    Q_OBJECT
public:
    struct Reponse
    {
        Categorie Cat = Categorie::Autre;
        std::string Chemin; // empty when no entry matched
        Stockage::InfoFichier Info;
        bool Existe = false;
    };

    // reponse runs on the window's thread, for the newest request of its
    // category only.
    SondeApercu(Stockage& stockage, std::function<void(const Reponse&)> reponse);
    ~SondeApercu() override;
    SondeApercu(const SondeApercu&) = delete;
    SondeApercu& operator=(const SondeApercu&) = delete;

    // Asks for the file at a row of a group, in place of the request of its
    // category not yet answered.
    void Demander(const Groupe& groupe, int ligne);
    // Drops every request not yet answered: no answer follows for them.
    void Annuler();
    // Whether a request is still unanswered.
    bool EnAttente() const;

    // Whether anything answers to the path; no other access test. On any
    // thread; it may wait for the file system.
    static bool Existe(const std::string& chemin);

private:
    struct Demande
    {
        uint64_t Generation = 0;
        Groupe Quoi;
        int Ligne = 0;
    };

    void Travailler(Travailleur& fil);
    void Livrer(uint64_t generation, const Reponse& reponse);

    Stockage& stockage_;
    std::function<void(const Reponse&)> reponse_;
    // The newest request's number per category; window's thread only.
    std::array<uint64_t, NombreCategories> generations_{};
    std::array<bool, NombreCategories> attendues_{};
    uint64_t suivante_ = 0;
    std::mutex verrou_;
    std::condition_variable_any reveil_;
    std::array<std::optional<Demande>, NombreCategories> demandes_; // under verrou_
    Travailleur fil_;                                               // last: started once everything above exists
};
