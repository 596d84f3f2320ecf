#include "libtagging/model/disctoctagitem.h"

#include <algorithm>
#include <limits>
#include <memory>

#include <QMap>
#include <QStringList>

#include "libcore/log/exception.h"
#include "libcore/log/logger.h"
#include "libcore/text/textcodec.h"

namespace {

const quint32 UnreadableBinaryToc = 3019747179u;
const quint32 UnreadableTextToc = 2892089827u;

[[noreturn]] void reject()
{
    throw Exception::quiet();
}

QString hexArgument(const QByteArray &data)
{
    QString digits = QString::fromLatin1(data.toHex());
    if (digits.size() > 128)
        digits = digits.left(128) + QStringLiteral("...");
    return QStringLiteral("0x") + digits;
}

QString hex(quint64 value)
{
    return QString::number(value, 16);
}

} // namespace

DiscTocTagItem::DiscTocTagItem(QObject *parent) : TagItem(parent) {}

DiscTocTagItem *DiscTocTagItem::parseBinary(const QByteArray &data, QObject *parent)
{
    const auto byte = [&data](qsizetype i) { return quint8(data.at(i)); };
    const qsizetype size = data.size();
    if (size < 2)
        reject();
    const int length = (byte(0) << 8) | byte(1);
    if (length <= 11 || length != size - 2)
        reject();
    auto item = std::make_unique<DiscTocTagItem>();
    item->firstTrack = byte(2);
    item->lastTrack = byte(3);
    if (item->lastTrack < item->firstTrack)
        reject();
    for (qsizetype pos = 4; pos < size; pos += 8) {
        if (size - pos < 8)
            reject();
        DiscTocTrack track;
        track.reserved1 = byte(pos);
        const int flags = byte(pos + 1);
        track.adr = flags >> 4;
        track.channels = (flags & 8) ? 4 : 2;
        track.isAudio = !(flags & 4);
        track.copyPermitted = flags & 2;
        track.preEmphasis = flags & 1;
        track.number = byte(pos + 2);
        if (track.number != LeadOutTrack && (track.number < item->firstTrack || track.number > item->lastTrack))
            reject();
        track.reserved2 = byte(pos + 3);
        track.address = (quint32(byte(pos + 4)) << 24) | (quint32(byte(pos + 5)) << 16)
                        | (quint32(byte(pos + 6)) << 8) | quint32(byte(pos + 7));
        item->tracks.append(track);
    }
    std::stable_sort(item->tracks.begin(), item->tracks.end(),
                     [](const DiscTocTrack &a, const DiscTocTrack &b) { return a.number < b.number; });
    item->setParent(parent);
    return item.release();
}

DiscTocTagItem *DiscTocTagItem::parseText(const QString &text, QObject *parent)
{
    QStringList parts = text.trimmed().split(QLatin1Char('+'));
    bool ok = false;
    const quint64 first = parts.takeFirst().toULongLong(&ok, 16);
    if (!ok)
        reject();
    auto item = std::make_unique<DiscTocTagItem>();
    int count = 0;
    int base = 16;
    if (first >= 1 && first <= 99) {
        count = int(first);
    } else {
        item->discId = first;
        if (parts.size() < 2)
            reject();
        // The lead-out comes first in this form; as the highest address it is placed last.
        parts.append(parts.takeFirst());
        count = parts.takeFirst().toInt(&ok, 10);
        if (!ok)
            reject();
        base = 10;
    }

    QMap<quint32, bool> kinds; // address -> audio
    for (const QString &part : std::as_const(parts)) {
        const bool data = part.startsWith(QLatin1Char('x'), Qt::CaseInsensitive);
        const quint32 address = (data ? part.mid(1).trimmed() : part).toUInt(&ok, base);
        if (!ok)
            reject();
        kinds.insert(address, !data);
    }
    if (kinds.isEmpty())
        reject();

    item->firstTrack = 1;
    item->lastTrack = 0;
    const quint32 highest = kinds.lastKey();
    for (auto it = kinds.cbegin(); it != kinds.cend(); ++it) {
        DiscTocTrack track;
        track.address = it.key();
        if (it.key() == highest) {
            track.number = LeadOutTrack;
        } else {
            track.number = item->lastTrack + 1;
            item->lastTrack = track.number;
        }
        track.isAudio = count > 0 && it.value();
        if (track.isAudio)
            --count;
        item->tracks.append(track);
    }
    item->setParent(parent);
    return item.release();
}

DiscTocTagItem *DiscTocTagItem::fromBinary(const QByteArray &data, QObject *parent)
{
    if (data.isEmpty())
        return new DiscTocTagItem(parent);
    try {
        return parseBinary(data, parent);
    } catch (const Exception &) {
    }
    // Some writers store one of the text forms where the binary form belongs.
    try {
        const QString text = TextCodec::detect(data)->decode(data, -1, true, CodecErrorMode::Throw);
        return parseText(text, parent);
    } catch (const Exception &) {
    }
    Logger::warning(UnreadableBinaryToc, {hexArgument(data)});
    reject();
}

DiscTocTagItem *DiscTocTagItem::fromText(const QString &text, QObject *parent)
{
    if (text.isEmpty())
        return new DiscTocTagItem(parent);
    try {
        return parseText(text, parent);
    } catch (const Exception &) {
        Logger::warning(UnreadableTextToc, {text});
        throw;
    }
}

QByteArray DiscTocTagItem::toBinary() const
{
    if (tracks.isEmpty())
        return QByteArray();
    QByteArray out;
    out.reserve(4 + tracks.size() * 8);
    const quint16 length = quint16(tracks.size() * 8 + 2);
    out.append(char(length >> 8));
    out.append(char(length & 0xFF));
    out.append(char(firstTrack & 0xFF));
    out.append(char(lastTrack & 0xFF));
    for (const DiscTocTrack &track : tracks) {
        int flags = track.adr << 4;
        if (track.channels == 4)
            flags |= 8;
        if (!track.isAudio)
            flags |= 4;
        if (track.copyPermitted)
            flags |= 2;
        if (track.preEmphasis)
            flags |= 1;
        out.append(char(track.reserved1 & 0xFF));
        out.append(char(flags & 0xFF));
        out.append(char(track.number & 0xFF));
        out.append(char(track.reserved2 & 0xFF));
        for (int shift = 24; shift >= 0; shift -= 8)
            out.append(char((track.address >> shift) & 0xFF));
    }
    return out;
}

QString DiscTocTagItem::toText(int form) const
{
    if (tracks.isEmpty() || form < DiscTocTextForm::HexTrackList || form > DiscTocTextForm::DiscIdTrackList)
        return QString();

    const DiscTocTrack *leadOut = nullptr;
    QList<const DiscTocTrack *> audio;
    QList<const DiscTocTrack *> data;
    for (const DiscTocTrack &track : tracks) {
        if (track.number == LeadOutTrack) {
            if (!leadOut)
                leadOut = &track;
        } else if (track.isAudio) {
            audio.append(&track);
        } else {
            data.append(&track);
        }
    }

    if (form == DiscTocTextForm::DiscIdTrackList) {
        QString text = QStringLiteral("%1+%2+%3")
                           .arg(hex(discId))
                           .arg(leadOut ? leadOut->address : 0u)
                           .arg(tracks.size() - (leadOut ? 1 : 0));
        for (const DiscTocTrack &track : tracks) {
            if (&track != leadOut)
                text += QLatin1Char('+') + QString::number(track.address);
        }
        return text;
    }

    quint32 highestAudio = 0;
    for (const DiscTocTrack *track : std::as_const(audio))
        highestAudio = std::max(highestAudio, track->address);
    quint32 audioEnd = 0xFFFFFFFFu;
    for (const DiscTocTrack *track : std::as_const(data)) {
        if (track->address > highestAudio)
            audioEnd = std::min(audioEnd, track->address);
    }
    if (leadOut)
        audioEnd = std::min(audioEnd, leadOut->address);

    QString text = hex(quint64(audio.size()));
    for (const DiscTocTrack *track : std::as_const(audio))
        text += QLatin1Char('+') + hex(track->address);
    if (form == DiscTocTextForm::HexTrackList)
        return text + QLatin1Char('+') + hex(audioEnd);

    for (const DiscTocTrack *track : std::as_const(data)) {
        if (track->address >= audioEnd)
            text += QLatin1Char('+') + hex(track->address);
    }
    if (leadOut)
        text += QLatin1Char('+') + hex(leadOut->address);
    for (const DiscTocTrack *track : std::as_const(data)) {
        if (track->address < audioEnd)
            text += QStringLiteral("+X") + hex(track->address);
    }
    return text;
}

int DiscTocTagItem::trackDuration(int trackNumber) const
{
    qsizetype index = -1;
    if (trackNumber > 0 && trackNumber < tracks.size() && tracks.at(trackNumber - 1).number == trackNumber) {
        index = trackNumber - 1;
    } else {
        for (qsizetype i = 0; i < tracks.size(); ++i) {
            if (tracks.at(i).number == trackNumber) {
                index = i;
                break;
            }
        }
    }
    if (index < 0 || index + 1 >= tracks.size())
        return -1;
    const DiscTocTrack &track = tracks.at(index);
    const DiscTocTrack &next = tracks.at(index + 1);
    if (!track.isAudio || (next.number != LeadOutTrack && next.number != trackNumber + 1))
        return -1;
    // A damaged table may list the next track before this one: no duration rather than a
    // wrapped-around one.
    if (next.address < track.address)
        return -1;
    const quint64 milliseconds = quint64(next.address - track.address) * 1000 / 75;
    return milliseconds > quint64(std::numeric_limits<int>::max()) ? -1 : int(milliseconds);
}

TagItem *DiscTocTagItem::clone(QObject *parent) const
{
    auto *item = new DiscTocTagItem(parent);
    item->firstTrack = firstTrack;
    item->lastTrack = lastTrack;
    item->tracks = tracks;
    item->discId = discId;
    return item;
}

bool DiscTocTagItem::equals(const TagItem *other) const
{
    return other && other->type() == Type
           && static_cast<const DiscTocTagItem *>(other)->toText(DiscTocTextForm::HexTrackListWithDataTracks)
                  == toText(DiscTocTextForm::HexTrackListWithDataTracks);
}

bool DiscTocTagItem::isEmpty() const
{
    return tracks.isEmpty();
}

int DiscTocTagItem::type() const
{
    return Type;
}
