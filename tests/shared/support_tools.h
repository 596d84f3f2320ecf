#pragma once

#include <QByteArray>
#include <QDebug>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

#include "shared/support_skip.h"

// Helpers of every test that runs the tools of the system (scripts/setup installs them).

// Runs a program of the system; false when it is missing, fails or times out (a failure
// prints the program's errors as a warning, so a failing interop check shows why).
inline bool run(const QString &program, const QStringList &arguments, QByteArray *output = nullptr,
                QByteArray *errors = nullptr)
{
    if (QStandardPaths::findExecutable(program).isEmpty())
        return false;
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        return false;
    }
    const QByteArray errorText = process.readAllStandardError();
    if (output)
        *output = process.readAllStandardOutput();
    if (errors)
        *errors = errorText;
    const bool ok = process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    if (!ok && !errorText.isEmpty())
        qWarning() << program << arguments << errorText;
    return ok;
}

// What the program prints; empty when it is missing or fails.
inline QByteArray outputOf(const QString &program, const QStringList &arguments)
{
    QByteArray output;
    return run(program, arguments, &output) ? output : QByteArray();
}

inline bool hasTool(const QString &program)
{
    return !QStandardPaths::findExecutable(program).isEmpty();
}

// The checksum of the decoded audio; "<failed>" when ffmpeg can't decode the file.
inline QString audioMd5(const QString &path)
{
    QByteArray output;
    if (!run(QStringLiteral("ffmpeg"), {"-v", "error", "-i", path, "-map", "0:a", "-f", "md5", "-"}, &output))
        return QStringLiteral("<failed>");
    return QString::fromLatin1(output).trimmed();
}

// A copy that the test may write, replacing whatever stood at the target; empty on failure.
inline QString writableCopy(const QString &from, const QString &to)
{
    QFile::remove(to);
    if (!QFile::copy(from, to))
        return {};
    QFile::setPermissions(to, QFile::ReadOwner | QFile::WriteOwner);
    return to;
}

inline QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A fifth of a second of 44.1 kHz mono silence encoded by lame at 32 kbit/s, without an Info
// header; false when lame is missing or fails.
inline bool makeSilentMp3(const QString &raw, const QString &mp3)
{
    QFile file(raw);
    if (!file.open(QIODevice::WriteOnly) || file.write(QByteArray(44100 / 5 * 2, '\0')) != 44100 / 5 * 2)
        return false;
    file.close();
    return run(QStringLiteral("lame"), {"--quiet", "-r", "-s", "44.1", "--bitwidth", "16", "-m", "m", "--signed",
                                       "--little-endian", "-b", "32", "--resample", "44.1", "--noreplaygain", "-t", raw, mp3});
}

// A square picture of noise, which no image format makes much smaller than its pixels.
inline QImage noiseImage(int side, quint32 seed)
{
    QImage image(side, side, QImage::Format_RGB32);
    QRandomGenerator random(seed);
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x)
            image.setPixel(x, y, random.generate() | 0xFF000000u);
    }
    return image;
}
