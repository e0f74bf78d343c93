#pragma once

// The fixed table of 30 extensions: it gives each file its category and the
// desktop's icon for its type; its order is the order of the "Par Extension"
// trees.

#include "shared/Categorie.h"

#include <cstdint>
#include <string>
#include <vector>

class ListeImages;

struct TExt
{
    std::string Ext;    // lower case, without the dot
    int32_t Icone = -1; // index in ImageListExt, or -1
    Categorie Cat = Categorie::Autre;
};

class Extension
{
public:
    // Builds the table; appends one icon per entry to the image list.
    void Remplir(ListeImages& images);
    // Classifies one lower-cased extension (one-entry cache). Store worker only.
    void Rechercher(const std::string& ext, Categorie& categorie, int32_t& icone);
    // Same lookup, giving the table index (or -1 for category 5).
    int IndexDe(const std::string& ext);
    int CapturerIcone(const std::string& ext, ListeImages& images);

    const std::vector<TExt>& Table() const { return table_; }

private:
    std::vector<TExt> table_;
    std::string DerniereExtension;
    int32_t DerniereIcone = -1;
    Categorie DerniereCategorie = Categorie::Autre;
    int dernierIndex_ = -1;
};
