#pragma once

// A small registry with the semantics the settings rely on: five root keys,
// key paths, typed values (a 32-bit integer or a string). Each hive is one
// human-readable ".reg" text file under $XDG_CONFIG_HOME/Dudidevir/, written
// atomically under an advisory lock, so that two running copies of the
// program never lose each other's values. A damaged hive file is set aside
// and the hive starts empty.

#include <cstdint>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <variant>
#include <vector>

// An error raised by the registry itself (a value of the wrong type, a
// refused write). It carries the message shown to the user.
class ErreurRegistre : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
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
    using Valeurs = std::vector<std::pair<std::string, int32_t>>;

    // Loads a hive file; a missing file is an empty hive. Besides the form
    // it writes, it reads what Windows tools write: a UTF-8 or UTF-16 byte
    // order mark, CR LF line ends, blanks around "=", short dword digits,
    // "REGEDIT4", comments, no final newline. A file that cannot be parsed
    // is copied aside (".endommage-<time>") and read as empty; when that copy
    // fails the file stays where it is, conserve is set, and the hive must
    // not be written over.
    static Ruche Charger(const std::string& fichier, bool* conserve = nullptr);
    // Writes a hive file atomically: unique temporary file, fsync, rename.
    static bool Enregistrer(const std::string& fichier, const Ruche& ruche);
    // Sets several 32-bit values of one key with a single write of the hive,
    // under the hive folder's lock, and checks them by reading them back.
    // Temporary files left by saves that were cut short go first.
    // False when the root name is unknown or a value reads back otherwise;
    // a refused write raises ErreurRegistre naming the first value.
    static bool EcrireValeurs(const std::string& racine, const std::string& cle, const Valeurs& valeurs);
};

// Reads one 32-bit value; false when the root name is unknown, or the key or
// the value does not exist. A value of another type raises ErreurRegistre.
bool LireRegistre(const std::string& racine, const std::string& cle, const std::string& nom,
                  int32_t& valeur);
// Writes one 32-bit value (creating the key) and checks it by reading it
// back. A refused write raises ErreurRegistre.
bool EcrireRegistre(const std::string& racine, const std::string& cle, const std::string& nom,
                    int32_t valeur);
