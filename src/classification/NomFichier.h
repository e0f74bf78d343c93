#pragma once

// File names are bytes, usually UTF-8. These helpers fold their case, take
// their extension, give their first-letter bucket and turn them into
// display text.

#include <QString>

#include <string>
#include <string_view>

class NomFichier
{
public:
    static constexpr int NombreLettres = 28;
    static constexpr int LettreChiffre = 0;
    static constexpr int LettreSpeciale = 27;

    // Lower-cases ASCII and the accented capitals U+00C0..U+00DE (except the
    // multiplication sign); every other byte is kept as it is.
    static std::string Minuscules(std::string_view nom);
    // Same, appended to sortie.
    static void AjouterMinuscules(std::string_view nom, std::string& sortie);
    // Appends the name folded as the first-letter buckets fold it: lower
    // case, and the accented small letters of a bucket (à â ä, ç, è é ê ë,
    // ï, ô ö, û ü) as their plain letter; every other byte as Minuscules
    // keeps it. "Été" and "ETE" both give "ete". A letter followed by a
    // combining accent (decomposed, NFD) folds as its composed form: "E"
    // and U+0301 give "e", "n" and U+0303 give "ñ".
    static void AjouterReplie(std::string_view nom, std::string& sortie);
    // Same, into `sortie`, which holds at least nom.size() bytes; returns
    // the folded length.
    static size_t Replier(std::string_view nom, char* sortie);
    // The lower-cased text after the last dot ("Photo.Vacances.JPG" gives
    // "jpg", ".profile" gives "profile"); empty when there is no dot.
    static std::string ExtraireExtension(std::string_view nom);
    // Bucket of the first character of the lower-cased name: 0 digits,
    // 1 to 26 the letters a..z with some accented forms, 27 anything else.
    static int Lettre(std::string_view nom);
    // Display text; invalid bytes show as U+FFFD, control characters as
    // their visible symbols (a newline as U+240A, a tab as U+2409).
    static QString Texte(std::string_view nom);
};
