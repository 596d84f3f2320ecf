#include "libtagging/id3/id3v2framewriter.h"

#include "libcore/io/iostream.h"
#include "libcore/log/exception.h"
#include "libcore/text/asciitextcodec.h"
#include "libcore/text/latin1textcodec.h"
#include "libcore/text/stringutils.h"
#include "libcore/text/textcodec.h"
#include "libcore/text/utf8textcodec.h"
#include "libtagging/id3/id3v2framereader.h"
#include "libtagging/id3/id3v2frametable.h"
#include "libtagging/id3/id3v2unknownframetagitem.h"
#include "libtagging/model/artworktagitem.h"
#include "libtagging/model/audiotag.h"
#include "libtagging/model/commenttagitem.h"
#include "libtagging/model/datetimetagitem.h"
#include "libtagging/model/disctoctagitem.h"
#include "libtagging/model/encapsulatedobjecttagitem.h"
#include "libtagging/model/eventtimingtagitem.h"
#include "libtagging/model/fileidentifiertagitem.h"
#include "libtagging/model/involvedpeoplelisttagitem.h"
#include "libtagging/model/lyricstagitem.h"
#include "libtagging/model/plaintagitems.h"
#include "libtagging/model/privatetagitem.h"
#include "libtagging/model/synchronizedlyricstagitem.h"
#include "libtagging/model/unknownid3v2datatagitem.h"
#include "libtagging/model/userdefinedlinktagitem.h"
#include "libtagging/model/userdefinedtexttagitem.h"
#include "libtagging/model/volumeadjustmenttagitem.h"

#include <QDir>

#include <algorithm>

namespace {
void appendUInt32(IoStream *body, quint32 value)
{
    body->writeUInt32(value, true);
}

QString twoDigits(int value)
{
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

QString textFormatFor(const TagItem *item)
{
    switch (item->type()) {
    case TagItemType::Language:
        return QStringLiteral("ISO_639_2_T");
    case TagItemType::ReleaseCountry:
        return QStringLiteral("ISO_3166_1_A2");
    case TagItemType::Script:
        return QStringLiteral("ISO_15924");
    default:
        return QString();
    }
}

void renderTextFrame(IoStream *out, const QString &frameId, const QStringList &texts,
                     const Id3v2Settings *settings)
{
    if (texts.isEmpty())
        return;
    bool withBom = false;
    TextCodec *codec = Id3v2TagIo::codecForTexts(texts, &withBom, settings);
    IoStream body(QIODevice::ReadWrite);
    body.setName(out->name());
    // Line breaks are pinned to LF, so the bytes do not depend on the platform.
    body.setWriteLineEnding(LineEnding::Lf);
    body.writeByte(char(Id3v2TagIo::encodingByteForCodec(out, codec)));
    for (const QString &text : texts)
        body.writeText(text, codec, 0, -1, -1, withBom, true);
    Id3v2TagIo::renderFrame(out, frameId, body.data(), settings);
}

void renderDateFrame(IoStream *out, const QString &frameId, const QList<TagItem *> &items,
                     const Id3v2Settings *settings)
{
    QStringList texts;
    for (const TagItem *item : items) {
        const auto *date = static_cast<const DateTimeTagItem *>(item);
        if (date->value.year() >= 0)
            texts.append(date->value.toString(QStringLiteral("yyyy-MM-ddThh:mm:ss:zzz")));
    }
    renderTextFrame(out, frameId, texts, settings);
}

void renderItemsTextFrame(IoStream *out, const QString &frameId, const QList<TagItem *> &items,
                          const Id3v2Settings *settings)
{
    QStringList texts;
    for (const TagItem *item : items)
        texts.append(item->toString(textFormatFor(item)));
    renderTextFrame(out, frameId, texts, settings);
}

void renderUrlFrame(IoStream *out, const QString &frameId, const QStringList &urls,
                    const Id3v2Settings *settings)
{
    if (urls.isEmpty())
        return;
    TextCodec *codec = Id3v2TagIo::latin1OrUtf8Codec(urls);
    // Without an encoding byte the reader guesses the encoding: Latin-1 it would take for
    // another one (FE FF reads as a UTF-16 byte order mark) is written as UTF-8.
    const bool hasEncodingByte = frameId == QLatin1String("WFED");
    if (!hasEncodingByte && codec == Latin1TextCodec::instance()
        && !std::all_of(urls.cbegin(), urls.cend(), [codec](const QString &url) {
               return TextCodec::guessReadsBack(codec->encode(url, -1, -1, false, false, CodecErrorMode::Skip), url);
           })) {
        codec = Utf8TextCodec::instance();
    }
    IoStream body(QIODevice::ReadWrite);
    body.setName(out->name());
    body.setWriteLineEnding(LineEnding::Lf);
    if (hasEncodingByte)
        body.writeByte(char(Id3v2TagIo::encodingByteForCodec(out, codec)));
    for (const QString &url : urls)
        body.writeText(url, codec, 0, -1, -1, false, true);
    Id3v2TagIo::renderFrame(out, frameId, body.data(), settings);
}

void renderUrlFrame(IoStream *out, const QString &frameId, const QList<TagItem *> &items,
                    const Id3v2Settings *settings)
{
    if (items.isEmpty())
        return;
    QStringList urls;
    for (const TagItem *item : items)
        urls.append(item->toString());
    renderUrlFrame(out, frameId, urls, settings);
}

void appendTextValues(QList<StringPair> &out, const QString &description, const QList<TagItem *> &items,
                      bool join)
{
    QStringList texts;
    for (const TagItem *item : items) {
        const QString text = item->toString(textFormatFor(item));
        if (!text.trimmed().isEmpty())
            texts.append(text);
    }
    if (!join) {
        for (const QString &text : std::as_const(texts))
            out.append({description, text});
    } else if (!texts.isEmpty()) {
        out.append({description, texts.join(QChar(0))});
    }
}

void appendInvolvedPeople(QList<InvolvedPerson> &out, char kind, const QString &role,
                          const QList<TagItem *> &items)
{
    for (const TagItem *item : items) {
        const QString name = item->toString();
        if (!name.trimmed().isEmpty())
            out.append(InvolvedPerson(qint8(kind), name, role));
    }
}
} // namespace

Id3v2FrameWriter::Id3v2FrameWriter(IoStream *out, const AudioTag *tag, const Id3v2Settings *settings,
                                   bool multiArtistsInExtraField)
    : m_out(out), m_tag(tag), m_s(settings), m_multiArtistsInExtraField(multiArtistsInExtraField),
      m_frames(new IoStream(QIODevice::ReadWrite))
{
    m_frames->setName(out->name());
}

Id3v2FrameWriter::~Id3v2FrameWriter()
{
    delete m_body;
    delete m_frames;
}

IoStream *Id3v2FrameWriter::newBody()
{
    delete m_body;
    m_body = new IoStream(QIODevice::ReadWrite);
    m_body->setName(m_out->name());
    // Line breaks are pinned to LF, so the bytes do not depend on the platform.
    m_body->setWriteLineEnding(LineEnding::Lf);
    return m_body;
}

QByteArray Id3v2FrameWriter::renderFrames()
{
    const QMap<int, QList<TagItem *>> byType = m_tag->itemsByType();
    for (auto it = byType.cbegin(); it != byType.cend(); ++it) {
        try {
            writeItemType(it.key(), it.value());
        } catch (const Exception &e) {
            // The exception logged itself; the other item types are still written. An unknown
            // frame cannot be made again from other items: it stops the save instead.
            if (e.code == Id3v2TagIo::UnknownFrameTooLarge)
                throw;
        }
    }
    writeDeferred();
    return m_frames->data();
}

void Id3v2FrameWriter::writeUnknownFrame(const QString &frameId, const QByteArray &data, const Id3v2FrameFlags &flags)
{
    const int version = m_s->version;
    const auto tooLarge = [&] {
        return Exception(Id3v2TagIo::UnknownFrameTooLarge, {m_out->displayName(), frameId, qint64(data.size())});
    };
    // A frame the version cannot name is left out by design; one its size field cannot
    // hold (24 bits in 2.2, 28 in 2.4) would vanish unnoticed.
    const qint64 limit = version == 2 ? 0xFFFFFF : version == 4 ? 0x0FFFFFFF : -1;
    if (limit >= 0 && data.size() > limit && !Id3v2TagIo::convertFrameId(frameId, version).isEmpty())
        throw tooLarge();
    // A data length no synchsafe number holds cannot be written. Of plain data, written
    // whole, it says nothing needed and is left out; a packed frame cannot go without it.
    const bool badDataLength = flags.dataLengthIndicator && (flags.dataLength < 0 || flags.dataLength > 0x0FFFFFFF);
    Id3v2FrameFlags written = flags;
    if (badDataLength && !flags.compression && !flags.encryption)
        written.dataLengthIndicator = false;
    QByteArray frame;
    try {
        frame = Id3v2TagIo::frameBytes(frameId, data, m_s, &written);
    } catch (const Exception &e) {
        // Else the extra bytes or the unsynchronisation took the body past the limit.
        if (e.code != Id3v2TagIo::SizeTooLarge || (written.dataLengthIndicator && badDataLength))
            throw;
        throw tooLarge();
    }
    if (!frame.isEmpty())
        m_frames->writeBytes(frame);
}

void Id3v2FrameWriter::writeItemType(int itemType, const QList<TagItem *> &items)
{
    using namespace TagItemType;
    const bool v4 = m_s->version == 4;
    switch (itemType) {
    case Artist: {
        const bool firstOnly = m_multiArtistsInExtraField && items.size() > 1;
        renderItemsTextFrame(m_frames, QStringLiteral("TPE1"), firstOnly ? items.mid(0, 1) : items, m_s);
        appendTextValues(m_userTexts, QStringLiteral("Artists"), m_tag->additionalArtists(), true);
        return;
    }
    case Copyright: {
        QList<TagItem *> texts;
        QList<TagItem *> urls;
        for (TagItem *item : items)
            (isUrlText(item->toString()) ? urls : texts).append(item);
        renderItemsTextFrame(m_frames, QStringLiteral("TCOP"), texts, m_s);
        renderUrlFrame(m_frames, QStringLiteral("WCOP"), urls, m_s);
        return;
    }
    case IsPodcast: {
        for (const TagItem *item : items) {
            if (!static_cast<const BooleanTagItem *>(item)->value)
                continue;
            Id3v2TagIo::renderFrame(m_frames, QStringLiteral("PCST"), QByteArray(4, '\0'), m_s);
            if (m_tag->itemText(PodcastUrl).trimmed().isEmpty()) {
                QString album = m_tag->itemText(Album).trimmed();
                if (album.isEmpty())
                    album = QStringLiteral("podcast");
                renderUrlFrame(m_frames, QStringLiteral("WFED"), QStringList{album}, m_s);
            }
            return;
        }
        return;
    }
    case PartOfCompilation:
        for (const TagItem *item : items) {
            if (static_cast<const BooleanTagItem *>(item)->value) {
                renderTextFrame(m_frames, QStringLiteral("TCMP"), QStringList{QStringLiteral("1")}, m_s);
                return;
            }
        }
        return;
    case IsClassicalMusic:
        for (const TagItem *item : items) {
            if (static_cast<const BooleanTagItem *>(item)->value) {
                m_userTexts.append({QStringLiteral("SHOWMOVEMENT"), QStringLiteral("1")});
                return;
            }
        }
        return;
    case UserDefinedText:
        for (const TagItem *item : items) {
            const auto *text = static_cast<const UserDefinedTextTagItem *>(item);
            if (text->description.startsWith(QLatin1String("iTun")))
                writeTextWithLanguage(QStringLiteral("COMM"), QStringLiteral("eng"), text->description, text->value);
            else
                m_userTexts.append({text->description, text->value});
        }
        return;
    case UserDefinedLink:
        for (const TagItem *item : items) {
            const auto *link = static_cast<const UserDefinedLinkTagItem *>(item);
            m_userLinks.append({link->description, link->value});
        }
        return;
    case VolumeAdjustment:
        for (const TagItem *item : items) {
            const auto *volume = static_cast<const VolumeAdjustmentTagItem *>(item);
            m_userTexts.append({QStringLiteral("REPLAYGAIN_TRACK_GAIN"), VolumeAdjustmentTagItem::gainText(volume->trackGain)});
            m_userTexts.append({QStringLiteral("REPLAYGAIN_TRACK_PEAK"), VolumeAdjustmentTagItem::peakText(volume->trackPeak)});
            m_userTexts.append({QStringLiteral("REPLAYGAIN_ALBUM_GAIN"), VolumeAdjustmentTagItem::gainText(volume->albumGain)});
            m_userTexts.append({QStringLiteral("REPLAYGAIN_ALBUM_PEAK"), VolumeAdjustmentTagItem::peakText(volume->albumPeak)});
        }
        return;
    case UnknownId3v2Data:
        for (const TagItem *item : items) {
            const auto *unknown = static_cast<const UnknownId3v2DataTagItem *>(item);
            try {
                writeUnknownFrame(unknown->name, unknown->data, Id3v2UnknownFrameTagItem::flagsOf(item));
            } catch (const Exception &e) {
                // A packed frame whose data length no synchsafe number holds loses itself,
                // logged, and not the unknown frames after it.
                if (e.code == Id3v2TagIo::UnknownFrameTooLarge)
                    throw;
            }
        }
        return;
    case UnknownId3v2String:
        for (TagItem *item : items) {
            const QString id = static_cast<const UnknownId3v2StringTagItem *>(item)->name;
            // A URL frame has no encoding byte: written as text, the address would gain one.
            if (id.startsWith(u'W'))
                renderUrlFrame(m_frames, id, QList<TagItem *>{item}, m_s);
            else
                renderItemsTextFrame(m_frames, id, QList<TagItem *>{item}, m_s);
        }
        return;
    case EncodingDate:
        renderDateFrame(m_frames, QStringLiteral("TDEN"), items, m_s);
        return;
    case TaggingDate:
        renderDateFrame(m_frames, QStringLiteral("TDTG"), items, m_s);
        return;
    case ReleaseDate:
        if (v4)
            renderDateFrame(m_frames, QStringLiteral("TDRC"), items, m_s);
        else
            writeReleaseDate(items);
        return;
    case OriginalReleaseDate:
        if (v4) {
            renderDateFrame(m_frames, QStringLiteral("TDOR"), items, m_s);
        } else {
            QStringList years;
            for (const TagItem *item : items) {
                const int year = static_cast<const DateTimeTagItem *>(item)->value.year();
                if (year >= 0)
                    years.append(QStringLiteral("%1").arg(year, 4, 10, QLatin1Char('0')));
            }
            renderTextFrame(m_frames, QStringLiteral("TORY"), years, m_s);
        }
        return;
    case Artwork:
        writeArtwork(items);
        return;
    case Comment:
        for (const TagItem *item : items) {
            const auto *comment = static_cast<const CommentTagItem *>(item);
            writeTextWithLanguage(QStringLiteral("COMM"), comment->language.iso639_2T, comment->description,
                                  comment->value);
        }
        return;
    case Lyrics:
        for (const TagItem *item : items) {
            const auto *lyrics = static_cast<const LyricsTagItem *>(item);
            writeTextWithLanguage(QStringLiteral("USLT"), lyrics->language.iso639_2T, lyrics->description,
                                  lyrics->value);
        }
        return;
    case SynchronizedLyrics:
        for (const TagItem *item : items) {
            const auto *lyrics = static_cast<const SynchronizedLyricsTagItem *>(item);
            QStringList texts{lyrics->description};
            for (const SynchronizedLyricsLine &line : lyrics->lines)
                texts.append(line.text);
            bool withBom = false;
            TextCodec *codec = Id3v2TagIo::codecForTexts(texts, &withBom, m_s);
            IoStream *body = newBody();
            body->writeByte(char(Id3v2TagIo::encodingByteForCodec(m_out, codec)));
            body->writeText(lyrics->language.iso639_2T, AsciiTextCodec::instance(), 0, 3, 3);
            body->writeByte(0);
            body->writeByte(char(lyrics->contentType));
            body->writeText(lyrics->description, codec, 0, -1, -1, withBom, true);
            for (const SynchronizedLyricsLine &line : lyrics->lines) {
                body->writeText(line.text, codec, 0, -1, -1, withBom, true);
                appendUInt32(body, quint32(line.time));
            }
            Id3v2TagIo::renderFrame(m_frames, QStringLiteral("SYLT"), body->data(), m_s);
        }
        return;
    case EventTiming:
        for (const TagItem *item : items) {
            IoStream *body = newBody();
            body->writeByte(0);
            for (const TimedEvent &event : static_cast<const EventTimingTagItem *>(item)->events) {
                body->writeByte(char(event.type));
                appendUInt32(body, quint32(event.time));
            }
            Id3v2TagIo::renderFrame(m_frames, QStringLiteral("ETCO"), body->data(), m_s);
        }
        return;
    case EncapsulatedObject:
        for (const TagItem *item : items) {
            const auto *object = static_cast<const EncapsulatedObjectTagItem *>(item);
            bool withBom = false;
            TextCodec *codec = Id3v2TagIo::codecForTexts({object->fileName, object->description}, &withBom, m_s);
            IoStream *body = newBody();
            body->writeByte(char(Id3v2TagIo::encodingByteForCodec(m_out, codec)));
            body->writeText(object->mimeType, AsciiTextCodec::instance(), 0, -1, -1, false, true);
            body->writeText(object->fileName, codec, 0, -1, -1, withBom, true);
            body->writeText(object->description, codec, 0, -1, -1, withBom, true);
            body->writeBytes(object->data);
            Id3v2TagIo::renderFrame(m_frames, QStringLiteral("GEOB"), body->data(), m_s);
        }
        return;
    case DiscToc:
        for (const TagItem *item : items) {
            const QByteArray toc = static_cast<const DiscTocTagItem *>(item)->toBinary();
            // An empty table would come back as no frame at all.
            if (!toc.isEmpty())
                Id3v2TagIo::renderFrame(m_frames, QStringLiteral("MCDI"), toc, m_s);
        }
        return;
    case FileIdentifier:
        for (const TagItem *item : items) {
            const auto *identifier = static_cast<const FileIdentifierTagItem *>(item);
            IoStream *body = newBody();
            body->writeText(identifier->owner, Latin1TextCodec::instance(), 0, -1, -1, false, true);
            body->writeBytes(identifier->identifier);
            Id3v2TagIo::renderFrame(m_frames, QStringLiteral("UFID"), body->data(), m_s);
        }
        return;
    case RecordingMbid:
        for (const TagItem *item : items) {
            IoStream *body = newBody();
            body->writeText(QString::fromLatin1(Id3v2FrameReader::MusicBrainzOwner), Latin1TextCodec::instance(), 0,
                            -1, -1, false, true);
            body->writeBytes(AsciiTextCodec::instance()->encodeOrEmpty(item->toString()));
            Id3v2TagIo::renderFrame(m_frames, QStringLiteral("UFID"), body->data(), m_s);
        }
        return;
    case PlayCount:
        for (const TagItem *item : items) {
            IoStream *body = newBody();
            appendUInt32(body, quint32(static_cast<const IntegerTagItem *>(item)->value));
            Id3v2TagIo::renderFrame(m_frames, QStringLiteral("PCNT"), body->data(), m_s);
        }
        return;
    case Rating:
        for (const TagItem *item : items) {
            // Ratings outside 0 to 1 are written as the nearest end of the scale.
            const double rating = qBound(0.0, static_cast<const FloatingPointTagItem *>(item)->value, 1.0);
            IoStream *body = newBody();
            body->writeByte(0);
            body->writeByte(char(int(rating * 254 + 1)));
            appendUInt32(body, 0);
            Id3v2TagIo::renderFrame(m_frames, QStringLiteral("POPM"), body->data(), m_s);
        }
        return;
    case Private:
        for (const TagItem *item : items) {
            const auto *data = static_cast<const PrivateTagItem *>(item);
            IoStream *body = newBody();
            body->writeText(data->owner, Id3v2TagIo::latin1OrUtf8Codec({data->owner}), 0, -1, -1, false, true);
            body->writeBytes(data->data);
            Id3v2TagIo::renderFrame(m_frames, QStringLiteral("PRIV"), body->data(), m_s);
        }
        return;
    case License:
        for (const TagItem *item : items) {
            const QString text = item->toString();
            bool withBom = false;
            TextCodec *codec = Id3v2TagIo::codecForText(text, &withBom, m_s);
            IoStream *body = newBody();
            body->writeByte(char(Id3v2TagIo::encodingByteForCodec(m_out, codec)));
            body->writeText(QStringLiteral("eng"), AsciiTextCodec::instance(), 0, 3, 3);
            body->writeText(text, codec, 0, -1, -1, withBom, true);
            Id3v2TagIo::renderFrame(m_frames, QStringLiteral("USER"), body->data(), m_s);
        }
        return;
    case InvolvedPeopleList:
        for (const TagItem *item : items)
            m_people.append(static_cast<const InvolvedPeopleListTagItem *>(item)->people);
        return;
    default:
        writeTableRows(itemType, items);
    }
}

void Id3v2FrameWriter::writeTableRows(int itemType, const QList<TagItem *> &items)
{
    const bool iTunesTags = m_s->iTunesTags;
    for (const Id3v2FrameTable::FrameRow *row :
         Id3v2FrameTable::framesToWrite(Id3v2FrameTable::textFrames(), itemType, iTunesTags)) {
        const QString id = QString::fromLatin1(row->frameId);
        if (row->value == Id3v2FrameTable::NumberPair)
            renderTextFrame(m_frames, id, m_tag->numberPairTexts(itemType, row->countType), m_s);
        else
            renderItemsTextFrame(m_frames, id, items, m_s);
    }
    for (const Id3v2FrameTable::FrameRow *row :
         Id3v2FrameTable::framesToWrite(Id3v2FrameTable::urlFrames(), itemType, iTunesTags))
        renderUrlFrame(m_frames, QString::fromLatin1(row->frameId), items, m_s);
    for (const Id3v2FrameTable::KeyRow *row :
         Id3v2FrameTable::keysToWrite(Id3v2FrameTable::userTexts(), itemType, iTunesTags))
        appendTextValues(m_userTexts, QString::fromLatin1(row->description), items, false);
    for (const Id3v2FrameTable::KeyRow *row :
         Id3v2FrameTable::keysToWrite(Id3v2FrameTable::userLinks(), itemType, iTunesTags))
        appendTextValues(m_userLinks, QString::fromLatin1(row->description), items, false);
    for (const Id3v2FrameTable::KeyRow *row :
         Id3v2FrameTable::keysToWrite(Id3v2FrameTable::roles(), itemType, iTunesTags))
        appendInvolvedPeople(m_people, InvolvedPerson::Involvement, QString::fromLatin1(row->description),
                                         items);
}

void Id3v2FrameWriter::writeReleaseDate(const QList<TagItem *> &items)
{
    QStringList years;
    QStringList dates;
    QStringList times;
    for (const TagItem *item : items) {
        const PartialDateTime &date = static_cast<const DateTimeTagItem *>(item)->value;
        if (date.year() >= 0)
            years.append(QStringLiteral("%1").arg(date.year(), 4, 10, QLatin1Char('0')));
        if (date.month() >= 0 && date.day() >= 0)
            dates.append(twoDigits(date.day()) + twoDigits(date.month()));
        if (date.hour() >= 0 && date.minute() >= 0)
            times.append(twoDigits(date.hour()) + twoDigits(date.minute()));
    }
    renderTextFrame(m_frames, QStringLiteral("TYER"), years, m_s);
    renderTextFrame(m_frames, QStringLiteral("TDAT"), dates, m_s);
    renderTextFrame(m_frames, QStringLiteral("TIME"), times, m_s);
}

void Id3v2FrameWriter::writeArtwork(const QList<TagItem *> &items)
{
    for (const TagItem *item : items) {
        const auto *artwork = static_cast<const ArtworkTagItem *>(item);
        const bool linked = !artwork->linkedFile().isEmpty();
        bool withBom = false;
        TextCodec *codec = Id3v2TagIo::codecForText(artwork->description, &withBom, m_s);
        IoStream *body = newBody();
        body->writeByte(char(Id3v2TagIo::encodingByteForCodec(m_out, codec)));
        if (m_s->version == 2) {
            const QString format = linked ? QStringLiteral("-->") : artwork->image().formatCode();
            body->writeText(format, AsciiTextCodec::instance(), 0, 3, 3);
        } else {
            const QString mimeType = linked ? QStringLiteral("-->") : artwork->image().mimeType();
            body->writeText(mimeType, AsciiTextCodec::instance(), 0, -1, -1, false, true);
        }
        body->writeByte(char(artwork->pictureType));
        body->writeText(artwork->description, codec, 0, -1, -1, withBom, true);
        if (linked) {
            // Only a picture the user changed is written to its file, and only inside the
            // audio file's folder (the item refuses anything else).
            if (artwork->isModified()) {
                try {
                    const_cast<ArtworkTagItem *>(artwork)->saveLinkedFile(m_out->name());
                } catch (const Exception &) {
                    // Logged where it was thrown; the link is written all the same.
                }
            }
            const QString path = QDir::toNativeSeparators(artwork->linkedFile());
            body->writeText(path, Id3v2TagIo::latin1OrUtf8Codec({path}), 0, -1, -1, false, true);
        } else {
            body->writeBytes(artwork->image().data);
        }
        Id3v2TagIo::renderFrame(m_frames, QStringLiteral("APIC"), body->data(), m_s);
    }
}

void Id3v2FrameWriter::writeTextWithLanguage(const QString &frameId, const QString &language,
                                             const QString &description, const QString &text)
{
    bool withBom = false;
    TextCodec *codec = Id3v2TagIo::codecForTexts({description, text}, &withBom, m_s);
    IoStream *body = newBody();
    body->writeByte(char(Id3v2TagIo::encodingByteForCodec(m_out, codec)));
    body->writeText(language, AsciiTextCodec::instance(), 0, 3, 3);
    body->writeText(description, codec, 0, -1, -1, withBom, true);
    body->writeText(text, codec, 0, -1, -1, withBom, true);
    Id3v2TagIo::renderFrame(m_frames, frameId, body->data(), m_s);
}

void Id3v2FrameWriter::writeDeferred()
{
    auto guarded = [](const auto &write) {
        try {
            write();
        } catch (const Exception &) {
            // Only this frame is lost; the exception logged itself.
        }
    };
    QStringList involvement;
    QStringList musicians;
    for (const InvolvedPerson &person : std::as_const(m_people)) {
        QStringList &list = person.kind != 0 && m_s->version == 4 ? musicians : involvement;
        list << person.role << person.name;
    }
    const auto writePeople = [&](const QString &frameId, const QStringList &strings) {
        if (!strings.isEmpty())
            guarded([&] { renderTextFrame(m_frames, frameId, strings, m_s); });
    };
    writePeople(QStringLiteral("IPLS"), involvement);
    writePeople(QStringLiteral("TMCL"), musicians);
    for (const StringPair &entry : std::as_const(m_userTexts)) {
        // A joined value is written as its parts, so that each part gets its own byte order mark:
        // readers take a UTF-16 text without one for the platform's order.
        guarded([&] {
            renderTextFrame(m_frames, QStringLiteral("TXXX"),
                                        QStringList{entry.first} + entry.second.split(QChar(0)), m_s);
        });
    }
    for (const StringPair &entry : std::as_const(m_userLinks)) {
        guarded([&] {
            bool withBom = false;
            TextCodec *codec = Id3v2TagIo::codecForText(entry.first, &withBom, m_s);
            IoStream *body = newBody();
            body->writeByte(char(Id3v2TagIo::encodingByteForCodec(m_out, codec)));
            body->writeText(entry.first, codec, 0, -1, -1, withBom, true);
            body->writeText(entry.second, Id3v2TagIo::latin1OrUtf8Codec({entry.second}), 0, -1, -1, false, true);
            Id3v2TagIo::renderFrame(m_frames, QStringLiteral("WXXX"), body->data(), m_s);
        });
    }
}
