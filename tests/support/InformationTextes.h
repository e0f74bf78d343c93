#pragma once

// A file's information from the store, as the preview shows it: its name,
// extension and size texts (all empty when no entry matches).

#include "classification/NomFichier.h"
#include "scan/Stockage.h"
#include "shared/Groupe.h"
#include "shared/Textes.h"

#include <QString>

#include <string>

inline std::string InformationTextes(Stockage& stock, const Groupe& groupe, int ligne, QString& nom, QString& ext,
                                     QString& taille)
{
    Stockage::InfoFichier info;
    const std::string chemin = stock.InformationFichier(groupe, ligne, info);
    nom = chemin.empty() ? QString() : NomFichier::Texte(info.Nom);
    ext = QString::fromStdString(info.Ext);
    taille = chemin.empty() ? QString() : QString::fromStdString(Textes::Taille(info.Octets));
    return chemin;
}
