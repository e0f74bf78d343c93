#pragma once

// The filtering worker: one thread that filters a category's file names in
// the store for the text typed last. The newest request wins: an older
// filtering still running gives up at its next check, and one waiting is
// replaced. Its answer goes to a callback on the worker's thread, which
// hands it on to the user-interface thread; it never touches a widget.

#include "scan/Stockage.h"
#include "shared/Categorie.h"
#include "shared/Travailleur.h"

#include <QtGlobal>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class TravailFiltre
{
public:
    using Reponse = std::function<void(quint64 numero, std::shared_ptr<Stockage::Filtre> filtre)>;

    TravailFiltre(Stockage& stockage, Reponse reponse);
    ~TravailFiltre();
    TravailFiltre(const TravailFiltre&) = delete;
    TravailFiltre& operator=(const TravailFiltre&) = delete;

    // Any thread: filters the category for the text (UTF-8, folded here);
    // directory groups from repertoiresMax on are left out. Returns the
    // request's number, which its answer carries.
    quint64 Demander(Categorie categorie, const std::string& texte, int32_t repertoiresMax);
    // Any thread: the request waiting, or running, is dropped unanswered,
    // and the next filtering starts from every file (the store may have
    // been emptied).
    void Abandonner();

private:
    struct Demande
    {
        quint64 Numero = 0;
        Categorie Cat = Categorie::Autre;
        std::string Replie;
        int32_t RepertoiresMax = 0;
    };
    void Boucle(Travailleur& travailleur);

    Stockage& stockage_;
    Reponse reponse_;
    std::mutex verrou_;
    std::condition_variable_any reveil_;
    Demande demande_;
    bool enAttente_ = false;
    bool oublier_ = false;
    // The newest request's number: a filtering of an older one gives up.
    std::atomic<quint64> dernier_{0};
    // Worker only: the last filterings finished, newest first (one bit per
    // stored file each). A new text that holds one of their texts only
    // looks at what the longest such one kept: typing on narrows, and a
    // backspace finds the text typed before it.
    struct Precedent
    {
        Demande Origine;
        std::vector<uint64_t> Bits;
    };
    static constexpr size_t PrecedentsMax = 8;
    std::deque<Precedent> precedents_;
    Travailleur travailleur_; // last: started once everything it reads exists
};
