#pragma once

#include "libtagging/model/unknownstringtagitem.h"

// An MP4 text box that no item type maps; for a freeform entry (name "----") also the
// texts of its "mean" and "name" boxes.
class UnknownMp4StringTagItem : public UnknownStringTagItem
{
public:
    static constexpr int Type = 117;

    explicit UnknownMp4StringTagItem(QObject *parent = nullptr);
    UnknownMp4StringTagItem(const QString &name, const QString &value, QObject *parent = nullptr);
    UnknownMp4StringTagItem(const QString &name, const QString &value, const QString &mean,
                            const QString &freeformName, QObject *parent = nullptr);

    TagItem *clone(QObject *parent = nullptr) const override;
    int type() const override;

    QString mean;
    QString freeformName;
};
