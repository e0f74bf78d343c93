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

} // namespace

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
    // drop-down and boxes were drawn with. It is written out here: under a
    // desktop theme (Qt's GTK one) Fusion's standard palette is the theme's.
    const QColor fond(239, 239, 239);
    const QColor sombre = fond.darker(150);
    const QColor moyen = fond.darker(130);
    const QColor ombre = sombre.darker(135);
    const QColor texteInactif(190, 190, 190);
    const QColor selection(48, 140, 198);
    QColor indication(Qt::black);
    indication.setAlpha(128);
    QPalette palette(Qt::black, fond, fond.lighter(150), sombre, moyen, Qt::black, Qt::white);
    palette.setBrush(QPalette::Midlight, moyen.lighter(110));
    palette.setBrush(QPalette::Button, fond);
    palette.setBrush(QPalette::Shadow, ombre);
    palette.setBrush(QPalette::HighlightedText, Qt::white);
    palette.setBrush(QPalette::Disabled, QPalette::Text, texteInactif);
    palette.setBrush(QPalette::Disabled, QPalette::WindowText, texteInactif);
    palette.setBrush(QPalette::Disabled, QPalette::ButtonText, texteInactif);
    palette.setBrush(QPalette::Disabled, QPalette::Base, fond);
    palette.setBrush(QPalette::Disabled, QPalette::Dark, QColor(209, 209, 209).darker(110));
    palette.setBrush(QPalette::Disabled, QPalette::Shadow, ombre.lighter(150));
    palette.setBrush(QPalette::Active, QPalette::Highlight, selection);
    palette.setBrush(QPalette::Inactive, QPalette::Highlight, selection);
    palette.setBrush(QPalette::Disabled, QPalette::Highlight, QColor(145, 145, 145));
    palette.setBrush(QPalette::PlaceholderText, indication);
    // Every colour set, so that none is taken from the desktop's palette.
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
    // The style first: setting a style gives the application its palette.
    if (QApplication::style()->name().compare("fusion", Qt::CaseInsensitive) != 0)
        if (QStyle* fusion = QStyleFactory::create("Fusion"))
            QApplication::setStyle(fusion);
    QApplication::setPalette(PaletteClaire());
}

} // namespace Apparence
