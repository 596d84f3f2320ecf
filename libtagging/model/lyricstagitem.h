#pragma once

#include "libtagging/model/stringtagitem.h"

// Unsynchronised lyrics with their description.
class LyricsTagItem : public StringTagItem
{
public:
    static constexpr int Type = 58;

    explicit LyricsTagItem(QObject *parent = nullptr);
    LyricsTagItem(const QString &value, const QString &description, QObject *parent = nullptr);

    TagItem *clone(QObject *parent = nullptr) const override;
    // The value and the description.
    bool equals(const TagItem *other) const override;
    int type() const override;

    QString description;
};
