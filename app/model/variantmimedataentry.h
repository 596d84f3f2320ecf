#pragma once

#include "app/model/mimedataentry.h"
#include "app/model/modeldatatype.h"

// A copied value (a file or audio property, or text or an image from another application),
// rendered for display with its value format.
class VariantMimeDataEntry : public MimeDataEntry
{
    Q_OBJECT
public:
    VariantMimeDataEntry(const QVariant &value, int valueFormat, QObject *parent = nullptr);

    QVariant value() const { return m_value; }
    int valueFormat() const { return m_valueFormat; }

    QVariant data(const QString &format, int depth) const override;
    QStringList formats(int depth) const override;

private:
    QVariant displayValue() const;
    // The display value as an image; a null image when it is none.
    QImage displayImage() const;

    QVariant m_value;
    int m_valueFormat = PlainFormat;
};
