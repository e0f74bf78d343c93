#pragma once

// The text of a node: UTF-8 bytes kept elsewhere (a model's ReserveTextes,
// or static storage), seen through one pointer. Reads as a QString.
// The bytes start with their length, 7 bits a byte, low bits first, the
// high bit telling that another length byte follows.

#include <QString>
#include <QUtf8StringView>

#include <cstddef>
#include <iosfwd>

class TexteNoeud
{
public:
    TexteNoeud() = default; // the empty text
    // donnees: the length then the bytes, alive as long as the text is used.
    explicit constexpr TexteNoeud(const char* donnees) : donnees_(donnees) {}

    QUtf8StringView Vue() const;
    QString Chaine() const { return Vue().toString(); }
    operator QString() const { return Chaine(); }
    bool EstVide() const { return *donnees_ == 0; }

    // Bytes of the length of a text of n bytes.
    static size_t TailleLongueur(size_t n);
    // Writes the length n at sortie; returns the byte after it.
    static char* EcrireLongueur(char* sortie, size_t n);

    friend bool operator==(const TexteNoeud& a, const TexteNoeud& b);
    friend bool operator==(const TexteNoeud& a, const QString& b);
    friend bool operator==(const TexteNoeud& a, const char* b); // b in UTF-8

private:
    const char* donnees_ = "";
};

std::ostream& operator<<(std::ostream& flux, const TexteNoeud& texte);
