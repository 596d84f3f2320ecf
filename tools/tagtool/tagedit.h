#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

class AudioTag;

// One change that `tagtool write` makes to a file's merged tag, in command-line order.
class TagEdit
{
public:
    enum Kind { Set, Add, Clear, Picture };

    // Reads the options after the file name. Throws a coded Exception for an unknown
    // option or item type, a missing argument, or a picture file that cannot be read.
    static QList<TagEdit> parse(const QStringList &arguments);
    // Throws a coded Exception when a value does not convert; the tag may then hold some
    // of the edits, so callers do not save it.
    static void applyAll(const QList<TagEdit> &edits, AudioTag *tag);
    // Reads the file, applies the edits to its merged tag and writes it with the default
    // tagging settings. Nothing is written unless every edit applied.
    static void save(const QString &path, const QList<TagEdit> &edits);

    Kind kind = Set;
    int itemType = -1;
    QString value;
    QByteArray picture;
};
