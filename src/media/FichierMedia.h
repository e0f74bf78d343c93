#pragma once

// Opens a sound or video file the user selected, for reading, refusing
// anything but a regular file: a FIFO, a device or a directory named like
// a sound is never read. The descriptor is the file that was checked, so
// nothing can swap it between the check and the reading; a path of any
// length opens. The refusal says why, in French, for the panel to show.

#include "scan/Descripteur.h"
#include "shared/Resultat.h"

#include <string>

class FichierMedia
{
public:
    static constexpr const char* PrefixeEchec = "Lecture impossible : ";

    // Never waits: a FIFO without a writer is opened without blocking and
    // then refused.
    static Resultat<Descripteur> Ouvrir(const std::string& chemin);
    // "Lecture impossible : <raison>" for a system error number.
    static Erreur EchecSysteme(int numero);
    // The file opened but is not a sound (or a video) that can be played.
    static Erreur FormatInconnu();
};
