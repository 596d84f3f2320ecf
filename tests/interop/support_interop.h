#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>

// Running Debian's encoders and the readers of other taggers for the interoperability suite.
namespace interop {

// The python3 of the system, where python3-mutagen is installed.
inline const QString python = QStringLiteral("/usr/bin/python3");

// Runs the program to its end (60 s at most); true when it exited with code 0.
bool run(const QString &program, const QStringList &arguments, QByteArray *out = nullptr,
         QByteArray *errors = nullptr);
// Whether the program is on PATH (or, for a path, there and executable).
bool hasTool(const QString &program);
bool hasMutagen();

QByteArray fileBytes(const QString &path);
// "MD5=..." of the decoded audio, or a text starting with "<failed>".
QString audioMd5(const QString &path);
// The picture tag of encoded bytes as both sides print it: "picture:" and the MD5 in hex.
QString pictureKey(const QByteArray &bytes);

// How mutagen should open the file: by its content, or its APEv2 tag alone (mutagen
// reads APE tags of MPEG files only when asked).
enum class MutagenView { File, Ape };
// Every tag field mutagen finds, under mutagen's key names: texts as they are, number pairs
// as "n/m", pictures as pictureKey. An entry "<failed>" holds the error when it fails.
QMap<QString, QStringList> mutagenTags(const QString &path, MutagenView view);

struct ProbeResult
{
    // The tags of the container and of the audio streams, under ffmpeg's lower-case names.
    QMap<QString, QString> tags;
    // Streams that ffmpeg takes for attached pictures.
    int attachedPictures = 0;
    bool ok = false;
};
ProbeResult ffprobe(const QString &path);

// A small PNG image, different for each seed.
QByteArray pngImage(int seed);

// kid3-cli (TagLib), run with a configuration of its own so that a user's settings play no part.
// The tag is kid3's tag number: "1" ID3v1, "2" the main tag, "3" the APE tag of MPEG audio or
// RIFF INFO.
bool hasKid3();
// The title, artist, album and track (as kid3 shows it, "n" or "n/m") of the tag, under those
// names; an entry "<failed>" holds the error when it fails.
QMap<QString, QString> kid3Tags(const QString &path, const QString &tag);
// Sets the fields under those names in the tag and saves; false with the error in errors.
bool kid3Write(const QString &path, const QString &tag, const QMap<QString, QString> &values, QString *errors);

} // namespace interop
