#include "trees/Noeud.h"

#include <limits>

// Six pointer-sized words on 64-bit systems: text, parent, children, the
// row and the group, the images and the flags, a file's size.
static_assert(sizeof(void*) != 8 || sizeof(Noeud) == 48);

int16_t Noeud::ImageCourte(int image)
{
    if (image < -1 || image > std::numeric_limits<int16_t>::max())
        return -1;
    return static_cast<int16_t>(image);
}
