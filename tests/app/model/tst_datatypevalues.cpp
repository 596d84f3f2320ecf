#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLocale>
#include <QTest>

#include "app/model/datatypevalues.h"
#include "app/model/modeldatatype.h"
#include "app/model/support_model.h"
#include "libcore/image/codedimage.h"
#include "libcore/log/bufferedlogger.h"
#include "libcore/text/formatting.h"
#include "libcore/util/partialdatetime.h"
#include "libtagging/model/audiofile.h"
#include "libtagging/model/audioproperties.h"
#include "libtagging/model/tagitem.h"

namespace {

CodedImage pngImage(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::red);
    return CodedImage(image, QStringLiteral("PNG"));
}

AudioProperties someProperties()
{
    AudioProperties p;
    p.valid = true;
    p.channels = 2;
    p.bitrate = 128000;
    p.sampleRate = 44100;
    p.bitsPerSample = 16;
    p.duration = 61000;
    p.fileSize = 5000;
    p.audioSize = 4000;
    p.container = AudioContainer::None;
    p.codecName = QStringLiteral("MP3");
    p.codecFullName = QStringLiteral("MPEG-1 Layer 3");
    p.bitrateType = BitrateType::Constant;
    p.compression = CompressionType::Lossy;
    return p;
}

} // namespace

class TestDataTypeValues : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        loadModelTexts();
        QLocale::setDefault(QLocale::c());
    }

    void dataTypeBasics()
    {
        // Equal values compare equal also inside variants, and order by category first.
        const ModelDataType title(TagItemType::Title);
        QCOMPARE(QVariant::fromValue(title), QVariant::fromValue(ModelDataType(0, TagItemType::Title)));
        QVERIFY(QVariant::fromValue(title) != QVariant::fromValue(ModelDataType(FileProperty::fileName)));
        QVERIFY(ModelDataType(0, 125) < ModelDataType(FileProperty::filePath));
        QCOMPARE(ModelDataType().category, int(ModelDataType::CategoryNone));
        QCOMPARE(qHash(ModelDataType(2, 5), 0), qHash(quint32(0x02000005), 0));

        const QList<ModelDataType> list = dataTypesOfCategories(
            {ModelDataType::CategoryAudioProperty, ModelDataType::CategoryNone, ModelDataType::CategoryTagItem,
             ModelDataType::CategoryAudioProperty});
        QCOMPARE(list.size(), 126 + 12);
        QCOMPARE(list.first(), ModelDataType(TagItemType::Id(0)));
        QCOMPARE(list.at(125), ModelDataType(TagItemType::Id(125)));
        QCOMPARE(list.at(126), ModelDataType(AudioProperty::audioChannels));
        QCOMPARE(list.last(), ModelDataType(AudioProperty::audioIsLossy));
        QCOMPARE(allDataTypes().size(), 149);

        const QList<ModelDataType> general = dataTypesOfItemCategories({TagItemCategory::General});
        QCOMPARE(general.size(), TagItem::typesOfCategory(TagItemCategory::General).size());
        QVERIFY(dataTypesOfItemCategories({TagItemCategory::None}).isEmpty());
    }

    void displayNames_data()
    {
        QTest::addColumn<ModelDataType>("type");
        QTest::addColumn<QString>("name");
        QTest::newRow("tag item") << ModelDataType(TagItemType::Title) << TagItem::typeName(TagItemType::Title);
        QTest::newRow("file property") << ModelDataType(FileProperty::fileSuffix) << QStringLiteral("file extension");
        QTest::newRow("audio property") << ModelDataType(AudioProperty::audioSampleRate) << QStringLiteral("sample rate");
        QTest::newRow("file id past the table") << ModelDataType(1, 11) << QString();
        QTest::newRow("audio id past the table") << ModelDataType(2, 12) << QString();
        QTest::newRow("negative id") << ModelDataType(1, -1) << QString();
        QTest::newRow("tag id past the table") << ModelDataType(0, 126) << QString();
        QTest::newRow("none") << ModelDataType() << QString();
        QTest::newRow("unknown category") << ModelDataType(7, 0) << QString();
    }

    void displayNames()
    {
        QFETCH(ModelDataType, type);
        QFETCH(QString, name);
        QVERIFY(!TagItem::typeName(TagItemType::Title).isEmpty());
        const QString actual = dataTypeDisplayName(type);
        QCOMPARE(actual, name);
        QVERIFY(!actual.isNull()); // an empty text, never a null one
    }

    void formatValue_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<int>("role");
        QTest::addColumn<int>("format");
        QTest::addColumn<QVariant>("expected");

        const PartialDateTime full(2021, 3, 4, 5, 6, 7, 8);
        const PartialDateTime year(1999);
        const QDateTime dateTime(QDate(2020, 1, 2), QTime(3, 4, 5, 6));
        const QString stars1(1, QChar(0x2605));

        QTest::newRow("raw keeps a date") << QVariant::fromValue(full) << int(RawValueRole) << 0 << QVariant::fromValue(full);
        QTest::newRow("raw keeps a number under a byte format") << QVariant(2048) << int(RawValueRole) << 1 << QVariant(2048);
        QTest::newRow("invalid stays invalid") << QVariant() << 0 << 0 << QVariant();
        QTest::newRow("decoration role") << QVariant(QStringLiteral("x")) << int(Qt::DecorationRole) << 0 << QVariant();
        QTest::newRow("edit role") << QVariant(5) << int(Qt::EditRole) << 0 << QVariant();

        QTest::newRow("full date display") << QVariant::fromValue(full) << 0 << 0 << QVariant(QStringLiteral("2021-03-04 05:06:07:008"));
        QTest::newRow("full date sort") << QVariant::fromValue(full) << int(SortValueRole) << 0 << QVariant(QStringLiteral("2021-03-04T05:06:07:008"));
        QTest::newRow("year display") << QVariant::fromValue(year) << 0 << 0 << QVariant(QStringLiteral("1999"));
        QTest::newRow("year sort") << QVariant::fromValue(year) << int(SortValueRole) << 0 << QVariant(QStringLiteral("1999"));
        QTest::newRow("QDateTime display") << QVariant(dateTime) << 0 << 0 << QVariant(QStringLiteral("2020-01-02 03:04:05:006"));
        QTest::newRow("QDateTime sort unchanged") << QVariant(dateTime) << int(SortValueRole) << 0 << QVariant(dateTime);
        QTest::newRow("QDate display") << QVariant(QDate(2020, 1, 2)) << 0 << 0 << QVariant(QStringLiteral("2020-01-02"));
        QTest::newRow("QTime display") << QVariant(QTime(3, 4, 5, 6)) << 0 << 0 << QVariant(QStringLiteral("03:04:05:006"));

        QTest::newRow("int plain") << QVariant(42) << 0 << 0 << QVariant(QStringLiteral("42"));
        QTest::newRow("int sort unchanged") << QVariant(42) << int(SortValueRole) << 2 << QVariant(42);
        QTest::newRow("byte size 0") << QVariant(qint64(0)) << 0 << 1 << QVariant(formatByteSize(0));
        QTest::newRow("byte size") << QVariant(qint64(3 * 1024 * 1024)) << 0 << 1 << QVariant(formatByteSize(3 * 1024 * 1024));
        QTest::newRow("bitrate") << QVariant(128000) << 0 << 2 << QVariant(formatBitrate(128000));
        QTest::newRow("duration drops ms") << QVariant(61500) << 0 << 3 << QVariant(QStringLiteral("01:01"));
        QTest::newRow("44100 Hz") << QVariant(44100) << 0 << 4 << QVariant(QStringLiteral("44.1 kHz"));
        QTest::newRow("8000 Hz") << QVariant(8000) << 0 << 4 << QVariant(QStringLiteral("8.0 kHz"));
        QTest::newRow("999 Hz") << QVariant(999) << 0 << 4 << QVariant(QStringLiteral("999 Hz"));
        QTest::newRow("1 MHz") << QVariant(1000000) << 0 << 4 << QVariant(QStringLiteral("1.00 MHz"));
        QTest::newRow("int as rating") << QVariant(1) << 0 << 5 << QVariant();
        QTest::newRow("int as image") << QVariant(1) << 0 << 6 << QVariant();

        QTest::newRow("rating 0") << QVariant(0.0) << 0 << 5 << QVariant(stars1);
        QTest::newRow("rating 0.25") << QVariant(0.25) << 0 << 5 << QVariant(QString(2, QChar(0x2605)));
        QTest::newRow("rating 0.99") << QVariant(0.99) << 0 << 5 << QVariant(QString(4, QChar(0x2605)));
        QTest::newRow("rating 1") << QVariant(1.0) << 0 << 5 << QVariant(QString(5, QChar(0x2605)));
        QTest::newRow("rating below range") << QVariant(-0.5) << 0 << 5 << QVariant(QString());
        QTest::newRow("double plain") << QVariant(0.5) << 0 << 0 << QVariant(QStringLiteral("0.5"));
        QTest::newRow("double as byte size") << QVariant(0.5) << 0 << 1 << QVariant();
        QTest::newRow("double as image") << QVariant(0.5) << 0 << 6 << QVariant();
        QTest::newRow("double sort unchanged") << QVariant(0.5) << int(SortValueRole) << 5 << QVariant(0.5);

        QTest::newRow("text under any format") << QVariant(QStringLiteral("a\nb")) << 0 << 5 << QVariant(QStringLiteral("a\nb"));
        QTest::newRow("bool shows its text") << QVariant(true) << 0 << 0 << QVariant(QStringLiteral("true"));
    }

    void formatValue()
    {
        QFETCH(QVariant, value);
        QFETCH(int, role);
        QFETCH(int, format);
        QFETCH(QVariant, expected);
        const QVariant actual = ::formatValue(value, role, ValueFormat(format));
        QCOMPARE(actual.isValid(), expected.isValid());
        QCOMPARE(actual, expected);
    }

    void sampleRateUsesTheLocale()
    {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        const QVariant text = ::formatValue(44100, Qt::DisplayRole, SampleRateFormat);
        QLocale::setDefault(QLocale::c());
        QCOMPARE(text.toString(), QStringLiteral("44,1 kHz"));
    }

    void images()
    {
        const CodedImage image = pngImage(64, 32);
        const QVariant value = QVariant::fromValue(image);
        QCOMPARE(::formatValue(value, RawValueRole, ImageFormat), value);
        QCOMPARE(::formatValue(value, SortValueRole, ImageFormat), QVariant(image.data));
        const QImage thumbnail = ::formatValue(value, Qt::DisplayRole, ImageFormat).value<QImage>();
        QCOMPARE(thumbnail.size(), QSize(32, 16));
        QCOMPARE(::formatValue(value, Qt::DisplayRole, PlainFormat).value<QImage>().size(), QSize(64, 32));
        QVERIFY(!::formatValue(value, Qt::DisplayRole, RatingFormat).isValid());
    }

    void tagItems_data()
    {
        QTest::addColumn<int>("itemType");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<int>("role");
        QTest::addColumn<QVariant>("expected");
        QTest::newRow("title display") << int(TagItemType::Title) << QVariant(QStringLiteral("Song")) << 0 << QVariant(QStringLiteral("Song"));
        QTest::newRow("rating 0") << int(TagItemType::Rating) << QVariant(0.0) << 0 << QVariant(QString(1, QChar(0x2605)));
        QTest::newRow("rating 0.99") << int(TagItemType::Rating) << QVariant(0.99) << 0 << QVariant(QString(4, QChar(0x2605)));
        QTest::newRow("rating 1") << int(TagItemType::Rating) << QVariant(1.0) << 0 << QVariant(QString(5, QChar(0x2605)));
        QTest::newRow("rating sorts by number") << int(TagItemType::Rating) << QVariant(0.5) << int(SortValueRole) << QVariant(0.5);
        QTest::newRow("date sorts by text") << int(TagItemType::ReleaseDate) << QVariant::fromValue(PartialDateTime(2001, 2))
                                            << int(SortValueRole) << QVariant(QStringLiteral("2001-02"));
    }

    void tagItems()
    {
        QFETCH(int, itemType);
        QFETCH(QVariant, value);
        QFETCH(int, role);
        QFETCH(QVariant, expected);
        QScopedPointer<TagItem> item(makeModelItem(itemType, value));
        QVERIFY(item);
        QCOMPARE(tagItemValue(*item, role), expected);
    }

    void artworkItem()
    {
        QScopedPointer<TagItem> item(makeModelItem(TagItemType::Artwork, QVariant::fromValue(pngImage(10, 40))));
        QVERIFY(item);
        QCOMPARE(tagItemValue(*item, Qt::DisplayRole).value<QImage>().size(), QSize(8, 32));
        QCOMPARE(tagItemValue(*item, RawValueRole).value<CodedImage>(), pngImage(10, 40));
    }

    void fileProperties_data()
    {
        QTest::addColumn<int>("property");
        QTest::addColumn<int>("role");
        QTest::addColumn<QString>("expected");
        QTest::newRow("name") << int(FileProperty::fileName) << 0 << QStringLiteral("01. Intro.mp3");
        QTest::newRow("name without suffix") << int(FileProperty::fileNameWithoutSuffix) << 0 << QStringLiteral("01. Intro");
        QTest::newRow("suffix after the last dot") << int(FileProperty::fileSuffix) << 0 << QStringLiteral("mp3");
        QTest::newRow("folder name") << int(FileProperty::folderName) << 0 << QStringLiteral("Album");
        QTest::newRow("parent folder name") << int(FileProperty::parentFolderName) << 0 << QStringLiteral("Artist");
        QTest::newRow("folder path") << int(FileProperty::folderPath) << 0 << QStringLiteral("<root>/Artist/Album");
        QTest::newRow("parent folder path") << int(FileProperty::parentFolderPath) << 0 << QStringLiteral("<root>/Artist");
        QTest::newRow("path, display") << int(FileProperty::filePath) << 0 << QStringLiteral("<root>/Artist/Album/01. Intro.mp3");
        QTest::newRow("path, sort") << int(FileProperty::filePath) << int(SortValueRole) << QStringLiteral("<root>/Artist/Album/01. Intro.mp3");
        QTest::newRow("path, decoration") << int(FileProperty::filePath) << int(Qt::DecorationRole) << QStringLiteral("<root>/Artist/Album/01. Intro.mp3");
        QTest::newRow("size") << int(FileProperty::fileSize) << 0 << QStringLiteral("<size>");
        QTest::newRow("id past the table") << 11 << 0 << QString();
    }

    void fileProperties()
    {
        QFETCH(int, property);
        QFETCH(int, role);
        QFETCH(QString, expected);
        AudioFileFactory factory;
        const QString path = factory.copyFixture(QStringLiteral("Artist/Album/01. Intro.mp3"));
        expected.replace(QStringLiteral("<root>"), factory.folder());
        expected.replace(QStringLiteral("<size>"), formatByteSize(QFileInfo(path).size()));
        const QVariant value = filePropertyValue(path, FileProperty::Id(property), role);
        QCOMPARE(value.isValid(), !expected.isNull());
        QCOMPARE(value.toString(), expected);
    }

    void filePropertyRawValues()
    {
        AudioFileFactory factory;
        const QString path = factory.copyFixture(QStringLiteral("a.b.mp3"));
        QCOMPARE(filePropertyValue(path, FileProperty::fileSuffix, RawValueRole).toString(), QStringLiteral("mp3"));
        QCOMPARE(filePropertyValue(path, FileProperty::fileNameWithoutSuffix, RawValueRole).toString(), QStringLiteral("a.b"));
        QCOMPARE(filePropertyValue(path, FileProperty::fileSize, RawValueRole), QVariant(QFileInfo(path).size()));
        QCOMPARE(filePropertyValue(path, FileProperty::fileDateModified, RawValueRole).typeId(), int(QMetaType::QDateTime));
        QVERIFY(filePropertyValue(path, FileProperty::fileDateModified, Qt::DisplayRole).toString().startsWith(
            QString::number(QDate::currentDate().year())));
    }

    void missingFileGivesEmptyCells()
    {
        BufferedLogger logger;
        const QString path = QDir::tempPath() + QStringLiteral("/no such folder/x.mp3");
        QVERIFY(!filePropertyValue(path, FileProperty::fileSize, Qt::DisplayRole).isValid());
        QVERIFY(!filePropertyValue(path, FileProperty::fileDateCreated, SortValueRole).isValid());
        QCOMPARE(filePropertyValue(path, FileProperty::fileName, Qt::DisplayRole).toString(), QStringLiteral("x.mp3"));
        QCOMPARE(int(logger.lastError().level), 2); // what the file system question logged
    }

    void audioProperties_data()
    {
        QTest::addColumn<int>("property");
        QTest::addColumn<QString>("field"); // the field set to zero or empty
        QTest::addColumn<bool>("valid");
        QTest::newRow("no channels") << int(AudioProperty::audioChannels) << "channels" << false;
        QTest::newRow("no bitrate") << int(AudioProperty::audioBitrate) << "bitrate" << false;
        QTest::newRow("no sample rate") << int(AudioProperty::audioSampleRate) << "sampleRate" << false;
        QTest::newRow("no sample size") << int(AudioProperty::audioSampleSize) << "bitsPerSample" << false;
        QTest::newRow("no duration") << int(AudioProperty::playDuration) << "duration" << false;
        QTest::newRow("no codec") << int(AudioProperty::audioCodec) << "codecName" << false;
        QTest::newRow("no full codec name") << int(AudioProperty::audioCodecFullName) << "codecFullName" << false;
        QTest::newRow("audio size 0 still shows") << int(AudioProperty::audioSize) << "audioSize" << true;
        QTest::newRow("no metadata") << int(AudioProperty::audioMetaDataSize) << "fileSize=audioSize" << true;
        QTest::newRow("channels set") << int(AudioProperty::audioChannels) << "" << true;
        QTest::newRow("id past the table") << 12 << "" << false;
    }

    void audioProperties()
    {
        QFETCH(int, property);
        QFETCH(QString, field);
        QFETCH(bool, valid);
        AudioProperties p = someProperties();
        if (field == "channels") p.channels = 0;
        if (field == "bitrate") p.bitrate = 0;
        if (field == "sampleRate") p.sampleRate = 0;
        if (field == "bitsPerSample") p.bitsPerSample = 0;
        if (field == "duration") p.duration = 0;
        if (field == "codecName") p.codecName.clear();
        if (field == "codecFullName") p.codecFullName.clear();
        if (field == "audioSize") p.audioSize = 0;
        if (field == "fileSize=audioSize") p.fileSize = p.audioSize;
        for (int role : {int(Qt::DisplayRole), int(RawValueRole), int(SortValueRole)})
            QCOMPARE(audioPropertyValue(p, AudioProperty::Id(property), role).isValid(), valid);
        if (field == "audioSize")
            QCOMPARE(audioPropertyValue(p, AudioProperty::audioSize, Qt::DisplayRole).toString(), formatByteSize(0));
        p.valid = false;
        QVERIFY(!audioPropertyValue(p, AudioProperty::Id(property), RawValueRole).isValid());
    }

    void audioPropertyTexts()
    {
        const AudioProperties p = someProperties();
        QCOMPARE(audioPropertyValue(p, AudioProperty::audioMetaDataSize, RawValueRole), QVariant(qint64(1000)));
        QCOMPARE(audioPropertyValue(p, AudioProperty::audioSampleRate, Qt::DisplayRole).toString(), QStringLiteral("44.1 kHz"));
        QCOMPARE(audioPropertyValue(p, AudioProperty::playDuration, Qt::DisplayRole).toString(), QStringLiteral("01:01"));
        const QString lossy = audioPropertyValue(p, AudioProperty::audioIsLossy, Qt::DisplayRole).toString();
        QVERIFY(!lossy.isEmpty());
        QVERIFY(lossy.at(0).isUpper());
        QVERIFY(audioPropertyValue(p, AudioProperty::audioBitrateType, Qt::DisplayRole).toString().at(0).isUpper());
    }

    void cellsOfRealFiles()
    {
        AudioFileFactory factory;
        QObject owner;
        AudioFile *file = factory.create(QStringLiteral("Artist/Album/01. Intro.mp3"),
                                         {{TagItemType::Title, QStringLiteral("Intro")},
                                          {TagItemType::Artist, QStringLiteral("A")},
                                          {TagItemType::Artist, QStringLiteral("B")}},
                                         &owner);
        QCOMPARE(dataTypeValue(file, ModelDataType(TagItemType::Title), Qt::DisplayRole).toString(), QStringLiteral("Intro"));
        QCOMPARE(dataTypeValue(file, ModelDataType(TagItemType::Artist), Qt::DisplayRole).toString(), QStringLiteral("A"));
        QVERIFY(!dataTypeValue(file, ModelDataType(TagItemType::Album), Qt::DisplayRole).isValid());
        QCOMPARE(dataTypeValue(file, ModelDataType(FileProperty::fileSuffix), Qt::DisplayRole).toString(), QStringLiteral("mp3"));
        QCOMPARE(dataTypeValue(file, ModelDataType(AudioProperty::audioSampleRate), RawValueRole).toInt(), 16000);
        QVERIFY(!dataTypeValue(file, ModelDataType(), Qt::DisplayRole).isValid());
        // MPEG audio has no sample size: an empty cell, not "0".
        QVERIFY(!dataTypeValue(file, ModelDataType(AudioProperty::audioSampleSize), Qt::DisplayRole).isValid());
        QVERIFY(dataTypeValue(file, ModelDataType(AudioProperty::audioMetaDataSize), RawValueRole).toLongLong() >= 0);

        // An odd sample rate read from a real stream.
        AudioFile *wavPack = new AudioFile(factory.copyFixture(QStringLiteral("odd.wv"), QStringLiteral("plain/rate37800.wv")), &owner);
        QCOMPARE(dataTypeValue(wavPack, ModelDataType(AudioProperty::audioSampleRate), Qt::DisplayRole).toString(),
                 QStringLiteral("37.8 kHz"));
    }

    void unreadableAudioGivesEmptyCells()
    {
        AudioFileFactory factory;
        const QString path = factory.copyFixture(QStringLiteral("broken.mp3"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(QByteArray(64, 'x'));
        file.close();
        QObject owner;
        AudioFile *audio = new AudioFile(path, &owner);
        BufferedLogger logger;
        for (int id = 0; id < AudioProperty::Count; ++id)
            QVERIFY(!dataTypeValue(audio, ModelDataType(AudioProperty::Id(id)), Qt::DisplayRole).isValid());
        QCOMPARE(int(logger.lastError().level), 2);
        QCOMPARE(dataTypeValue(audio, ModelDataType(FileProperty::fileName), Qt::DisplayRole).toString(), QStringLiteral("broken.mp3"));
    }

};

QTEST_MAIN(TestDataTypeValues)
#include "tst_datatypevalues.moc"
