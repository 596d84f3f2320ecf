#pragma once

#include "libtagging/model/itagio.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

class TagItem;

// The APE tag, versions 1 and 2 (written as 2, with header and footer), at either end of a
// stream. A stateless singleton, shared by every thread.
class ApeTagIo : public ITagIo
{
public:
    enum Code : quint32 {
        NoApeTagInfo = 0x68D9ECF1,
        BadContentType = 0xF401F319,
        EmptyCoverArt = 0x3FC62936,
        BadDiscToc = 0x0725D791,
    };
    enum ContentType { Text = 0, Binary = 1, Link = 2 };
    static constexpr int HeaderSize = 32;

    static ApeTagIo *instance();

    int tagType() const override;
    bool isPrepended() const override;
    TagInfo *detect(IoStream *stream, bool atStart, QObject *parent) override;
    AudioTag *read(IoStream *stream, TagInfo *info, const TaggingSettings *settings, QObject *parent) override;
    void render(IoStream *out, const AudioTag *tag, const TaggingSettings *settings) override;
    QList<int> supportedItemTypes() const override;

    // Item encoders: each appends one complete item.
    static void renderItem(QList<QByteArray> &items, const QString &key, const QByteArray &value, int contentType);
    static void renderTextItem(QList<QByteArray> &items, const QString &key, const QStringList &texts, bool link);
    static void renderSingleText(QList<QByteArray> &items, const QString &key, const QString &text, bool link);
    static void renderItemList(QList<QByteArray> &items, const QString &key, const QList<TagItem *> &tagItems);

private:
    ApeTagIo() = default;
    ~ApeTagIo() override = default;
};
