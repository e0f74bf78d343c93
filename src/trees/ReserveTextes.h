#pragma once

// The texts of one tree's nodes, in UTF-8, one after another in large
// blocks: no allocation per text. Texts live until Vider().

#include "trees/TexteNoeud.h"

#include <QStringEncoder>
#include <QStringView>

#include <cstddef>
#include <memory>
#include <vector>

class ReserveTextes
{
public:
    ReserveTextes();
    ~ReserveTextes();
    ReserveTextes(const ReserveTextes&) = delete;
    ReserveTextes& operator=(const ReserveTextes&) = delete;

    TexteNoeud Ajouter(QStringView texte);
    // Forgets every text at once.
    void Vider();
    // Bytes held in blocks.
    size_t Octets() const { return octets_; }

private:
    char* Place(size_t taille);

    std::vector<std::unique_ptr<char[]>> blocs_;
    char* libre_ = nullptr;
    size_t reste_ = 0;
    size_t tailleBloc_;
    size_t octets_ = 0;
    std::unique_ptr<char[]> tampon_; // one text's UTF-8, before its length is known
    size_t tailleTampon_ = 0;
    QStringEncoder encodeur_;
};
