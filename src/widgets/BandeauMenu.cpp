#include "widgets/BandeauMenu.h"

#include <QImage>
#include <QPainter>

namespace {

// The highlight's left edge inside the strip.
constexpr int SurbrillanceX = 6;

} // namespace

BandeauMenu::BandeauMenu(QWidget* parent) : QWidget(parent)
{
    setObjectName("BandeauMenu");
    setGeometry(0, 0, Largeur, parent ? parent->height() : 0);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void BandeauMenu::paintEvent(QPaintEvent*)
{
    QPainter peintre(this);
    if (!bandeau_.isNull())
        peintre.drawPixmap(0, 0, bandeau_);
    if (!surbrillance_.isNull())
        peintre.drawPixmap(SurbrillanceX, surbrillanceY_, surbrillance_);
}

void BandeauMenu::DefinirBandeau(const QPixmap& bandeau)
{
    if (bandeau.cacheKey() == bandeau_.cacheKey())
        return;
    bandeau_ = bandeau;
    update();
}

void BandeauMenu::DefinirSurbrillance(const QPixmap& surbrillance, int y)
{
    if (surbrillance.cacheKey() == surbrillance_.cacheKey() && y == surbrillanceY_)
        return;
    if (!surbrillance_.isNull())
        update(SurbrillanceX, surbrillanceY_, surbrillance_.width(), surbrillance_.height());
    surbrillance_ = surbrillance;
    surbrillanceY_ = y;
    if (!surbrillance.isNull()) {
        // Pixels of the picture's bottom-left colour let the strip show through.
        const QImage image = surbrillance.toImage();
        surbrillance_.setMask(
            surbrillance.createMaskFromColor(image.pixelColor(0, image.height() - 1), Qt::MaskInColor));
        update(SurbrillanceX, y, surbrillance.width(), surbrillance.height());
    }
}
