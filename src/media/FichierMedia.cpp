#include "media/FichierMedia.h"

#include "scan/Explorateur.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>

Resultat<Descripteur> FichierMedia::Ouvrir(const std::string& chemin)
{
    if (chemin.empty())
        return EchecSysteme(ENOENT);
    Descripteur fd(Explorateur::OuvrirChemin(chemin, O_RDONLY | O_NONBLOCK | O_NOCTTY));
    if (!fd.Valide())
        return EchecSysteme(errno);
    struct stat etat;
    if (fstat(fd.Fd(), &etat) != 0)
        return EchecSysteme(errno);
    if (!S_ISREG(etat.st_mode))
        return Erreur(std::string(PrefixeEchec) + "ce n'est pas un fichier ordinaire");
    // Reads of a regular file wait for the disk like any other.
    const int drapeaux = fcntl(fd.Fd(), F_GETFL);
    if (drapeaux != -1)
        (void)fcntl(fd.Fd(), F_SETFL, drapeaux & ~O_NONBLOCK);
    return fd;
}

Erreur FichierMedia::EchecSysteme(int numero)
{
    const char* raison = "le fichier ne peut pas être lu";
    switch (numero) {
    case EACCES:
    case EPERM:
        raison = "permission refusée";
        break;
    case ENOENT:
    case ENOTDIR:
        raison = "fichier introuvable";
        break;
    case ELOOP:
        raison = "trop de liens symboliques";
        break;
    case ENAMETOOLONG:
        raison = "chemin trop long";
        break;
    case EMFILE:
    case ENFILE:
        raison = "trop de fichiers ouverts";
        break;
    case ENOMEM:
        raison = "mémoire insuffisante";
        break;
    default:
        break;
    }
    return Erreur(std::string(PrefixeEchec) + raison, std::strerror(numero));
}

Erreur FichierMedia::FormatInconnu()
{
    return Erreur(std::string(PrefixeEchec) + "format non reconnu");
}
