#pragma once

#include <QByteArray>
#include <QImage>
#include <QMetaType>
#include <QString>
#include <QStringList>

// An image kept in encoded form (the bytes of a JPEG, PNG ... exactly as stored), with the
// pixel size, format name and quality read from those bytes. Decoded only on demand.
// Identical byte arrays are shared process-wide through a pool, so the same picture in many
// files occupies memory once. Copies share the bytes; equality compares the bytes only.
class CodedImage
{
public:
    CodedImage() = default;
    // Reads the whole file; a file that cannot be read gives an empty image.
    explicit CodedImage(const QString &path);
    explicit CodedImage(const QByteArray &bytes);
    CodedImage(const QImage &image, const QString &format, int quality = -1);

    bool isEmpty() const { return data.isEmpty(); }

    // Format and quality may keep their old values when the reader cannot tell.
    void setData(const QByteArray &bytes);
    void setImage(const QImage &image, const QString &format, int quality = -1);
    // The three re-encode the decoded pixels.
    void setFormat(const QString &format);
    void setQuality(int quality);
    void convert(const QString &format, int quality);
    // Encodes with the stored format ("JPEG" when none) and quality; a null image or a failed
    // save leaves an empty image.
    void encode(const QImage &image);

    QImage image() const;
    QString suffix() const;
    QString mimeType() const;
    QString formatCode() const;

    bool operator==(const CodedImage &other) const { return data == other.data; }
    bool operator!=(const CodedImage &other) const { return !(*this == other); }

    // Makes the array share an identical one of the pool, or adds it to the pool.
    static void shareData(QByteArray &data);
    // Drops every pooled array that nothing but the pool holds any more.
    static void releaseUnusedData();
    static qsizetype pooledDataCount();

    // The encoded bytes; empty for no image. Change them through setData, which re-reads
    // the other fields and shares the bytes.
    QByteArray data;
    // Read from the bytes; -1 when the reader cannot tell.
    int width = -1;
    int height = -1;
    // Upper case as the image reader names it ("JPEG", "PNG" ...), or the name given for
    // encoding; null when there is none.
    QString format;
    // 0 to 100 where the format has one; -1 for none known, which asks the writer's default.
    int quality = -1;

private:
    void dataChanged();
    void readProperties();
};

size_t qHash(const CodedImage &image, size_t seed = 0);

Q_DECLARE_METATYPE(CodedImage)

// What the platform's image reader and writer support, in the platform's order.
const QStringList &supportedImageReaderFormats();
const QStringList &supportedImageWriterFormats();
// "JPEG", "PNG", "TIFF", "GIF", "BMP", those of them that the writer supports.
const QStringList &preferredImageWriterFormats();
