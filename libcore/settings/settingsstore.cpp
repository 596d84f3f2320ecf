#include "libcore/settings/settingsstore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMutexLocker>
#include <QRecursiveMutex>
#include <QSet>

#include <atomic>

#include "libcore/io/filetree.h"
#include "libcore/io/paths.h"
#include "libcore/log/exception.h"
#include "libcore/log/logger.h"
#include "libcore/platform/userfolders.h"
#include "libcore/xml/xmlutil.h"
#include "libcore/xml/xpath.h"

namespace {

constexpr quint32 BrokenFileKept = 3503079279;
constexpr quint32 BrokenFileNotKept = 2745227590;

QDomDocument emptyDocument()
{
    return createXmlDocument(QStringLiteral("settings"), QStringLiteral("1.0"), QStringLiteral("UTF-8"));
}

struct State {
    QRecursiveMutex mutex;
    QDomDocument current = emptyDocument();
    QDomDocument defaults = emptyDocument();
    QHash<QString, QString> cache;
    // Files that exist but failed to load: saving over one first keeps a copy of it.
    QSet<QString> unreadableFiles;
};

std::atomic<quint64> changes{0};

// Every change empties the read cache; readers that keep values of their own follow the count.
void changed(State &s)
{
    s.cache.clear();
    changes.fetch_add(1, std::memory_order_relaxed);
}

State &state()
{
    // Never freed: settings may be read while the process winds down.
    static auto *s = new State();
    return *s;
}

QString fullKey(const QString &key, int index)
{
    if (key.endsWith(u']'))
        return key;
    return QStringLiteral("%1[%2]").arg(key).arg(index);
}

QString fileKey(const QString &path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

QDomElement firstElement(const XmlNodeList &nodes)
{
    for (const QDomNode &node : nodes) {
        if (node.isElement())
            return node.toElement();
    }
    return QDomElement();
}

// "settings.xml.broken", or with a number when that is taken.
QString backupPath(const QString &path)
{
    const QString base = path + QStringLiteral(".broken");
    QString candidate = base;
    for (int n = 1; QFileInfo::exists(candidate) || QFileInfo(candidate).isSymLink(); ++n)
        candidate = QStringLiteral("%1.%2").arg(base).arg(n);
    return candidate;
}

void keepUnreadableFile(const QString &path)
{
    State &s = state();
    const QString key = fileKey(path);
    if (!s.unreadableFiles.contains(key))
        return;
    if (QFileInfo::exists(path)) {
        const QString backup = backupPath(path);
        if (!QFile::copy(path, backup)) {
            throw Exception(BrokenFileNotKept,
                            {QDir::toNativeSeparators(path), QDir::toNativeSeparators(backup)}, true);
        }
        Logger::warning(BrokenFileKept, {QDir::toNativeSeparators(backup)});
    }
    s.unreadableFiles.remove(key);
}

} // namespace

SettingsStore::KeyStep SettingsStore::parseKeyStep(const QString &step)
{
    KeyStep result;
    const qsizetype open = step.indexOf(u'[');
    if (open < 0 || !step.endsWith(u']')) {
        result.name = step;
        return result;
    }
    result.name = step.left(open);
    const QString inner = step.mid(open + 1, step.size() - open - 2);
    if (inner.isEmpty()) {
        result.index = -1;
        result.insert = true;
    } else if (inner.startsWith(u'*')) {
        result.index = inner.mid(1).toInt();
        result.insert = true;
    } else {
        result.index = inner.toInt();
    }
    return result;
}

QString SettingsStore::keyToXPath(const QString &key, bool lastIndex)
{
    QString path = QStringLiteral("settings");
    const QStringList steps = key.split(u'/');
    for (qsizetype i = 0; i < steps.size(); ++i) {
        const KeyStep step = parseKeyStep(steps.at(i));
        path += u'/';
        if (i + 1 < steps.size() || lastIndex)
            path += QStringLiteral("%1[%2]").arg(step.name).arg(step.index + 1);
        else
            path += step.name;
    }
    return path;
}

QString SettingsStore::value(const QString &key, int index)
{
    State &s = state();
    QMutexLocker lock(&s.mutex);
    const QString full = fullKey(key, index);
    const auto cached = s.cache.constFind(full);
    if (cached != s.cache.constEnd())
        return *cached;
    QString result;
    if (isUnset(full)) {
        result = defaultValue(full);
    } else {
        const XmlNodeList texts = xpathSelect(s.current, keyToXPath(full, true) + QStringLiteral("/text()"));
        if (!texts.isEmpty())
            result = xmlNodeText(texts.first());
    }
    s.cache.insert(full, result);
    return result;
}

bool SettingsStore::boolValue(const QString &key, int index)
{
    const QString v = value(key, index).trimmed().toLower();
    return v == QLatin1String("true") || v == QLatin1String("yes") || v == QLatin1String("on")
        || v == QLatin1String("1");
}

template<>
int SettingsStore::option<int>(const QString &group, const QString &name, int fallback)
{
    bool ok = false;
    const int v = value(group + u'/' + name).toInt(&ok);
    return ok ? v : fallback;
}

template<>
bool SettingsStore::option<bool>(const QString &group, const QString &name, bool fallback)
{
    const QString v = value(group + u'/' + name).trimmed().toLower();
    if (v == QLatin1String("true") || v == QLatin1String("yes") || v == QLatin1String("on") || v == QLatin1String("1"))
        return true;
    if (v == QLatin1String("false") || v == QLatin1String("no") || v == QLatin1String("off") || v == QLatin1String("0"))
        return false;
    return fallback;
}

template<>
bool SettingsStore::setOption<int>(const QString &group, const QString &name, int value)
{
    return setValue(group + u'/' + name, QString::number(value));
}

template<>
bool SettingsStore::setOption<bool>(const QString &group, const QString &name, bool value)
{
    return setValue(group + u'/' + name, value ? QStringLiteral("true") : QStringLiteral("false"));
}

int SettingsStore::count(const QString &key)
{
    State &s = state();
    QMutexLocker lock(&s.mutex);
    const QString path = keyToXPath(key, false);
    const qsizetype current = xpathSelect(s.current, path).size();
    if (current > 0)
        return int(current);
    return int(xpathSelect(s.defaults, path).size());
}

bool SettingsStore::isUnset(const QString &key)
{
    return firstElement(xpathSelect(state().current, keyToXPath(key, false))).isNull();
}

QString SettingsStore::defaultValue(const QString &key)
{
    const XmlNodeList texts = xpathSelect(state().defaults, keyToXPath(key, true) + QStringLiteral("/text()"));
    return texts.isEmpty() ? QString() : xmlNodeText(texts.first());
}

quint64 SettingsStore::changeCount()
{
    return changes.load(std::memory_order_relaxed);
}

QString SettingsStore::version()
{
    State &s = state();
    QMutexLocker lock(&s.mutex);
    return s.current.documentElement().attribute(QStringLiteral("version"));
}

bool SettingsStore::setValue(const QString &key, const QString &value, int index)
{
    State &s = state();
    QMutexLocker lock(&s.mutex);
    changed(s);
    const QString full = fullKey(key, index);
    QDomElement element = firstElement(xpathSelect(s.current, QStringLiteral("settings")));
    if (element.isNull())
        return false;
    try {
        const QStringList steps = full.split(u'/');
        for (const QString &text : steps) {
            const KeyStep step = parseKeyStep(text);
            const XmlNodeList matches = xpathSelect(element, step.name);
            const qsizetype c = matches.size();
            if (step.index == -1 || step.index == c)
                element = appendXmlElement(element, step.name);
            else if (step.index >= 0 && step.index < c && step.insert)
                element = insertXmlElementBefore(element, step.name, matches.at(step.index));
            else if (step.index >= 0 && step.index < c)
                element = matches.at(step.index).toElement();
            else
                return false;
        }
    } catch (const Exception &) {
        return false; // logged where it was raised
    }
    setXmlText(element, value);
    return true;
}

bool SettingsStore::remove(const QString &key)
{
    State &s = state();
    QMutexLocker lock(&s.mutex);
    changed(s);
    bool ok = true;
    const XmlNodeList nodes = xpathSelect(s.current, keyToXPath(key, key.endsWith(u']')));
    for (const QDomNode &node : nodes) {
        QDomNode parent = node.parentNode();
        if (parent.isNull() || parent.removeChild(node).isNull())
            ok = false;
    }
    return ok;
}

bool SettingsStore::removeChildren(const QString &key)
{
    State &s = state();
    QMutexLocker lock(&s.mutex);
    changed(s);
    QDomElement element = firstElement(xpathSelect(s.current, keyToXPath(key, true)));
    if (element.isNull())
        return true;
    bool ok = true;
    for (QDomNode child = element.lastChild(); !child.isNull();) {
        const QDomNode previous = child.previousSibling();
        if (element.removeChild(child).isNull())
            ok = false;
        child = previous;
    }
    return ok;
}

void SettingsStore::reset()
{
    State &s = state();
    QMutexLocker lock(&s.mutex);
    changed(s);
    s.current = emptyDocument();
}

void SettingsStore::loadFile(const QString &path)
{
    State &s = state();
    QMutexLocker lock(&s.mutex);
    changed(s);
    try {
        s.current = loadXmlFile(path);
        s.unreadableFiles.remove(fileKey(path));
    } catch (const Exception &) {
        if (QFileInfo::exists(path))
            s.unreadableFiles.insert(fileKey(path));
        throw;
    }
}

void SettingsStore::loadDefaultsFile(const QString &path)
{
    State &s = state();
    QMutexLocker lock(&s.mutex);
    changed(s);
    s.defaults = loadXmlFile(path);
}

void SettingsStore::saveFile(const QString &path)
{
    State &s = state();
    QMutexLocker lock(&s.mutex);
    QDomElement root = s.current.documentElement();
    if (root.tagName() == QLatin1String("settings"))
        root.setAttribute(QStringLiteral("version"), QCoreApplication::applicationVersion());
    keepUnreadableFile(path);
    saveXmlFile(s.current, path, false);
}

QString SettingsStore::filePath(int scope)
{
    return withTrailingSlash(applicationConfigDirectory(scope == 0)) + QStringLiteral("config/settings.xml");
}

void SettingsStore::load(int scope)
{
    State &s = state();
    QMutexLocker lock(&s.mutex);
    changed(s);
    QString path = filePath(scope);
    if (scope == 0 && !QFileInfo::exists(path))
        path = filePath(1);
    if (QFileInfo::exists(path))
        loadFile(path);
    else
        reset();
}

void SettingsStore::save(int scope)
{
    State &s = state();
    QMutexLocker lock(&s.mutex);
    const QString path = filePath(scope);
    makePath(parentPath(path));
    saveFile(path);
}
