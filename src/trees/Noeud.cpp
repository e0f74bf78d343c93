#include "trees/Noeud.h"

#include <limits>

// Five pointer-sized words on 64-bit systems: text, parent, children, the
// row and the group, the images and the flag.
static_assert(sizeof(void*) != 8 || sizeof(Noeud) == 40);

int16_t Noeud::ImageCourte(int image)
{
    if (image < -1 || image > std::numeric_limits<int16_t>::max())
        return -1;
    return static_cast<int16_t>(image);
}
