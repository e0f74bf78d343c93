#pragma once

// The fixed table of 30 extensions: it gives each file its category and the
// index of its type's icon in the trees' image list, which the window's side
// makes; its order is the order of the "Par Extension" trees.

#include "shared/Categorie.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct TExt
{
    std::string Ext;    // lower case, without the dot
    int32_t Icone = -1; // index in ImageListExt, or -1
    Categorie Cat = Categorie::Autre;
};

class Extension
{
public:
    // Gives a row's icon index in the trees' image list, or -1.
    using Icones = std::function<int32_t(const std::string& ext, Categorie categorie)>;

    // Builds the table, asking icone for each row's icon in order (without
    // it every row has -1).
    void Remplir(const Icones& icone = {});
    // Classifies one lower-cased extension (one-entry cache). Store worker only.
    void Rechercher(const std::string& ext, Categorie& categorie, int32_t& icone);
    // Same lookup, giving the table index (or -1 for category 5).
    int IndexDe(const std::string& ext);

    const std::vector<TExt>& Table() const { return table_; }

private:
    std::vector<TExt> table_;
    std::string DerniereExtension;
    int32_t DerniereIcone = -1;
    Categorie DerniereCategorie = Categorie::Autre;
    int dernierIndex_ = -1;
};
