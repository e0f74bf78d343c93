#include "widgets/ListeImages.h"

#include <QGuiApplication>
#include <QMimeDatabase>
#include <QMimeType>
#include <QPainter>
#include <QString>
#include <QStringList>

namespace {

constexpr const char* DossierIcones = "/usr/share/icons";
constexpr const char* ThemeParDefaut = "Adwaita";
constexpr const char* ThemeMinimal = "hicolor";
constexpr const char* IconeDonnees = "application-x-generic";

// The icon shown for a category when the type has none of its own.
QString IconeGenerique(Categorie categorie)
{
    switch (categorie) {
    case Categorie::Video:
        return QStringLiteral("video-x-generic");
    case Categorie::Son:
        return QStringLiteral("audio-x-generic");
    case Categorie::Image:
        return QStringLiteral("image-x-generic");
    default:
        return QStringLiteral("x-office-document");
    }
}

// Without a desktop session (offscreen) Qt has no icon theme: use the
// installed Adwaita one.
void PreparerTheme()
{
    const QString theme = QIcon::themeName();
    if (!theme.isEmpty() && theme != QLatin1String(ThemeMinimal))
        return;
    QStringList chemins = QIcon::themeSearchPaths();
    if (!chemins.contains(QLatin1String(DossierIcones)))
        chemins << QLatin1String(DossierIcones);
    QIcon::setThemeSearchPaths(chemins);
    QIcon::setThemeName(QLatin1String(ThemeParDefaut));
}

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

int ListeImages::AjouterIconeExtension(const std::string& ext, Categorie categorie)
{
    PreparerTheme();
    const QMimeDatabase types;
    const QMimeType type =
        types.mimeTypeForFile(QStringLiteral("x.") + QString::fromStdString(ext), QMimeDatabase::MatchExtension);
    QIcon icone = QIcon::fromTheme(type.iconName());
    // The type's generic icon says more than the category's (a spreadsheet,
    // a presentation), unless it is the blank one of any data (ASF's).
    if (icone.isNull() && type.genericIconName() != QLatin1String(IconeDonnees))
        icone = QIcon::fromTheme(type.genericIconName());
    if (icone.isNull())
        icone = QIcon::fromTheme(IconeGenerique(categorie));
    return AjouterIcone(icone);
}
