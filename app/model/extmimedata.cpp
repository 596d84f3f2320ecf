#include "app/model/extmimedata.h"

#include "app/model/mimedataentry.h"

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
