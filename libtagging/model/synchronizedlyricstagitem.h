#pragma once

#include "libtagging/model/synchronizedlyricsline.h"
#include "libtagging/model/tagitem.h"

// Lyrics or other text lines, each tied to a point in time.
class SynchronizedLyricsTagItem : public TagItem
{
public:
    static constexpr int Type = 102;

    explicit SynchronizedLyricsTagItem(QObject *parent = nullptr);
    SynchronizedLyricsTagItem(const QString &description, int contentType, const QList<SynchronizedLyricsLine> &lines,
                              QObject *parent = nullptr);

    TagItem *clone(QObject *parent = nullptr) const override;
    bool equals(const TagItem *other) const override;
    bool isEmpty() const override;
    bool isTextual() const override;
    // The lines' texts, one per line, without time stamps.
    QString toString(const QString &format = QString()) const override;
    int type() const override;

    QString description;
    int contentType = 1; // 1: lyrics
    QList<SynchronizedLyricsLine> lines;
};
