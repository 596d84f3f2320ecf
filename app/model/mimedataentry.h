#pragma once

#include <QList>
#include <QObject>
#include <QStringList>
#include <QVariant>

class TagItem;

// The formats of the program's clipboard and drag data. Only plain text, the image and the
// URI list mean anything to other processes; the tag item pointer and the raw value are
// meaningful only inside the process that copied them.
namespace MimeFormat {
inline const QString ExtendedData = QStringLiteral("application/x-extendeddata");
inline const QString TagItemData = QStringLiteral("application/x-tagitemdata");
inline const QString RawData = QStringLiteral("application/x-rawdata");
inline const QString Image = QStringLiteral("application/x-qt-image");
inline const QString UriList = QStringLiteral("text/uri-list");
inline const QString PlainText = QStringLiteral("text/plain");
} // namespace MimeFormat

// A node of copied data: a grid of rows x columns child entries (row-major; a null slot is
// an empty cell), or a leaf that subclasses fill. Formats and data are computed when asked,
// never stored. The depth is 0 for the entry asked directly; a grid asks its children one
// level deeper. Children are QObject children of the grid.
class MimeDataEntry : public QObject
{
    Q_OBJECT
public:
    MimeDataEntry(int rows, int columns, QObject *parent = nullptr);

    int rows() const { return m_rows; }
    int columns() const { return m_columns; }
    // The child in a slot; null for an empty slot or an index outside the grid.
    MimeDataEntry *entry(int index) const;
    // Replaces a slot's child (the previous one is deleted); indexes outside are ignored.
    void setEntry(int index, MimeDataEntry *child);

    virtual QVariant data(const QString &format, int depth) const;
    virtual QStringList formats(int depth) const;

    // New items of the type made from this entry and its children in slot order, children of
    // the parent: a copied item of the same type is cloned, anything else is converted from
    // its raw value or text. Only leaves and 1 x n or n x 1 grids convert; any failure
    // throws an Exception with code 0 that is not logged (the caller says what failed).
    QList<TagItem *> createTagItems(int itemType, QObject *parent) const;
    void appendTagItems(QList<TagItem *> &items, int itemType, QObject *parent) const;

private:
    // The cells' texts, TAB between columns and line feed between rows, trimmed; inside
    // another grid the first cell that is not blank.
    QVariant gridText(int depth) const;
    QVariant firstChildData(const QString &format, int depth) const;

    QList<MimeDataEntry *> m_entries;
    int m_rows = 0;
    int m_columns = 0;
};
