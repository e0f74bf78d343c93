#include "classification/Extension.h"

#include "scan/Stockage.h"
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
    CodeCategorie Cat;
};

// In this order: it is the order of the icons in ImageListExt and of the
// nodes of every "Par Extension" tree.
constexpr std::array<Entree, 30> TableFixe = {{
    {"avi", CategorieVideo},  {"mpg", CategorieVideo},  {"mpeg", CategorieVideo},
    {"mov", CategorieVideo},  {"wmv", CategorieVideo},  {"divx", CategorieVideo},
    {"qt", CategorieVideo},   {"asf", CategorieVideo},  {"mkv", CategorieVideo},
    {"mp3", CategorieSon},    {"wav", CategorieSon},    {"wma", CategorieSon},
    {"mid", CategorieSon},    {"midi", CategorieSon},   {"ogg", CategorieSon},
    {"mp2", CategorieSon},    {"mp4", CategorieSon},
    {"jpg", CategorieImage},  {"jpeg", CategorieImage}, {"ico", CategorieImage},
    {"bmp", CategorieImage},  {"gif", CategorieImage},  {"png", CategorieImage},
    {"txt", CategorieTexte},  {"doc", CategorieTexte},  {"xls", CategorieTexte},
    {"pdf", CategorieTexte},  {"rtf", CategorieTexte},  {"pps", CategorieTexte},
    {"ppt", CategorieTexte},
}};

constexpr const char* DossierIcones = "/usr/share/icons";
constexpr const char* ThemeParDefaut = "Adwaita";
constexpr const char* ThemeMinimal = "hicolor";

// The icon shown for a category when the type has none of its own.
QString IconeGenerique(int32_t categorie)
{
    switch (categorie) {
    case CategorieVideo:
        return QStringLiteral("video-x-generic");
    case CategorieSon:
        return QStringLiteral("audio-x-generic");
    case CategorieImage:
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

}   // namespace

void Extension::Remplir(ListeImages& images)
{
    PreparerTheme();
    Table_.clear();
    Table_.reserve(TableFixe.size());
    for (const Entree& entree : TableFixe)
        Table_.push_back(TExt{entree.Ext, -1, entree.Cat});
    for (TExt& entree : Table_)
        entree.Icone = CapturerIcone(entree.Ext, images);
    DerniereExtension.clear();
    DerniereIcone = -1;
    DerniereCategorie = CategorieAutre;
    DernierIndex = -1;
}

int Extension::CapturerIcone(const std::string& ext, ListeImages& images)
{
    PreparerTheme();
    int32_t categorie = CategorieAutre;
    for (const Entree& entree : TableFixe)
        if (ext == entree.Ext)
            categorie = entree.Cat;

    const QMimeDatabase types;
    const QMimeType type =
        types.mimeTypeForFile(QStringLiteral("x.") + QString::fromStdString(ext), QMimeDatabase::MatchExtension);
    QIcon icone = QIcon::fromTheme(type.iconName());
    if (icone.isNull())
        icone = QIcon::fromTheme(type.genericIconName());
    if (icone.isNull())
        icone = QIcon::fromTheme(IconeGenerique(categorie));
    return images.AjouterIcone(icone);
}

int Extension::IndexDe(const std::string& ext)
{
    if (ext == DerniereExtension)
        return DernierIndex;
    DerniereExtension = ext;
    for (size_t i = 0; i < Table_.size(); ++i) {
        if (Table_[i].Ext == ext) {
            DerniereIcone = Table_[i].Icone;
            DerniereCategorie = Table_[i].Categorie;
            DernierIndex = static_cast<int>(i);
            return DernierIndex;
        }
    }
    // Unknown: the icon of the cache is left as it was.
    DerniereCategorie = CategorieAutre;
    DernierIndex = -1;
    return -1;
}

void Extension::Rechercher(const std::string& ext, int32_t& categorie, int32_t& icone)
{
    const int index = IndexDe(ext);
    categorie = DerniereCategorie;
    if (index >= 0)
        icone = DerniereIcone;
}

int Extension::RemplirArbresExtension()
{
    if (stockage_)
        for (const TExt& entree : Table_)
            stockage_->AjouterNoeudsExtension(entree.Categorie, entree.Ext);
    return static_cast<int>(Table_.size());
}
