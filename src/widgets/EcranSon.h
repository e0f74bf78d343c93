#pragma once

// The sound drawing's place in the main window (413, 123, 160 × 123): paints
// the left columns of the sound player's picture when asked to show it, and
// nothing otherwise, so that the frame beneath shows through. Mouse events
// go through it to the sound picture below.

#include <QWidget>

class QImage;

class EcranSon : public QWidget
{
    Q_OBJECT
public:
    static constexpr int Largeur = 160;
    static constexpr int Hauteur = 123;

    explicit EcranSon(QWidget* parent, const QRect& place = {});

    // Shows the picture (its top-left Largeur × Hauteur) at the next paint.
    // The picture is not copied: it must outlive the widget or Effacer.
    void Montrer(const QImage* image);
    // Shows nothing any more.
    void Effacer();
    bool Montre() const { return image_ != nullptr; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const QImage* image_ = nullptr;
};
