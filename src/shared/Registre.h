#pragma once

// A small registry with the semantics the settings rely on: five root keys,
// key paths, typed values (a 32-bit integer or a string). Each hive is one
// human-readable ".reg" text file under $XDG_CONFIG_HOME/Dudidevir/, written
// atomically. A damaged hive file is set aside and the hive starts empty.

#include <cstdint>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <variant>

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

    // Loads a hive file; a missing file is an empty hive. A file that cannot
    // be parsed is copied aside (".endommage-<time>") and read as empty.
    static std::map<std::string, Cle> Charger(const std::string& fichier);
    // Writes a hive file atomically: temporary file, fsync, rename.
    static bool Enregistrer(const std::string& fichier, const std::map<std::string, Cle>& ruche);
};

// Reads one 32-bit value; false when the root name is unknown, or the key or
// the value does not exist. A value of another type raises ErreurRegistre.
bool LireRegistre(const std::string& racine, const std::string& cle, const std::string& nom,
                  int32_t& valeur);
// Writes one 32-bit value (creating the key) and checks it by reading it
// back. A refused write raises ErreurRegistre.
bool EcrireRegistre(const std::string& racine, const std::string& cle, const std::string& nom,
                    int32_t valeur);
