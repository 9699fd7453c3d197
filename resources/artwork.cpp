#include "resources/artwork.h"

#include <QtGlobal>

// Q_INIT_RESOURCE declares the generated registration function, which must
// happen outside any namespace.
static void registerArtwork()
{
    Q_INIT_RESOURCE(artwork);
}

void InitArtwork()
{
    registerArtwork();
}
