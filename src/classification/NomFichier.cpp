#include "classification/NomFichier.h"

#include <cstdint>
#include <cstring>

namespace {

// UTF-8 of U+00C0..U+00FF is 0xC3 followed by 0x80..0xBF; the small letter
// of a capital in U+00C0..U+00DE is 0x20 above it.
constexpr unsigned char OctetLatin1 = 0xC3;
constexpr unsigned char PremiereMajuscule = 0x80; // À
constexpr unsigned char DerniereMajuscule = 0x9E; // Þ
constexpr unsigned char SigneMultiplier = 0x97;   // ×
constexpr unsigned char EcartMinuscule = 0x20;
constexpr unsigned char PremiereSuite = 0x80; // continuation bytes 0x80..0xBF
constexpr unsigned char DerniereSuite = 0xBF;

// U+0000..U+001F show as U+2400..U+241F, U+007F as U+2421.
constexpr char16_t SymbolesControle = 0x20;
constexpr char16_t PremierSymbole = 0x2400;
constexpr char16_t Effacement = 0x7F;
constexpr char16_t SymboleEffacement = 0x2421;
// The byte order mark U+FEFF, and its UTF-8 bytes.
constexpr char16_t MarqueOrdre = 0xFEFF;
constexpr std::string_view MarqueOrdreUtf8 = "\xEF\xBB\xBF";

bool MajusculeAccentuee(unsigned char suivant)
{
    return suivant >= PremiereMajuscule && suivant <= DerniereMajuscule && suivant != SigneMultiplier;
}

// Bucket of an accented small letter, given the second byte of its UTF-8 form.
int LettreAccentuee(unsigned char suivant)
{
    switch (suivant) {
    case 0xA0: // à
    case 0xA2: // â
    case 0xA4: // ä
        return 1;
    case 0xA7: // ç
        return 3;
    case 0xA8: // è
    case 0xA9: // é
    case 0xAA: // ê
    case 0xAB: // ë
        return 5;
    case 0xAF: // ï
        return 9;
    case 0xB4: // ô
    case 0xB6: // ö
        return 15;
    case 0xBB: // û
    case 0xBC: // ü
        return 21;
    default:
        return NomFichier::LettreSpeciale;
    }
}

// Lower-cases the capitals A..Z of n bytes into sortie, eight at a time;
// every other byte is copied.
void MinusculesAscii(const char* octets, size_t n, char* sortie)
{
    constexpr uint64_t Uns = 0x0101010101010101u;
    constexpr uint64_t Hauts = 0x8080808080808080u;
    size_t i = 0;
    for (; i + sizeof(uint64_t) <= n; i += sizeof(uint64_t)) {
        uint64_t mot;
        std::memcpy(&mot, octets + i, sizeof mot);
        // With the high bits cleared, adding cannot carry into the next byte:
        // a byte's high bit then says "above Z", or "from A on".
        const uint64_t septBits = mot & ~Hauts;
        const uint64_t audelaZ = septBits + (0x7F - 'Z') * Uns;
        const uint64_t depuisA = septBits + (0x80 - 'A') * Uns;
        const uint64_t capitales = ~mot & (depuisA ^ audelaZ) & Hauts;
        mot |= capitales >> 2;
        std::memcpy(sortie + i, &mot, sizeof mot);
    }
    for (; i < n; ++i) {
        const auto c = static_cast<unsigned char>(octets[i]);
        sortie[i] = static_cast<char>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
    }
}

} // namespace

void NomFichier::AjouterMinuscules(std::string_view nom, std::string& sortie)
{
    const size_t debut = sortie.size();
    sortie.append(nom);
    char* octets = sortie.data() + debut;
    const size_t n = nom.size();
    for (size_t i = 0; i < n; ++i) {
        const auto c = static_cast<unsigned char>(octets[i]);
        if (c >= 'A' && c <= 'Z') {
            octets[i] = static_cast<char>(c + ('a' - 'A'));
        } else if (c == OctetLatin1 && i + 1 < n) {
            const auto suivant = static_cast<unsigned char>(octets[i + 1]);
            if (MajusculeAccentuee(suivant))
                octets[i + 1] = static_cast<char>(suivant + EcartMinuscule);
            if (suivant >= PremiereSuite && suivant <= DerniereSuite)
                ++i;
        }
    }
}

void NomFichier::AjouterReplie(std::string_view nom, std::string& sortie)
{
    const size_t debut = sortie.size();
    sortie.resize(debut + nom.size());
    sortie.resize(debut + Replier(nom, sortie.data() + debut));
}

size_t NomFichier::Replier(std::string_view nom, char* sortie)
{
    // The accented letters that share a bucket with a plain letter become
    // that letter; between two of them, the bytes are lower-cased as a run.
    const char* lu = nom.data();
    const char* const fin = lu + nom.size();
    char* o = sortie;
    while (lu < fin) {
        const auto* latin = static_cast<const char*>(std::memchr(lu, OctetLatin1, static_cast<size_t>(fin - lu)));
        const char* finPlage = latin ? latin : fin;
        MinusculesAscii(lu, static_cast<size_t>(finPlage - lu), o);
        o += finPlage - lu;
        lu = finPlage;
        if (lu == fin)
            break;
        // lu is at 0xC3, as AjouterMinuscules reads it.
        ++lu;
        if (lu == fin) {
            *o++ = static_cast<char>(OctetLatin1);
            break;
        }
        auto suivant = static_cast<unsigned char>(*lu);
        if (MajusculeAccentuee(suivant))
            suivant = static_cast<unsigned char>(suivant + EcartMinuscule);
        if (suivant < PremiereSuite || suivant > DerniereSuite) {
            *o++ = static_cast<char>(OctetLatin1); // a lead byte alone: the next byte starts a run
            continue;
        }
        const int lettre = LettreAccentuee(suivant);
        if (lettre != LettreSpeciale) {
            *o++ = static_cast<char>('a' + lettre - 1);
        } else {
            *o++ = static_cast<char>(OctetLatin1);
            *o++ = static_cast<char>(suivant);
        }
        ++lu;
    }
    return static_cast<size_t>(o - sortie);
}

std::string NomFichier::Minuscules(std::string_view nom)
{
    std::string sortie;
    sortie.reserve(nom.size());
    AjouterMinuscules(nom, sortie);
    return sortie;
}

std::string NomFichier::ExtraireExtension(std::string_view nom)
{
    const size_t point = nom.rfind('.');
    if (point == std::string_view::npos)
        return {};
    return Minuscules(nom.substr(point + 1));
}

int NomFichier::Lettre(std::string_view nom)
{
    if (nom.empty())
        return LettreSpeciale;
    const auto c = static_cast<unsigned char>(nom[0]);
    if (c >= '0' && c <= '9')
        return LettreChiffre;
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 1;
    if (c >= 'A' && c <= 'Z')
        return c - 'A' + 1;
    if (c == OctetLatin1 && nom.size() > 1) {
        auto suivant = static_cast<unsigned char>(nom[1]);
        if (MajusculeAccentuee(suivant))
            suivant = static_cast<unsigned char>(suivant + EcartMinuscule);
        return LettreAccentuee(suivant);
    }
    return LettreSpeciale;
}

QString NomFichier::Texte(std::string_view nom)
{
    QString texte = QString::fromUtf8(nom.data(), static_cast<qsizetype>(nom.size()));
    // Qt's decoder drops a byte order mark that starts the bytes; in a file
    // name it is one of the name's characters and is kept.
    if (nom.substr(0, MarqueOrdreUtf8.size()) == MarqueOrdreUtf8)
        texte.prepend(QChar(MarqueOrdre));
    // A control character would cut or squeeze the line it shows on: it
    // shows as its symbol of the Control Pictures block instead.
    for (QChar& c : texte) {
        const char16_t u = c.unicode();
        if (u < SymbolesControle)
            c = QChar(char16_t(PremierSymbole + u));
        else if (u == Effacement)
            c = QChar(SymboleEffacement);
    }
    return texte;
}
