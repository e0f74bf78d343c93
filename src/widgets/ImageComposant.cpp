#include "widgets/ImageComposant.h"
#include "widgets/MarqueFocus.h"

#include <QBitmap>
#include <QMouseEvent>
#include <QPainter>

ImageComposant::ImageComposant(QWidget* parent, const QRect& place) : QWidget(parent)
{
    if (place.isValid())
        setGeometry(place);
    setMouseTracking(true);
    setAttribute(Qt::WA_NoSystemBackground);
}

void ImageComposant::DefinirImage(const QPixmap& image)
{
    image_ = image;
    PreparerAffichage();
    emit ImageChangee();
}

void ImageComposant::DefinirImage(const QImage& image)
{
    DefinirImage(QPixmap::fromImage(image));
}

void ImageComposant::ViderImage()
{
    DefinirImage(QPixmap());
}

void ImageComposant::DefinirTransparent(bool transparent)
{
    transparent_ = transparent;
    PreparerAffichage();
}

void ImageComposant::DefinirHint(const QString& hint, bool montrer)
{
    hint_ = hint;
    setToolTip(montrer ? hint : QString());
}

void ImageComposant::PreparerAffichage()
{
    affiche_ = image_;
    if (transparent_ && !image_.isNull()) {
        const QImage source = image_.toImage();
        const QColor cle = source.pixelColor(0, source.height() - 1);
        affiche_.setMask(image_.createMaskFromColor(cle, Qt::MaskInColor));
    }
    update();
}

void ImageComposant::paintEvent(QPaintEvent*)
{
    if (affiche_.isNull()) {
        if (hasFocus()) {
            QPainter peintre(this);
            PeindreMarqueFocus(peintre, rect());
        }
        return;
    }
    QPainter peintre(this);
    peintre.setRenderHint(QPainter::SmoothPixmapTransform);
    // A picture drawn for a high-density screen keeps its size in window pixels.
    QSize taille = affiche_.deviceIndependentSize().toSize();
    if (proportionnel_ && (taille.width() > width() || taille.height() > height()))
        taille.scale(size(), Qt::KeepAspectRatio);
    QPoint origine(0, 0);
    if (centre_)
        origine = QPoint((width() - taille.width()) / 2, (height() - taille.height()) / 2);
    peintre.drawPixmap(QRect(origine, taille), affiche_);
    if (hasFocus())
        PeindreMarqueFocus(peintre, rect());
}

void ImageComposant::mousePressEvent(QMouseEvent* event)
{
    enfonce_ = event->button() == Qt::LeftButton;
    emit SourisEnfoncee(event->button(), event->globalPosition().toPoint());
    event->accept();
}

void ImageComposant::mouseReleaseEvent(QMouseEvent* event)
{
    const bool clic = enfonce_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    enfonce_ = false;
    emit SourisRelachee(event->button());
    if (clic)
        emit Clic();
    event->accept();
}

void ImageComposant::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        emit DoubleClic();
    event->accept();
}

void ImageComposant::mouseMoveEvent(QMouseEvent* event)
{
    emit SourisBouge();
    event->ignore(); // a background picture also lets the window drag itself
}

void ImageComposant::leaveEvent(QEvent* event)
{
    emit SourisSortie();
    QWidget::leaveEvent(event);
}
