#pragma once

// Decimal text with a space between groups of three digits («1 234 567»),
// shared by the number and size texts.

#include <cstdint>
#include <string>

class TexteNombre
{
public:
    static std::string Grouper(int64_t nombre);
};
