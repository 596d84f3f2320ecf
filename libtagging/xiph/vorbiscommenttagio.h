#pragma once

#include "libtagging/model/itagio.h"
#include "libtagging/xiph/vorbiscommentsettings.h"

#include <QStringList>

class TagItem;

// The Vorbis comment: a vendor string and "NAME=value" fields, as Vorbis, Opus and Speex
// carry it in their comment packet and FLAC in its comment block. The stream handed in
// stands at the vendor length; whatever precedes the comment is the container's business.
// A stateless singleton, shared by every thread.
class VorbisCommentTagIo : public ITagIo
{
public:
    enum Code : quint32 {
        CoverArtWithoutData = 0x3CF7FB25,
        UnreadableDiscToc = 0x6A095F81,
        LengthPastEnd = 2286742016u,
    };

    static VorbisCommentTagIo *instance();

    int tagType() const override;
    bool isPrepended() const override;
    TagInfo *detect(IoStream *stream, bool atStart, QObject *parent) override;
    AudioTag *read(IoStream *stream, TagInfo *info, const TaggingSettings *settings,
                   QObject *parent) override;
    void render(IoStream *out, const AudioTag *tag, const TaggingSettings *settings) override;
    QList<int> supportedItemTypes() const override;

    // Writes the comment with the given comment settings: the stream writers choose the
    // vendor, the picture form and the framing byte for their container.
    void renderComment(IoStream *out, const AudioTag *tag, const VorbisCommentSettings &settings,
                       bool multiArtistsInExtraField);

    // Moves the stream from the vendor length to the end of the comment (and its framing
    // byte when the settings have one); returns the bytes passed. Throws when a length runs
    // past the data.
    int skipCommentPacket(IoStream *stream, const VorbisCommentSettings &settings);
    QString readVendorString(IoStream *stream);

    static VorbisCommentSettings loadSettings(const QString &group);
    static void saveSettings(const VorbisCommentSettings &settings, const QString &group);

    // One "name=value" text per item whose value text is not blank.
    static void appendFieldTexts(QStringList &texts, const QString &name, const QList<TagItem *> &items);

private:
    VorbisCommentTagIo() = default;
    ~VorbisCommentTagIo() override = default;
};
