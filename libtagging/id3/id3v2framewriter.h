#pragma once

#include "libtagging/id3/id3v2tagio.h"
#include "libtagging/model/involvedperson.h"

#include <QByteArray>
#include <QList>

class AudioTag;
class IoStream;
class TagItem;

// Builds the frames of one tag: item type by item type in ascending id, then the involved
// people, the user texts and the user links gathered on the way. One writer per render.
class Id3v2FrameWriter
{
public:
    Id3v2FrameWriter(IoStream *out, const AudioTag *tag, const Id3v2Settings *settings, bool multiArtistsInExtraField);
    ~Id3v2FrameWriter();

    // Every frame, without header or padding. An item type whose frames fail is left out
    // from the failure on; the rest of the tag is written. An unknown frame too large for
    // the version's frame size throws UnknownFrameTooLarge instead.
    QByteArray renderFrames();

private:
    void writeItemType(int itemType, const QList<TagItem *> &items);
    void writeTableRows(int itemType, const QList<TagItem *> &items);
    void writeReleaseDate(const QList<TagItem *> &items);
    void writeArtwork(const QList<TagItem *> &items);
    void writeTextWithLanguage(const QString &frameId, const QString &language, const QString &description,
                               const QString &text);
    void writeUnknownFrame(const QString &frameId, const QByteArray &data, const Id3v2FrameFlags &flags);
    void writeDeferred();
    // A fresh frame body named after the output, line breaks pinned to LF.
    IoStream *newBody();

    IoStream *m_out;
    const AudioTag *m_tag;
    const Id3v2Settings *m_s;
    bool m_multiArtistsInExtraField;
    IoStream *m_frames;
    IoStream *m_body = nullptr;
    QList<InvolvedPerson> m_people;
    QList<StringPair> m_userTexts;
    QList<StringPair> m_userLinks;
};
