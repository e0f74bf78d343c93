#pragma once

// Writes a list of found files out as a playlist (M3U8) or a table (CSV),
// for a music player or a spreadsheet. Widget-free: any thread may run it,
// it reads no file (the sizes are those the store read during the walk;
// only paths given without sizes are stat'ed, never opened), and a
// file is written whole or not at all: into a nameless file (O_TMPFILE)
// linked into place once complete, or where the file system has none, a
// temporary of ours renamed into place. Nothing is left behind by a stop,
// a failure or the end of the program (a kill included, for nameless files).
//
// M3U8: "#EXTM3U", then per file "#EXTINF:-1,<name>" and its absolute path,
// as raw bytes, since players open paths. The length is always -1 (unknown):
// reading it would mean opening the file. A path holding a line break
// cannot be written in that format and is left out (counted in Omis).
// CSV: a header, then name, folder, extension, size in bytes per file,
// quoted as RFC 4180 says, lines ended by CRLF. The text stays valid UTF-8:
// a byte that is not part of valid UTF-8 is written as \xHH (two upper-case
// hexadecimal digits) and a backslash as \\, so the escape reads back
// without doubt. The size is empty when it cannot be read or the file is
// not a regular one.

#include "shared/Resultat.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class Exportation
{
public:
    enum class Format { ListeLecture, Tableau };

    struct Bilan
    {
        bool Annule = false;
        size_t Ecrits = 0; // files written
        size_t Omis = 0;   // files that the format cannot hold
    };

    // Called now and then with the files done and the total.
    using Avancement = std::function<void(size_t fait, size_t total)>;

    static const char* const EnTeteTableau;

    // The whole text of the files at these paths (bytes, absolute), with
    // their sizes (one per path, as Stockage::CheminsGroupe gives them; a
    // negative one is not known and its field stays empty).
    static std::string Texte(Format format, const std::vector<std::string>& chemins,
                             const std::vector<int64_t>& tailles, size_t* omis = nullptr);
    // The same for paths that do not come from the store: each is stat'ed.
    static std::string Texte(Format format, const std::vector<std::string>& chemins, size_t* omis = nullptr);

    // Writes the files to `destination` atomically: an older file there is
    // replaced only once the new one is complete and on disk (fsync), with
    // the older file's mode; a stop (arret set) or a failure leaves it as it
    // was and no temporary file behind. A new name is put into place without
    // waiting for the disk. A destination that is a symbolic link stays one:
    // its target is written. Temporaries that earlier exports left in the
    // folder are removed first (NettoyerTemporaires).
    // The sizes are given as to Texte.
    static Resultat<Bilan> Ecrire(Format format, const std::vector<std::string>& chemins,
                                  const std::vector<int64_t>& tailles, const std::string& destination,
                                  const std::atomic<bool>& arret, const Avancement& avancement = {});
    // The same for paths that do not come from the store: each is stat'ed.
    static Resultat<Bilan> Ecrire(Format format, const std::vector<std::string>& chemins,
                                  const std::string& destination, const std::atomic<bool>& arret,
                                  const Avancement& avancement = {});

    // Removes from dossier the temporaries of exports that never ended (a
    // crash, a kill): only a regular file named as ours whose name carries
    // its own inode, owned by this user, with one link, that no export holds
    // locked. Anything else there is the user's.
    static void NettoyerTemporaires(const std::string& dossier);
    // Whether nameless files (O_TMPFILE) are tried; the tests turn it off to
    // take the named way that some file systems need.
    static inline bool FichierAnonyme = true;

    // One file's lines appended to sortie, with its size (negative: not
    // known); false when the format cannot hold it (nothing appended).
    static bool AjouterEntree(Format format, std::string_view chemin, int64_t octets, std::string& sortie);
    // The same, the size read by a stat of the path.
    static bool AjouterEntree(Format format, std::string_view chemin, std::string& sortie);
    // Text escaped as the table writes it: invalid UTF-8 bytes as \xHH, a
    // backslash as \\ (no quoting).
    static void AjouterEchappe(std::string_view texte, std::string& sortie);
    // A field quoted when it needs to be (comma, quote, CR or LF).
    static void AjouterChamp(std::string_view champ, std::string& sortie);

private:
    // tailles: one per path, or null to stat each path.
    static std::string TexteAvec(Format format, const std::vector<std::string>& chemins,
                                 const std::vector<int64_t>* tailles, size_t* omis);
    static Resultat<Bilan> EcrireAvec(Format format, const std::vector<std::string>& chemins,
                                      const std::vector<int64_t>* tailles, const std::string& destination,
                                      const std::atomic<bool>& arret, const Avancement& avancement);
};
