#pragma once

#include "libcore/locale/languageinfo.h"
#include "libtagging/model/stringtagitem.h"

// Unsynchronised lyrics with their description and language.
class LyricsTagItem : public StringTagItem
{
public:
    static constexpr int Type = 58;

    explicit LyricsTagItem(QObject *parent = nullptr);
    LyricsTagItem(const QString &value, const QString &description, const LanguageInfo &language = LanguageInfo(),
          QObject *parent = nullptr);
    // For formats that keep no language.
    LyricsTagItem(const QString &value, const QString &description, QObject *parent);

    TagItem *clone(QObject *parent = nullptr) const override;
    // The value and the description; the language takes no part, so the same text
    // read from formats that do and do not keep a language stays one item.
    bool equals(const TagItem *other) const override;
    int type() const override;

    QString description;
    LanguageInfo language;
};
