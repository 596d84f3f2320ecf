// Script variables: the name tables, data-type values and special variables, read from real
// files made by Debian's encoders and from hand-made tags, in both evaluation modes.

#include "app/shell/iappmainwindow.h"
#include "app/tagscript/scriptvariables.h"
#include "app/tagscript/support_tagscript.h"
#include "app/tagscript/tagscript.h"
#include "libcore/util/partialdatetime.h"
#include "libcore/util/random.h"
#include "libtagging/model/artworktagitem.h"
#include "libtagging/model/audiofile.h"
#include "libtagging/model/audiotag.h"
#include "shared/support_tools.h"

#include <QtTest>

#include <memory>
#include <new>

namespace {

// What "_total_files" reads: the selection's file count of a headless main window.
class StubMainWindow : public IAppMainWindow
{
public:
    int fileCount = 0;
    int selectionFileCount() const override { return fileCount; }
    QMessageBox::StandardButton askQuestion(const QString &, QMessageBox::StandardButtons,
                                            QMessageBox::StandardButton defaultButton) override
    {
        return defaultButton;
    }
};

bool writeSilence(const QString &path, int samples, int channels)
{
    QFile file(path);
    const QByteArray bytes(qsizetype(samples) * channels * 2, '\0');
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

bool makeFlac(const QString &raw, const QString &flac, int rate, int channels, const QStringList &tags)
{
    QStringList arguments {"-s", "-f", "--force-raw-format", "--endian=little", "--sign=signed",
                           "--bps=16", "--channels=" + QString::number(channels),
                           "--sample-rate=" + QString::number(rate), "-o", flac};
    for (const QString &tag : tags)
        arguments << "--tag=" + tag;
    return run(QStringLiteral("flac"), arguments << raw);
}

// A file that is never opened: its combined tag is made by hand.
std::unique_ptr<AudioFile> handMadeFile(const QList<QPair<int, QVariant>> &values)
{
    auto file = std::make_unique<AudioFile>(QStringLiteral("/nonexistent/a.mp3"));
    auto *tag = new AudioTag;
    for (const auto &[type, value] : values)
        tag->addItemValue(type, value);
    file->setTag(tag, TagType::Combined);
    return file;
}

} // namespace

class TestScriptVariables : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<AudioFile> m_mp3;  // lame, ID3v1 and ID3v2, mono
    std::unique_ptr<AudioFile> m_flac; // flac, Vorbis comments and a picture, stereo
    std::unique_ptr<AudioFile> m_surround; // flac, six channels, 59,999 ms
    StubMainWindow m_window;

    QString path(const QString &name) const { return m_dir.filePath(name); }

    static std::unique_ptr<AudioFile> readFile(const QString &path)
    {
        auto file = std::make_unique<AudioFile>(path);
        file->readTags();
        return file;
    }

private slots:
    void initTestCase()
    {
        loadEnglishTexts();
        QVERIFY(m_dir.isValid());
        IAppMainWindow::setInstance(&m_window);
        // Only the tests of real files need the encoders; they skip (or fail) on their own.
        if (!hasTool(QStringLiteral("lame")) || !hasTool(QStringLiteral("flac")) || !hasTool(QStringLiteral("metaflac")))
            return;

        QVERIFY(writeSilence(path("mono.raw"), 44100 / 5, 1));
        QVERIFY(run(QStringLiteral("lame"),
                    {"--quiet", "-r", "-s", "44.1", "--bitwidth", "16", "-m", "m", "--signed", "--little-endian",
                     "-b", "32", "--add-id3v2", "--tt", "Back In Black", "--ta", "AC/DC", "--tl", "..",
                     "--ty", "1980", "--tn", "6/10", "--tg", "Rock", path("mono.raw"), path("a.mp3")}));
        m_mp3 = readFile(path("a.mp3"));

        QVERIFY(writeSilence(path("stereo.raw"), 4410, 2));
        QVERIFY(makeFlac(path("stereo.raw"), path("b.flac"), 44100, 2,
                         {"TITLE=Hells Bells", "ARTIST=AC/DC", "ALBUMARTIST=Various Artists",
                          "ALBUM=Live", "DATE=2005-03-07", "TRACKNUMBER=1", "GENRE=."}));
        QImage image(40, 30, QImage::Format_RGB32);
        image.fill(Qt::red);
        QVERIFY(image.save(path("cover.png")));
        QVERIFY(run(QStringLiteral("metaflac"), {"--import-picture-from=3||||" + path("cover.png"), path("b.flac")}));
        m_flac = readFile(path("b.flac"));

        QVERIFY(writeSilence(path("six.raw"), 479992, 6));
        QVERIFY(makeFlac(path("six.raw"), path("c.flac"), 8000, 6, {"TITLE=Surround"}));
        m_surround = readFile(path("c.flac"));
    }

    void cleanupTestCase() { IAppMainWindow::setInstance(nullptr); }

    void nameTables()
    {
        QCOMPARE(dataTypeNames().size(), 132);
        QCOMPARE(variableNames().size(), 198);
        QCOMPARE(dataTypeNames().value(ModelDataType(TagItemType::Bpm)), QStringLiteral("beatsPerMinute"));
        QCOMPARE(dataTypeNames().value(ModelDataType(AudioProperty::audioIsLossy)), QStringLiteral("audioIsLossy"));
        QVERIFY(!dataTypeNames().contains(ModelDataType(TagItemType::DiscToc)));
        // Every canonical name leads back to its own data type.
        for (auto it = dataTypeNames().cbegin(); it != dataTypeNames().cend(); ++it)
            QCOMPARE(variableNames().value(it.value().toLower()), it.key());
        QCOMPARE(variableNames().value(QStringLiteral("rating wmp")), ModelDataType(TagItemType::Rating));
        QCOMPARE(variableNames().value(QStringLiteral("_filename")), ModelDataType(FileProperty::fileNameWithoutSuffix));
        QCOMPARE(variableNames().value(QStringLiteral("nosuchname")).category, int(ModelDataType::CategoryNone));
        QVERIFY(!variableNames().contains(QStringLiteral("year")));
    }

    void realFiles_data()
    {
        QTest::addColumn<int>("file"); // 0 the MP3, 1 the FLAC, 2 the six-channel FLAC
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("fileName");
        QTest::newRow("name in any case") << 0 << "%Artist%|%ARTIST%|%artist%" << "AC/DC|AC/DC|AC/DC" << "ACDC|ACDC|ACDC";
        QTest::newRow("alias in any case") << 1 << "%AlbumArtist%=%albumartist%"
                                           << "Various Artists=Various Artists" << "Various Artists=Various Artists";
        QTest::newRow("naming pattern")
            << 0 << "%artist%/[%year% - ]%album%/$num(%track%,2) - %title%"
            << "AC/DC/1980 - ../06 - Back In Black" << "ACDC/1980 - /06 - Back In Black";
        QTest::newRow("parent level from a tag") << 0 << "%artist%/%album%/%title%"
                                                 << "AC/DC/../Back In Black" << "ACDC//Back In Black";
        QTest::newRow("current level from a tag") << 1 << "%genre%/%title%" << "./Hells Bells" << "/Hells Bells";
        QTest::newRow("year of a full date") << 1 << "%year%" << "2005" << "2005";
        QTest::newRow("date formatted") << 1 << "$date(%releasedate%,dd.MM.yyyy)" << "07.03.2005" << "07.03.2005";
        QTest::newRow("no original date") << 1 << "[(%origyear%)]" << "()" << "()";
        QTest::newRow("number values") << 0 << "%track%/%trackcount%" << "6/10" << "6/10";
        QTest::newRow("mono") << 0 << "%_mode%" << "Mono" << "Mono";
        QTest::newRow("stereo") << 1 << "[%_mode%]" << "Stereo" << "Stereo";
        QTest::newRow("six channels have no mode") << 2 << "<[%_mode%]>" << "<>" << "<>";
        QTest::newRow("length in seconds") << 2 << "%_length_seconds%" << "59" << "59";
        QTest::newRow("length shown") << 2 << "%_length%" << "00:59" << "00:59";
        QTest::newRow("cover facts") << 1 << "%_covers% %_cover_width%x%_cover_height% %_cover_size%>0"
                                     << "1 40x30 " + QString::number(QFileInfo(path("cover.png")).size()) + ">0"
                                     << "1 40x30 " + QString::number(QFileInfo(path("cover.png")).size()) + ">0";
        QTest::newRow("cover type") << 1 << "%_cover_type%" << "Front cover" << "Front cover";
        QTest::newRow("MIME type loses its slash") << 1 << "%_cover_mimetype%" << "image/png" << "imagepng";
        QTest::newRow("no cover counts as filled") << 0 << "[w%_cover_width%]%_covers%" << "w00" << "w00";
        QTest::newRow("conditional call with a value") << 0 << "[<$upper(%genre%)>]" << "<ROCK>" << "<ROCK>";
        QTest::newRow("conditional call without a value") << 2 << "[<$upper(%genre%)>][ (%album%)]" << "" << "";
        QTest::newRow("unknown name") << 0 << "<%nosuchname%>[x%nosuchname%]" << "<>" << "<>";
        QTest::newRow("file name properties") << 0 << "%_filename%.%_extension%" << "a.mp3" << "a.mp3";
        QTest::newRow("file size in KiB") << 1 << "%_file_size_kb%"
                                          << QString::number(QFileInfo(path("b.flac")).size() / 1024)
                                          << QString::number(QFileInfo(path("b.flac")).size() / 1024);
        QTest::newRow("tag types of a FLAC") << 1 << "%_tag%" << "Vorbis comment" << "Vorbis comment";
        QTest::newRow("folder path loses its slashes") << 1 << "$contains(%_folderpath%,/)" << "true" << "false";
    }
    void realFiles()
    {
        if (!m_mp3)
            MELO_SKIP_TOOL("lame, flac and metaflac are needed for real files");
        QFETCH(int, file);
        QFETCH(QString, script);
        QFETCH(QString, text);
        QFETCH(QString, fileName);
        AudioFile *audioFile = QList<AudioFile *> {m_mp3.get(), m_flac.get(), m_surround.get()}.at(file);
        QCOMPARE(textOf(script, audioFile), text);
        QCOMPARE(fileNameOf(script, audioFile), fileName);
    }

    // The sizes of the tags at either end, against the bytes lame wrote.
    void tagSizesOfAnMp3()
    {
        if (!m_mp3)
            MELO_SKIP_TOOL("lame, flac and metaflac are needed for real files");
        const QByteArray bytes = fileBytes(path("a.mp3"));
        QVERIFY(bytes.startsWith("ID3"));
        const int id3v2Size = 10 + ((bytes[6] & 0x7F) << 21 | (bytes[7] & 0x7F) << 14 | (bytes[8] & 0x7F) << 7 | (bytes[9] & 0x7F));
        QCOMPARE(bytes.mid(bytes.size() - 128, 3), QByteArray("TAG"));
        QCOMPARE(textOf(QStringLiteral("%_tag_size_prepended%/%_tag_size_appended%"), m_mp3.get()),
                 QStringLiteral("%1/128").arg(id3v2Size));
        QCOMPARE(textOf(QStringLiteral("%_tag%"), m_mp3.get()), QStringLiteral("ID3v1, ID3v2"));
    }

    void handMadeValues_data()
    {
        QTest::addColumn<int>("itemType");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("text");
        QTest::newRow("rating by an alias with a space")
            << int(TagItemType::Rating) << QVariant(0.5) << "%rating wmp%|%RATING MM%" << "0.5|0.5";
        QTest::newRow("original year")
            << int(TagItemType::OriginalReleaseDate) << QVariant::fromValue(PartialDateTime(1975)) << "%origyear%" << "1975";
        QTest::newRow("year alone") << int(TagItemType::ReleaseDate) << QVariant::fromValue(PartialDateTime(1999, 4))
                                    << "%year%|%releasedate%" << "1999|1999-04";
        QTest::newRow("no year") << int(TagItemType::Title) << QVariant(QStringLiteral("x")) << "<%year%>[%year%]" << "<>";
        QTest::newRow("empty text counts as filled")
            << int(TagItemType::Title) << QVariant(QString()) << "[t%title%]" << "t";
        QTest::newRow("only the combined tag") << int(TagItemType::Title) << QVariant(QStringLiteral("x")) << "<%_tag%>" << "<>";
        QTest::newRow("nothing in the combined tag") << int(TagItemType::Title) << QVariant(QStringLiteral("x"))
                                                     << "%_covers%|%_cover_mimetype%" << "0|";
        QTest::newRow("value beyond the BMP")
            << int(TagItemType::Title) << QVariant(QString::fromUtf8("\xF0\x9F\x8E\xB5/\xF0\x9F\x8E\xB6"))
            << "$len(%title%)" << "5";
    }
    void handMadeValues()
    {
        QFETCH(int, itemType);
        QFETCH(QVariant, value);
        QFETCH(QString, script);
        QFETCH(QString, text);
        const auto file = handMadeFile({{itemType, value}});
        QCOMPARE(textOf(script, file.get()), text);
    }

    void counters()
    {
        const auto a = handMadeFile({});
        const auto b = handMadeFile({});
        resetScriptCounters();
        QCOMPARE(textOf(QStringLiteral("%_counter%"), a.get()), QStringLiteral("1"));
        QCOMPARE(textOf(QStringLiteral("%_counter%"), b.get()), QStringLiteral("2"));
        QCOMPARE(textOf(QStringLiteral("%_counter%"), a.get()), QStringLiteral("1"));
        resetScriptCounters();
        QCOMPARE(textOf(QStringLiteral("%_counter%"), b.get()), QStringLiteral("1"));
        // In a conditional the counter is asked for twice but stays the same.
        QCOMPARE(textOf(QStringLiteral("[#%_counter%]"), a.get()), QStringLiteral("#2"));
    }

    // A file made where a deleted one lived is another file: it does not inherit the old
    // file's number.
    void counterOfAFileAtAFreedAddress()
    {
        alignas(AudioFile) unsigned char storage[sizeof(AudioFile)];
        resetScriptCounters();
        auto *first = new (storage) AudioFile(QStringLiteral("/nonexistent/first.mp3"));
        QCOMPARE(textOf(QStringLiteral("%_counter%"), first), QStringLiteral("1"));
        first->~AudioFile();
        auto *second = new (storage) AudioFile(QStringLiteral("/nonexistent/second.mp3"));
        QCOMPARE(static_cast<void *>(second), static_cast<void *>(first));
        QCOMPARE(textOf(QStringLiteral("%_counter%"), second), QStringLiteral("2"));
        QCOMPARE(textOf(QStringLiteral("%_counter%"), second), QStringLiteral("2"));
        second->~AudioFile();
    }

    void totalFiles()
    {
        m_window.fileCount = 3;
        QCOMPARE(textOf(QStringLiteral("%_total_files%")), QStringLiteral("3"));
        IAppMainWindow::setInstance(nullptr);
        QCOMPARE(textOf(QStringLiteral("%_total_files%")), QStringLiteral("0"));
        IAppMainWindow::setInstance(&m_window);
    }

    void clockVariables()
    {
        const QString today = QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
        const QString date = textOf(QStringLiteral("%_date%"));
        QVERIFY(date == today || date == QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")));
        QVERIFY(QRegularExpression(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d-\\d\\d-\\d\\d$"))
                    .match(textOf(QStringLiteral("%_datetime%"))).hasMatch());
        const qint64 now = QDateTime::currentMSecsSinceEpoch() / 1000;
        QVERIFY(qAbs(evaluateScript(QStringLiteral("%_timestamp%")).toLongLong() - now) <= 2);
        QCOMPARE(evaluateScript(QStringLiteral("%_timestamp%")).metaType().id(), QMetaType::LongLong);
    }

    void fileDatesOfARealFile()
    {
        if (!m_flac)
            MELO_SKIP_TOOL("lame, flac and metaflac are needed for real files");
        const QDateTime modified = QFileInfo(path("b.flac")).lastModified();
        QCOMPARE(textOf(QStringLiteral("%_file_mod_date%|%_file_mod_datetime_raw%"), m_flac.get()),
                 modified.toString(QStringLiteral("yyyy-MM-dd")) + u'|'
                     + QString::number(modified.toMSecsSinceEpoch() / 1000));
        // A file that isn't there has no dates.
        const auto missing = handMadeFile({});
        QCOMPARE(textOf(QStringLiteral("<%_file_mod_date%>%_file_create_datetime_raw%"), missing.get()),
                 QStringLiteral("<>0"));
    }

    void randomIsSeeded()
    {
        seedProcessRandomGenerator(99);
        const QString a = textOf(QStringLiteral("%_rand%"));
        seedProcessRandomGenerator(99);
        QCOMPARE(textOf(QStringLiteral("%_rand%")), a);
    }
};

QTEST_GUILESS_MAIN(TestScriptVariables)
#include "tst_scriptvariables.moc"
