#include "ui/FolderDialog.h"

#include <QApplication>
#include <QFileDialog>
#include <QScreen>

bool FolderDialog::Choisir(const QString& invite, const QString& titre, const QString& depart)
{
    QFileDialog dialogue(nullptr, titre, depart);
    dialogue.setFileMode(QFileDialog::Directory);
    dialogue.setOption(QFileDialog::ShowDirsOnly, true);
    if (!invite.isEmpty())
        dialogue.setLabelText(QFileDialog::LookIn, invite);
    dialogue.adjustSize();
    if (const QScreen* ecran = QApplication::primaryScreen()) {
        const QRect zone = ecran->availableGeometry();
        dialogue.move(zone.width() / 2 - dialogue.width() / 2, zone.height() / 2 - dialogue.height() / 2);
    }
    if (dialogue.exec() != QDialog::Accepted)
        return false;
    const QStringList choix = dialogue.selectedFiles();
    if (choix.isEmpty() || choix.front().isEmpty())
        return false;
    Repertoire = choix.front();
    return true;
}
