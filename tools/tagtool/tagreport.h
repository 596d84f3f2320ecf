#pragma once

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>
#include <QString>

class AudioFile;
class AudioTag;
class TagItem;

// What the program reads from one audio file, as one JSON object: file type, audio
// properties, every tag by tag type, the merged tag and the first error on the way.
class TagReport
{
public:
    // Reads the file through AudioFile; never throws, a failure goes into "error".
    static QJsonObject read(const QString &path);

    static QJsonObject properties(AudioFile &file);
    // [{"item", "value"}...] in the tag's order.
    static QJsonArray itemList(const AudioTag *tag);
    // {"item type": ["value"...]...}.
    static QJsonObject itemsByType(const AudioTag *tag);
    // The storage text of a textual item; size and hash of the content of any other.
    static QJsonObject item(const TagItem *item);
    // The bytes that stand for a non-textual item's content.
    static QByteArray content(const TagItem *item);
};
