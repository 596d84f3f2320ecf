#include "libcore/image/codedimage.h"

#include <QBuffer>
#include <QImageReader>
#include <QImageWriter>
#include <QRecursiveMutex>
#include <QSet>

#include "libcore/io/iostream.h"
#include "libcore/io/wholefile.h"
#include "libcore/log/exception.h"
#include "libcore/util/variants.h"

namespace {

struct DataPool
{
    QRecursiveMutex mutex;
    QSet<QByteArray> arrays;
};

DataPool &pool()
{
    static DataPool instance;
    return instance;
}

bool equalCodedImages(const void *a, const void *b)
{
    return *static_cast<const CodedImage *>(a) == *static_cast<const CodedImage *>(b);
}

[[maybe_unused]] const bool codedImageRegistered = [] {
    registerVariantComparator(qRegisterMetaType<CodedImage>("CodedImage"), equalCodedImages);
    return true;
}();

// Format names come as bytes that may carry a terminating zero.
QString formatName(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.constData(), qstrnlen(bytes.constData(), size_t(bytes.size())));
}

QStringList formatNames(const QList<QByteArray> &formats)
{
    QStringList names;
    names.reserve(formats.size());
    for (const QByteArray &format : formats)
        names.append(formatName(format));
    return names;
}

struct FormatNames
{
    const char *format;
    const char *suffix;
    const char *mimeType;
    const char *code;
};

const FormatNames formatTable[] = {
    {"BMP", "bmp", "image/bmp", "BMP"},
    {"GIF", "gif", "image/gif", "GIF"},
    {"ICO", "ico", "image/x-icon", "ICO"},
    {"JPG", "jpg", "image/jpeg", "JPG"},
    {"JPEG", "jpg", "image/jpeg", "JPG"},
    {"PNG", "png", "image/png", "PNG"},
    {"TIFF", "tif", "image/tiff", "TIF"},
};

const FormatNames *namesOf(const QString &format)
{
    for (const FormatNames &names : formatTable) {
        if (format == QLatin1String(names.format))
            return &names;
    }
    return nullptr;
}

} // namespace

CodedImage::CodedImage(const QString &path)
{
    try {
        data = readFile(path);
    } catch (const Exception &) {
        data.clear();
    }
    dataChanged();
}

CodedImage::CodedImage(const QByteArray &bytes) : data(bytes)
{
    dataChanged();
}

CodedImage::CodedImage(const QImage &image, const QString &newFormat, int newQuality)
    : format(newFormat), quality(newQuality)
{
    encode(image);
}

void CodedImage::setData(const QByteArray &bytes)
{
    data = bytes;
    dataChanged();
}

void CodedImage::setImage(const QImage &image, const QString &newFormat, int newQuality)
{
    format = newFormat;
    quality = newQuality;
    encode(image);
}

void CodedImage::setFormat(const QString &newFormat)
{
    format = newFormat;
    encode(image());
}

void CodedImage::setQuality(int newQuality)
{
    quality = newQuality;
    encode(image());
}

void CodedImage::convert(const QString &newFormat, int newQuality)
{
    format = newFormat;
    quality = newQuality;
    encode(image());
}

void CodedImage::encode(const QImage &image)
{
    data.clear();
    if (!image.isNull()) {
        try {
            IoStream stream(QIODevice::WriteOnly);
            const QByteArray name = format.isEmpty() ? QByteArray("JPEG") : format.toLatin1();
            if (image.save(stream.device(), name.constData(), quality))
                data = stream.data();
        } catch (const Exception &) {
            data.clear();
        }
    }
    dataChanged();
}

QImage CodedImage::image() const
{
    if (data.isEmpty())
        return QImage();
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    return reader.read();
}

QString CodedImage::suffix() const
{
    const FormatNames *names = namesOf(format);
    return names ? QString::fromLatin1(names->suffix) : QString();
}

QString CodedImage::mimeType() const
{
    const FormatNames *names = namesOf(format);
    return QString::fromLatin1(names ? names->mimeType : "image");
}

QString CodedImage::formatCode() const
{
    const FormatNames *names = namesOf(format);
    return names ? QString::fromLatin1(names->code) : QString();
}

void CodedImage::dataChanged()
{
    shareData(data);
    readProperties();
}

void CodedImage::readProperties()
{
    if (data.isEmpty()) {
        width = -1;
        height = -1;
        format = QString();
        quality = -1;
        return;
    }
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    width = size.isValid() ? size.width() : -1;
    height = size.isValid() ? size.height() : -1;
    const QString name = formatName(reader.format());
    if (!name.isEmpty())
        format = name.toUpper();
    // The reader rarely knows the quality the bytes were made with; keep the one we encoded
    // with while the format has such an option at all.
    const int readQuality = reader.quality();
    if (readQuality != -1)
        quality = readQuality;
    else if (!reader.supportsOption(QImageIOHandler::Quality))
        quality = -1;
}

void CodedImage::shareData(QByteArray &data)
{
    if (data.isEmpty())
        return;
    DataPool &p = pool();
    QMutexLocker lock(&p.mutex);
    const auto it = p.arrays.constFind(data);
    if (it != p.arrays.constEnd()) {
        data = *it;
        return;
    }
    // Bytes that merely point at someone else's buffer must not outlive it in the pool.
    if (!data.data_ptr().isMutable())
        data.detach();
    p.arrays.insert(data);
}

void CodedImage::releaseUnusedData()
{
    DataPool &p = pool();
    QMutexLocker lock(&p.mutex);
    for (auto it = p.arrays.begin(); it != p.arrays.end();) {
        if (it->isDetached())
            it = p.arrays.erase(it);
        else
            ++it;
    }
}

qsizetype CodedImage::pooledDataCount()
{
    DataPool &p = pool();
    QMutexLocker lock(&p.mutex);
    return p.arrays.size();
}

size_t qHash(const CodedImage &image, size_t seed)
{
    return qHash(image.data, seed);
}

const QStringList &supportedImageReaderFormats()
{
    static const QStringList formats = formatNames(QImageReader::supportedImageFormats());
    return formats;
}

const QStringList &supportedImageWriterFormats()
{
    static const QStringList formats = formatNames(QImageWriter::supportedImageFormats());
    return formats;
}

const QStringList &preferredImageWriterFormats()
{
    static const QStringList formats = [] {
        QStringList preferred;
        for (const char *name : {"JPEG", "PNG", "TIFF", "GIF", "BMP"}) {
            if (supportedImageWriterFormats().contains(QLatin1String(name), Qt::CaseInsensitive))
                preferred.append(QLatin1String(name));
        }
        return preferred;
    }();
    return formats;
}
