// How update sets live in the settings store: the list of named sets, the counter of their
// ids, and the settings that select a set by id or hold one inline.

#include "app/identification/updateset.h"

#include <limits>

#include "app/tagscript/scriptvariables.h"
#include "libcore/settings/settingsstore.h"

namespace {
const QString ListKey = QStringLiteral("updateSets/updateSet");
const QString NextIdKey = QStringLiteral("updateSets/nextId");

QString entryKeyAt(int index)
{
    return QStringLiteral("%1[%2]").arg(ListKey).arg(index);
}

QString childKey(const QString &key, const QString &child)
{
    return key + u'/' + child;
}

// The id of a new set: the counter's value, but never an id that a stored set already has
// (a counter that was lost or edited would otherwise give two sets one entry).
int newSetId(const QMap<int, UpdateSet> &cache)
{
    bool ok = false;
    const qint64 counter = SettingsStore::value(NextIdKey).toLongLong(&ok);
    qint64 id = std::max<qint64>(ok ? counter : 0, 1);
    if (!cache.isEmpty())
        id = std::max<qint64>(id, qint64(cache.lastKey()) + 1);
    if (id < std::numeric_limits<int>::max())
        return int(id);
    // Only a counter pushed to the end of the range gets here: take the first free id.
    int free = 1;
    while (cache.contains(free))
        ++free;
    return free;
}
} // namespace

QMap<int, UpdateSet> &UpdateSet::all()
{
    static QMap<int, UpdateSet> cache = [] {
        QMap<int, UpdateSet> sets;
        sets.insert(DefaultSetId, defaultSet());
        const int count = SettingsStore::count(ListKey);
        for (int i = 0; i < count; ++i) {
            UpdateSet set;
            set.readEntry(entryKeyAt(i));
            // Only ids from 1 on name stored sets: an entry without one must not take the
            // default set's place.
            if (set.id > DefaultSetId)
                sets.insert(set.id, set);
        }
        return sets;
    }();
    return cache;
}

UpdateSet UpdateSet::fromSetting(const QString &key)
{
    switch (SettingsStore::value(childKey(key, QStringLiteral("type"))).toInt()) {
    case 0:
        return all().value(SettingsStore::value(childKey(key, QStringLiteral("data"))).toInt(), defaultSet());
    case 1: {
        UpdateSet set;
        set.parseDataText(childKey(key, QStringLiteral("data")));
        return set;
    }
    default:
        return defaultSet();
    }
}

void UpdateSet::writeSetting(const QString &key) const
{
    SettingsStore::removeChildren(key);
    if (id < 0) {
        SettingsStore::setValue(childKey(key, QStringLiteral("type")), QStringLiteral("1"));
        dataText(childKey(key, QStringLiteral("data")));
    } else {
        SettingsStore::setValue(childKey(key, QStringLiteral("type")), QStringLiteral("0"));
        SettingsStore::setValue(childKey(key, QStringLiteral("data")), QString::number(id));
    }
}

void UpdateSet::save()
{
    QMap<int, UpdateSet> &cache = all();
    QString entryKey;
    if (id <= DefaultSetId) {
        id = newSetId(cache);
        SettingsStore::setValue(NextIdKey, QString::number(qint64(id) + 1));
        entryKey = entryKeyAt(SettingsStore::count(ListKey));
    } else {
        entryKey = settingsKeyForId(id);
    }
    cache.insert(id, *this);
    if (!entryKey.isNull()) {
        SettingsStore::removeChildren(entryKey);
        writeEntry(entryKey);
    }
}

void UpdateSet::remove()
{
    if (id <= DefaultSetId)
        return;
    all().remove(id);
    const QString entryKey = settingsKeyForId(id);
    if (!entryKey.isNull())
        SettingsStore::remove(entryKey);
    id = UnstoredSetId;
}

QString UpdateSet::settingsKeyForId(int id)
{
    const int count = SettingsStore::count(ListKey);
    for (int i = 0; i < count; ++i) {
        const QString key = entryKeyAt(i);
        if (SettingsStore::value(childKey(key, QStringLiteral("id"))).toInt() == id)
            return key;
    }
    return QString();
}

void UpdateSet::readEntry(const QString &entryKey)
{
    id = SettingsStore::value(childKey(entryKey, QStringLiteral("id"))).toInt();
    name = SettingsStore::value(childKey(entryKey, QStringLiteral("name")));
    parseDataText(childKey(entryKey, QStringLiteral("data")));
}

void UpdateSet::writeEntry(const QString &entryKey) const
{
    SettingsStore::setValue(childKey(entryKey, QStringLiteral("id")), QString::number(id));
    SettingsStore::setValue(childKey(entryKey, QStringLiteral("name")), name);
    dataText(childKey(entryKey, QStringLiteral("data")));
}

void UpdateSet::dataText(const QString &key) const
{
    const QMap<ModelDataType, QString> &names = dataTypeNames();
    QStringList pairs;
    for (auto it = dataTypes.constBegin(); it != dataTypes.constEnd(); ++it) {
        const auto name = names.constFind(it.key());
        if (name != names.constEnd())
            pairs.append(QStringLiteral("%1:%2").arg(*name).arg(it.value()));
    }
    SettingsStore::setValue(key, pairs.join(u','));
}

void UpdateSet::parseDataText(const QString &key)
{
    dataTypes.clear();
    const QMap<QString, ModelDataType> &names = variableNames();
    const QStringList parts = SettingsStore::value(key).split(u',', Qt::SkipEmptyParts);
    for (const QString &part : parts) {
        const QStringList pieces = part.split(u':');
        if (pieces.size() != 2)
            continue;
        const auto dataType = names.constFind(pieces.first().toLower());
        if (dataType == names.constEnd())
            continue;
        dataTypes.insert(*dataType, pieces.last().toInt());
    }
}
