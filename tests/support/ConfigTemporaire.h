#pragma once

// Points $XDG_CONFIG_HOME at a fresh temporary folder for the life of the
// object, so that the settings file of a test is its own.

#include <QTemporaryDir>

#include <string>

class ConfigTemporaire
{
public:
    ConfigTemporaire();
    ~ConfigTemporaire();
    std::string Dossier() const { return dir_.path().toStdString(); }
    // The hive file of HKEY_CURRENT_USER.
    std::string FichierUtilisateur() const;
    std::string Lire() const;
    void Ecrire(const std::string& contenu) const;

private:
    QTemporaryDir dir_;
    std::string ancien_;
    bool avaitAncien_ = false;
};
