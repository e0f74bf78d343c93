#include "classification/NomFichier.h"

namespace {

// UTF-8 of U+00C0..U+00FF is 0xC3 followed by 0x80..0xBF; the small letter
// of a capital in U+00C0..U+00DE is 0x20 above it.
constexpr unsigned char OctetLatin1 = 0xC3;
constexpr unsigned char PremiereMajuscule = 0x80;   // À
constexpr unsigned char DerniereMajuscule = 0x9E;   // Þ
constexpr unsigned char SigneMultiplier = 0x97;     // ×
constexpr unsigned char EcartMinuscule = 0x20;
constexpr unsigned char PremiereSuite = 0x80;   // continuation bytes 0x80..0xBF
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
    case 0xA0:   // à
    case 0xA2:   // â
    case 0xA4:   // ä
        return 1;
    case 0xA7:   // ç
        return 3;
    case 0xA8:   // è
    case 0xA9:   // é
    case 0xAA:   // ê
    case 0xAB:   // ë
        return 5;
    case 0xAF:   // ï
        return 9;
    case 0xB4:   // ô
    case 0xB6:   // ö
        return 15;
    case 0xBB:   // û
    case 0xBC:   // ü
        return 21;
    default:
        return NomFichier::LettreSpeciale;
    }
}

}   // namespace

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
    // One pass, as AjouterMinuscules reads the bytes; the accented letters
    // that share a bucket with a plain letter become that letter.
    char* o = sortie;
    const size_t n = nom.size();
    for (size_t i = 0; i < n; ++i) {
        const auto c = static_cast<unsigned char>(nom[i]);
        if (c == OctetLatin1 && i + 1 < n) {
            auto suivant = static_cast<unsigned char>(nom[i + 1]);
            if (MajusculeAccentuee(suivant))
                suivant = static_cast<unsigned char>(suivant + EcartMinuscule);
            if (suivant >= PremiereSuite && suivant <= DerniereSuite) {
                const int lettre = LettreAccentuee(suivant);
                if (lettre != LettreSpeciale) {
                    *o++ = static_cast<char>('a' + lettre - 1);
                } else {
                    *o++ = static_cast<char>(c);
                    *o++ = static_cast<char>(suivant);
                }
                ++i;
                continue;
            }
        }
        *o++ = static_cast<char>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
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
