#pragma once

// The fixed table of 30 extensions: it gives each file its category and the
// desktop's icon for its type, and drives the "Par Extension" trees.

#include <cstdint>
#include <string>
#include <vector>

class ListeImages;
class Stockage;

// Category codes used throughout the program.
// (Prefixed: Son and Video are also the names of the two players.)
enum CodeCategorie : int32_t {
    CategorieVideo = 1,
    CategorieSon = 2,
    CategorieImage = 3,
    CategorieTexte = 4,
    CategorieAutre = 5
};

struct TExt
{
    std::string Ext;        // lower case, without the dot
    int32_t Icone = -1;     // index in ImageListExt, or -1
    int32_t Categorie = CategorieAutre;
};

class Extension
{
public:
    void Lier(Stockage* stockage) { stockage_ = stockage; }

    // Builds the table; appends one icon per entry to the image list.
    void Remplir(ListeImages& images);
    // Classifies one lower-cased extension (one-entry cache). Store worker only.
    void Rechercher(const std::string& ext, int32_t& categorie, int32_t& icone);
    // Same lookup, giving the table index (or -1 for category 5).
    int IndexDe(const std::string& ext);
    int CapturerIcone(const std::string& ext, ListeImages& images);
    int RemplirArbresExtension();

    const std::vector<TExt>& Table() const { return Table_; }

private:
    std::vector<TExt> Table_;
    std::string DerniereExtension;
    int32_t DerniereIcone = -1;
    int32_t DerniereCategorie = CategorieAutre;
    int DernierIndex = -1;
    Stockage* stockage_ = nullptr;
};
