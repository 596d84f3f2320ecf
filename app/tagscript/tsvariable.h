#pragma once

#include "app/model/modeldatatype.h"
#include "app/tagscript/tsexpression.h"

#include <QString>

// "%name%": the value of a data type or of a special variable for the file, the name in
// any case. In file-name mode a text value brings in no folder separator and no "." or
// ".." level.
class TsVariable : public TsExpression
{
public:
    explicit TsVariable(const QString &name, QObject *parent = nullptr);

    QVariant evaluate(AudioFile *context, int mode) const override;

    // As written between the two '%' signs.
    const QString name;

private:
    // What the name denotes, looked up once: a data type wins over a special name.
    ModelDataType m_dataType;
    int m_special = -1;
};
