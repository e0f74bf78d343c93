// File names as any bytes: extension extraction, lower-casing, the
// first-letter bucket and the display text, with the properties the trees
// rely on.

#include "classification/NomFichier.h"

#include <QString>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

[[noreturn]] void Echec(const char* quoi)
{
    std::fprintf(stderr, "file name property broken: %s\n", quoi);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* donnees, std::size_t taille)
{
    const std::string_view nom(reinterpret_cast<const char*>(donnees), taille);

    const std::string minuscules = NomFichier::Minuscules(nom);
    if (minuscules.size() != nom.size())
        Echec("lower-casing changed the length");
    if (NomFichier::Minuscules(minuscules) != minuscules)
        Echec("lower-casing twice differs from once");
    std::string ajout = "prefixe/";
    NomFichier::AjouterMinuscules(nom, ajout);
    if (ajout != "prefixe/" + minuscules)
        Echec("appending lower case differs from lower-casing");

    const std::string extension = NomFichier::ExtraireExtension(nom);
    const std::size_t point = nom.rfind('.');
    if (point == std::string_view::npos) {
        if (!extension.empty())
            Echec("an extension without a dot");
    } else if (extension != NomFichier::Minuscules(nom.substr(point + 1))) {
        Echec("the extension is not the lower-cased text after the last dot");
    }
    if (extension.find('.') != std::string::npos)
        Echec("an extension holding a dot");

    const int lettre = NomFichier::Lettre(nom);
    if (lettre < 0 || lettre >= NomFichier::NombreLettres)
        Echec("a first-letter bucket out of range");
    if (NomFichier::Lettre(minuscules) != lettre)
        Echec("the bucket depends on the case");
    if (!nom.empty() && nom.front() >= '0' && nom.front() <= '9' && lettre != NomFichier::LettreChiffre)
        Echec("a leading digit outside the digits' bucket");
    if (!nom.empty() && nom.front() >= 'a' && nom.front() <= 'z' && lettre != nom.front() - 'a' + 1)
        Echec("a leading letter outside its bucket");

    const QString texte = NomFichier::Texte(nom);
    if (!texte.isValidUtf16())
        Echec("the display text is not valid UTF-16");
    if (!nom.empty() && texte.isEmpty())
        Echec("a name with no display text");
    for (const QChar c : texte)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            Echec("a control character in the display text");
    // A valid UTF-8 name without control characters shows as it is.
    bool simple = true;
    for (const char c : nom)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            simple = false;
    const QByteArray utf8 = texte.toUtf8();
    if (simple &&
        QString::fromUtf8(nom.data(), qsizetype(nom.size())).toUtf8() ==
            QByteArray(nom.data(), qsizetype(nom.size())) &&
        utf8 != QByteArray(nom.data(), qsizetype(nom.size())))
        Echec("a plain valid name does not show as it is");
    return 0;
}
