#pragma once

// The painted menu strip on the left of the window: the strip picture of the
// selected zone and, over it, the hover highlight of another zone. It only
// paints; the menu says what to paint. Mouse events go through it to the
// window beneath.

#include <QPixmap>
#include <QWidget>

class BandeauMenu : public QWidget
{
    Q_OBJECT
public:
    static constexpr int Largeur = 111;

    explicit BandeauMenu(QWidget* parent);

    void DefinirBandeau(const QPixmap& bandeau);
    // A null picture removes the highlight.
    void DefinirSurbrillance(const QPixmap& surbrillance, int y);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap bandeau_;
    QPixmap surbrillance_;
    int surbrillanceY_ = 0;
};
