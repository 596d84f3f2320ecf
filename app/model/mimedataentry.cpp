#include "app/model/mimedataentry.h"

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
