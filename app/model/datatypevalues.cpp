#include "app/model/datatypevalues.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QImage>

#include "libcore/image/codedimage.h"
#include "libcore/io/fileinfo.h"
#include "libcore/io/paths.h"
#include "libcore/log/exception.h"
#include "libcore/text/formatting.h"
#include "libcore/text/texttable.h"
#include "libcore/util/partialdatetime.h"
#include "libcore/util/variants.h"
#include "libtagging/model/audiofile.h"
#include "libtagging/model/audiotag.h"

namespace {

const QString DisplayDateTimeFormat = QStringLiteral("yyyy-MM-dd hh:mm:ss:zzz");
const QString SortDateTimeFormat = QStringLiteral("yyyy-MM-ddThh:mm:ss:zzz");
constexpr int ThumbnailSize = 32;

QString sampleRateText(int hertz)
{
    const double k = hertz / 1000.0;
    const double m = k / 1000.0;
    QString text;
    if (m >= 1) {
        text = QStringLiteral("%L1 M%2");
        argDouble(text, m, 0, 2);
    } else if (k >= 1) {
        text = QStringLiteral("%L1 k%2");
        argDouble(text, k, 0, 1);
    } else {
        text = QStringLiteral("%L1 %2");
        argInt(text, hertz);
    }
    return argInPlace(text, textForId(HertzUnitTextId));
}

QString ratingStars(double rating)
{
    const int stars = int(4 * rating) + 1;
    return stars > 0 ? QString(stars, QChar(0x2605)) : QString();
}

QVariant displayValue(const QVariant &value, ValueFormat format)
{
    const int type = value.typeId();
    if (type == qMetaTypeId<CodedImage>()) {
        const QImage image = value.value<CodedImage>().image();
        if (format == ImageFormat)
            return image.scaled(ThumbnailSize, ThumbnailSize, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        if (format == PlainFormat)
            return image;
        return QVariant();
    }
    if (type == qMetaTypeId<PartialDateTime>())
        return value.value<PartialDateTime>().toString(DisplayDateTimeFormat);
    if (type == QMetaType::QDateTime)
        return PartialDateTime(value.toDateTime()).toString(DisplayDateTimeFormat);
    if (type == QMetaType::QDate)
        return PartialDateTime(value.toDate()).toString(QStringLiteral("yyyy-MM-dd"));
    if (type == QMetaType::QTime)
        return PartialDateTime(value.toTime()).toString(QStringLiteral("hh:mm:ss:zzz"));
    if (isIntegerVariant(value)) {
        switch (format) {
        case PlainFormat:
            return value.toString();
        case ByteSizeFormat:
            return formatByteSize(value.toLongLong(), true);
        case BitrateFormat:
            return formatBitrate(value.toInt());
        case DurationFormat:
            return formatDuration(value.toInt(), false);
        case SampleRateFormat:
            return sampleRateText(value.toInt());
        default:
            return QVariant();
        }
    }
    if (type == QMetaType::Double || type == QMetaType::Float) {
        if (format == PlainFormat)
            return value.toString();
        if (format == RatingFormat)
            return ratingStars(value.toDouble());
        return QVariant();
    }
    return value.toString();
}

QVariant sortValue(const QVariant &value)
{
    if (value.typeId() == qMetaTypeId<CodedImage>())
        return value.value<CodedImage>().data;
    if (value.typeId() == qMetaTypeId<PartialDateTime>())
        return value.value<PartialDateTime>().toString(SortDateTimeFormat);
    return value;
}

QString nativePath(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// The raw value of a file property; throws what the file system questions throw.
QVariant rawFileProperty(const QString &path, FileProperty::Id property)
{
    switch (property) {
    case FileProperty::fileName:
        return QFileInfo(withoutTrailingSlash(path)).fileName();
    case FileProperty::fileNameWithoutSuffix:
        return QFileInfo(withoutTrailingSlash(path)).completeBaseName();
    case FileProperty::fileSuffix:
        // The text after the last dot, matching the name without suffix: a name
        // "01. Intro.mp3" has the suffix "mp3".
        return QFileInfo(withoutTrailingSlash(path)).suffix();
    case FileProperty::folderPath:
        return nativePath(parentPath(path));
    case FileProperty::folderName:
        return parentFolderName(path);
    case FileProperty::parentFolderPath:
        return nativePath(parentPath(parentPath(path)));
    case FileProperty::parentFolderName:
        return parentFolderName(parentPath(path));
    case FileProperty::fileSize:
        return fileSize(path);
    case FileProperty::fileDateCreated:
        return creationTime(path);
    case FileProperty::fileDateModified:
        return modificationTime(path);
    default:
        return QVariant();
    }
}

QVariant positiveOrNothing(int value)
{
    return value != 0 ? QVariant(value) : QVariant();
}

QVariant textOrNothing(const QString &text)
{
    return text.isEmpty() ? QVariant() : QVariant(text);
}

QVariant rawAudioProperty(const AudioProperties &p, AudioProperty::Id property)
{
    switch (property) {
    case AudioProperty::audioChannels:
        return positiveOrNothing(p.channels);
    case AudioProperty::audioBitrate:
        return positiveOrNothing(p.bitrate);
    case AudioProperty::audioBitrateType:
        return upperCaseFirst(AudioProperties::bitrateTypeName(p.bitrateType));
    case AudioProperty::audioSampleRate:
        return positiveOrNothing(p.sampleRate);
    case AudioProperty::audioSampleSize:
        return positiveOrNothing(p.bitsPerSample);
    case AudioProperty::playDuration:
        return positiveOrNothing(p.duration);
    case AudioProperty::audioSize:
        return p.audioSize;
    case AudioProperty::audioMetaDataSize:
        return p.fileSize - p.audioSize;
    case AudioProperty::audioContainer:
        return upperCaseFirst(AudioProperties::containerName(p.container));
    case AudioProperty::audioCodec:
        return textOrNothing(p.codecName);
    case AudioProperty::audioCodecFullName:
        return textOrNothing(p.codecFullName);
    case AudioProperty::audioIsLossy:
        return upperCaseFirst(AudioProperties::compressionName(p.compression));
    default:
        return QVariant();
    }
}

} // namespace

ValueFormat valueFormat(const ModelDataType &type)
{
    switch (type.category) {
    case ModelDataType::CategoryTagItem:
        if (type.id == TagItemType::Rating)
            return RatingFormat;
        if (type.id == TagItemType::Artwork)
            return ImageFormat;
        return PlainFormat;
    case ModelDataType::CategoryFileProperty:
        return type.id == FileProperty::fileSize ? ByteSizeFormat : PlainFormat;
    case ModelDataType::CategoryAudioProperty:
        switch (type.id) {
        case AudioProperty::audioSize:
        case AudioProperty::audioMetaDataSize:
            return ByteSizeFormat;
        case AudioProperty::audioBitrate:
            return BitrateFormat;
        case AudioProperty::playDuration:
            return DurationFormat;
        case AudioProperty::audioSampleRate:
            return SampleRateFormat;
        default:
            return PlainFormat;
        }
    default:
        return PlainFormat;
    }
}

QVariant formatValue(const QVariant &value, int role, ValueFormat format)
{
    if (role == RawValueRole || !value.isValid())
        return value;
    if (role == Qt::DisplayRole)
        return displayValue(value, format);
    if (role == SortValueRole)
        return sortValue(value);
    return QVariant();
}

QVariant tagItemValue(const TagItem &item, int role)
{
    const ValueFormat format = valueFormat(ModelDataType(ModelDataType::CategoryTagItem, item.type()));
    QVariant value;
    if (role == Qt::DisplayRole && format == PlainFormat && item.isTextual())
        value = item.toString(QString());
    else if (item.isPlainValue())
        value = item.toVariant();
    return formatValue(value, role, format);
}

QVariant filePropertyValue(const QString &path, FileProperty::Id property, int role)
{
    if (property == FileProperty::filePath)
        return nativePath(path);
    QVariant value;
    try {
        value = rawFileProperty(path, property);
    } catch (const Exception &) {
        return QVariant(); // logged where it was raised
    }
    return formatValue(value, role, valueFormat(ModelDataType(property)));
}

QVariant audioPropertyValue(const AudioProperties &properties, AudioProperty::Id property, int role)
{
    if (!properties.valid)
        return QVariant();
    return formatValue(rawAudioProperty(properties, property), role, valueFormat(ModelDataType(property)));
}

QVariant dataTypeValue(AudioFile *file, const ModelDataType &type, int role)
{
    if (!file)
        return QVariant();
    try {
        switch (type.category) {
        case ModelDataType::CategoryTagItem: {
            const AudioTag *tag = file->combinedTag();
            const TagItem *item = tag ? tag->item(type.id, 0) : nullptr;
            return item ? tagItemValue(*item, role) : QVariant();
        }
        case ModelDataType::CategoryFileProperty:
            return filePropertyValue(file->filePath(), FileProperty::Id(type.id), role);
        case ModelDataType::CategoryAudioProperty:
            return audioPropertyValue(file->audioProperties(), AudioProperty::Id(type.id), role);
        default:
            return QVariant();
        }
    } catch (const Exception &) {
        return QVariant(); // logged where it was raised
    }
}
