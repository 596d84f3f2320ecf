#include "tools/tagtool/tagreport.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QIODevice>

#include "libcore/log/exception.h"
#include "libtagging/model/artworktagitem.h"
#include "libtagging/model/audiofile.h"
#include "libtagging/model/audiotag.h"
#include "libtagging/model/disctoctagitem.h"
#include "libtagging/model/encapsulatedobjecttagitem.h"
#include "libtagging/model/eventtimingtagitem.h"
#include "libtagging/model/fileidentifiertagitem.h"
#include "libtagging/model/filetype.h"
#include "libtagging/model/privatetagitem.h"
#include "libtagging/model/unknowndatatagitem.h"
#include "libtagging/model/volumeadjustmenttagitem.h"

namespace {
const QString StorageFormat = QStringLiteral("[data]");
}

QJsonObject TagReport::read(const QString &path)
{
    QJsonObject report;
    report.insert(QStringLiteral("path"), path);
    QJsonValue error = QJsonValue::Null;
    AudioFile file(path);
    report.insert(QStringLiteral("fileType"),
                  file.typeRecord() ? QJsonValue(FileType::typeName(file.fileType())) : QJsonValue::Null);
    try {
        file.readTags(0);
    } catch (const Exception &e) {
        error = e.message();
    }
    try {
        report.insert(QStringLiteral("properties"), properties(file));
    } catch (const Exception &e) {
        report.insert(QStringLiteral("properties"), QJsonObject{{QStringLiteral("valid"), false}});
        if (error.isNull())
            error = e.message();
    }
    QJsonObject tags;
    for (auto it = file.tags().constBegin(); it != file.tags().constEnd(); ++it) {
        if (it.key() != 0)
            tags.insert(AudioTag::tagTypeKey(it.key()), itemList(it.value()));
    }
    report.insert(QStringLiteral("tags"), tags);
    report.insert(QStringLiteral("merged"), itemsByType(file.combinedTag()));
    report.insert(QStringLiteral("error"), error);
    return report;
}

QJsonObject TagReport::properties(AudioFile &file)
{
    const AudioProperties p = file.audioProperties();
    return QJsonObject{
        {QStringLiteral("valid"), p.valid},
        {QStringLiteral("durationMs"), p.duration},
        {QStringLiteral("sampleRate"), p.sampleRate},
        {QStringLiteral("channels"), p.channels},
        {QStringLiteral("bitsPerSample"), p.bitsPerSample},
        {QStringLiteral("bitrate"), p.bitrate},
        {QStringLiteral("bitrateType"), AudioProperties::bitrateTypeName(p.bitrateType)},
        {QStringLiteral("codec"), p.codecName},
        {QStringLiteral("container"), AudioProperties::containerName(p.container)},
    };
}

QJsonArray TagReport::itemList(const AudioTag *tag)
{
    QJsonArray list;
    if (tag) {
        for (const TagItem *entry : tag->itemList())
            list.append(item(entry));
    }
    return list;
}

QJsonObject TagReport::itemsByType(const AudioTag *tag)
{
    QJsonObject result;
    if (!tag)
        return result;
    for (const TagItem *entry : tag->itemList()) {
        const QString key = TagItem::typeKey(entry->type());
        QJsonArray values = result.value(key).toArray();
        const QJsonObject described = item(entry);
        values.append(described.contains(QStringLiteral("value")) ? described.value(QStringLiteral("value"))
                                                                 : QJsonValue(described));
        result.insert(key, values);
    }
    return result;
}

QJsonObject TagReport::item(const TagItem *item)
{
    QJsonObject result{{QStringLiteral("item"), TagItem::typeKey(item->type())}};
    if (item->isTextual()) {
        result.insert(QStringLiteral("value"), item->toString(StorageFormat));
        return result;
    }
    const QByteArray bytes = content(item);
    result.insert(QStringLiteral("size"), bytes.size());
    result.insert(QStringLiteral("sha1"),
                  QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex()));
    return result;
}

QByteArray TagReport::content(const TagItem *item)
{
    if (const auto *artwork = dynamic_cast<const ArtworkTagItem *>(item))
        return artwork->image().data;
    if (const auto *unknown = dynamic_cast<const UnknownDataTagItem *>(item))
        return unknown->data;
    if (const auto *object = dynamic_cast<const EncapsulatedObjectTagItem *>(item))
        return object->data;
    if (const auto *identifier = dynamic_cast<const FileIdentifierTagItem *>(item))
        return identifier->identifier;
    if (const auto *priv = dynamic_cast<const PrivateTagItem *>(item))
        return priv->data;
    if (const auto *toc = dynamic_cast<const DiscTocTagItem *>(item))
        return toc->toBinary();
    // The rest hold numbers only; their bytes are a fixed serialisation of those.
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    if (const auto *timing = dynamic_cast<const EventTimingTagItem *>(item)) {
        for (const TimedEvent &event : timing->events)
            out << event.time << event.type;
    } else if (const auto *volume = dynamic_cast<const VolumeAdjustmentTagItem *>(item)) {
        out << volume->trackGain << volume->trackPeak << volume->albumGain << volume->albumPeak;
    }
    return bytes;
}
