#pragma once

#include <QMimeData>

class MimeDataEntry;

// What the program puts on the clipboard or into a drag: a tree of entries whose formats
// and data are produced on request. Inside the process a paste finds this very object and
// reads typed values from it.
class ExtMimeData : public QMimeData
{
    Q_OBJECT
public:
    // Takes the entry over as a child.
    explicit ExtMimeData(MimeDataEntry *entry, QObject *parent = nullptr);

    MimeDataEntry *entry() const { return m_entry; }

    QStringList formats() const override;

protected:
    QVariant retrieveData(const QString &format, QMetaType preferredType) const override;

private:
    MimeDataEntry *m_entry = nullptr;
};

// The clipboard's content as an entry tree: the program's own data object as it is (owned
// by the clipboard), or text split into a grid at line feeds and TABs, or an image, as a
// new object under the parent. Null for an empty clipboard and for text whose lines have
// different numbers of cells.
ExtMimeData *clipboardMimeData(QObject *parent);
