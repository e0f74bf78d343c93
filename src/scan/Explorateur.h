#pragma once

// The scan's only contact with the file system: lists one directory under
// the three walk settings, reads a file's size, joins and opens paths.
// Stateless: callable from any thread.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class Option;

class Explorateur
{
public:
    // The three walk settings a listing is made under.
    struct Reglages
    {
        bool FichiersCaches = true;
        bool RepertoiresCaches = true;
        bool SousRepertoires = true;
        bool operator==(const Reglages&) const = default;
    };

    void Lier(Option* option) { option_ = option; }

    // What one stat of a listed file gives: its size (Illisible: it could
    // not be read) and its modification time in seconds.
    struct Etat
    {
        static constexpr int64_t Illisible = -1;
        int64_t Octets = Illisible;
        int64_t Modifie = 0;
    };
    // Which listed names to stat (the classified ones).
    using AMesurer = std::function<bool(std::string_view nom)>;
    // The size of a file named relative to an open directory, following a
    // link to the file it opens; a file that is not regular (any more) has
    // none.
    static Etat LireEtat(int dossierFd, const char* nom);

    // The settings as they are now.
    Reglages ReglagesActuels() const;
    void ListerRepertoire(const std::string& repertoire, std::vector<std::string>& sousRepertoires,
                          std::vector<std::string>& fichiers) const;
    void ListerRepertoire(const std::string& repertoire, const Reglages& reglages,
                          std::vector<std::string>& sousRepertoires, std::vector<std::string>& fichiers) const;
    // The same with the file names one after another in one string, each
    // ended by a NUL: one allocation for a whole listing.
    // With aMesurer, the names it picks are stat'ed relative to the open
    // directory as they are listed: tailles gets their sizes (Etat::Octets),
    // in the order of the names, one per name picked.
    void ListerRepertoire(const std::string& repertoire, const Reglages& reglages,
                          std::vector<std::string>& sousRepertoires, std::string& fichiers,
                          const AMesurer& aMesurer = {}, std::vector<int64_t>* tailles = nullptr) const;
    // Calls f(std::string_view) for each name of such a string.
    template <typename F>
    static void PourChaqueNom(std::string_view noms, F&& f)
    {
        for (size_t debut = 0; debut < noms.size();) {
            size_t fin = noms.find('\0', debut);
            if (fin == std::string_view::npos)
                fin = noms.size();
            f(noms.substr(debut, fin - debut));
            debut = fin + 1;
        }
    }
    static int64_t LireTaille(const std::string& chemin);

    // A directory path followed by a name, with one "/" between them
    // ("/" + "usr" gives "/usr", "/data/" + "x" gives "/data/x").
    static std::string Joindre(std::string_view repertoire, std::string_view nom);
    // open(2) for a path of any length: a path longer than PATH_MAX is
    // opened piece by piece with openat. Returns the descriptor or -1.
    static int OuvrirChemin(const std::string& chemin, int drapeaux);

private:
    Option* option_ = nullptr;
};
