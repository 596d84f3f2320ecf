#include "app/tagscript/namingpattern.h"

#include "libcore/settings/settingsstore.h"

namespace {

QString partKey(const QString &key, qsizetype level)
{
    return QStringLiteral("%1/%2[%3]/%4").arg(key, QStringLiteral("level"), QString::number(level),
                                             QStringLiteral("part"));
}

} // namespace

void saveNamingPattern(const NamingPattern &pattern, const QString &key)
{
    SettingsStore::removeChildren(key);
    SettingsStore::setValue(key + QStringLiteral("/isSimple"),
                            pattern.isSimple ? QStringLiteral("true") : QStringLiteral("false"), 0);
    // A level without parts would leave a gap that the levels after it could not be stored
    // behind: such levels are left out, and the others close up.
    qsizetype stored = 0;
    for (const QStringList &level : pattern.levels) {
        if (level.isEmpty())
            continue;
        const QString key2 = partKey(key, stored++);
        for (qsizetype j = 0; j < level.size(); ++j)
            SettingsStore::setValue(key2, level.at(j), int(j));
    }
}

NamingPattern loadNamingPattern(const QString &key)
{
    NamingPattern pattern;
    if (SettingsStore::count(key) == 0)
        return pattern;
    pattern.isSimple = SettingsStore::boolValue(key + QStringLiteral("/isSimple"), 0);
    const int levelCount = SettingsStore::count(key + QStringLiteral("/level"));
    for (int i = 0; i < levelCount; ++i) {
        const QString key2 = partKey(key, i);
        const int partCount = SettingsStore::count(key2);
        QStringList parts;
        for (int j = 0; j < partCount; ++j) {
            const QString part = SettingsStore::value(key2, j);
            parts.append(part.isEmpty() ? QStringLiteral(" ") : part);
        }
        pattern.levels.append(parts);
    }
    return pattern;
}
