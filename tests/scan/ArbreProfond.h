#pragma once

// Chains of directories deeper than PATH_MAX, made and removed through
// descriptors since their full paths cannot be used directly.

#include "scan/Descripteur.h"
#include "scan/Explorateur.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// Makes niveaux nested directories named nom below racine; returns the full
// path of the deepest one.
inline std::string CreerChaine(const std::string& racine, const std::string& nom, int niveaux)
{
    Descripteur courant(open(racine.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    std::string chemin = racine;
    for (int i = 0; i < niveaux; ++i) {
        EXPECT_EQ(mkdirat(courant.Fd(), nom.c_str(), 0755), 0);
        courant = Descripteur(openat(courant.Fd(), nom.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        EXPECT_TRUE(courant.Valide());
        chemin += "/" + nom;
    }
    return chemin;
}

// Writes a file of the given size in the directory at chemin (any length).
inline void EcrireFichier(const std::string& repertoire, const std::string& nom, size_t taille)
{
    Descripteur dossier(Explorateur::OuvrirChemin(repertoire, O_RDONLY | O_DIRECTORY));
    ASSERT_TRUE(dossier.Valide()) << repertoire.size();
    Descripteur fichier(openat(dossier.Fd(), nom.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    ASSERT_TRUE(fichier.Valide());
    const std::string contenu(taille, 'x');
    ASSERT_EQ(write(fichier.Fd(), contenu.data(), contenu.size()), static_cast<ssize_t>(contenu.size()));
}

// Removes what CreerChaine made, deepest first, with the given entries of
// every level (files or empty directories) before their level.
inline void SupprimerChaine(const std::string& racine, const std::string& nom, int niveaux,
                            const std::vector<std::string>& entrees)
{
    std::string chemin = racine;
    for (int i = 0; i < niveaux; ++i)
        chemin += "/" + nom;
    for (int i = niveaux; i >= 0; --i) {
        Descripteur dossier(Explorateur::OuvrirChemin(chemin, O_RDONLY | O_DIRECTORY));
        ASSERT_TRUE(dossier.Valide()) << i;
        for (const std::string& entree : entrees) {
            if (unlinkat(dossier.Fd(), entree.c_str(), 0) != 0)
                unlinkat(dossier.Fd(), entree.c_str(), AT_REMOVEDIR);
        }
        if (i < niveaux) {
            ASSERT_EQ(unlinkat(dossier.Fd(), nom.c_str(), AT_REMOVEDIR), 0) << i;
        }
        if (i > 0)
            chemin.resize(chemin.size() - nom.size() - 1);
    }
}
