#pragma once

#include "app/model/mimedataentry.h"

class TagItem;

// A copied tag item: a leaf holding its own clone of the item, so that later edits of the
// source do not reach what was copied.
class TagItemMimeDataEntry : public MimeDataEntry
{
    Q_OBJECT
public:
    TagItemMimeDataEntry(const TagItem *item, QObject *parent = nullptr);

    TagItem *item() const { return m_item; }

    QVariant data(const QString &format, int depth) const override;
    QStringList formats(int depth) const override;

private:
    TagItem *m_item = nullptr;
};
