#pragma once

#include "libtagging/model/unknowndatatagitem.h"

// An ASF attribute that no item type maps, with the numbers of its attribute record that
// the writer needs to store it again.
class UnknownAsfDataTagItem : public UnknownDataTagItem
{
public:
    static constexpr int Type = 110;

    explicit UnknownAsfDataTagItem(QObject *parent = nullptr);
    UnknownAsfDataTagItem(const QString &name, const QByteArray &data, int dataType, int number1, int number2,
                          QObject *parent = nullptr);

    TagItem *clone(QObject *parent = nullptr) const override;
    int type() const override;

    int asfDataType = 0;
    int number1 = 0;
    int number2 = 0;
};
