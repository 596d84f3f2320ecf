// The INFO list of RIFF files: one sub-chunk per text value under a four-character id.

#include "libtagging/riff/riffstreamio.h"

#include "libcore/io/iostream.h"
#include "libcore/locale/localetables.h"
#include "libcore/log/exception.h"
#include "libcore/log/logger.h"
#include "libcore/text/asciitextcodec.h"
#include "libcore/text/cp1252textcodec.h"
#include "libcore/text/utf8textcodec.h"
#include "libtagging/model/audiotag.h"
#include "libtagging/model/commenttagitem.h"
#include "libtagging/model/datetimetagitem.h"
#include "libtagging/model/disctoctagitem.h"
#include "libtagging/model/integertagitem.h"
#include "libtagging/model/languagetagitem.h"
#include "libtagging/model/plaintagitems.h"
#include "libtagging/model/stringtagitem.h"

#include <array>

namespace {

struct InfoField {
    const char *id;
    int itemType;
    bool written;
};

// One table for both directions; ids are upper case, compared case-insensitively on reading.
constexpr std::array infoFields{
    InfoField{"IART", TagItemType::Artist, true},
    InfoField{"ICMT", TagItemType::Comment, true},
    InfoField{"ICOP", TagItemType::Copyright, true},
    InfoField{"ICRD", TagItemType::ReleaseDate, true},
    InfoField{"IENG", TagItemType::Engineer, true},
    InfoField{"IFRM", TagItemType::TrackCount, true},
    InfoField{"IGNR", TagItemType::Genre, true},
    InfoField{"ILNG", TagItemType::Language, true},
    InfoField{"IMUS", TagItemType::Composer, true},
    InfoField{"INAM", TagItemType::Title, true},
    InfoField{"IPRD", TagItemType::Album, true},
    InfoField{"IPRO", TagItemType::Producer, true},
    InfoField{"ISFT", TagItemType::Encoder, true},
    InfoField{"ISRC", TagItemType::RecordLabel, true},
    InfoField{"ISRF", TagItemType::MediaType, true},
    InfoField{"ITCH", TagItemType::EncodedBy, true},
    InfoField{"ITOC", TagItemType::DiscToc, true},
    InfoField{"ITRK", TagItemType::TrackNumber, true},
    InfoField{"IPRT", TagItemType::TrackNumber, false},
    InfoField{"TRCK", TagItemType::TrackNumber, false},
    InfoField{"IWEB", TagItemType::ArtistWebsiteUrl, true},
    InfoField{"IWRI", TagItemType::Lyricist, true},
};

const InfoField *fieldForId(const QString &id)
{
    for (const InfoField &field : infoFields) {
        if (id.compare(QLatin1String(field.id), Qt::CaseInsensitive) == 0)
            return &field;
    }
    return nullptr;
}

const InfoField *fieldForItemType(int itemType)
{
    for (const InfoField &field : infoFields) {
        if (field.written && field.itemType == itemType)
            return &field;
    }
    return nullptr;
}

// The item of a mapped field holding the text; null when the text does not convert into a
// value of the item type.
TagItem *itemFromText(int itemType, const QString &text)
{
    switch (TagItem::dataTypeOf(itemType)) {
    case TagItemDataType::DateTime: {
        const PartialDateTime date(text.trimmed(), PartialDateTime::storageFormat());
        if (!date.isValid() || date.year() < 0)
            return nullptr;
        auto *item = static_cast<DateTimeTagItem *>(TagItem::create(itemType));
        item->value = date;
        return item;
    }
    case TagItemDataType::Integer: {
        bool ok = false;
        const int number = text.trimmed().toInt(&ok, 10);
        if (!ok || number < 0)
            return nullptr;
        auto *item = static_cast<IntegerTagItem *>(TagItem::create(itemType));
        item->value = number;
        return item;
    }
    default:
        break;
    }
    if (itemType == TagItemType::Language) {
        const LanguageInfo language = languageByCode(text.trimmed());
        if (language.iso639_2T.isEmpty())
            return nullptr;
        return new LanguageTagItem(language);
    }
    if (itemType == TagItemType::Comment)
        return new CommentTagItem(text, QString());
    auto *item = static_cast<StringTagItem *>(TagItem::create(itemType));
    item->value = text;
    return item;
}

} // namespace

RiffChunk *RiffStreamIo::createInfoList(QObject *parent)
{
    auto *list = new RiffChunk(QStringLiteral("LIST"), parent);
    list->setData(AsciiTextCodec::instance()->encode(QStringLiteral("INFO"), -1, -1, false, false, 0));
    return list;
}

RiffChunk *RiffStreamIo::createTextChunk(const QString &id, const QString &text, QObject *parent)
{
    // Line breaks are stored as CR LF whatever the platform, so the bytes are the same
    // wherever the file is written.
    auto encode = [&text](TextCodec *codec) {
        IoStream buffer(QIODevice::ReadWrite);
        buffer.setWriteLineEnding(LineEnding::CrLf);
        buffer.writeText(text, codec, TextLengthPrefix::None, -1, -1, false, true);
        return buffer.data();
    };
    TextCodec *codec = Cp1252TextCodec::instance();
    QByteArray data;
    if (codec->canEncode(text)) {
        data = encode(codec);
        // The reader guesses the encoding: single-byte text it would take for another one (a
        // few letters and line breaks can look like UTF-16) is written as UTF-8 instead.
        const QByteArray written = data.chopped(1);
        if (!TextCodec::guessReadsBack(written, codec->decodeOrNull(written)))
            data.clear();
    }
    if (data.isEmpty())
        data = encode(Utf8TextCodec::instance());
    auto *chunk = new RiffChunk(id, parent);
    chunk->setData(data);
    return chunk;
}

void RiffStreamIo::appendInfoItemChunk(RiffChunk *list, const QString &id, const QList<TagItem *> &items)
{
    if (items.isEmpty())
        return;
    const TagItem *item = items.first();
    QString text;
    if (item->dataType() == TagItemDataType::DateTime)
        text = item->toString(QStringLiteral("yyyy-MM-dd"));
    else if (item->type() == TagItemType::Language)
        text = item->toString(QStringLiteral("ISO_639_2_T"));
    else if (item->type() == TagItemType::DiscToc)
        text = static_cast<const DiscTocTagItem *>(item)->toText(DiscTocTextForm::HexTrackListWithDataTracks);
    else
        text = item->toString();
    if (text.trimmed().isEmpty())
        return;
    list->appendChild(createTextChunk(id, text, list));
}

void RiffStreamIo::appendUnknownInfoChunks(RiffChunk *list, const QList<TagItem *> &items)
{
    for (const TagItem *item : items) {
        if (item->type() == TagItemType::UnknownRiffString) {
            const auto *unknown = static_cast<const UnknownRiffStringTagItem *>(item);
            list->appendChild(createTextChunk(unknown->name, unknown->value, list));
        } else if (item->type() == TagItemType::UnknownRiffData) {
            const auto *unknown = static_cast<const UnknownRiffDataTagItem *>(item);
            auto *chunk = new RiffChunk(unknown->name, list);
            chunk->setData(unknown->data);
            list->appendChild(chunk);
        }
    }
}

RiffChunk *RiffStreamIo::buildInfoList(const AudioTag *tag, QObject *parent)
{
    RiffChunk *list = createInfoList(parent);
    const QMap<int, QList<TagItem *>> groups = tag->itemsByType();
    for (auto it = groups.cbegin(); it != groups.cend(); ++it) {
        try {
            if (it.key() == TagItemType::UnknownRiffData || it.key() == TagItemType::UnknownRiffString) {
                appendUnknownInfoChunks(list, it.value());
            } else if (const InfoField *field = fieldForItemType(it.key())) {
                appendInfoItemChunk(list, QLatin1String(field->id), it.value());
            }
        } catch (const Exception &) {
            // Logged where it was raised; the other item types are still written.
        }
    }
    return list;
}

void RiffStreamIo::readInfoList(const RiffChunk *list, AudioTag *tag, IoStream *stream)
{
    for (const IffChunk *child : list->children) {
        try {
            IoStream buffer(child->data, QIODevice::ReadOnly);
            const QString text = buffer.readText(nullptr, TextLengthPrefix::None, -1, -1, true);
            if (text.trimmed().isEmpty())
                continue;
            const InfoField *field = fieldForId(child->id);
            if (field && field->itemType == TagItemType::DiscToc) {
                try {
                    tag->addItem(DiscTocTagItem::fromText(text));
                } catch (const Exception &) {
                    Logger::warning(InvalidDiscToc, {stream->displayName()});
                    throw;
                }
                continue;
            } else if (field && field->itemType == TagItemType::TrackNumber) {
                const int before = tag->itemList().size();
                tag->addNumberPair(text, TagItemType::TrackNumber, TagItemType::TrackCount);
                if (tag->itemList().size() > before)
                    continue;
            } else if (field) {
                if (TagItem *item = itemFromText(field->itemType, text)) {
                    tag->addItem(item);
                    continue;
                }
            }
            // A value that is no valid number, date or language is kept as it was read, so
            // that writing the tag back does not lose it.
            if (field || child->id.startsWith(u'i', Qt::CaseInsensitive))
                tag->addItem(new UnknownRiffStringTagItem(child->id, text));
            else
                tag->addItem(new UnknownRiffDataTagItem(child->id, child->data));
        } catch (const Exception &) {
            tag->addItem(new UnknownRiffDataTagItem(child->id, child->data));
        }
    }
}
