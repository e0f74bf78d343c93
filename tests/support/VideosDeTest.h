#pragma once

// Short videos made by the ffmpeg command for the video player's tests:
// by default the moving test picture with a tone, in the container asked for.

#include <QProcess>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <string>

struct VideoDeTest
{
    QString Extension;
    QStringList Codecs; // ffmpeg's output options for that container
};

// Containers of the Video category with a codec each can carry.
inline const VideoDeTest VideosCourtes[] = {
    {"mpg", {"-c:v", "mpeg1video", "-c:a", "mp2"}},    {"avi", {"-c:v", "mpeg4", "-c:a", "mp3"}},
    {"mkv", {"-c:v", "libx264", "-c:a", "libvorbis"}}, {"mov", {"-c:v", "mpeg4", "-c:a", "aac"}},
    {"asf", {"-c:v", "wmv2", "-c:a", "wmav2"}},
};

// The moving test picture, 160 × 120 at 25 frames a second, for that long.
inline QString MireAnimee(int secondes = 3, int images = 25, const QString& taille = "160x120")
{
    return QString("testsrc=duration=%1:size=%2:rate=%3").arg(secondes).arg(taille).arg(images);
}

// Writes dossier/nom from an ffmpeg source graph, with a tone as long as the
// picture unless sans son. Returns the path, empty on failure.
inline std::string GenererVideo(const QString& dossier, const QString& nom, const QStringList& codecs,
                                const QString& source = MireAnimee(), bool son = true)
{
    const QString chemin = dossier + '/' + nom;
    QStringList arguments = {"-v", "error", "-y", "-f", "lavfi", "-i", source};
    if (son)
        arguments << "-f"
                  << "lavfi"
                  << "-i"
                  << "sine"
                  << "-shortest";
    arguments << codecs << chemin;
    QProcess ffmpeg;
    ffmpeg.start("ffmpeg", arguments);
    if (!ffmpeg.waitForFinished(60000) || ffmpeg.exitStatus() != QProcess::NormalExit || ffmpeg.exitCode() != 0) {
        ADD_FAILURE() << "ffmpeg failed for " << nom.toStdString() << ": "
                      << ffmpeg.readAllStandardError().toStdString();
        return {};
    }
    return chemin.toStdString();
}
