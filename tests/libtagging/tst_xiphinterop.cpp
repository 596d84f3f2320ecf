#include <QtTest>

#include "libcore/image/codedimage.h"
#include "libcore/io/iostream.h"
#include "libtagging/model/artworktagitem.h"
#include "libtagging/model/audiofile.h"
#include "libtagging/model/audiotag.h"
#include "libtagging/model/disctoctagitem.h"
#include "libtagging/model/lyricstagitem.h"
#include "libtagging/model/plaintagitems.h"
#include "libtagging/model/userdefinedtexttagitem.h"
#include "libtagging/xiph/flacstreamio.h"
#include "libtagging/xiph/oggpage.h"
#include "libtagging/xiph/oggstreamio.h"
#include "support_xiph.h"
#include "shared/support_skip.h"

#include <QBuffer>
#include <QTemporaryDir>

#include <memory>

using namespace xiph;

// Real files made by Debian's encoders, edited by us and checked by the encoders' own tools
// and by another reader.
namespace {

const char *const mutagenScript = R"(
import sys, mutagen
f = mutagen.File(sys.argv[1])
for key, value in sorted(f.tags.items() if hasattr(f.tags, 'items') else []):
    if key.lower() == 'metadata_block_picture':
        continue
    print('%s=%s' % (key.upper(), value if isinstance(value, str) else '|'.join(value)))
pictures = getattr(f, 'pictures', None)
if pictures is not None:
    print('pictures=%d' % len(pictures))
)";

QStringList mutagenTags(const QString &path)
{
    QByteArray out;
    QByteArray errors;
    if (!run(QStringLiteral("/usr/bin/python3"), {"-c", mutagenScript, path}, &out, &errors))
        return {QStringLiteral("<failed> ") + QString::fromUtf8(errors)};
    return QString::fromUtf8(out).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// The pages of each logical stream other than the one given, as bytes.
QList<QByteArray> pagesNotOf(const QByteArray &file, quint32 serial)
{
    QList<QByteArray> pages;
    IoStream stream(file, QIODevice::ReadOnly);
    QObject scratch;
    while (stream.pos() < stream.size()) {
        OggPage *page = OggPage::read(&stream, &scratch);
        if (page->serialNumber != serial)
            pages.append(file.mid(page->offset, page->headerSize + page->dataSize));
        stream.seek(page->endOffset());
    }
    return pages;
}

// What oggz-validate finds wrong with the file; empty when it is clean or not installed.
QByteArray oggzProblems(const QString &path)
{
    if (!hasTool(QStringLiteral("oggz-validate")))
        return QByteArray();
    QByteArray out;
    QByteArray errors;
    if (run(QStringLiteral("oggz-validate"), {path}, &out, &errors))
        return QByteArray();
    return "oggz-validate: " + out + errors;
}

QByteArray jpegBytes(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb((x * 7) % 256, (y * 13) % 256, (x * y) % 256));
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 95);
    return bytes;
}

void write(IAudioStreamIo *io, const QString &path, const AudioTag *tag)
{
    IoStream stream(path);
    stream.open(QIODevice::ReadWrite);
    if (tag)
        io->writeTags(&stream, tag, {}, nullptr);
    else
        io->removeTags(&stream, {}, nullptr);
}

std::unique_ptr<AudioTag> read(IAudioStreamIo *io, const QString &path)
{
    IoStream stream(path);
    stream.open(QIODevice::ReadOnly);
    QList<AudioTag *> tags = io->readTags(&stream, {}, nullptr, nullptr);
    return std::unique_ptr<AudioTag>(tags.isEmpty() ? nullptr : tags.first());
}

AudioProperties properties(IAudioStreamIo *io, const QString &path)
{
    IoStream stream(path);
    stream.open(QIODevice::ReadOnly);
    return io->readAudioProperties(&stream, nullptr);
}

double probedDuration(const QString &path)
{
    QByteArray out;
    if (!run(QStringLiteral("ffprobe"),
             {"-v", "error", "-show_entries", "format=duration", "-of", "default=nw=1:nk=1", path}, &out))
        return -1;
    return out.trimmed().toDouble() * 1000;
}

} // namespace

class TestXiphInterop : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;

    QString path(const QString &name) const { return m_dir.filePath(name); }

    // A two-second stereo sine tone at the rate.
    bool makeWave(const QString &name, int rate, int channels)
    {
        return run(QStringLiteral("ffmpeg"), {"-v", "error", "-y", "-f", "lavfi", "-i", "sine=frequency=440:duration=2",
                                              "-ar", QString::number(rate), "-ac", QString::number(channels), path(name)});
    }

    QString m_missing; // why the tools the tests need are not there
private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        if (!hasTool(QStringLiteral("ffmpeg"))) {
            m_missing = QStringLiteral("ffmpeg is not installed: no real files to test with");
            return;
        }
        QVERIFY(makeWave(QStringLiteral("a.wav"), 44100, 2));
        QVERIFY(makeWave(QStringLiteral("speech.wav"), 16000, 1));
    }

    // Every test here needs the tools; each skips (or fails, where tools are required) alone.
    void init()
    {
        if (!m_missing.isEmpty())
            MELO_SKIP_TOOL(m_missing);
    }

    void flac()
    {
        if (!hasTool(QStringLiteral("flac")) || !hasTool(QStringLiteral("metaflac")))
            MELO_SKIP_TOOL("flac and metaflac are not installed");
        const QString file = path(QStringLiteral("a.flac"));
        QVERIFY(run(QStringLiteral("flac"), {"-s", "-f", "--padding=4096", "-o", file, path(QStringLiteral("a.wav"))}));
        QFile cover(path(QStringLiteral("cover.jpg")));
        QVERIFY(cover.open(QIODevice::WriteOnly));
        cover.write(jpegBytes(16, 16));
        cover.close();
        QVERIFY(run(QStringLiteral("metaflac"), {"--set-tag=TITLE=Original", "--set-tag=ARTIST=Someone",
                                                 "--import-picture-from=" + cover.fileName(), file}));
        const QString md5 = audioMd5(file);
        const qint64 size = QFileInfo(file).size();

        auto tag = read(FlacStreamIo::instance(), file);
        QVERIFY(tag);
        QCOMPARE(tag->itemText(TagItemType::Title), QStringLiteral("Original"));
        QCOMPARE(tag->itemCount(ArtworkTagItem::Type), 1);
        const AudioProperties p = properties(FlacStreamIo::instance(), file);
        QCOMPARE(p.sampleRate, 44100);
        QCOMPARE(p.duration, 2000);

        // A small edit fits the padding: the file keeps its size.
        tag->replaceItem(new TitleTagItem(QStringLiteral("Ünïcode title")), 0);
        tag->addItem(new UserDefinedTextTagItem(QStringLiteral("x"), QStringLiteral("MYFIELD")));
        write(FlacStreamIo::instance(), file, tag.get());
        QCOMPARE(QFileInfo(file).size(), size);
        QVERIFY(run(QStringLiteral("flac"), {"-s", "-t", file}));
        QCOMPARE(audioMd5(file), md5);
        QByteArray listing;
        QVERIFY(run(QStringLiteral("metaflac"), {"--list", file}, &listing));
        QVERIFY(listing.contains("TITLE=Ünïcode title"));
        QVERIFY(listing.contains("SEEKTABLE"));
        const QStringList tags = mutagenTags(file);
        QVERIFY2(tags.contains(QStringLiteral("TITLE=Ünïcode title")), qPrintable(tags.join('\n')));
        QVERIFY(tags.contains(QStringLiteral("MYFIELD=x")));
        QVERIFY(tags.contains(QStringLiteral("pictures=1")));

        // A large picture moves the audio; it still decodes the same.
        tag->addItem(new ArtworkTagItem(CodedImage(jpegBytes(200, 200)), 4, QStringLiteral("back")));
        write(FlacStreamIo::instance(), file, tag.get());
        QVERIFY(QFileInfo(file).size() > size);
        QVERIFY(run(QStringLiteral("flac"), {"-s", "-t", file}));
        QCOMPARE(audioMd5(file), md5);
        QVERIFY(mutagenTags(file).contains(QStringLiteral("pictures=2")));

        write(FlacStreamIo::instance(), file, nullptr);
        QVERIFY(run(QStringLiteral("flac"), {"-s", "-t", file}));
        QVERIFY(!read(FlacStreamIo::instance(), file));
        QCOMPARE(audioMd5(file), md5);
    }

    void vorbis()
    {
        if (!hasTool(QStringLiteral("oggenc")))
            MELO_SKIP_TOOL("oggenc is not installed");
        const QString file = path(QStringLiteral("a.ogg"));
        QVERIFY(run(QStringLiteral("oggenc"), {"-Q", "-t", "Original", "-o", file, path(QStringLiteral("a.wav"))}));
        const QString md5 = audioMd5(file);
        const qint64 size = QFileInfo(file).size();
        auto tag = read(OggStreamIo::instance(), file);
        QVERIFY(tag);
        QCOMPARE(tag->itemText(TagItemType::Title), QStringLiteral("Original"));
        QVERIFY(qAbs(properties(OggStreamIo::instance(), file).duration - 2000) <= 30);

        // Comments that span several pages: every later page gets a new number.
        tag->replaceItem(new TitleTagItem(QStringLiteral("Long")), 0);
        tag->addItem(new LyricsTagItem(QString(150000, QLatin1Char('l')), QString()));
        write(OggStreamIo::instance(), file, tag.get());
        QVERIFY(QFileInfo(file).size() > size + 150000);
        for (const QString &tool : {QStringLiteral("ogginfo"), QStringLiteral("oggz-validate")}) {
            if (!hasTool(tool))
                continue;
            QByteArray out;
            QByteArray errors;
            QVERIFY2(run(tool, {file}, &out, &errors), (out + errors).constData());
            QVERIFY2(!out.contains("WARNING") && !errors.contains("WARNING"), (out + errors).constData());
        }
        QCOMPARE(audioMd5(file), md5);
        if (hasTool(QStringLiteral("vorbiscomment"))) {
            QByteArray listing;
            QVERIFY(run(QStringLiteral("vorbiscomment"), {"-l", file}, &listing));
            QVERIFY(listing.contains("TITLE=Long"));
        }
        QVERIFY(mutagenTags(file).contains(QStringLiteral("TITLE=Long")));

        // Back to a small comment: the page count stays, the audio pages keep their bytes.
        const QByteArray before = fileBytes(file);
        tag->removeItems(LyricsTagItem::Type);
        write(OggStreamIo::instance(), file, tag.get());
        QVERIFY2(oggzProblems(file).isEmpty(), oggzProblems(file).constData());
        QCOMPARE(audioMd5(file), md5);
        QVERIFY(fileBytes(file).endsWith(before.right(4000)));
        QVERIFY(mutagenTags(file).contains(QStringLiteral("TITLE=Long")));
    }

    void opus()
    {
        if (!hasTool(QStringLiteral("opusenc")))
            MELO_SKIP_TOOL("opusenc is not installed");
        const QString file = path(QStringLiteral("a.opus"));
        QVERIFY(run(QStringLiteral("opusenc"), {"--quiet", "--title", "Original", path(QStringLiteral("a.wav")), file}));
        const QString md5 = audioMd5(file);
        const qint64 size = QFileInfo(file).size();
        const AudioProperties p = properties(OggStreamIo::instance(), file);
        QCOMPARE(p.codecName, QStringLiteral("Opus"));
        const double probed = probedDuration(file);
        QVERIFY2(qAbs(p.duration - probed) <= 25, qPrintable(QStringLiteral("%1 %2").arg(p.duration).arg(probed)));

        auto tag = read(OggStreamIo::instance(), file);
        QVERIFY(tag);
        tag->replaceItem(new TitleTagItem(QStringLiteral("New")), 0);
        write(OggStreamIo::instance(), file, tag.get());
        // The comment packet keeps its size through padding.
        QCOMPARE(QFileInfo(file).size(), size);
        QCOMPARE(audioMd5(file), md5);
        QVERIFY2(oggzProblems(file).isEmpty(), oggzProblems(file).constData());
        QVERIFY(mutagenTags(file).contains(QStringLiteral("TITLE=New")));
    }

    void speex()
    {
        if (!hasTool(QStringLiteral("speexenc")))
            MELO_SKIP_TOOL("speexenc is not installed");
        const QString file = path(QStringLiteral("a.spx"));
        QVERIFY(run(QStringLiteral("speexenc"), {"--quiet", "--title", "Original", path(QStringLiteral("speech.wav")), file}));
        const AudioProperties p = properties(OggStreamIo::instance(), file);
        QCOMPARE(p.codecName, QStringLiteral("Speex"));
        QCOMPARE(p.sampleRate, 16000);
        QVERIFY(p.bitrate > 0);
        QVERIFY(qAbs(p.duration - 2000) <= 60);
        auto tag = read(OggStreamIo::instance(), file);
        QVERIFY(tag);
        QCOMPARE(tag->itemText(TagItemType::Title), QStringLiteral("Original"));
        const QString md5 = audioMd5(file);
        tag->replaceItem(new TitleTagItem(QStringLiteral("New")), 0);
        write(OggStreamIo::instance(), file, tag.get());
        QCOMPARE(audioMd5(file), md5);
        QVERIFY2(oggzProblems(file).isEmpty(), oggzProblems(file).constData());
        QVERIFY(mutagenTags(file).contains(QStringLiteral("TITLE=New")));
    }

    void multiplexed()
    {
        const QString file = path(QStringLiteral("video.ogv"));
        QVERIFY2(run(QStringLiteral("ffmpeg"), {"-v", "error", "-y", "-f", "lavfi", "-i", "testsrc=size=64x48:rate=5:duration=2",
                                                "-i", path(QStringLiteral("a.wav")), "-c:v", "libtheora", "-c:a", "libvorbis",
                                                "-metadata", "title=Original", file}),
                 "ffmpeg could not make Ogg with Theora video");
        const QByteArray before = fileBytes(file);
        const QString md5 = audioMd5(file);
        IoStream probe(file);
        probe.open(QIODevice::ReadOnly);
        quint32 serial = 0;
        OggStreamIo::detectCodec(&probe, &serial);
        probe.device()->close();

        auto tag = read(OggStreamIo::instance(), file);
        QVERIFY(tag);
        QCOMPARE(tag->itemText(TagItemType::Title), QStringLiteral("Original"));
        tag->addItem(new LyricsTagItem(QString(100000, QLatin1Char('l')), QString()));
        write(OggStreamIo::instance(), file, tag.get());
        const QByteArray after = fileBytes(file);
        QCOMPARE(pagesNotOf(after, serial), pagesNotOf(before, serial));
        QCOMPARE(audioMd5(file), md5);
        QVERIFY2(oggzProblems(file).isEmpty(), oggzProblems(file).constData());
        QVERIFY(mutagenTags(file).contains(QStringLiteral("TITLE=Original")));
    }

    void oggFlac()
    {
        const QString file = path(QStringLiteral("a.oga"));
        QVERIFY(run(QStringLiteral("ffmpeg"), {"-v", "error", "-y", "-i", path(QStringLiteral("a.wav")), "-c:a", "flac",
                                               "-metadata", "title=Original", "-f", "ogg", file}));
        const QString md5 = audioMd5(file);
        auto tag = read(OggStreamIo::instance(), file);
        QVERIFY(tag);
        QCOMPARE(tag->itemText(TagItemType::Title), QStringLiteral("Original"));
        QVERIFY(qAbs(properties(OggStreamIo::instance(), file).duration - 2000) <= 30);

        tag->replaceItem(new TitleTagItem(QStringLiteral("New")), 0);
        tag->addItem(new ArtworkTagItem(CodedImage(jpegBytes(100, 100)), 3, QString()));
        write(OggStreamIo::instance(), file, tag.get());
        QCOMPARE(audioMd5(file), md5);
        QVERIFY2(oggzProblems(file).isEmpty(), oggzProblems(file).constData());
        QStringList tags = mutagenTags(file);
        QVERIFY2(tags.contains(QStringLiteral("TITLE=New")), qPrintable(tags.join('\n')));

        // Removal keeps an empty comment block, as the mapping requires.
        write(OggStreamIo::instance(), file, nullptr);
        QCOMPARE(audioMd5(file), md5);
        tags = mutagenTags(file);
        QVERIFY2(!tags.join('\n').contains("<failed>"), qPrintable(tags.join('\n')));
        QVERIFY(!tags.contains(QStringLiteral("TITLE=New")));
        QVERIFY2(oggzProblems(file).isEmpty(), oggzProblems(file).constData());
    }

    // Through AudioFile what the shared interop table does not check: the CD table of
    // contents and a field of the user's own, saved, read back by a new AudioFile and by
    // another reader; the audio stays the same.
    void audioFileRoundTrip_data()
    {
        QTest::addColumn<QString>("tool");
        QTest::addColumn<QStringList>("arguments"); // %in and %out stand for the files
        QTest::addColumn<QString>("name");
        QTest::newRow("ogg vorbis") << "oggenc" << QStringList{"-Q", "-t", "Original", "-o", "%out", "%in"} << "v.ogg";
        QTest::newRow("opus") << "opusenc" << QStringList{"--quiet", "--title", "Original", "%in", "%out"} << "o.opus";
        QTest::newRow("flac") << "flac" << QStringList{"-s", "-f", "-T", "TITLE=Original", "-o", "%out", "%in"}
                              << "f.flac";
    }
    void audioFileRoundTrip()
    {
        QFETCH(QString, tool);
        QFETCH(QStringList, arguments);
        QFETCH(QString, name);
        if (!hasTool(tool))
            MELO_SKIP_TOOL(tool + QStringLiteral(" is not installed"));
        const QString file = path(name);
        arguments.replaceInStrings(QStringLiteral("%in"), path(QStringLiteral("a.wav")));
        arguments.replaceInStrings(QStringLiteral("%out"), file);
        QVERIFY(run(tool, arguments));
        const QString md5 = audioMd5(file);

        const QString toc = QStringLiteral("3+96+2d32+4c31+6e57");
        {
            AudioFile audio(file);
            audio.readTags(0, true);
            AudioTag *tag = audio.tag(0);
            QVERIFY(tag);
            QCOMPARE(tag->itemText(TagItemType::Title), QStringLiteral("Original"));
            tag->addItem(DiscTocTagItem::fromText(toc));
            tag->addItem(new UserDefinedTextTagItem(QStringLiteral("x"), QStringLiteral("MYFIELD")));
            audio.writeTags(0);
        }
        QCOMPARE(audioMd5(file), md5);

        AudioFile reread(file);
        reread.readTags(0, true);
        const AudioTag *tag = reread.tag(0);
        QVERIFY(tag);
        QCOMPARE(tag->itemText(TagItemType::Title), QStringLiteral("Original"));
        const auto *readToc = static_cast<const DiscTocTagItem *>(tag->item(DiscTocTagItem::Type));
        QVERIFY(readToc);
        QCOMPARE(readToc->toText(DiscTocTextForm::HexTrackListWithDataTracks), toc);
        QVERIFY(reread.audioProperties().valid);

        const QStringList other = mutagenTags(file);
        for (const QString &expected : {"CDTOC=" + toc, QStringLiteral("MYFIELD=x")})
            QVERIFY2(other.contains(expected), qPrintable(expected + QStringLiteral(" not in:\n") + other.join('\n')));
        if (!name.endsWith(QLatin1String(".flac")))
            QVERIFY2(oggzProblems(file).isEmpty(), oggzProblems(file).constData());
    }
};

QTEST_GUILESS_MAIN(TestXiphInterop)
#include "tst_xiphinterop.moc"
