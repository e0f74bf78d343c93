#include "support/SonsDeTest.h"

#include <QFile>
#include <QProcess>

std::string SonsDeTest::Generer(const QString& nom, const QString& expression, double secondes,
                                const QStringList& options)
{
    const QString chemin = dir_.filePath(nom);
    QStringList arguments{
        "-v", "error", "-y", "-f", "lavfi", "-i", QString("aevalsrc='%1':s=44100:d=%2").arg(expression).arg(secondes)};
    arguments << "-ac"
              << "2" << options << chemin;
    QProcess ffmpeg;
    ffmpeg.start("ffmpeg", arguments);
    if (!ffmpeg.waitForFinished(120000) || ffmpeg.exitCode() != 0)
        return {};
    return chemin.toStdString();
}

std::string SonsDeTest::Sinus(const QString& nom, double frequence, double secondes)
{
    const QString canal = QString("sin(2*PI*%1*t)").arg(frequence, 0, 'f', 6);
    return Generer(nom, canal + "|" + canal, secondes);
}

std::string SonsDeTest::Ecrire(const QString& nom, const QByteArray& octets)
{
    const QString chemin = dir_.filePath(nom);
    QFile fichier(chemin);
    if (!fichier.open(QIODevice::WriteOnly) || fichier.write(octets) != octets.size())
        return {};
    return chemin.toStdString();
}

QByteArray SonsDeTest::Midi(bool tronque)
{
    // At 96 ticks per quarter note and the default 120 bpm, 144 ticks are
    // 0.75 s; two notes one after the other.
    const QByteArray piste = QByteArray::fromHex("00C000"     // piano
                                                 "00903C7F"   // C4 on, velocity 127
                                                 "8110803C00" // 144 ticks later, off
                                                 "0090437F"   // G4 on
                                                 "8110804300" // off
                                                 "00FF2F00"); // end of track
    // "MThd", header length 6, format 0, one track, 96 ticks per quarter.
    QByteArray fichier = QByteArray::fromHex("4D54686400000006000000010060");
    fichier += "MTrk";
    const quint32 longueur = quint32(piste.size());
    fichier += char(longueur >> 24);
    fichier += char(longueur >> 16);
    fichier += char(longueur >> 8);
    fichier += char(longueur);
    fichier += piste;
    if (tronque)
        fichier.chop(piste.size() / 2);
    return fichier;
}
