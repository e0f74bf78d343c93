#pragma once

// The program looks and speaks the same on every desktop: Qt's own texts
// (dialog buttons, the folder browser, edit menus) in the user's language
// or in French, and the skin's light palette whatever the desktop's theme.

#include <QLocale>
#include <QPalette>
#include <QString>

namespace Apparence {

// Loads Qt's translations (Debian's qt6-translations-l10n) for the locale,
// French when there are none for it (English included: its file is empty),
// and installs them in place of any
// loaded before. Returns the file's language ("fr", "de" …), empty when
// nothing could be loaded.
QString InstallerTraductionsQt(const QLocale& locale = QLocale());

// The light palette the skin is drawn for, every colour set so that a
// desktop theme change cannot replace any of them.
QPalette PaletteClaire();
// Makes Qt's Fusion style the application's style and the light palette
// its palette, whatever the desktop's theme chose.
void ImposerPaletteClaire();

} // namespace Apparence
