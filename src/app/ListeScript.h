#pragma once

// `ruvizaro --liste DIR`: walks DIR with the window's engine (walker, store,
// listing readers) and writes the files found to standard output, with no
// window, no display and no application object. The window's stored
// settings are neither read nor written.
//
// Order: the categories Video, Son, Image, Texte (or the one asked); in a
// category, its directories in the walk's order (depth first, a directory
// before what lies below it, the entries of a directory in the order the
// file system lists them, as find does); in a directory, the names as the
// trees sort them. Formats: the full paths as raw bytes, each ended by a line break
// (a path holding one is left out and counted on stderr) or, with -0, by a
// NUL; or the same CSV or M3U8 text as the window's export.
//
// Exit codes: 0 when everything is written, 1 when DIR cannot be read, 3
// when standard output refuses a write (a closed pipe ends quietly). A
// progress line goes to stderr only when it is a terminal.

#include "app/LigneCommande.h"

class ListeScript
{
public:
    static constexpr int CodeIllisible = 1;
    static constexpr int CodeEcriture = 3;

    static int Executer(const LigneCommande& ligne);
};
