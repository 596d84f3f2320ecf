#include "app/model/tagitemmimedataentry.h"

#include <QUrl>

#include "app/model/artworktempfile.h"
#include "app/model/datatypevalues.h"
#include "libcore/image/codedimage.h"
#include "libtagging/model/tagitem.h"

TagItemMimeDataEntry::TagItemMimeDataEntry(const TagItem *item, QObject *parent)
    : MimeDataEntry(0, 0, parent), m_item(item ? item->clone(this) : nullptr)
{
}

QStringList TagItemMimeDataEntry::formats(int depth) const
{
    Q_UNUSED(depth)
    QStringList result{MimeFormat::ExtendedData};
    if (!m_item)
        return result;
    if (m_item->isPlainValue())
        result << MimeFormat::RawData;
    result << MimeFormat::TagItemData;
    if (m_item->type() == TagItemType::Artwork)
        result << MimeFormat::Image << MimeFormat::UriList;
    if (m_item->isTextual())
        result << MimeFormat::PlainText;
    return result;
}

QVariant TagItemMimeDataEntry::data(const QString &format, int depth) const
{
    Q_UNUSED(depth)
    if (!m_item)
        return QVariant();
    const bool artwork = m_item->type() == TagItemType::Artwork;
    if (format == MimeFormat::TagItemData)
        return QVariant::fromValue(static_cast<void *>(m_item));
    if (format == MimeFormat::RawData)
        return m_item->toVariant();
    if (format == MimeFormat::Image)
        return artwork ? QVariant(m_item->toVariant().value<CodedImage>().image()) : QVariant();
    if (format == MimeFormat::UriList) {
        if (!artwork)
            return QVariant();
        const QUrl url = artworkTempFileUrl(m_item->toVariant().value<CodedImage>());
        return url.isEmpty() ? QVariant() : QVariant(QVariantList{QVariant(url)});
    }
    if (format == MimeFormat::PlainText)
        return tagItemValue(*m_item, Qt::DisplayRole).toString();
    return QVariant();
}
