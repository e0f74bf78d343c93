#pragma once

// The texts the program shows for numbers, file sizes, play times and group
// nodes, made in one place so that every zone writes them alike. Numbers,
// sizes and group texts are bytes (std::string): a group text carries a
// directory path as it is on disk, turned into display text only where it
// is shown. Times are shown at once by the players, so they are QString.

#include <QString>

#include <cstdint>
#include <string>
#include <string_view>

class Textes
{
public:
    // Decimal with a space between groups of three digits: «1 234 567»,
    // «-1 234».
    static std::string Nombre(int64_t nombre);
    // A file size in whole units of 1024, rounded down: «0 Ko» for nothing,
    // «1 Ko» up to 2047 bytes, then «2 Ko» ... «1 023 Ko», «1 Mo» ... «1 To»;
    // terabytes are the last unit («1 024 To»).
    static std::string Taille(int64_t octets);
    // "HH:MM:SS" of a time in milliseconds, rounded down to the second; the
    // hours take more digits past 99, a negative time shows as zero.
    static QString Temps(int64_t millisecondes);
    // A group node's text: the count in parentheses, then what the group
    // is: «(12) ~/Photos», «(1 250) jpg».
    static std::string Groupe(int64_t nombre, std::string_view quoi);
};
