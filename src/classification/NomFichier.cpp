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

// Lead byte of the combining marks U+0300..U+033F (a decomposed accent).
constexpr unsigned char OctetMarques = 0xCC;

// The second UTF-8 byte of the Latin-1 small letter that a small letter and
// a combining mark (given by its second byte) make together, 0 when they
// make none: "e" and U+0301 make é (0xC3 0xA9).
unsigned char Composer(char lettre, unsigned char marque)
{
    constexpr unsigned char Grave = 0x80, Aigu = 0x81, Circonflexe = 0x82, Tilde = 0x83, Trema = 0x88, Rond = 0x8A,
                            Cedille = 0xA7;
    // Per letter, its small accented forms from grave to diaeresis (0: none).
    const auto parmi = [marque](unsigned char grave, unsigned char aigu, unsigned char circonflexe, unsigned char tilde,
                                unsigned char trema) -> unsigned char {
        switch (marque) {
        case Grave:
            return grave;
        case Aigu:
            return aigu;
        case Circonflexe:
            return circonflexe;
        case Tilde:
            return tilde;
        case Trema:
            return trema;
        default:
            return 0;
        }
    };
    switch (lettre) {
    case 'a':
        return marque == Rond ? 0xA5 : parmi(0xA0, 0xA1, 0xA2, 0xA3, 0xA4);
    case 'c':
        return marque == Cedille ? 0xA7 : 0;
    case 'e':
        return parmi(0xA8, 0xA9, 0xAA, 0, 0xAB);
    case 'i':
        return parmi(0xAC, 0xAD, 0xAE, 0, 0xAF);
    case 'n':
        return parmi(0, 0, 0, 0xB1, 0);
    case 'o':
        return parmi(0xB2, 0xB3, 0xB4, 0xB5, 0xB6);
    case 'u':
        return parmi(0xB9, 0xBA, 0xBB, 0, 0xBC);
    case 'y':
        return parmi(0, 0xBD, 0, 0, 0xBF);
    default:
        return 0;
    }
}

// Folds, in the n folded bytes of octets, each small letter followed by a
// combining mark as its composed form folds: the plain letter for the
// accents of a bucket, else the Latin-1 small letter. Returns the length.
size_t Recomposer(char* octets, size_t n)
{
    size_t ecrit = 0;
    bool lettre = false; // the last byte written is a letter of the name, not yet composed
    for (size_t i = 0; i < n; ++i) {
        if (lettre && static_cast<unsigned char>(octets[i]) == OctetMarques && i + 1 < n) {
            const unsigned char compose = Composer(octets[ecrit - 1], static_cast<unsigned char>(octets[i + 1]));
            if (compose != 0) {
                if (LettreAccentuee(compose) == NomFichier::LettreSpeciale) {
                    octets[ecrit - 1] = static_cast<char>(OctetLatin1);
                    octets[ecrit++] = static_cast<char>(compose);
                } // else the plain letter written stays, the mark goes
                ++i;
                lettre = false;
                continue;
            }
        }
        octets[ecrit++] = octets[i];
        lettre = true;
    }
    return ecrit;
}

// Lower-cases the capitals A..Z of n bytes into sortie, eight at a time;
// every other byte is copied. Returns the high bits seen (0: all ASCII).
uint64_t MinusculesAscii(const char* octets, size_t n, char* sortie)
{
    constexpr uint64_t Uns = 0x0101010101010101u;
    constexpr uint64_t Hauts = 0x8080808080808080u;
    uint64_t vus = 0;
    size_t i = 0;
    for (; i + sizeof(uint64_t) <= n; i += sizeof(uint64_t)) {
        uint64_t mot;
        std::memcpy(&mot, octets + i, sizeof mot);
        vus |= mot;
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
        vus |= c;
        sortie[i] = static_cast<char>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
    }
    return vus & Hauts;
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
    uint64_t horsAscii = 0; // any byte past ASCII in the runs
    while (lu < fin) {
        const auto* latin = static_cast<const char*>(std::memchr(lu, OctetLatin1, static_cast<size_t>(fin - lu)));
        const char* finPlage = latin ? latin : fin;
        horsAscii |= MinusculesAscii(lu, static_cast<size_t>(finPlage - lu), o);
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
    const size_t n = static_cast<size_t>(o - sortie);
    // Decomposed accents, as macOS and some cameras write names, sit in the
    // runs: only a name with a byte past ASCII there is looked at again.
    if (horsAscii != 0 && std::memchr(sortie, OctetMarques, n))
        return Recomposer(sortie, n);
    return n;
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
