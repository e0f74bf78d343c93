#include "shared/ListeImages.h"

#include <QPainter>

int ListeImages::Ajouter(const QImage& image)
{
    QImage carre(Cote, Cote, QImage::Format_RGB32);
    carre.fill(Qt::white);
    QPainter peintre(&carre);
    peintre.setRenderHint(QPainter::SmoothPixmapTransform);
    const QImage reduite = image.scaled(Cote, Cote, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    peintre.drawImage((Cote - reduite.width()) / 2, (Cote - reduite.height()) / 2, reduite);
    peintre.end();
    images_.push_back(QPixmap::fromImage(carre));
    return Nombre() - 1;
}

int ListeImages::AjouterIcone(const QIcon& icone)
{
    if (icone.isNull())
        return -1;
    const QPixmap pixmap = icone.pixmap(Cote, Cote);
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
