#pragma once

// One category's panel of the preview area: it builds and owns its
// components, shows what it is given for a selected file, is cleared at a
// new scan, shown or hidden with its zone, and knows the path it would
// open. The dispatcher Previsualisation holds one panel per category.

#include <QObject>
#include <QString>

#include <string>
#include <vector>

class Etiquette;
class QWidget;
class TFormImage;

// The selected file as the store describes it.
struct FichierApercu
{
    std::string Chemin; // bytes as on disk; empty when no entry matched
    bool Existe = false;
    QString Nom;
    QString Ext;
    QString Taille;
};

class Panneau : public QObject
{
    Q_OBJECT
public:
    static const QString TailleSeule;   // "Taille :"
    static const QString PrefixeTaille; // "Taille : "
    static const QString TailleNulle;   // "0 Ko"

    Panneau(QWidget* fenetre, const TFormImage& skin);

    virtual void Afficher(const FichierApercu& fichier) = 0;
    virtual void Effacer() = 0;
    // Shows or hides the panel with its zone.
    virtual void Montrer(bool montrer);
    bool Montre() const { return montre_; }

    // The previewed file the desktop may open; empty when none or missing.
    std::string Chemin;

signals:
    // The user asked to open the previewed file (a double click on its picture).
    void OuvertureDemandee();

protected:
    // A missing file's size: "Taille :" alone unless the stored size says more.
    static void AppliquerRegleTaille(Etiquette* label, const QString& taille);
    // The name (its hint the full path) and "<prefixe><EXT>".
    static void AfficherNom(Etiquette* nom, Etiquette* extension, const FichierApercu& fichier, const QString& prefixe);
    // The line that says why a file cannot be shown, over the bottom of the
    // preview frame; hidden while empty.
    static Etiquette* CreerMessage(QWidget* fenetre, const QString& nom);
    // Sets the message's text; it shows while the panel does and it says something.
    void DireMessage(Etiquette* message, const QString& texte) const;

    QWidget* fenetre_;
    const TFormImage& skin_;
    // What shows and hides with the zone.
    std::vector<QWidget*> composants_;
    bool montre_ = false;
};
