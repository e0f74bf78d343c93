#pragma once

// A temporary directory tree for tests, removed at the end of the test.

#include <QTemporaryDir>

#include <string>

class ArbreTemporaire
{
public:
    ArbreTemporaire();
    // Removes the tree byte for byte: QTemporaryDir cannot name a file whose
    // name is not UTF-8, and would leave it behind.
    ~ArbreTemporaire();
    ArbreTemporaire(const ArbreTemporaire&) = delete;
    ArbreTemporaire& operator=(const ArbreTemporaire&) = delete;
    // The root, without a trailing separator.
    std::string Racine() const;
    // Creates a file (and its directories) at a path relative to the root.
    std::string Fichier(const std::string& relatif, size_t taille = 0);
    std::string Repertoire(const std::string& relatif);

private:
    QTemporaryDir dir_;
};
