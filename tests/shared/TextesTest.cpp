// The shown texts of numbers, sizes, play times and group nodes.

#include "shared/Textes.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

TEST(Textes, NumbersAndGroupNodes)
{
    const std::vector<std::pair<int64_t, std::string>> cas = {
        {0, "0"},
        {7, "7"},
        {999, "999"},
        {1000, "1 000"},
        {1234, "1 234"},
        {1250, "1 250"},
        {123456, "123 456"},
        {1234567, "1 234 567"},
        {-1234, "-1 234"},
        {INT32_MAX, "2 147 483 647"},
        {INT64_MIN, "-9 223 372 036 854 775 808"},
    };
    for (const auto& [nombre, texte] : cas)
        EXPECT_EQ(Textes::Nombre(nombre), texte) << nombre;

    EXPECT_EQ(Textes::Groupe(1250, "~/Photos"), "(1 250) ~/Photos");
    EXPECT_EQ(Textes::Groupe(12, "jpg"), "(12) jpg");
    // A path is bytes and stays as it is.
    EXPECT_EQ(Textes::Groupe(1, "~/\xff"), "(1) ~/\xff");
}

TEST(Textes, SizesInWholeUnitsRoundedDown)
{
    const std::vector<std::pair<int64_t, std::string>> cas = {
        {0, "0 Ko"},
        {-5, "0 Ko"},
        {1, "1 Ko"},
        {1023, "1 Ko"},
        {1024, "1 Ko"},
        {1536, "1 Ko"},
        {2047, "1 Ko"},
        {2048, "2 Ko"},
        {1048575, "1 023 Ko"},
        {1048576, "1 Mo"},
        {1073741823, "1 023 Mo"},
        {1073741824, "1 Go"},
        {5LL << 30, "5 Go"},
        {1LL << 40, "1 To"},
        {(1LL << 40) * 999, "999 To"},
        {1LL << 50, "1 024 To"},
        {INT64_MAX, "8 388 607 To"},
    };
    for (const auto& [octets, texte] : cas)
        EXPECT_EQ(Textes::Taille(octets), texte) << octets;
}

TEST(Textes, TimesAsHoursMinutesSecondsEachOnTwoDigits)
{
    const std::vector<std::pair<int64_t, QString>> cas = {
        {0, "00:00:00"},        {999, "00:00:00"},        {59000, "00:00:59"},
        {61000, "00:01:01"},    {3599999, "00:59:59"},    {3725000, "01:02:05"},
        {36000000, "10:00:00"}, {360000000, "100:00:00"}, {-3000, "00:00:00"},
    };
    for (const auto& [ms, texte] : cas)
        EXPECT_EQ(Textes::Temps(ms), texte) << ms;
}
