#include "trees/TexteNoeud.h"

#include <QAnyStringView>

#include <cstring>
#include <ostream>

namespace {
constexpr unsigned char Suite = 0x80; // another length byte follows
constexpr unsigned char Bits = 0x7F;
constexpr int BitsParOctet = 7;
} // namespace

QUtf8StringView TexteNoeud::Vue() const
{
    const auto* p = reinterpret_cast<const unsigned char*>(donnees_);
    size_t n = 0;
    int decalage = 0;
    unsigned char octet = 0;
    do {
        octet = *p++;
        n |= static_cast<size_t>(octet & Bits) << decalage;
        decalage += BitsParOctet;
    } while (octet & Suite);
    return {reinterpret_cast<const char*>(p), static_cast<qsizetype>(n)};
}

size_t TexteNoeud::TailleLongueur(size_t n)
{
    size_t taille = 1;
    while (n > Bits) {
        n >>= BitsParOctet;
        ++taille;
    }
    return taille;
}

char* TexteNoeud::EcrireLongueur(char* sortie, size_t n)
{
    while (n > Bits) {
        *sortie++ = static_cast<char>((n & Bits) | Suite);
        n >>= BitsParOctet;
    }
    *sortie++ = static_cast<char>(n);
    return sortie;
}

bool operator==(const TexteNoeud& a, const TexteNoeud& b)
{
    return a.Vue() == b.Vue();
}

bool operator==(const TexteNoeud& a, const QString& b)
{
    return QAnyStringView::equal(a.Vue(), b);
}

bool operator==(const TexteNoeud& a, const char* b)
{
    const QUtf8StringView vue = a.Vue();
    const size_t n = std::strlen(b);
    return static_cast<size_t>(vue.size()) == n && std::memcmp(vue.data(), b, n) == 0;
}

std::ostream& operator<<(std::ostream& flux, const TexteNoeud& texte)
{
    const QUtf8StringView vue = texte.Vue();
    return flux.write(vue.data(), static_cast<std::streamsize>(vue.size()));
}
