#include "app/Apparence.h"

#include <QApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QStyle>
#include <QStyleFactory>
#include <QTranslator>

#include <memory>

namespace Apparence {

namespace {

const QString Catalogue = "qtbase";
const QString LangueParDefaut = "fr";

QTranslator* installe = nullptr;

}  // namespace

QString InstallerTraductionsQt(const QLocale& locale)
{
    if (installe) {
        QCoreApplication::removeTranslator(installe);
        delete installe;
        installe = nullptr;
    }
    const QString dossier = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    auto traduction = std::make_unique<QTranslator>(QCoreApplication::instance());
    // English has an empty file, Qt's texts being English already: the
    // program then speaks French to Qt's dialogs too.
    const bool pourLaLocale = traduction->load(locale, Catalogue, "_", dossier) && !traduction->isEmpty();
    if (!pourLaLocale && !traduction->load(Catalogue + "_" + LangueParDefaut, dossier))
        return {};
    if (!QCoreApplication::installTranslator(traduction.get()))
        return {};
    installe = traduction.release();
    // The language from the file's name: qtbase_fr.qm, qtbase_pt_BR.qm …
    const QString nom = QFileInfo(installe->filePath()).completeBaseName();
    return nom.mid(Catalogue.size() + 1).section('_', 0, 0);
}

QPalette PaletteClaire()
{
    // The light palette of Qt's own Fusion style, which the skin's trees,
    // drop-down and boxes were drawn with.
    const std::unique_ptr<QStyle> fusion(QStyleFactory::create("Fusion"));
    QPalette palette = fusion ? fusion->standardPalette() : QPalette(QColor(0xEF, 0xEF, 0xEF));
    for (int g = 0; g < QPalette::NColorGroups; ++g)
        for (int r = 0; r < QPalette::NColorRoles; ++r) {
            const auto groupe = QPalette::ColorGroup(g);
            const auto role = QPalette::ColorRole(r);
            palette.setBrush(groupe, role, palette.brush(groupe, role));
        }
    return palette;
}

void ImposerPaletteClaire()
{
    QApplication::setPalette(PaletteClaire());
}

}  // namespace Apparence
