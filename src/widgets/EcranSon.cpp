#include "widgets/EcranSon.h"

#include <QImage>
#include <QPainter>

EcranSon::EcranSon(QWidget* parent, const QRect& place) : QWidget(parent)
{
    if (place.isValid())
        setGeometry(place);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
}

void EcranSon::Montrer(const QImage* image)
{
    image_ = image;
    update();
}

void EcranSon::Effacer()
{
    if (!image_)
        return;
    image_ = nullptr;
    update();
}

void EcranSon::paintEvent(QPaintEvent*)
{
    if (!image_)
        return;
    QPainter peintre(this);
    peintre.drawImage(QPoint(0, 0), *image_, QRect(0, 0, Largeur, Hauteur));
}
