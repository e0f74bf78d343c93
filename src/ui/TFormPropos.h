#pragma once

// The about box: modal, borderless, centred on the main window.

#include <QDialog>

class Etiquette;
class ImageComposant;
class QPushButton;

class TFormPropos : public QDialog
{
    Q_OBJECT
public:
    static constexpr int Largeur = 343;
    static constexpr int Hauteur = 121;

    explicit TFormPropos(QWidget* parent = nullptr);

    // Shows the box modally, centred on the given window.
    int Montrer(const QWidget* fenetre);

    ImageComposant* ImageFond;
    QPushButton* ButtonOK;
    Etiquette* LabelLogiciel;
    Etiquette* LabelVersion;
    Etiquette* LabelDescription;
};
