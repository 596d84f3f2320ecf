#include "app/model/variantmimedataentry.h"

#include <QImage>
#include <QUrl>

#include "app/model/artworktempfile.h"
#include "app/model/datatypevalues.h"
#include "libcore/image/codedimage.h"

VariantMimeDataEntry::VariantMimeDataEntry(const QVariant &value, int valueFormat, QObject *parent)
    : MimeDataEntry(0, 0, parent), m_value(value), m_valueFormat(valueFormat)
{
}

QVariant VariantMimeDataEntry::displayValue() const
{
    return formatValue(m_value, Qt::DisplayRole, ValueFormat(m_valueFormat));
}

QImage VariantMimeDataEntry::displayImage() const
{
    // An image pasted from another application is shown as itself, not as a text.
    const QVariant display = m_value.typeId() == QMetaType::QImage || m_value.typeId() == QMetaType::QPixmap
                                 ? m_value
                                 : displayValue();
    if (display.typeId() == QMetaType::QImage || display.typeId() == QMetaType::QPixmap)
        return display.value<QImage>();
    return QImage();
}

QStringList VariantMimeDataEntry::formats(int depth) const
{
    Q_UNUSED(depth)
    QStringList result{MimeFormat::ExtendedData};
    if (m_value.isValid())
        result << MimeFormat::RawData;
    if (!displayImage().isNull())
        result << MimeFormat::Image << MimeFormat::UriList;
    else if (!displayValue().toString().trimmed().isEmpty())
        result << MimeFormat::PlainText;
    return result;
}

QVariant VariantMimeDataEntry::data(const QString &format, int depth) const
{
    Q_UNUSED(depth)
    if (format == MimeFormat::RawData)
        return m_value;
    if (format == MimeFormat::Image) {
        const QImage image = displayImage();
        return image.isNull() ? QVariant() : QVariant(image);
    }
    if (format == MimeFormat::UriList) {
        if (m_value.typeId() != qMetaTypeId<CodedImage>())
            return QVariant();
        const QUrl url = artworkTempFileUrl(m_value.value<CodedImage>());
        return url.isEmpty() ? QVariant() : QVariant(QVariantList{QVariant(url)});
    }
    if (format == MimeFormat::PlainText) {
        if (!displayImage().isNull())
            return QVariant();
        return displayValue().toString();
    }
    return QVariant();
}
