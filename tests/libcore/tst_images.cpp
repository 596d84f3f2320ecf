#include <QtTest>

#include <QBuffer>

#include "libcore/image/codedimage.h"
#include "libcore/util/variants.h"

namespace {

QImage pixels(int width = 3, int height = 2)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    image.setPixel(0, 0, qRgb(200, 10, 10));
    return image;
}

QByteArray encoded(const char *format, int width = 3, int height = 2)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!pixels(width, height).save(&buffer, format))
        qFatal("cannot encode a %s fixture", format);
    return bytes;
}

QString writeTemp(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

} // namespace

class TestImages : public QObject
{
    Q_OBJECT
private slots:
    // Two separately read copies of one file end up in one buffer; the pool lets go of it
    // only once nothing else holds it.
    void identicalBytesShareOneBuffer()
    {
        QTemporaryDir dir;
        const QString path = writeTemp(dir, "cover.png", encoded("PNG", 17, 5));
        CodedImage::releaseUnusedData();
        const qsizetype before = CodedImage::pooledDataCount();
        QByteArray kept;
        {
            const CodedImage a(path);
            const CodedImage b(path);
            QCOMPARE(a.width, 17);
            QCOMPARE(a.data.constData(), b.data.constData());
            const CodedImage c{QByteArray(a.data.constData(), a.data.size())};
            QCOMPARE(c.data.constData(), a.data.constData());
            QCOMPARE(CodedImage::pooledDataCount(), before + 1);
            CodedImage::releaseUnusedData();
            QCOMPARE(CodedImage::pooledDataCount(), before + 1); // still held by the images
            kept = a.data;
        }
        CodedImage::releaseUnusedData();
        QCOMPARE(CodedImage::pooledDataCount(), before + 1); // still held by a caller's copy
        kept.clear();
        QCOMPARE(CodedImage::pooledDataCount(), before + 1); // stays until the next release
        CodedImage::releaseUnusedData();
        QCOMPARE(CodedImage::pooledDataCount(), before);
    }

    void differentBytesAreNotShared()
    {
        const CodedImage a(encoded("PNG", 4, 4));
        const CodedImage b(encoded("PNG", 4, 5));
        QVERIFY(a.data.constData() != b.data.constData());
    }

    void emptyImage()
    {
        const CodedImage image{QByteArray()};
        QCOMPARE(image.width, -1);
        QCOMPARE(image.height, -1);
        QVERIFY(image.format.isNull());
        QCOMPARE(image.quality, -1);
        QCOMPARE(image.mimeType(), QString("image"));
        QVERIFY(image.suffix().isEmpty());
        QVERIFY(image.image().isNull());
        const CodedImage unreadable(QStringLiteral("/nonexistent/folder/cover.jpg"));
        QVERIFY(unreadable.isEmpty());
        QVERIFY(unreadable.format.isNull());
    }

    void propertiesFromBytes_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<QString>("mimeType");
        QTest::addColumn<QString>("formatCode");
        QTest::newRow("png") << encoded("PNG") << "PNG" << "png" << "image/png" << "PNG";
        QTest::newRow("jpeg") << encoded("JPEG") << "JPEG" << "jpg" << "image/jpeg" << "JPG";
        QTest::newRow("bmp") << encoded("BMP") << "BMP" << "bmp" << "image/bmp" << "BMP";
    }
    void propertiesFromBytes()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, format);
        const CodedImage image(bytes);
        QCOMPARE(image.width, 3);
        QCOMPARE(image.height, 2);
        QCOMPARE(image.format, format);
        QTEST(image.suffix(), "suffix");
        QTEST(image.mimeType(), "mimeType");
        QTEST(image.formatCode(), "formatCode");
        QCOMPARE(image.image().size(), QSize(3, 2));
    }

    void setFormatReencodes()
    {
        CodedImage image(encoded("JPEG"));
        image.setFormat("PNG");
        QCOMPARE(image.format, QString("PNG"));
        QCOMPARE(image.suffix(), QString("png"));
        QCOMPARE(image.formatCode(), QString("PNG"));
        QVERIFY(image.data.startsWith("\x89PNG"));
        QCOMPARE(image.image().size(), QSize(3, 2));
    }

    // The reader names the format of the new bytes; a JPEG quality that the reader cannot
    // report is kept.
    void encodeWithFormatName_data()
    {
        QTest::addColumn<QString>("requested");
        QTest::addColumn<QString>("format");
        QTest::newRow("JPG") << "JPG" << "JPEG";
        QTest::newRow("jpeg") << "jpeg" << "JPEG";
        QTest::newRow("none means JPEG") << "" << "JPEG";
        QTest::newRow("png") << "png" << "PNG";
    }
    void encodeWithFormatName()
    {
        QFETCH(QString, requested);
        QFETCH(QString, format);
        const CodedImage image(pixels(), requested, 90);
        QCOMPARE(image.format, format);
        QCOMPARE(image.suffix(), format == "JPEG" ? QString("jpg") : QString("png"));
        if (format == "JPEG")
            QCOMPARE(image.quality, 90);
    }

    void failedEncodingLeavesEmptyImage_data()
    {
        QTest::addColumn<QImage>("source");
        QTest::addColumn<QString>("format");
        QTest::newRow("null image") << QImage() << "PNG";
        QTest::newRow("no writer for the format") << pixels() << "XYZ";
    }
    void failedEncodingLeavesEmptyImage()
    {
        QFETCH(QImage, source);
        QFETCH(QString, format);
        CodedImage image(encoded("PNG"));
        image.setImage(source, format, 80);
        QVERIFY(image.isEmpty());
        QVERIFY(image.format.isNull());
        QCOMPARE(image.quality, -1);
        QCOMPARE(image.width, -1);
    }

    void bytesThatAreNoImageKeepTheFormat()
    {
        CodedImage image(encoded("PNG"));
        image.setData("not a picture at all");
        QCOMPARE(image.width, -1);
        QCOMPARE(image.height, -1);
        QCOMPARE(image.format, QString("PNG"));
        QCOMPARE(image.data, QByteArray("not a picture at all"));
        QVERIFY(image.image().isNull());
    }

    void variantsCompareBytesOnly()
    {
        const QByteArray bytes = encoded("JPEG");
        const CodedImage plain(bytes);
        QCOMPARE(plain.quality, -1);
        CodedImage rated(pixels(), "PNG", 80);
        rated.setData(QByteArray(bytes)); // the JPEG reader has a quality option: 80 is kept
        QCOMPARE(rated.quality, 80);
        const QVariant a = QVariant::fromValue(plain);
        const QVariant b = QVariant::fromValue(rated);
        const QVariant other = QVariant::fromValue(CodedImage(pixels(), "JPEG", 40));
        QVERIFY(a == b);
        QVERIFY(a != other);
        installVariantHandler(true);
        QVERIFY(variantsEqual(a, b));
        QVERIFY(!variantsEqual(a, other));
        installVariantHandler(false);
        QCOMPARE(QMetaType::fromName("CodedImage"), QMetaType::fromType<CodedImage>());
    }

    void preferredWriterFormats()
    {
        const QStringList preferred = preferredImageWriterFormats();
        QStringList expected;
        for (const QString name : {"JPEG", "PNG", "TIFF", "GIF", "BMP"})
            if (supportedImageWriterFormats().contains(name, Qt::CaseInsensitive))
                expected << name;
        QCOMPARE(preferred, expected);
        QVERIFY(preferred.contains("JPEG") && preferred.contains("PNG"));
        QVERIFY(supportedImageReaderFormats().contains("png"));
    }
};

QTEST_GUILESS_MAIN(TestImages)
#include "tst_images.moc"
