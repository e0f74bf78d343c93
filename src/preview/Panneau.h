#pragma once

// One category's panel of the preview area: what it shows for a selected
// file, how it is cleared, and the path it would open. The dispatcher
// Previsualisation holds one panel per category.

#include <QString>

#include <string>

class Etiquette;

// The selected file as the store describes it.
struct FichierApercu
{
    std::string Chemin;   // bytes as on disk; empty when no entry matched
    bool Existe = false;
    QString Nom;
    QString Ext;
    QString Taille;
};

class Panneau
{
public:
    static const QString TailleSeule;         // "Taille :"
    static const QString PrefixeTaille;       // "Taille : "
    static const QString TailleNulle;         // "0 Ko"

    virtual ~Panneau() = default;

    virtual void Afficher(const FichierApercu& fichier) = 0;
    virtual void Effacer() = 0;

    // The previewed file the desktop may open; empty when none or missing.
    std::string Chemin;

protected:
    // A missing file's size: "Taille :" alone unless the stored size says more.
    static void AppliquerRegleTaille(Etiquette* label, const QString& taille);
    // The name (its hint the full path) and "<prefixe><EXT>".
    static void AfficherNom(Etiquette* nom, Etiquette* extension, const FichierApercu& fichier,
                            const QString& prefixe);
};
