#pragma once

#include "libtagging/id3/id3v1settings.h"
#include "libcore/platform/platformidentity.h"
#include "libtagging/model/itagio.h"

#include <QHash>
#include <QString>
#include <QStringList>

class AudioTag;

// The fixed 128-byte ID3v1 tag at the end of a stream, layouts 1.0 and 1.1 (a track
// number in the last two bytes of the comment).
class Id3v1TagIo : public ITagIo
{
public:
    static constexpr int TagSize = 128;

    enum Code : quint32 {
        NotAnId3v1Tag = 0xB9174FE8,
        InvalidTextEncoding = 0xDAEF5B8D,
    };

    static Id3v1TagIo *instance();

    int tagType() const override;
    bool isPrepended() const override;
    TagInfo *detect(IoStream *stream, bool atStart, QObject *parent) override;
    AudioTag *read(IoStream *stream, TagInfo *info, const TaggingSettings *settings, QObject *parent) override;
    // Throws InvalidTextEncoding for a text encoding outside 0 to 2 before writing anything.
    void render(IoStream *out, const AudioTag *tag, const TaggingSettings *settings) override;
    // render with the format's own options.
    static void renderTag(IoStream *out, const AudioTag *tag, const Id3v1Settings &settings);
    QList<int> supportedItemTypes() const override;

    static const QHash<int, QString> &genres();
    static const QHash<QString, int> &genreNumbers();
    static const QStringList &sortedGenreNames();

    // A stored text encoding outside 0 to 2, or no number at all, gives the default.
    static Id3v1Settings loadSettings(const QString &group);
    static void saveSettings(const Id3v1Settings &settings, const QString &group);

private:
    Id3v1TagIo() = default;

    // One field at byte `at` of the 125 bytes after the marker.
    static void readField(const QByteArray &fields, int at, AudioTag *tag, int itemType, int width,
                          LineEnding lineEnding);
    static void writeField(IoStream *out, const AudioTag *tag, int itemType, int width, const Id3v1Settings *settings);
};
