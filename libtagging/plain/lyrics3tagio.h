#pragma once

#include "libtagging/model/itagio.h"

#include <QByteArray>
#include <QString>

class TagItem;

// The Lyrics3 tag at the end of a stream, in front of an ID3v1 tag: version 1 is read,
// version 2 read and written. A stateless singleton, shared by every thread.
class Lyrics3TagIo : public ITagIo
{
public:
    enum Code : quint32 {
        NoLyrics3TagInfo = 0xBF73D163,
        BadFieldSize = 0x0F36F774,
        // The fields do not fit the six digits of the tag size.
        TagTooLarge = 0x5DE89AA6,
    };
    static constexpr int MaxFieldSize = 99999;
    static constexpr int MaxTagSize = 999999;

    static Lyrics3TagIo *instance();

    int tagType() const override;
    bool isPrepended() const override;
    TagInfo *detect(IoStream *stream, bool atStart, QObject *parent) override;
    AudioTag *read(IoStream *stream, TagInfo *info, const TaggingSettings *settings, QObject *parent) override;
    void render(IoStream *out, const AudioTag *tag, const TaggingSettings *settings) override;
    QList<int> supportedItemTypes() const override;

    // A lyrics item of text without time stamps, a synchronized one of text with them, or
    // null when no line has text.
    static TagItem *parseLyrics(const QString &text, QObject *parent);
    static void writeField(IoStream *out, const QString &id, const QString &text);
    static void writeFieldBytes(IoStream *out, const QString &id, const QByteArray &bytes);
    static void writeItemField(IoStream *out, const QString &id, const AudioTag *tag, int itemType);

private:
    Lyrics3TagIo() = default;
    ~Lyrics3TagIo() override = default;
};
