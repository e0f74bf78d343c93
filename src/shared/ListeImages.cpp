#include "shared/ListeImages.h"

#include <QGuiApplication>
#include <QPainter>

namespace {

// Icons are drawn for the densest screen; the trees show them at 16 x 16
// window pixels.
qreal Ratio()
{
    return qGuiApp ? qGuiApp->devicePixelRatio() : 1.0;
}

} // namespace

int ListeImages::Ajouter(const QImage& image)
{
    const qreal ratio = Ratio();
    const int cote = qRound(Cote * ratio);
    QImage carre(cote, cote, QImage::Format_ARGB32_Premultiplied);
    carre.fill(Qt::transparent);
    QPainter peintre(&carre);
    peintre.setRenderHint(QPainter::SmoothPixmapTransform);
    QImage reduite = image.size() == QSize(cote, cote)
                         ? image
                         : image.scaled(cote, cote, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    // Drawn pixel for pixel: a picture made for a dense screen (the skin's
    // @2x folders, an icon's pixmap) would otherwise shrink by its ratio.
    reduite.setDevicePixelRatio(1.0);
    peintre.drawImage((cote - reduite.width()) / 2, (cote - reduite.height()) / 2, reduite);
    peintre.end();
    carre.setDevicePixelRatio(ratio);
    images_.push_back(QPixmap::fromImage(carre));
    return Nombre() - 1;
}

int ListeImages::AjouterIcone(const QIcon& icone)
{
    if (icone.isNull())
        return -1;
    const QPixmap pixmap = icone.pixmap(QSize(Cote, Cote), Ratio());
    if (pixmap.isNull())
        return -1;
    return Ajouter(pixmap.toImage());
}

QPixmap ListeImages::Image(int index) const
{
    if (index < 0 || index >= Nombre())
        return {};
    return images_[static_cast<size_t>(index)];
}
