#pragma once

#include "libtagging/model/unknownstringtagitem.h"

// An ASF text attribute that no item type maps, with the two numbers of its attribute
// record that the writer needs to store it again.
class UnknownAsfStringTagItem : public UnknownStringTagItem
{
public:
    static constexpr int Type = 111;

    explicit UnknownAsfStringTagItem(QObject *parent = nullptr);
    UnknownAsfStringTagItem(const QString &name, const QString &value, int number1, int number2,
                            QObject *parent = nullptr);

    TagItem *clone(QObject *parent = nullptr) const override;
    int type() const override;

    int number1 = 0;
    int number2 = 0;
};
