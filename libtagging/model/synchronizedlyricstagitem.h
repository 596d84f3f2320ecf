#pragma once

#include "libcore/locale/languageinfo.h"
#include "libtagging/model/synchronizedlyricsline.h"
#include "libtagging/model/tagitem.h"

// Lyrics or other text lines, each tied to a point in time.
class SynchronizedLyricsTagItem : public TagItem
{
public:
    static constexpr int Type = 102;

    explicit SynchronizedLyricsTagItem(QObject *parent = nullptr);
    SynchronizedLyricsTagItem(const LanguageInfo &language, const QString &description, int contentType,
                              const QList<SynchronizedLyricsLine> &lines, QObject *parent = nullptr);
    // For formats that keep no language.
    SynchronizedLyricsTagItem(const QString &description, int contentType, const QList<SynchronizedLyricsLine> &lines,
                              QObject *parent = nullptr);

    TagItem *clone(QObject *parent = nullptr) const override;
    // Description, content type and every line with its time; the language takes no part.
    bool equals(const TagItem *other) const override;
    bool isEmpty() const override;
    bool isTextual() const override;
    // The lines' texts, one per line, without time stamps.
    QString toString(const QString &format = QString()) const override;
    int type() const override;

    LanguageInfo language;
    QString description;
    int contentType = 1; // 1: lyrics
    QList<SynchronizedLyricsLine> lines;
};
