#include "app/model/extmimedata.h"

#include "app/model/mimedataentry.h"
#include "app/model/variantmimedataentry.h"

#include <QClipboard>
#include <QGuiApplication>

ExtMimeData::ExtMimeData(MimeDataEntry *entry, QObject *parent) : QMimeData(), m_entry(entry)
{
    setParent(parent);
    if (m_entry)
        m_entry->setParent(this);
}

QStringList ExtMimeData::formats() const
{
    return m_entry ? m_entry->formats(0) : QStringList();
}

QVariant ExtMimeData::retrieveData(const QString &format, QMetaType preferredType) const
{
    Q_UNUSED(preferredType)
    return m_entry ? m_entry->data(format, 0) : QVariant();
}

ExtMimeData *clipboardMimeData(QObject *parent)
{
    const QMimeData *data = QGuiApplication::clipboard()->mimeData(QClipboard::Clipboard);
    if (!data)
        return nullptr;
    if (data->hasFormat(MimeFormat::ExtendedData)) {
        if (const auto *own = qobject_cast<const ExtMimeData *>(data))
            return const_cast<ExtMimeData *>(own);
    }
    if (data->hasText()) {
        QStringList lines = data->text().split(u'\n');
        if (lines.last().isEmpty())
            lines.removeLast();
        QList<QStringList> cells;
        cells.reserve(lines.size());
        for (const QString &line : std::as_const(lines)) {
            cells.append(line.split(u'\t'));
            if (cells.last().size() != cells.first().size())
                return nullptr; // pasted text must be rectangular
        }
        const int columns = cells.isEmpty() ? 0 : int(cells.first().size());
        auto *grid = new MimeDataEntry(int(cells.size()), columns);
        int slot = 0;
        for (const QStringList &row : std::as_const(cells)) {
            for (const QString &cell : row)
                grid->setEntry(slot++, new VariantMimeDataEntry(cell, PlainFormat));
        }
        return new ExtMimeData(grid, parent);
    }
    if (data->hasImage())
        return new ExtMimeData(new VariantMimeDataEntry(data->imageData(), PlainFormat), parent);
    return nullptr;
}
