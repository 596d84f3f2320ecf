#include "app/model/mimedataentry.h"

#include "app/artwork/artworkpreparation.h"
#include "libcore/log/exception.h"
#include "libcore/settings/settingsstore.h"
#include "libtagging/model/artworktagitem.h"
#include "libtagging/model/tagitem.h"

MimeDataEntry::MimeDataEntry(int rows, int columns, QObject *parent)
    : QObject(parent), m_rows(std::max(rows, 0)), m_columns(std::max(columns, 0))
{
    m_entries.resize(qsizetype(m_rows) * m_columns);
}

MimeDataEntry *MimeDataEntry::entry(int index) const
{
    return index >= 0 && index < m_entries.size() ? m_entries.at(index) : nullptr;
}

void MimeDataEntry::setEntry(int index, MimeDataEntry *child)
{
    if (index < 0 || index >= m_entries.size() || m_entries.at(index) == child)
        return;
    delete m_entries.at(index);
    if (child)
        child->setParent(this);
    m_entries[index] = child;
}

QStringList MimeDataEntry::formats(int depth) const
{
    bool image = false;
    bool text = false;
    const bool imageCounts = depth > 0 || m_entries.size() == 1;
    for (const MimeDataEntry *child : m_entries) {
        if (!child)
            continue;
        const QStringList childFormats = child->formats(depth + 1);
        image = image || (imageCounts && childFormats.contains(MimeFormat::Image));
        text = text || childFormats.contains(MimeFormat::PlainText);
    }
    QStringList result{MimeFormat::ExtendedData};
    if (image)
        result << MimeFormat::Image << MimeFormat::UriList;
    if (text)
        result << MimeFormat::PlainText;
    return result;
}

QVariant MimeDataEntry::data(const QString &format, int depth) const
{
    if (format == MimeFormat::PlainText)
        return gridText(depth);
    if (format == MimeFormat::Image || format == MimeFormat::UriList)
        return firstChildData(format, depth);
    return QVariant();
}

QVariant MimeDataEntry::gridText(int depth) const
{
    QString text;
    for (int row = 0; row < m_rows; ++row) {
        for (int column = 0; column < m_columns; ++column) {
            if (const MimeDataEntry *child = m_entries.at(qsizetype(row) * m_columns + column)) {
                QString cell = child->data(MimeFormat::PlainText, depth + 1).toString();
                cell.replace(u'\t', u' ');
                cell.replace(u'\n', u' ');
                text += cell;
                if (depth > 0 && !text.trimmed().isEmpty())
                    return text.trimmed();
            }
            if (column + 1 < m_columns)
                text += u'\t';
        }
        text += u'\n';
    }
    text = text.trimmed();
    return text.isEmpty() ? QVariant() : QVariant(text);
}

QVariant MimeDataEntry::firstChildData(const QString &format, int depth) const
{
    for (const MimeDataEntry *child : m_entries) {
        if (!child)
            continue;
        const QVariant value = child->data(format, depth + 1);
        if (value.isValid())
            return value;
    }
    return QVariant();
}

QList<TagItem *> MimeDataEntry::createTagItems(int itemType, QObject *parent) const
{
    QList<TagItem *> items;
    appendTagItems(items, itemType, parent);
    return items;
}

void MimeDataEntry::appendTagItems(QList<TagItem *> &items, int itemType, QObject *parent) const
{
    if (m_rows > 1 && m_columns > 1)
        throw Exception::quiet();
    const QStringList offered = formats(0);
    bool ok = true;
    bool taken = false;
    if (offered.contains(MimeFormat::TagItemData)) {
        const auto *item = static_cast<const TagItem *>(data(MimeFormat::TagItemData, 0).value<void *>());
        if (item && item->type() == itemType) {
            items.append(item->clone(parent));
            taken = true;
        }
    }
    if (!taken && offered.contains(MimeFormat::RawData)) {
        QObject temporary;
        TagItem *item = TagItem::create(itemType, &temporary);
        QStringList tried{MimeFormat::RawData};
        if (offered.contains(MimeFormat::PlainText)) {
            if (TagItem::dataTypeOf(itemType) == TagItemDataType::String)
                tried.prepend(MimeFormat::PlainText);
            else
                tried.append(MimeFormat::PlainText);
        }
        ok = false;
        for (const QString &format : std::as_const(tried)) {
            if (!item || !item->fromVariant(data(format, 0)))
                continue;
            if (itemType == TagItemType::Artwork && SettingsStore::boolValue(QStringLiteral("artwork/reprocess/file"))) {
                auto *artwork = static_cast<ArtworkTagItem *>(item);
                artwork->setImage(prepareArtworkImage(artwork->toVariant().value<CodedImage>()));
            }
            item->setParent(parent);
            items.append(item);
            ok = true;
            break;
        }
    }
    for (const MimeDataEntry *child : m_entries) {
        if (!child)
            continue;
        try {
            child->appendTagItems(items, itemType, parent);
        } catch (const Exception &) {
            ok = false;
        }
    }
    if (!ok)
        throw Exception::quiet();
}
