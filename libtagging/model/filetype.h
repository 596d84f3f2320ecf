#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include "libtagging/model/tagtypeoption.h"

class IAudioStreamIo;
class ICodecIo;
class IoStream;

// What the system does with one kind of audio file: the suffixes that select it, the
// container readers and writers to try in order, the codec header reader, and the default
// write options of its tag types. The registry is one ordered, process-wide list built on
// first use and never changed; records point at the format singletons without owning them.
class FileType
{
public:
    FileType(int id, const QStringList &suffixes, const QByteArray &magic,
             const QList<IAudioStreamIo *> &streamIos, const QList<TagTypeOption> &tagTypeOptions,
             ICodecIo *codecIo);

    // 1 to 14 and 16 for supported types; 0 for known suffixes of unsupported formats.
    int id = 0;
    QStringList suffixes;
    // Bytes that start a file of the type; empty for no signature.
    QByteArray magic;
    QList<IAudioStreamIo *> streamIos;
    QList<TagTypeOption> tagTypeOptions;
    ICodecIo *codecIo = nullptr;

    // All of these may be called from any thread.
    static const QList<FileType> &all();
    static const FileType *byId(int id);
    // By the suffix of the stream's name (any case); by signature only when it has none.
    // Never throws and leaves the stream's device open or closed as it was.
    static const FileType *detect(IoStream *stream);
    static const QStringList &allSuffixes();
    // "*.suffix" for every suffix of allSuffixes, for finding audio files in folders.
    static QStringList fileDialogFilters();
    static QList<TagTypeOption> defaultTagTypeOptions(int id);
    static QList<int> defaultTagTypesWithMode(int id, int mode);
    static QList<int> defaultTagTypes(int id);
    // The display name, as the text table holds it; empty outside 0 to 16.
    static QString typeName(int id);
};
