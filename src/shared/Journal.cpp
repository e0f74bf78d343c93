#include "shared/Journal.h"

#include <QFile>

#include <cstdlib>

void Journal::Ecrire(const QString& ligne)
{
    static const char* const chemin = std::getenv("RUVIZARO_JOURNAL");
    if (!chemin || !*chemin)
        return;
    QFile fichier(QString::fromLocal8Bit(chemin));
    if (fichier.open(QIODevice::Append | QIODevice::Text))
        fichier.write((ligne + "\n").toUtf8());
}
