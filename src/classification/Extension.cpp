#include "classification/Extension.h"

#include <array>

namespace {

struct Entree
{
    const char* Ext;
    Categorie Cat;
};

// In this order: it is the order of the icons in ImageListExt and of the
// nodes of every "Par Extension" tree.
constexpr std::array<Entree, 30> TableFixe = {{
    {"avi", Categorie::Video}, {"mpg", Categorie::Video},  {"mpeg", Categorie::Video}, {"mov", Categorie::Video},
    {"wmv", Categorie::Video}, {"divx", Categorie::Video}, {"qt", Categorie::Video},   {"asf", Categorie::Video},
    {"mkv", Categorie::Video}, {"mp3", Categorie::Son},    {"wav", Categorie::Son},    {"wma", Categorie::Son},
    {"mid", Categorie::Son},   {"midi", Categorie::Son},   {"ogg", Categorie::Son},    {"mp2", Categorie::Son},
    {"mp4", Categorie::Son},   {"jpg", Categorie::Image},  {"jpeg", Categorie::Image}, {"ico", Categorie::Image},
    {"bmp", Categorie::Image}, {"gif", Categorie::Image},  {"png", Categorie::Image},  {"txt", Categorie::Texte},
    {"doc", Categorie::Texte}, {"xls", Categorie::Texte},  {"pdf", Categorie::Texte},  {"rtf", Categorie::Texte},
    {"pps", Categorie::Texte}, {"ppt", Categorie::Texte},
}};

} // namespace

void Extension::Remplir(const Icones& icone)
{
    table_.clear();
    table_.reserve(TableFixe.size());
    for (const Entree& entree : TableFixe)
        table_.push_back(TExt{entree.Ext, icone ? icone(entree.Ext, entree.Cat) : -1, entree.Cat});
    DerniereExtension.clear();
    DerniereIcone = -1;
    DerniereCategorie = Categorie::Autre;
    dernierIndex_ = -1;
}

int Extension::IndexDe(const std::string& ext)
{
    if (ext == DerniereExtension)
        return dernierIndex_;
    DerniereExtension = ext;
    for (size_t i = 0; i < table_.size(); ++i) {
        if (table_[i].Ext == ext) {
            DerniereIcone = table_[i].Icone;
            DerniereCategorie = table_[i].Cat;
            dernierIndex_ = static_cast<int>(i);
            return dernierIndex_;
        }
    }
    // Unknown: the icon of the cache is left as it was.
    DerniereCategorie = Categorie::Autre;
    dernierIndex_ = -1;
    return -1;
}

void Extension::Rechercher(const std::string& ext, Categorie& categorie, int32_t& icone)
{
    const int index = IndexDe(ext);
    categorie = DerniereCategorie;
    if (index >= 0)
        icone = DerniereIcone;
}
