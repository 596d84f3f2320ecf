#pragma once

#include "libtagging/model/iaudiostreamio.h"

class ITagIo;
class FreeStreamTagManager;
class TagInfo;

// Streams without a container: loose tags at the front and at the end, the audio between
// them handed to the file type's codec header reader. Also strips and reads the loose tags
// glued to container files. A stateless singleton, shared by every thread.
class FreeStreamIo : public IAudioStreamIo
{
public:
    enum Code : quint32 {
        NoTagReader = 0x45B3ECF5,
        NoTagToWrite = 0x42A2AA0E,
        RenderedTagNotFound = 0x9BAE0D6A,
        NoCodecReader = 0x704C90F7,
        TagsOverlapAudio = 0xE918012A,
        WrittenTagsDoNotReadBack = 0x5C3A7E91,
    };

    static FreeStreamIo *instance();

    QList<AudioTag *> readTags(IoStream *stream, const QList<int> &tagTypes,
                               const TaggingSettings *settings, QObject *parent) override;
    void writeTags(IoStream *stream, const AudioTag *tag, const QList<int> &tagTypes,
                   const TaggingSettings *settings) override;
    void removeTags(IoStream *stream, const QList<int> &tagTypes,
                    const TaggingSettings *settings) override;
    AudioProperties readAudioProperties(IoStream *stream, ICodecIo *codecIo) override;
    QList<int> supportedItemTypes() const override;

    // The loose tags of a container file: those in front, and those behind the end the
    // container declares (see declaredEnd), so audio that looks like a tag stays.
    QList<AudioTag *> readLooseTags(IoStream *stream, const QList<IAudioStreamIo *> &containerIos,
                                    const TaggingSettings *settings, QObject *parent) override;
    void removeLooseTags(IoStream *stream, const QList<IAudioStreamIo *> &containerIos,
                         const TaggingSettings *settings) override;
    // The end the first of the readers declares for the container that begins at start; -1
    // when none declares one. A reader that throws declares nothing.
    static qint64 declaredEnd(IoStream *stream, const QList<IAudioStreamIo *> &containerIos, qint64 start);

private:
    FreeStreamIo() = default;
    ~FreeStreamIo() override = default;

    static QList<AudioTag *> readStack(IoStream *stream, const FreeStreamTagManager &manager,
                                       const QList<int> &tagTypes, const TaggingSettings *settings,
                                       QObject *parent);
    // Renders and places the tags of the types, then checks that they read back.
    // padId3v2: the ID3v2 tag gets more than 128 bytes of padding, whatever room it had.
    static void writeStack(IoStream *stream, const AudioTag *tag, const QList<int> &tagTypes,
                           const TaggingSettings &settings, bool padId3v2);
    // The tag as it will stand in the stream, its place not set yet.
    static TagInfo *renderTag(IoStream *stream, const FreeStreamTagManager &manager, ITagIo *io,
                              const AudioTag *tag, const TaggingSettings &settings, bool padId3v2);
    // Puts a rendered tag in the place of those of its type, or where its type belongs.
    static void placeTag(IoStream *stream, FreeStreamTagManager &manager, ITagIo *io, TagInfo *info);
    static qint64 insertionPoint(IoStream *stream, FreeStreamTagManager &manager, ITagIo *io);
    // Throws when a fresh scan of the stream does not find exactly the tags the manager placed:
    // bytes of one tag can look like another's mark once the stack has moved.
    static void checkReadsBack(IoStream *stream, const FreeStreamTagManager &manager);
    // Refuses, before anything is written, a stream that holds another format or no valid
    // stream of the codec its name says.
    static void checkContent(IoStream *stream, const FreeStreamTagManager &manager);
};
