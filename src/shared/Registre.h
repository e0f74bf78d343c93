#pragma once

// A small registry with the semantics the settings rely on: five root keys,
// key paths, typed values (a 32-bit integer or a string). Each hive is one
// human-readable ".reg" text file under $XDG_CONFIG_HOME/Dudidevir/, written
// atomically under an advisory lock, so that two running copies of the
// program never lose each other's values. A damaged hive file is set aside
// and the hive starts empty. Every operation that can fail says so through
// its Resultat, whose message is the one shown to the user.

#include "shared/Resultat.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <stop_token>
#include <string>
#include <utility>
#include <variant>
#include <vector>

// How long a save waits for the settings folder's lock, which another
// program may hold: within Limite, and not past a stop asked through Jeton.
// Indisponible, when given, is set when the lock was not had.
struct AttenteVerrou
{
    std::chrono::milliseconds Limite{10000};
    std::stop_token Jeton;
    bool* Indisponible = nullptr;
};

class Registre
{
public:
    using Valeur = std::variant<int32_t, std::string>;
    using Cle = std::map<std::string, Valeur>;

    // The hive file of a root-key name, or nothing for an unknown name.
    static std::optional<std::string> FichierRuche(const std::string& racine);
    // The folder holding the hive files.
    static std::string Dossier();

    using Ruche = std::map<std::string, Cle>;
    using Valeurs = std::vector<std::pair<std::string, Valeur>>;
    // What a save sets, decided from the key's values as they are on disk
    // at that moment (an empty key when it does not exist yet).
    using Changements = std::function<Valeurs(const Cle& surDisque)>;

    // Loads a hive file; a missing file is an empty hive. Besides the form
    // it writes, it reads what Windows tools write: a UTF-8 or UTF-16 byte
    // order mark, CR LF line ends, blanks around "=", short dword digits,
    // "REGEDIT4", comments, no final newline. A file that cannot be parsed
    // is copied aside (".endommage-<time>") and read as empty. When that
    // copy fails the file stays where it is and the result is an error: the
    // hive reads as empty and must not be written over (the error output
    // says so once per file). So is anything but a regular file (opened
    // without waiting: a FIFO is not read) and a file that cannot be read.
    static Resultat<Ruche> Charger(const std::string& fichier);
    // Writes a hive file atomically: unique temporary file, fsync, rename.
    // Through a symbolic link, its target is written, in its own folder,
    // and the link stays. The error names the step that failed and the
    // system's reason.
    static Resultat<void> Enregistrer(const std::string& fichier, const Ruche& ruche);
    // Sets several values of one key (32-bit numbers, or texts of one line)
    // with a single write of the hive, under the hive folder's lock, and
    // checks them by reading them back. This program's temporary files
    // left by saves that were cut short go first; nothing else is removed.
    // An error when the root name is unknown, when the write is refused
    // ("Failed to set data for '<first name>'", the reason as its cause),
    // when a text holds a line break ("Failed to set data for '<its
    // name>'", nothing written) or when a value reads back otherwise.
    static Resultat<void> EcrireValeurs(const std::string& racine, const std::string& cle, const Valeurs& valeurs);
    // The same, with the values to set chosen under the lock from those on
    // disk: a read, the choice and the write that no other copy of the
    // program can come between. Nothing chosen, nothing is written. A lock
    // not had within the wait is an error that names the folder.
    static Resultat<void> Modifier(const std::string& racine, const std::string& cle, const Changements& changements,
                                   const AttenteVerrou& attente = {});
};

// Reads one 32-bit value: the value when found, nothing when the key or the
// value does not exist (or the hive is a damaged file left in place). An
// error for an unknown root name and for a value of another type ("Invalid
// data type for '<nom>'", or "Failed to get data for '<nom>'" for a string
// too long to fetch at all; the cause says it in French).
Resultat<std::optional<int32_t>> LireRegistre(const std::string& racine, const std::string& cle,
                                              const std::string& nom);
// Reads one text value, its bytes as stored: the text when found, nothing
// when the key or the value does not exist (or the hive is a damaged file
// left in place). An error for an unknown root name and for a number
// ("Invalid data type for '<nom>'").
Resultat<std::optional<std::string>> LireTexteRegistre(const std::string& racine, const std::string& cle,
                                                       const std::string& nom);
// Writes one 32-bit value (creating the key) and checks it by reading it
// back; the errors are those of Registre::EcrireValeurs.
Resultat<void> EcrireRegistre(const std::string& racine, const std::string& cle, const std::string& nom,
                              int32_t valeur);
