#include "classification/Extension.h"

#include "shared/ListeImages.h"

#include <QIcon>
#include <QMimeDatabase>
#include <QMimeType>
#include <QString>
#include <QStringList>

#include <array>

namespace {

struct Entree
{
    const char* Ext;
    Categorie Cat;
};

// In this order: it is the order of the icons in ImageListExt and of the
// nodes of every "Par Extension" tree.
constexpr std::array<Entree, 30> TableFixe = {{
    {"avi", Categorie::Video}, {"mpg", Categorie::Video},  {"mpeg", Categorie::Video}, {"mov", Categorie::Video},
    {"wmv", Categorie::Video}, {"divx", Categorie::Video}, {"qt", Categorie::Video},   {"asf", Categorie::Video},
    {"mkv", Categorie::Video}, {"mp3", Categorie::Son},    {"wav", Categorie::Son},    {"wma", Categorie::Son},
    {"mid", Categorie::Son},   {"midi", Categorie::Son},   {"ogg", Categorie::Son},    {"mp2", Categorie::Son},
    {"mp4", Categorie::Son},   {"jpg", Categorie::Image},  {"jpeg", Categorie::Image}, {"ico", Categorie::Image},
    {"bmp", Categorie::Image}, {"gif", Categorie::Image},  {"png", Categorie::Image},  {"txt", Categorie::Texte},
    {"doc", Categorie::Texte}, {"xls", Categorie::Texte},  {"pdf", Categorie::Texte},  {"rtf", Categorie::Texte},
    {"pps", Categorie::Texte}, {"ppt", Categorie::Texte},
}};

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

} // namespace

void Extension::Remplir(ListeImages& images)
{
    PreparerTheme();
    table_.clear();
    table_.reserve(TableFixe.size());
    for (const Entree& entree : TableFixe)
        table_.push_back(TExt{entree.Ext, -1, entree.Cat});
    for (TExt& entree : table_)
        entree.Icone = CapturerIcone(entree.Ext, images);
    DerniereExtension.clear();
    DerniereIcone = -1;
    DerniereCategorie = Categorie::Autre;
    dernierIndex_ = -1;
}

int Extension::CapturerIcone(const std::string& ext, ListeImages& images)
{
    PreparerTheme();
    Categorie categorie = Categorie::Autre;
    for (const Entree& entree : TableFixe)
        if (ext == entree.Ext)
            categorie = entree.Cat;

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
    return images.AjouterIcone(icone);
}

int Extension::IndexDe(const std::string& ext)
{
    if (ext == DerniereExtension)
        return dernierIndex_;
    DerniereExtension = ext;
    for (size_t i = 0; i < table_.size(); ++i) {
        if (table_[i].Ext == ext) {
            DerniereIcone = table_[i].Icone;
            DerniereCategorie = table_[i].Cat;
            dernierIndex_ = static_cast<int>(i);
            return dernierIndex_;
        }
    }
    // Unknown: the icon of the cache is left as it was.
    DerniereCategorie = Categorie::Autre;
    dernierIndex_ = -1;
    return -1;
}

void Extension::Rechercher(const std::string& ext, Categorie& categorie, int32_t& icone)
{
    const int index = IndexDe(ext);
    categorie = DerniereCategorie;
    if (index >= 0)
        icone = DerniereIcone;
}
