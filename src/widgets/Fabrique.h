#pragma once

// Builds the skinned components every room of the window is made of, in the
// skin's colours and fonts, each named after its component so that tools
// (tests, screen readers) can find it.

#include <QColor>
#include <QMessageBox>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

class Etiquette;
class ImageComposant;
class QSlider;
class QWidget;

class Fabrique
{
public:
    static const QColor Fond;          // the window's light grey
    static const QColor FondCompteurs; // behind the counters and the path box
    static const QColor Pervenche;     // the scan legend and the counters

    // Families standing in for the skin's Windows fonts.
    static const QString Arial;
    static const QString Verdana;
    static const QString TimesNewRoman;
    static const QString ComicSans;

    // A picture component, with a skin picture when one is named.
    static ImageComposant* Image(QWidget* parent, const QString& nom, const QRect& place, const QString& skin = {});
    // The same with the pointing-hand cursor.
    static ImageComposant* Bouton(QWidget* parent, const QString& nom, const QRect& place, const QString& skin = {});
    // A label in a font given by family, pixel size and weight.
    static Etiquette* Label(QWidget* parent, const QString& nom, const QString& texte, const QPoint& position,
                            const QString& famille, int pixels, bool gras, const QColor& couleur, const QColor& fond,
                            const QSize& taille = {});
    // A name label of a preview panel: bold, 156 px wide, a long name elided
    // in the middle, showing its hint (the full path).
    static Etiquette* LabelNom(QWidget* parent, const QString& nom, const QPoint& position);
    // A plain text label of a preview panel.
    static Etiquette* LabelPrevisu(QWidget* parent, const QString& nom, const QPoint& position,
                                   const QString& texte = {});
    // A hidden horizontal position bar from 0 to 100.
    static QSlider* TrackBar(QWidget* parent, const QString& nom, const QRect& place);

    // A message box with one OK button; the window takes no input meanwhile.
    static void Message(QWidget* fenetre, const QString& texte, const QString& titre, QMessageBox::Icon icone);
};
