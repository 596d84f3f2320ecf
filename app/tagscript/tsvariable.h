#pragma once

#include "app/tagscript/tsexpression.h"

#include <QString>

// "%name%": the value of a data type or of a special variable for the file.
class TsVariable : public TsExpression
{
public:
    explicit TsVariable(const QString &name, QObject *parent = nullptr);

    QVariant evaluate(AudioFile *context, int mode) const override;

    // As written between the two '%' signs.
    const QString name;
};
