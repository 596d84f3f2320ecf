#include <QtTest>

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "libcore/io/iostream.h"
#include "libcore/log/exception.h"
#include "libtagging/aiff/aiffstreamio.h"
#include "libtagging/model/audiofile.h"
#include "libtagging/model/audiotag.h"
#include "libtagging/model/icodecio.h"
#include "libtagging/model/plaintagitems.h"
#include "libtagging/model/taginfo.h"
#include "libtagging/plain/freestreamio.h"
#include "libtagging/plain/freestreamtagmanager.h"
#include "libtagging/plain/mpegcodecio.h"
#include "libtagging/mp4/mp4streamio.h"
#include "libtagging/riff/riffstreamio.h"
#include "libtagging/xiph/flacstreamio.h"
#include "libtagging/xiph/oggstreamio.h"
#include "support_bytebuilder.h"
#include "shared/support_skip.h"

namespace {

// A version 2 APE tag with header and footer whose one item holds text.
QByteArray ape(const QByteArray &title)
{
    const QByteArray item = ByteBuilder().le32(quint32(title.size())).le32(0).ascii("Title").u8(0).raw(title);
    auto block = [&](quint32 flags) {
        return ByteBuilder().ascii("APETAGEX").le32(2000).le32(quint32(item.size() + 32)).le32(1).le32(flags).zeros(8)
            .bytes;
    };
    return block(0xA0000000) + item + block(0x80000000);
}

QByteArray id3v1(const QByteArray &title)
{
    return (QByteArray("TAG") + title.leftJustified(30, '\0')).leftJustified(128, '\0');
}

// The header of an ID3v2.3 tag that claims the given total size; no frames follow it.
QByteArray id3v2Header(int totalSize)
{
    const int dataSize = totalSize - 10;
    return ByteBuilder().ascii("ID3").u8(3).u8(0).u8(0).u8(quint8(dataSize >> 21 & 0x7F))
        .u8(quint8(dataSize >> 14 & 0x7F)).u8(quint8(dataSize >> 7 & 0x7F)).u8(quint8(dataSize & 0x7F)).bytes;
}

QByteArray lyrics3(const QByteArray &title)
{
    const QByteArray body = "LYRICSBEGIN" + QByteArray("ETT") + QByteArray::number(title.size()).rightJustified(5, '0')
                            + title;
    return body + QByteArray::number(body.size()).rightJustified(6, '0') + "LYRICS200";
}

// A PCM WAVE file whose audio is the given bytes.
QByteArray wave(const QByteArray &audio)
{
    ByteBuilder fmt;
    fmt.ascii("fmt ").le32(16).le16(1).le16(1).le32(8000).le32(16000).le16(2).le16(16);
    ByteBuilder data;
    data.ascii("data").le32(quint32(audio.size())).raw(audio);
    if (audio.size() & 1)
        data.u8(0);
    return ByteBuilder().ascii("RIFF").le32(quint32(4 + fmt.size() + data.size())).ascii("WAVE").raw(fmt).raw(data);
}

// One Ogg page header of the serial 1 with the lacing values; the body is left to the caller.
QByteArray oggPageHeader(const QByteArray &lacing)
{
    return ByteBuilder().ascii("OggS").u8(0).u8(0).zeros(8).le32(1).le32(0).le32(0).u8(quint8(lacing.size()))
        .raw(lacing);
}

struct Layout
{
    int type;
    qint64 offset;
    bool atStart;
};

QList<Layout> layoutOf(const FreeStreamTagManager &manager)
{
    QList<Layout> layout;
    for (TagInfo *info : manager.allTags())
        layout.append({info->tagType(), info->offset(), info->isPrepended()});
    return layout;
}

// Every record describes the bytes at its offset.
bool recordsMatchBytes(IoStream &stream, const FreeStreamTagManager &manager)
{
    for (TagInfo *info : manager.allTags()) {
        if (stream.readBytesAt(info->offset(), info->size()) != info->values.value(TagInfo::RawDataKey).toByteArray())
            return false;
    }
    return true;
}

// Measures nothing; notes the audio size it was handed.
class AudioSizeCodec : public ICodecIo
{
public:
    AudioProperties readAudioProperties(IoStream *, qint64 audioSize) override
    {
        AudioProperties properties;
        properties.valid = true;
        properties.duration = int(audioSize);
        return properties;
    }
};

} // namespace

class TestTagStack : public QObject
{
    Q_OBJECT
private slots:
    void scan_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QList<int>>("types");
        QTest::addColumn<QList<qint64>>("offsets");
        const QByteArray audio(300, 'a');
        QTest::newRow("no tags") << audio << QList<int>() << QList<qint64>();
        const QByteArray a = ape("x");
        const QByteArray l = lyrics3("y");
        QTest::newRow("APE at the start, APE, Lyrics3, ID3v1 at the end")
            << a + audio + a + l + id3v1("z") << QList<int>{5, 5, 4, 2}
            << QList<qint64>{0, a.size() + 300, 2 * a.size() + 300, 2 * a.size() + 300 + l.size()};
        // "TAG" 128 bytes before a Lyrics3 tag's end is no ID3v1 tag in front of the one there.
        QTest::newRow("TAG inside a Lyrics3 tag's last 128 bytes")
            << QByteArray(audio).replace(300 + l.size() - 128, 3, "TAG") + l + id3v1("z") << QList<int>{4, 2}
            << QList<qint64>{300, 300 + l.size()};
        QTest::newRow("garbage before ID3v1") << audio + a + "junk" + id3v1("z") << QList<int>{2}
                                              << QList<qint64>{300 + a.size() + 4};
        // Found from both ends, a tag filling the stream is still one tag.
        QTest::newRow("nothing but one APE tag") << a << QList<int>{5} << QList<qint64>{0};
        // An APE footer without header whose size reaches back into a tag at the start claims
        // no more surely than the start tag: that one stays, and the footer is no tag.
        const QByteArray footerOnly =
            ByteBuilder().ascii("APETAGEX").le32(2000).le32(32 + 300 + 50).le32(0).le32(0).zeros(8).bytes;
        QTest::newRow("APE footer reaching into an ID3v2 tag")
            << id3v2Header(110) + QByteArray(100, '\0') + audio + footerOnly << QList<int>{3} << QList<qint64>{0};
        // A header at the start that claims bytes of the tags at the end is no tag: it would
        // swallow the audio, and a save that grows the end may make any claim fit, up to the
        // stream's end or exactly up to the last tag.
        const qint64 tail = l.size() + 128;
        for (const qint64 claim : {qint64(10 + 300 + 5), 10 + 300 + l.size(), 10 + 300 + tail}) {
            QTest::addRow("ID3v2 header claiming %lld of %lld bytes", claim, 10 + 300 + tail)
                << id3v2Header(int(claim)) + audio + l + id3v1("z") << QList<int>{4, 2}
                << QList<qint64>{310, 310 + l.size()};
        }
    }
    void scan()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QList<int>, types);
        QFETCH(QList<qint64>, offsets);
        IoStream stream(bytes, QIODevice::ReadOnly);
        FreeStreamTagManager manager(&stream);
        QList<int> gotTypes;
        QList<qint64> gotOffsets;
        for (TagInfo *info : manager.allTags()) {
            gotTypes.append(info->tagType());
            gotOffsets.append(info->offset());
        }
        QCOMPARE(gotTypes, types);
        QCOMPARE(gotOffsets, offsets);
    }

    void relayoutRewritesEveryTag()
    {
        // Two APE tags at the end with an ID3v1 tag between them: ranks 1, 3, 1.
        const QByteArray audio(300, 'a');
        const QByteArray first = ape("first");
        const QByteArray second = ape("second tag");
        const QByteArray tail = id3v1("v1");
        IoStream stream(audio + first + tail + second, QIODevice::ReadWrite);
        FreeStreamTagManager manager(&stream);
        QCOMPARE(manager.allTags().size(), 3);
        manager.relayout();
        QCOMPARE(stream.data(), audio + first + second + tail);
        QVERIFY(recordsMatchBytes(stream, manager));
        // Removing the second APE tag afterwards cuts exactly its bytes.
        manager.removeTag(manager.tags(TagType::Ape, false).at(1));
        QCOMPARE(stream.data(), audio + first + tail);
        QVERIFY(recordsMatchBytes(stream, manager));
    }

    void relayoutPutsId3v1Last()
    {
        const QByteArray audio(300, 'a');
        const QByteArray a = ape("a");
        const QByteArray l = lyrics3("l");
        const QByteArray v1 = id3v1("v1");
        IoStream stream(audio + l + v1 + a, QIODevice::ReadWrite);
        FreeStreamTagManager manager(&stream);
        manager.relayout();
        QCOMPARE(stream.data(), audio + a + l + v1);
        QVERIFY(recordsMatchBytes(stream, manager));
    }

    void replaceAndRemove()
    {
        const QByteArray audio(300, 'a');
        const QByteArray big = ape(QByteArray(1000 - 64 - 14, 'b'));
        QCOMPARE(big.size(), 1000);
        IoStream stream(audio + big + lyrics3("l") + id3v1("v1"), QIODevice::ReadWrite);
        FreeStreamTagManager manager(&stream);
        const qint64 lyricsOffset = manager.tags(TagType::Lyrics3, false).first()->offset();
        const qint64 size = stream.size();

        auto *small = new TagInfo;
        const QByteArray smallBytes = ape(QByteArray(600 - 64 - 14, 's'));
        small->values = {{TagInfo::TagTypeKey, 5}, {TagInfo::RawDataKey, smallBytes}, {TagInfo::OffsetKey, qint64(0)},
                         {TagInfo::SizeKey, 600}, {TagInfo::DataOffsetKey, qint64(32)}, {TagInfo::PrependedKey, false}};
        manager.replaceTag(manager.tags(TagType::Ape, false).first(), small);
        QCOMPARE(stream.size(), size - 400);
        QCOMPARE(manager.tags(TagType::Lyrics3, false).first()->offset(), lyricsOffset - 400);
        QVERIFY(recordsMatchBytes(stream, manager));

        TagInfo *v1 = manager.tags(TagType::Id3v1, false).first();
        manager.removeTag(v1);
        try {
            manager.removeTag(v1);
            QFAIL("no exception");
        } catch (const Exception &e) {
            QCOMPARE(e.code, quint32(FreeStreamTagManager::UnknownRemovedTag));
        }
        QCOMPARE(stream.data(), audio + smallBytes + lyrics3("l"));
    }

    void rewriteApeTag_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("rest"); // what stays in front of the tag written at the end
        // A stream of one APE tag: rewriting it must not corrupt it.
        QTest::newRow("only tags") << ape("old") << QByteArray();
        // A footer block left in the audio claims more than the file holds; once the APE tag
        // at the start has moved to the end, the file is long enough for it, and it must not
        // pass for a tag at the start that hides the one written.
        const QByteArray stray = ByteBuilder().ascii("APETAGEX").le32(2000).le32(150).le32(1).le32(0x80000000)
                                     .zeros(8).bytes;
        QTest::newRow("tag at the start behind a stray footer")
            << ape("front") + stray + QByteArray(100, 'a') << stray + QByteArray(100, 'a');
    }
    void rewriteApeTag()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, rest);
        IoStream stream(bytes, QIODevice::ReadWrite);
        AudioTag tag;
        tag.addItem(new TitleTagItem("new title"));
        FreeStreamIo::instance()->writeTags(&stream, &tag, {TagType::Ape}, nullptr);
        QObject parent;
        const QList<AudioTag *> tags = FreeStreamIo::instance()->readTags(&stream, {}, nullptr, &parent);
        QCOMPARE(tags.size(), 1);
        QCOMPARE(tags.first()->itemText(TagItemType::Title), QStringLiteral("new title"));
        QVERIFY(stream.data().startsWith(rest));
        QCOMPARE(tags.first()->tagInfo()->offset(), qint64(rest.size()));
        QCOMPARE(tags.first()->tagInfo()->size(), int(stream.size() - rest.size()));
    }

    void startHeaderThatFitsOnceTheFileGrows()
    {
        // An ID3v2 header claims 20 bytes more than the file holds: no tag. Saving a longer
        // Lyrics3 tag makes the claim fit; the tags at the end must still be found.
        const QByteArray front = id3v2Header(10 + 300 + 35 + 128 + 20) + QByteArray(300, 'a');
        IoStream stream(front + lyrics3("y") + id3v1("z"), QIODevice::ReadWrite);
        AudioTag tag;
        tag.addItem(new TitleTagItem("a title longer than before"));
        FreeStreamIo::instance()->writeTags(&stream, &tag, {TagType::Lyrics3}, nullptr);
        QVERIFY(stream.size() > 10 + 300 + 35 + 128 + 20);
        QObject parent;
        const QList<AudioTag *> tags = FreeStreamIo::instance()->readTags(&stream, {}, nullptr, &parent);
        QCOMPARE(tags.size(), 2);
        QCOMPARE(tags.at(0)->tagType(), int(TagType::Lyrics3));
        QCOMPARE(tags.at(0)->itemText(TagItemType::Title), QStringLiteral("a title longer than before"));
        QCOMPARE(tags.at(1)->tagType(), int(TagType::Id3v1));
        QVERIFY(stream.data().startsWith(front));
    }

    void id3v1MarkInRewrittenId3v2Text()
    {
        // Less than 128 bytes follow the ID3v2 tag. Rewritten in the room it had, the tag
        // moves a text holding "TAG" to 128 bytes before the end, where it would read as an
        // ID3v1 tag that takes the ID3v2 tag's place; the tag gets padding there instead.
        QFile file(QStringLiteral(MELO_SOURCE_DIR "/tests/fuzz/corpus/tagstack/id3v1-mark-in-rewritten-id3v2-text.mp3"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        IoStream stream(bytes, QIODevice::ReadWrite);
        QObject parent;
        const QList<AudioTag *> before = FreeStreamIo::instance()->readTags(&stream, {}, nullptr, &parent);
        QCOMPARE(before.size(), 1);
        AudioTag *tag = before.first();
        QCOMPARE(tag->tagType(), int(TagType::Id3v2));
        const QString title = tag->itemText(TagItemType::Title);

        FreeStreamIo::instance()->writeTags(&stream, tag, {TagType::Id3v2}, nullptr);
        const QList<AudioTag *> after = FreeStreamIo::instance()->readTags(&stream, {}, nullptr, &parent);
        QCOMPARE(after.size(), 1);
        QCOMPARE(after.first()->tagType(), int(TagType::Id3v2));
        QCOMPARE(after.first()->itemText(TagItemType::Title), title);
        const qint64 id3v2End = after.first()->tagInfo()->offset() + after.first()->tagInfo()->size();
        QCOMPARE(stream.data().mid(id3v2End), bytes.mid(before.first()->tagInfo()->size()));
    }

    void insertionPoints()
    {
        // APE then ID3v1 at the end; a new Lyrics3 tag goes between them.
        const QByteArray audio(300, 'a');
        IoStream stream(audio + ape("a") + id3v1("v1"), QIODevice::ReadWrite);
        AudioTag tag;
        tag.addItem(new TitleTagItem("lyrics title"));
        FreeStreamIo::instance()->writeTags(&stream, &tag, {TagType::Lyrics3}, nullptr);
        QObject parent;
        QList<int> types;
        for (AudioTag *read : FreeStreamIo::instance()->readTags(&stream, {}, nullptr, &parent))
            types.append(read->tagType());
        QCOMPARE(types, (QList<int>{5, 4, 2}));
        QVERIFY(stream.data().startsWith(audio));
        FreeStreamIo::instance()->removeTags(&stream, {}, nullptr);
        QCOMPARE(stream.data(), audio);
    }

    // Real files of Debian's encoders: the audio decodes the same after writing, and
    // python3-mutagen reads back what was written.
    void realFiles_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("MP3") << "cbr-info.mp3";
        QTest::newRow("WavPack") << "lossless.wv";
        QTest::newRow("Musepack") << "sv8.mpc";
        QTest::newRow("TrueAudio") << "trueaudio.tta";
        QTest::newRow("ADTS AAC") << "adts.aac";
    }
    void realFiles()
    {
        QFETCH(QString, file);
        if (QStandardPaths::findExecutable("ffmpeg").isEmpty() || !QFileInfo::exists("/usr/bin/python3"))
            MELO_SKIP_TOOL("ffmpeg or python3 missing");
        QTemporaryDir dir;
        const QString path = dir.filePath(file);
        QVERIFY(QFile::copy(QStringLiteral(MELO_FIXTURES "/plain/") + file, path));
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        auto run = [](const QString &program, const QStringList &arguments) {
            QProcess process;
            process.start(program, arguments);
            process.waitForFinished(60000);
            return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
        };
        auto md5 = [&] { return run("ffmpeg", {"-v", "error", "-i", path, "-map", "0:a", "-f", "md5", "-"}); };
        const QString before = md5();
        QVERIFY(before.startsWith("MD5="));
        // The audio ends where the first end tag of the original begins (ffmpeg writes an
        // APE tag of its own behind TrueAudio).
        qint64 size = QFileInfo(path).size();
        {
            IoStream original(path, QIODevice::ReadOnly);
            FreeStreamTagManager manager(&original);
            for (TagInfo *info : manager.allTags())
                size = qMin(size, info->offset());
        }

        for (const QString &title : {QStringLiteral("Tïtle one"), QStringLiteral("A much longer second title")}) {
            AudioTag tag;
            tag.addItem(new TitleTagItem(title));
            tag.addItem(new ArtistTagItem("Ann"));
            tag.addItem(new TrackNumberTagItem(7));
            IoStream stream(path, QIODevice::ReadWrite);
            FreeStreamIo::instance()->writeTags(&stream, &tag, {TagType::Ape}, nullptr);
            stream.device()->close();
            QCOMPARE(md5(), before);
            const QString read = run("/usr/bin/python3",
                                     {"-c", "import sys, mutagen.apev2 as a; t = a.APEv2(sys.argv[1]); "
                                            "print(t['Title'], t['Track'], sep='|')",
                                      path});
            QCOMPARE(read, title + "|7");
        }
        // The audio bytes stay where they were: the tags went behind them.
        QFile copy(path);
        QVERIFY(copy.open(QIODevice::ReadOnly));
        QFile original(QStringLiteral(MELO_FIXTURES "/plain/") + file);
        QVERIFY(original.open(QIODevice::ReadOnly));
        QCOMPARE(copy.read(size), original.read(size));
        copy.close();
        {
            IoStream stream(path, QIODevice::ReadWrite);
            FreeStreamIo::instance()->removeTags(&stream, {}, nullptr);
        }
        QCOMPARE(QFileInfo(path).size(), size);
    }

    // Where each container says it ends, asked from the container's start.
    void containerEnd_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<qint64>("start");
        QTest::addColumn<qint64>("end");
        const QByteArray tag = id3v1("title");
        const QByteArray pcm = wave(QByteArray(100, 'a'));
        QTest::newRow("RIFF") << "riff" << pcm + tag << qint64(0) << qint64(pcm.size());
        QTest::newRow("RIFF after an ID3v2 tag") << "riff" << QByteArray(10, 'x') + pcm << qint64(10)
                                                 << qint64(10 + pcm.size());
        // The pad byte of an odd outer chunk belongs to it.
        QTest::newRow("RIFF of odd size") << "riff" << ByteBuilder().ascii("RIFF").le32(5).ascii("WAVEx").u8(0).bytes
                                          << qint64(0) << qint64(14);
        QTest::newRow("RIFX") << "riff" << ByteBuilder().ascii("RIFX").be32(4).ascii("WAVE").bytes + tag << qint64(0)
                              << qint64(12);
        // A size past the stream's end: nothing behind it is loose.
        QTest::newRow("RIFF cut short") << "riff" << ByteBuilder().ascii("RIFF").le32(1000).ascii("WAVE").bytes + tag
                                        << qint64(0) << qint64(1008);
        QTest::newRow("no RIFF") << "riff" << QByteArray(40, 'a') << qint64(0) << qint64(-1);
        QTest::newRow("AIFF") << "aiff" << ByteBuilder().ascii("FORM").be32(8).ascii("AIFFdata").bytes + tag
                              << qint64(0) << qint64(16);
        QTest::newRow("AIFC of odd size") << "aiff" << ByteBuilder().ascii("FORM").be32(5).ascii("AIFCx").u8(0).bytes
                                          << qint64(0) << qint64(14);
        QTest::newRow("FORM of another type") << "aiff" << ByteBuilder().ascii("FORM").be32(4).ascii("8SVX").bytes
                                              << qint64(0) << qint64(-1);
        const QByteArray boxes = ByteBuilder().be32(16).ascii("ftypM4A ").zeros(4).be32(12).ascii("mdat").ascii("abcd");
        QTest::newRow("MP4") << "mp4" << boxes + tag << qint64(0) << qint64(28);
        QTest::newRow("MP4 with a last box to the end") << "mp4" << boxes + ByteBuilder().be32(0).ascii("mdat").bytes + tag
                                                        << qint64(0) << qint64(boxes.size() + 8 + 128);
        QTest::newRow("MP4 with a 64-bit box size")
            << "mp4" << ByteBuilder().be32(1).ascii("mdat").be32(0).be32(20).ascii("abcd").bytes + tag << qint64(0)
            << qint64(20);
        QTest::newRow("MP4 cut inside its media data")
            << "mp4" << boxes + ByteBuilder().be32(5000).ascii("mdat").bytes + tag << qint64(0)
            << qint64(boxes.size() + 5000);
        QTest::newRow("not MP4") << "mp4" << QByteArray(3, 'a') + tag << qint64(0) << qint64(-1);
        const QByteArray page = oggPageHeader(QByteArray(1, 10)) + QByteArray(10, 'v');
        QTest::newRow("Ogg") << "ogg" << page + page + tag << qint64(0) << qint64(2 * page.size());
        QTest::newRow("Ogg cut inside its last page")
            << "ogg" << page + oggPageHeader(QByteArray(2, char(255))) + "vvv" << qint64(0)
            << qint64(page.size() + 27 + 2 + 510);
        QTest::newRow("no Ogg") << "ogg" << tag << qint64(0) << qint64(-1);
        // Native FLAC declares no end: its audio runs to the last frame.
        QTest::newRow("FLAC") << "flac" << QByteArray("fLaC") + QByteArray(60, 'f') + tag << qint64(0) << qint64(-1);
    }
    void containerEnd()
    {
        QFETCH(QString, format);
        QFETCH(QByteArray, bytes);
        QFETCH(qint64, start);
        QFETCH(qint64, end);
        const QHash<QString, IAudioStreamIo *> ios{{"riff", RiffStreamIo::instance()},
                                                   {"aiff", AiffStreamIo::instance()},
                                                   {"mp4", Mp4StreamIo::instance()},
                                                   {"ogg", OggStreamIo::instance()},
                                                   {"flac", FlacStreamIo::instance()}};
        IoStream stream(bytes, QIODevice::ReadOnly);
        stream.seek(start);
        QCOMPARE(ios.value(format)->containerEnd(&stream), end);
        // The loose tags behind are those past that end; the container is asked only when
        // something at the end looks like a tag.
        int asked = 0;
        FreeStreamTagManager manager(&stream, nullptr, [&](qint64) {
            ++asked;
            return end;
        });
        const bool tagLike = bytes.endsWith(id3v1("title"));
        QCOMPARE(asked, tagLike ? 1 : 0);
        const bool tagBehind = tagLike && (end < 0 || end <= bytes.size() - 128);
        QCOMPARE(manager.tags(TagType::Id3v1, false).size(), tagBehind ? 1 : 0);
    }

    // A WAVE file whose last 128 bytes of audio begin with "TAG": reading takes no ID3v1
    // tag from it, and writing leaves every audio byte where it was. A real ID3v1 tag
    // behind the same file is read and stripped.
    void looseTagsBehindWave()
    {
        QTemporaryDir dir;
        QByteArray audio(1000, 'a');
        audio.replace(1000 - 128, 128, id3v1("not a tag"));
        const QByteArray original = wave(audio);
        for (const bool realTag : {false, true}) {
            const QString path = dir.filePath(realTag ? "tagged.wav" : "plain.wav");
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(realTag ? original + id3v1("real tag") : original);
            file.close();

            AudioFile song(path);
            song.readTags();
            QCOMPARE(song.tags().contains(TagType::Id3v1), realTag);
            if (realTag)
                QCOMPARE(song.tags().value(TagType::Id3v1)->itemText(TitleTagItem::Type), QStringLiteral("real tag"));
            song.tag(0)->setItemValue(TitleTagItem::Type, QStringLiteral("new"));
            song.writeTags();

            QVERIFY(file.open(QIODevice::ReadOnly));
            const QByteArray written = file.readAll();
            file.close();
            QVERIFY(!written.endsWith(id3v1("real tag")));
            // The data chunk, "TAG" and all, is still whole.
            QVERIFY(written.contains(ByteBuilder().ascii("data").le32(1000).raw(audio).bytes));
            AudioFile again(path);
            again.readTags();
            QVERIFY(!again.tags().contains(TagType::Id3v1));
            QCOMPARE(again.tag(0)->itemText(TitleTagItem::Type), QStringLiteral("new"));
        }
    }

    void audioRangeFollowsTheFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("a.mp3"));
        auto writeFile = [&path](const QByteArray &bytes) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            QCOMPARE(file.write(bytes), bytes.size());
        };
        const QByteArray audio(1000, 'x');
        AudioSizeCodec codec;
        QObject owner;
        IoStream stream(path);

        writeFile(audio + id3v1("one"));
        stream.open(QIODevice::ReadOnly);
        FreeStreamIo::instance()->readTags(&stream, {}, nullptr, &owner);
        QCOMPARE(FreeStreamIo::instance()->readAudioProperties(&stream, &codec).duration, 1000);
        stream.close();

        // Changed between two openings: the range of the earlier tag read does not carry over.
        writeFile(audio.left(500) + ape("two") + id3v1("one"));
        stream.open(QIODevice::ReadOnly);
        QCOMPARE(FreeStreamIo::instance()->readAudioProperties(&stream, &codec).duration, 500);
        stream.close();
        writeFile(audio.left(700) + id3v1("one"));
        stream.open(QIODevice::ReadOnly);
        FreeStreamIo::instance()->readTags(&stream, {}, nullptr, &owner);
        stream.close();
        writeFile(audio.left(300) + id3v1("one"));
        stream.open(QIODevice::ReadOnly);
        QCOMPARE(FreeStreamIo::instance()->readAudioProperties(&stream, &codec).duration, 300);
        stream.close();
    }

    void audioRange()
    {
        IoStream stream(ape("only tags"), QIODevice::ReadOnly);
        try {
            FreeStreamIo::instance()->readAudioProperties(&stream, nullptr);
            QFAIL("no exception");
        } catch (const Exception &e) {
            QCOMPARE(e.code, quint32(FreeStreamIo::NoCodecReader));
        }
        // A stream of tags only has no audio to measure.
        QVERIFY_THROWS_EXCEPTION(Exception, FreeStreamIo::instance()->readAudioProperties(&stream, MpegCodecIo::instance()));
    }
};

QTEST_GUILESS_MAIN(TestTagStack)
#include "tst_tagstack.moc"
