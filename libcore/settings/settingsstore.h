#pragma once

#include <QString>

// The process-wide settings: the user's document over the application's defaults document.
// Keys are slash-separated steps ("artwork/size/preferredSize"); a step may carry an index
// ("library[2]"), append ("library[]") or insert before an index ("library[*0]"). Reading
// falls back to the defaults only where the user's document has no element (or no list)
// for the key; every read is cached until the next change. All calls are thread-safe.
class SettingsStore
{
public:
    struct KeyStep {
        QString name;
        int index = 0;
        bool insert = false;
    };

    static QString value(const QString &key, int index = 0);
    static bool boolValue(const QString &key, int index = 0);
    static int count(const QString &key);
    static bool isUnset(const QString &key);
    static QString defaultValue(const QString &key);
    static QString version();
    // Counts the changes of the store (values set or removed, files loaded, resets): a
    // reader that keeps what it read re-reads when the count moved.
    static quint64 changeCount();

    static bool setValue(const QString &key, const QString &value, int index = 0);

    // Typed values of option records (int or bool) under "<group>/<name>". A text that is no
    // number, or none of the flag words boolValue knows ("false", "no", "off", "0" read as
    // false), reads as the fallback. Numbers are written in base 10, flags as "true"/"false".
    template<typename T>
    static T option(const QString &group, const QString &name, T fallback = T());
    template<typename T>
    static bool setOption(const QString &group, const QString &name, T value);
    static bool remove(const QString &key);
    static bool removeChildren(const QString &key);
    static void reset();

    static void loadFile(const QString &path);
    static void loadDefaultsFile(const QString &path);
    // Replaces the file atomically. When the file is one that failed to load, a copy of it
    // is kept beside it first, so the user's unreadable settings are never lost to a save.
    static void saveFile(const QString &path);
    // scope 0: the user's settings file; any other value: the machine's.
    static QString filePath(int scope);
    static void load(int scope);
    static void save(int scope);

    static KeyStep parseKeyStep(const QString &step);
    static QString keyToXPath(const QString &key, bool lastIndex);
};

template<> int SettingsStore::option<int>(const QString &group, const QString &name, int fallback);
template<> bool SettingsStore::option<bool>(const QString &group, const QString &name, bool fallback);
template<> bool SettingsStore::setOption<int>(const QString &group, const QString &name, int value);
template<> bool SettingsStore::setOption<bool>(const QString &group, const QString &name, bool value);
