#include <QtTest>

#include "libcore/io/iostream.h"
#include "libcore/locale/localetables.h"
#include "libcore/log/exception.h"
#include "libtagging/model/audiofile.h"
#include "libtagging/model/audiotag.h"
#include "libtagging/model/commenttagitem.h"
#include "libtagging/model/languagetagitem.h"
#include "libtagging/model/plaintagitems.h"
#include "libtagging/model/taggingsettings.h"
#include "libtagging/riff/riffstreamio.h"

#include "support_tags.h"
#include "support_bytebuilder.h"

#include <QtEndian>

Q_DECLARE_METATYPE(QList<TagItem *>)

namespace {

// A chunk with its pad byte; withPad false leaves an odd payload unpadded, as some writers do.
QByteArray chunk(const QByteArray &id, const QByteArray &payload, bool withPad = true)
{
    QByteArray b = id + le32(quint32(payload.size())) + payload;
    if (withPad && (payload.size() & 1))
        b += '\0';
    return b;
}

QByteArray list(const QByteArray &type, const QByteArray &body)
{
    return chunk("LIST", type + body);
}

QByteArray riff(const QByteArray &body, const QByteArray &form = "WAVE")
{
    return "RIFF" + le32(quint32(4 + body.size())) + form + body;
}

QByteArray fmtPcm(quint16 channels = 2, quint32 rate = 44100, quint16 bits = 16)
{
    return chunk("fmt ", le16(1) + le16(channels) + le32(rate) + le32(rate * channels * bits / 8)
                             + le16(channels * bits / 8) + le16(bits));
}

QByteArray audio(int size)
{
    QByteArray b(size, '\0');
    for (int i = 0; i < size; ++i)
        b[i] = char('a' + i % 23);
    return b;
}

// The tree as text: id, "~" for a chunk left in the stream, offset, "+" size, children in
// braces.
QString describeTree(const QList<IffChunk *> &chunks)
{
    QStringList parts;
    for (const IffChunk *c : chunks) {
        QString s = c->id + QString::number(c->offset) + "+" + QString::number(c->size) + (c->loaded ? "" : "~");
        if (!c->children.isEmpty())
            s += "{" + describeTree(c->children) + "}";
        parts.append(s);
    }
    return parts.join(' ');
}

QString parsed(const QByteArray &bytes)
{
    IoStream stream(bytes, QIODevice::ReadOnly);
    QObject parent;
    const bool littleEndian = RiffStreamIo::checkHeader(&stream);
    stream.seek(0);
    const QList<RiffChunk *> chunks = RiffStreamIo::parseChunks(&stream, stream.size(), littleEndian, &parent);
    return describeTree(QList<IffChunk *>(chunks.cbegin(), chunks.cend()));
}

QByteArray written(const QByteArray &file, const AudioTag *tag, const QList<int> &types = {},
                   const TaggingSettings *settings = nullptr)
{
    IoStream stream(file, QIODevice::ReadWrite);
    RiffStreamIo::instance()->writeTags(&stream, tag, types, settings);
    return stream.data();
}

// Items as "type:text", unknown items as "type:key=value" with data in hex.
QStringList items(const AudioTag *tag)
{
    QStringList result;
    for (const TagItem *item : tag->itemList()) {
        if (item->type() == TagItemType::UnknownRiffData) {
            const auto *u = static_cast<const UnknownDataTagItem *>(item);
            result.append(QStringLiteral("118:%1=%2").arg(u->name, QString::fromLatin1(u->data.toHex())));
        } else if (item->type() == TagItemType::UnknownRiffString) {
            const auto *u = static_cast<const UnknownStringTagItem *>(item);
            result.append(QStringLiteral("119:%1=%2").arg(u->name, u->value));
        } else if (item->type() == TagItemType::Language) {
            result.append(QStringLiteral("55:") + item->toString(QStringLiteral("ISO_639_2_T")));
        } else {
            result.append(QStringLiteral("%1:%2").arg(item->type()).arg(item->toString(QStringLiteral("[data]"))));
        }
    }
    return result;
}

AudioTag *readInfoTag(const QByteArray &file, QObject *parent)
{
    IoStream stream(file, QIODevice::ReadOnly);
    const QList<AudioTag *> tags = RiffStreamIo::instance()->readTags(&stream, {TagType::RiffInfo}, nullptr, parent);
    return tags.isEmpty() ? nullptr : tags.first();
}

quint32 exceptionCode(const std::function<void()> &f)
{
    try {
        f();
    } catch (const Exception &e) {
        return e.code;
    }
    return 0;
}

} // namespace

class TestRiff : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        // Language codes come from the core package beside the executable.
        QVERIFY(QResource::registerResource(QCoreApplication::applicationDirPath() + "/libcore.rcc",
                                            QStringLiteral(":/libcore")));
    }

    // Chunk tree

    void parse_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("tree");

        const QByteArray data = chunk("data", "abcd");
        QTest::newRow("kinds") << riff(fmtPcm() + list("INFO", chunk("INAM", "ab")) + data + chunk("JUNK", "xy"))
                               << "RIFF0+80{fmt 12+24 LIST36+22{INAM48+10} data58+12~ JUNK70+10~}";
        QTest::newRow("odd chunk padded") << riff(chunk("abcd", "xyz") + data)
                                          << "RIFF0+36{abcd12+11 data24+12~}";
        // The pad bytes of the last sub-chunk and of the list are missing, the list's size
        // counts without them: the chunks behind the list must still be found.
        QTest::newRow("odd sub-chunk unpadded at list end")
            << riff(chunk("LIST", "INFO" + chunk("INAM", "abcde", false), false) + chunk("ICMT", "x") + data)
            << "RIFF0+59{LIST12+25{INAM24+13} ICMT37+9 data47+12~}";
        QTest::newRow("odd sub-chunk unpadded inside list")
            << riff(list("INFO", chunk("INAM", "abc", false) + chunk("IART", "xy")) + data)
            << "RIFF0+58{LIST12+33{INAM24+11 IART35+10} data46+12~}";
        QTest::newRow("size past container cut")
            << riff(fmtPcm()).append("data" + le32(1000) + "abcd")
            << "RIFF0+36{fmt 12+24} data36+12~";
        QTest::newRow("list past its container cut")
            << riff(chunk("LIST", "INFO" + chunk("INAM", "ab")).replace(16, 4, le32(500)))
            << "RIFF0+34{LIST12+22{INAM24+10}}";
        QTest::newRow("trailing bytes") << riff(data) + "1234567" << "RIFF0+24{data12+12~}";
        QTest::newRow("list too short for a type") << riff(chunk("LIST", "ab") + data)
                                                   << "RIFF0+34{LIST12+10 data22+12~}";
    }

    void parse()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, tree);
        QCOMPARE(parsed(bytes), tree);
    }

    void bigEndian()
    {
        QByteArray body = "fmt " + be32(16) + QByteArray::fromHex("000100020000ac440002b110000400") + QByteArray(1, 16);
        body += "data" + be32(5) + "abcde" + '\0';
        const QByteArray file = "RIFX" + be32(quint32(4 + body.size())) + "WAVE" + body;
        QCOMPARE(parsed(file), QStringLiteral("RIFX0+50{fmt 12+24 data36+13~}"));

        auto title = makeTag(-1, {new TitleTagItem("x")});
        const QByteArray out = written(file, title);
        delete title;
        QCOMPARE(out.mid(4, 4), be32(quint32(out.size() - 8)));
        QCOMPARE(parsed(out), QStringLiteral("RIFX0+104{fmt 12+24 data36+13~ LIST50+22{INAM62+10} id3 72+31}"));
        IoStream stream(out, QIODevice::ReadOnly);
        const AudioProperties p = RiffStreamIo::instance()->readAudioProperties(&stream, nullptr);
        QCOMPARE(p.channels, 2);
        QCOMPARE(p.sampleRate, 44100);
        QCOMPARE(p.bitsPerSample, 16);
        QCOMPARE(p.audioSize, 5);
    }

    void headerErrors_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<quint32>("code");
        QTest::newRow("not riff") << QByteArray("RIFFxxxxWAVE").replace(0, 4, "FORM") << quint32(RiffStreamIo::NotRiff);
        QTest::newRow("wrong form") << riff({}, "AVI ") << quint32(RiffStreamIo::WrongForm);
        QTest::newRow("no chunks") << riff({}) << quint32(RiffStreamIo::NoChunksToRead);
        QTest::newRow("truncated header") << QByteArray("RIFF") << quint32(0xed254e67);
    }

    void headerErrors()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(quint32, code);
        IoStream stream(bytes, QIODevice::ReadOnly);
        QObject parent;
        const quint32 thrown = exceptionCode([&] { RiffStreamIo::instance()->readTags(&stream, {}, nullptr, &parent); });
        if (code == 0xed254e67)
            QVERIFY(thrown != 0);
        else
            QCOMPARE(thrown, code);
    }

    void hostileSizes()
    {
        // Lists nested deeper than any real file are refused instead of recursed into.
        QByteArray nested = chunk("abcd", "x");
        for (int i = 0; i < 40; ++i)
            nested = list("adtl", nested);
        QCOMPARE(exceptionCode([&] { parsed(riff(nested)); }), quint32(IffChunk::NestedTooDeeply));

        // A chunk read into memory may hold 128 MiB, not a byte more; the check comes before
        // any allocation (a sparse file).
        QTemporaryDir dir;
        QFile file(dir.filePath("big.wav"));
        QVERIFY(file.open(QIODevice::ReadWrite));
        const qint64 payload = IffChunk::maximumLoadSize + 1;
        file.write(riff(chunk("abcd", {})));
        file.resize(file.size() + payload);
        file.seek(16);
        file.write(le32(quint32(payload)));
        file.seek(4);
        file.write(le32(quint32(file.size() - 8)));
        file.close();
        IoStream stream(file.fileName(), QIODevice::ReadOnly);
        QObject parent;
        QCOMPARE(exceptionCode([&] { RiffStreamIo::parseChunks(&stream, stream.size(), true, &parent); }),
                 quint32(RiffChunk::ChunkTooLarge));
    }

    void layout()
    {
        QObject parent;
        RiffChunk *info = RiffStreamIo::createInfoList(&parent);
        info->appendChild(RiffStreamIo::createTextChunk("INAM", "abcd", info));
        info->appendChild(RiffStreamIo::createTextChunk("IART", "a", info));
        qint64 position = 100;
        QCOMPARE(info->layout(position), qint64(12 + 14 + 10));
        QCOMPARE(position, qint64(136));
        QCOMPARE(info->child(0)->size, qint64(13)); // odd: the pad byte is not part of size
        QCOMPARE(info->child(0)->newOffset, qint64(112));
        QCOMPARE(info->child(1)->newOffset, qint64(126));

        QCOMPARE(RiffStreamIo::createJunkChunk(8, &parent)->data.size(), 0);
        QCOMPARE(exceptionCode([&] { RiffStreamIo::createJunkChunk(9, &parent); }), quint32(RiffStreamIo::InvalidJunkSize));
        QCOMPARE(exceptionCode([&] { RiffStreamIo::createJunkChunk(6, &parent); }), quint32(RiffStreamIo::InvalidJunkSize));
    }

    // A chunk size past 32 bits would wrap; the rewrite refuses before touching the stream.
    void sizeFieldOverflow()
    {
        const QByteArray file = riff(fmtPcm() + chunk("data", "abcd"));
        IoStream stream(file, QIODevice::ReadWrite);
        QObject parent;
        QList<RiffChunk *> chunks = RiffStreamIo::parseChunks(&stream, stream.size(), true, &parent);
        RiffChunk *data = chunks.first()->child(1);
        data->dataSize = IffChunk::maximumSizeField - 20;
        QCOMPARE(exceptionCode([&] {
                     IffChunk::rewrite(RiffChunk::format(), &stream, {chunks.first()}, 0, false);
                 }),
                 quint32(IffChunk::SizeFieldOverflow));
        QCOMPARE(stream.data(), file);
    }

    // INFO list

    void readInfo_data()
    {
        QTest::addColumn<QByteArray>("subChunks");
        QTest::addColumn<QStringList>("expected");

        QTest::newRow("texts") << chunk("INAM", "Title\0", false) + chunk("IART", "Artist") + chunk("ICMT", "c")
                               << QStringList{"104:Title", "11:Artist", "21:c"};
        QTest::newRow("windows-1252 and utf-8")
            << chunk("INAM", "Caf\xe9 \x80") + chunk("IART", "\xce\xb1\xce\xb2")
            << QStringList{"104:Caf\u00e9 \u20ac", "11:\u03b1\u03b2"};
        QTest::newRow("text ends at zero") << chunk("IART", QByteArray("abc\0junk", 8)) << QStringList{"11:abc"};
        QTest::newRow("blank values") << chunk("INAM", "   ") + chunk("IART", QByteArray(4, '\0')) + chunk("abcd", QByteArray(3, '\0'))
                                      << QStringList{};
        QTest::newRow("lower-case id") << chunk("inam", "t") << QStringList{"104:t"};
        QTest::newRow("track pair and count")
            << chunk("ITRK", "3/12") + chunk("IFRM", "12")
            << QStringList{"108:3", "106:12", "106:12"};
        QTest::newRow("track aliases") << chunk("IPRT", "4") + chunk("TRCK", "5") << QStringList{"108:4", "108:5"};
        QTest::newRow("date") << chunk("ICRD", "2001-05-06") << QStringList{"94:2001-05-06"};
        QTest::newRow("language") << chunk("ILNG", "de") << QStringList{"55:deu"};
        QTest::newRow("unknown ids") << chunk("IXYZ", "val") + chunk("abcd", "raw")
                                     << QStringList{"119:IXYZ=val", "118:abcd=726177"};
        // Values that are no number, date or language stay as they were read.
        QTest::newRow("unconvertible values")
            << chunk("IFRM", "ten") + chunk("ICRD", "summer") + chunk("ILNG", "zzz") + chunk("ITRK", "A1")
            << QStringList{"119:IFRM=ten", "119:ICRD=summer", "119:ILNG=zzz", "119:ITRK=A1"};
        QTest::newRow("unreadable table of contents") << chunk("ITOC", "garbage")
                                                      << QStringList{"118:ITOC=67617262616765"};
        QTest::newRow("line breaks") << chunk("ICMT", "a\r\nb\rc") << QStringList{"21:a\nb\nc"};
    }

    void readInfo()
    {
        QFETCH(QByteArray, subChunks);
        QFETCH(QStringList, expected);
        QObject parent;
        const AudioTag *tag = readInfoTag(riff(fmtPcm() + list("INFO", subChunks) + chunk("data", "ab")), &parent);
        QCOMPARE(tag ? items(tag) : QStringList(), expected);
    }

    void infoTagRecord()
    {
        const QByteArray file = riff(list("INFO", chunk("INAM", "a")) + chunk("data", "ab") + list("INFO", chunk("IART", "b")));
        QObject parent;
        const AudioTag *tag = readInfoTag(file, &parent);
        QVERIFY(tag);
        QCOMPARE(items(tag), (QStringList{"104:a", "11:b"}));
        const TagInfo *info = tag->tagInfo();
        QCOMPARE(info->tagType(), int(TagType::RiffInfo));
        QCOMPARE(info->values.value(TagInfo::RawDataKey).toByteArray(), QByteArray("INFOINFO"));
        QCOMPARE(info->offset(), qint64(12));
        QCOMPARE(info->size(), 22 + 22);
        QCOMPARE(info->isPrepended(), true);

        // Without audio data there is no "prepended" to tell.
        const AudioTag *noData = readInfoTag(riff(list("INFO", chunk("INAM", "a"))), &parent);
        QVERIFY(!noData->tagInfo()->values.contains(TagInfo::PrependedKey));
    }

    void buildInfo_data()
    {
        QTest::addColumn<QList<TagItem *>>("tagItems");
        QTest::addColumn<QByteArray>("subChunks");

        QTest::newRow("empty") << QList<TagItem *>{} << QByteArray();
        QTest::newRow("order by item type")
            << QList<TagItem *>{new TitleTagItem("t"), new AlbumTagItem("al"), new ArtistTagItem("ar")}
            << chunk("IPRD", QByteArray("al\0", 3)) + chunk("IART", QByteArray("ar\0", 3)) + chunk("INAM", QByteArray("t\0", 2));
        QTest::newRow("windows-1252") << QList<TagItem *>{new TitleTagItem(QString::fromUtf8("Caf\u00e9 \u20ac"))}
                                      << chunk("INAM", QByteArray("Caf\xe9 \x80\0", 7));
        QTest::newRow("utf-8 when needed") << QList<TagItem *>{new TitleTagItem(QString::fromUtf8("\u00e9\u03b1"))}
                                           << chunk("INAM", QByteArray("\xc3\xa9\xce\xb1\0", 5));
        QTest::newRow("line breaks as CR LF") << QList<TagItem *>{new CommentTagItem("a\nb", "")}
                                              << chunk("ICMT", QByteArray("a\r\nb\0", 5));
        QTest::newRow("first item only") << QList<TagItem *>{new TitleTagItem("one"), new TitleTagItem("two")}
                                         << chunk("INAM", QByteArray("one\0", 4));
        QTest::newRow("blank value") << QList<TagItem *>{new TitleTagItem("  ")} << QByteArray();
        QTest::newRow("year only") << QList<TagItem *>{new ReleaseDateTagItem(PartialDateTime(1999))}
                                   << chunk("ICRD", QByteArray("1999\0", 5));
        QTest::newRow("numbers and language")
            << QList<TagItem *>{new TrackNumberTagItem(3), new TrackCountTagItem(9), new LanguageTagItem(languageByCode("de"))}
            << chunk("ILNG", QByteArray("deu\0", 4)) + chunk("IFRM", QByteArray("9\0", 2)) + chunk("ITRK", QByteArray("3\0", 2));
        QTest::newRow("unknown items")
            << QList<TagItem *>{new UnknownRiffStringTagItem("ixyz", ""), new UnknownRiffDataTagItem("abcd", "\x01\x02\x03")}
            << chunk("abcd", "\x01\x02\x03") + chunk("ixyz", QByteArray(1, '\0'));
    }

    void buildInfo()
    {
        QFETCH(QList<TagItem *>, tagItems);
        QFETCH(QByteArray, subChunks);
        AudioTag tag;
        for (TagItem *item : tagItems)
            tag.addItem(item);
        const QByteArray file = riff(fmtPcm() + chunk("data", "ab"));
        QCOMPARE(written(file, &tag, {TagType::RiffInfo}), riff(fmtPcm() + chunk("data", "ab") + list("INFO", subChunks)));
    }

    void infoRoundTrip()
    {
        AudioTag tag;
        tag.addItem(new TitleTagItem(QString::fromUtf8("T\u00eftle\nline")));
        tag.addItem(new ArtistTagItem(QString::fromUtf8("\u03a3")));
        tag.addItem(new TrackNumberTagItem(2));
        tag.addItem(new TrackCountTagItem(10));
        tag.addItem(new ReleaseDateTagItem(PartialDateTime(2020, 2, 29)));
        tag.addItem(new UnknownRiffStringTagItem("ISBJ", "subject"));
        // Windows-1252 bytes that the reader's guess would take for UTF-16 ("\xf8\r\n#").
        tag.addItem(new CommentTagItem(QString::fromUtf8("\u00f8\n#"), QString()));
        QByteArray file = written(riff(fmtPcm() + chunk("data", "abc")), &tag);
        file = written(file, &tag); // a second save keeps everything in place
        QObject parent;
        const AudioTag *read = readInfoTag(file, &parent);
        QVERIFY(read);
        QCOMPARE(items(read), (QStringList{"11:\u03a3", "21:\u00f8\n#", "94:2020-02-29", "104:T\u00eftle\nline", "106:10",
                                           "108:2", "119:ISBJ=subject"}));
    }

    // Writing the file

    void writeLayouts_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QList<int>>("types");
        QTest::addColumn<QString>("after");

        const QByteArray fmt = fmtPcm();
        const QByteArray data = chunk("data", audio(101));
        // An INFO list of 200 bytes in front of the audio data becomes 200 bytes of padding.
        const QByteArray info200 = list("INFO", chunk("ICMT", QByteArray(180, 'c')));
        QTest::newRow("padding keeps audio in place")
            << riff(fmt + info200 + data) << QList<int>{}
            << "RIFF0+400{fmt 12+24 JUNK36+200~ data236+109~ LIST346+22{INAM358+10} id3 368+31}";
        const QByteArray info10000 = list("INFO", chunk("ICMT", QByteArray(9980, 'c')));
        QTest::newRow("too much to pad: audio moves")
            << riff(fmt + info10000 + data) << QList<int>{}
            << "RIFF0+200{fmt 12+24 data36+109~ LIST146+22{INAM158+10} id3 168+31}";
        QTest::newRow("list behind the audio")
            << riff(fmt + data + info200) << QList<int>{}
            << "RIFF0+200{fmt 12+24 data36+109~ LIST146+22{INAM158+10} id3 168+31}";
        QTest::newRow("padding chunks merged")
            << riff(fmt + chunk("JUNK", QByteArray(10, 'j')) + chunk("PAD ", "p") + data) << QList<int>{}
            << "RIFF0+228{fmt 12+24 JUNK36+28~ data64+109~ LIST174+22{INAM186+10} id3 196+31}";
        QTest::newRow("id3 only keeps the list but drops padding")
            << riff(fmt + info200 + chunk("JUNK", QByteArray(10, 'j')) + data) << QList<int>{TagType::Id3v2}
            << "RIFF0+396{fmt 12+24 LIST36+200{ICMT48+188} JUNK236+18~ data254+109~ id3 364+31}";
        QTest::newRow("no audio data")
            << riff(fmt + info200) << QList<int>{}
            << "RIFF0+90{fmt 12+24 LIST36+22{INAM48+10} id3 58+31}";
        QTest::newRow("chunks after the riff chunk kept, trailing bytes dropped")
            << riff(fmt + data) + chunk("abcd", "xy") + "123" << QList<int>{}
            << "RIFF0+200{fmt 12+24 data36+109~ LIST146+22{INAM158+10} id3 168+31} abcd200+10";
        // The last sub-chunk of the list has no pad byte: the audio data behind the list
        // must come through whole.
        QTest::newRow("unpadded sub-chunk")
            << riff(fmt + chunk("LIST", "INFO" + chunk("INAM", "abc", false), false) + chunk("ICMT", "x") + data)
            << QList<int>{}
            << "RIFF0+234{fmt 12+24 ICMT36+9 JUNK46+24~ data70+109~ LIST180+22{INAM192+10} id3 202+31}";
    }

    void writeLayouts()
    {
        QFETCH(QByteArray, before);
        QFETCH(QList<int>, types);
        QFETCH(QString, after);
        AudioTag tag;
        tag.addItem(new TitleTagItem("x"));
        const QByteArray out = written(before, &tag, types);
        QCOMPARE(parsed(out), after);
        const int riffEnd = 8 + qFromLittleEndian<quint32>(out.constData() + 4);
        QVERIFY(riffEnd <= out.size());
        const int dataAt = out.indexOf("data");
        if (dataAt > 0)
            QCOMPARE(out.mid(dataAt + 8, 101), audio(101));
        // A second save changes nothing.
        QCOMPARE(written(out, &tag, types), out);
    }

    void removeTags()
    {
        const QByteArray file = riff(fmtPcm() + list("INFO", chunk("INAM", "t")) + chunk("data", "ab"));
        IoStream stream(file, QIODevice::ReadWrite);
        RiffStreamIo::instance()->removeTags(&stream, {}, nullptr);
        QCOMPARE(stream.data(), riff(fmtPcm() + chunk("JUNK", QByteArray(14, '\0')) + chunk("data", "ab")));

        // A list selecting neither tag type leaves the stream alone.
        IoStream untouched(file, QIODevice::ReadOnly);
        RiffStreamIo::instance()->removeTags(&untouched, {TagType::Ape}, nullptr);
        QObject parent;
        QVERIFY(RiffStreamIo::instance()->readTags(&untouched, {TagType::Ape}, nullptr, &parent).isEmpty());
    }

    // The audio data moves through bounded block moves on a file.
    void movesAudioOnFile()
    {
        const QByteArray samples = audio(5000);
        const QByteArray before = riff(fmtPcm() + list("INFO", chunk("ICMT", QByteArray(9000, 'c'))) + chunk("data", samples));
        QTemporaryDir dir;
        const QString path = dir.filePath("a.wav");
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(before);
        }
        AudioTag tag;
        tag.addItem(new TitleTagItem("x"));
        {
            IoStream stream(path, QIODevice::ReadWrite);
            stream.setBlockSize(97);
            RiffStreamIo::instance()->writeTags(&stream, &tag, {TagType::RiffInfo}, nullptr);
        }
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), written(before, &tag, {TagType::RiffInfo}));
        QCOMPARE(written(before, &tag, {TagType::RiffInfo}), riff(fmtPcm() + chunk("data", samples) + list("INFO", chunk("INAM", QByteArray("x\0", 2)))));
    }

    void behindAnId3v2TagInFront()
    {
        // Some taggers put an ID3v2 tag in front of the RIFF header.
        const QByteArray frame = QByteArray("TIT2") + be32(6) + QByteArray(2, '\0') + QByteArray("\0Front", 6);
        const QByteArray id3 = QByteArray("ID3\x03\0\0\0\0\0", 9) + char(frame.size()) + frame;
        const QByteArray samples = audio(4410);
        const QByteArray wave = riff(fmtPcm() + list("INFO", chunk("IART", QByteArray("Inside\0", 7))) + chunk("data", samples));
        QTemporaryDir dir;
        const QString path = dir.filePath("a.wav");
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(id3 + wave);
        }
        {
            AudioFile file(path);
            file.readTags(0);
            QCOMPARE(file.tags().value(TagType::Id3v2)->itemText(TitleTagItem::Type), QStringLiteral("Front"));
            QCOMPARE(file.tags().value(TagType::RiffInfo)->itemText(ArtistTagItem::Type), QStringLiteral("Inside"));
            const AudioProperties properties = file.audioProperties();
            QCOMPARE(properties.audioSize, qint64(samples.size()));
            QCOMPARE(properties.sampleRate, 44100);
            file.writeTags(0);
        }
        // Saving moves the front tag's values into the file's own tags.
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray saved = f.readAll();
        QVERIFY(saved.startsWith("RIFF"));
        QVERIFY(saved.contains(samples));
        AudioFile again(path);
        again.readTags(0);
        QCOMPARE(again.tags().value(0)->itemText(TitleTagItem::Type), QStringLiteral("Front"));
        QCOMPARE(again.tags().value(0)->itemText(ArtistTagItem::Type), QStringLiteral("Inside"));
    }

    // Audio properties

    void audioProperties_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QList<qint64>>("expected"); // channels, rate, bits, duration, bitrate, audio size
        QTest::addColumn<int>("codec");

        const QByteArray data = chunk("data", QByteArray(1764000, '\0'));
        QTest::newRow("pcm") << riff(fmtPcm() + data) << QList<qint64>{2, 44100, 16, 10000, 1411200, 1764000}
                             << int(AudioCodec::Pcm);
        QTest::newRow("pcm without bits") << riff(fmtPcm(2, 44100, 0) + data)
                                          << QList<qint64>{2, 44100, 0, 0, 0, 1764000} << int(AudioCodec::Pcm);
        QTest::newRow("pcm without audio") << riff(fmtPcm()) << QList<qint64>{2, 44100, 16, 0, 0, 0} << int(AudioCodec::Pcm);
        const QByteArray extensible = chunk("fmt ", le16(0xFFFE) + le16(2) + le32(48000) + le32(192000) + le16(4)
                                                        + le16(16) + le16(22) + QByteArray(22, '\0'));
        QTest::newRow("extensible") << riff(extensible + chunk("data", QByteArray(96000, '\0')))
                                    << QList<qint64>{2, 48000, 0, 500, 1536000, 96000} << int(AudioCodec::Unknown);
        // A huge rate is clamped, not wrapped into a negative number.
        QTest::newRow("huge rate") << riff(chunk("fmt ", le16(3) + le16(1) + le32(0xFFFFFFFF) + le32(0xFFFFFFFF) + le32(0)) + chunk("data", "ab"))
                                   << QList<qint64>{1, 2147483647, 0, 0, 2147483647, 2} << int(AudioCodec::Unknown);
    }

    void audioProperties()
    {
        QFETCH(QByteArray, file);
        QFETCH(QList<qint64>, expected);
        QFETCH(int, codec);
        IoStream stream(file, QIODevice::ReadOnly);
        const AudioProperties p = RiffStreamIo::instance()->readAudioProperties(&stream, nullptr);
        QVERIFY(p.valid);
        QCOMPARE((QList<qint64>{p.channels, p.sampleRate, p.bitsPerSample, p.duration, p.bitrate, p.audioSize}), expected);
        QCOMPARE(p.codec, codec);
        QCOMPARE(p.container, int(AudioContainer::Riff));
        QCOMPARE(p.fileSize, qint64(file.size()));
    }

    void audioPropertyErrors_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<quint32>("code");
        const QByteArray fmt16 = le16(1) + le16(2) + le32(44100) + le32(176400) + le16(4) + le16(16);
        QTest::newRow("16 bytes accepted") << riff(chunk("fmt ", fmt16)) << quint32(0);
        QTest::newRow("15 bytes") << riff(chunk("fmt ", fmt16.left(15))) << quint32(RiffStreamIo::FormatChunkTooShort);
        QTest::newRow("no format") << riff(chunk("data", "ab")) << quint32(RiffStreamIo::NoFormatChunk);
        QTest::newRow("no chunks") << riff({}) << quint32(RiffStreamIo::NoChunksForProperties);
    }

    void audioPropertyErrors()
    {
        QFETCH(QByteArray, file);
        QFETCH(quint32, code);
        IoStream stream(file, QIODevice::ReadOnly);
        QCOMPARE(exceptionCode([&] { RiffStreamIo::instance()->readAudioProperties(&stream, nullptr); }), code);
    }
    void id3Chunks()
    {
        QObject parent;
        AudioTag tag;
        tag.addItem(new TitleTagItem("id3 title"));
        IoStream scratch(QIODevice::ReadWrite);
        const QByteArray id3 = RiffStreamIo::createId3Chunk(&scratch, &tag, RiffSettings(), &parent)->data;
        QVERIFY(id3.startsWith("ID3\x03"));

        // Any chunk whose id starts with "id3" holds a tag when its data starts with one.
        const QByteArray file = riff(fmtPcm() + chunk("ID32", id3) + chunk("id3x", "no tag") + chunk("data", "ab"));
        IoStream stream(file, QIODevice::ReadOnly);
        const QList<AudioTag *> tags = RiffStreamIo::instance()->readTags(&stream, {TagType::Id3v2}, nullptr, &parent);
        QCOMPARE(tags.size(), 1);
        QCOMPARE(tags.first()->itemText(TagItemType::Title), QStringLiteral("id3 title"));
        QCOMPARE(tags.first()->tagInfo()->offset(), qint64(44));
        QCOMPARE(tags.first()->tagInfo()->isPrepended(), true);

        AudioTag replacement;
        replacement.addItem(new TitleTagItem("new"));
        const QByteArray out = written(file, &replacement, {TagType::Id3v2});
        const int id3Size = RiffStreamIo::createId3Chunk(&scratch, &replacement, RiffSettings(), &parent)->data.size();
        QCOMPARE(parsed(out), QStringLiteral("RIFF0+%1{fmt 12+24 id3x36+14 JUNK50+%2~ data%3+10~ id3 %4+%5}")
                                  .arg(out.size())
                                  .arg(8 + id3.size() + (id3.size() & 1))
                                  .arg(58 + id3.size() + (id3.size() & 1))
                                  .arg(68 + id3.size() + (id3.size() & 1))
                                  .arg(8 + id3Size));
        IoStream again(out, QIODevice::ReadOnly);
        const QList<AudioTag *> reread = RiffStreamIo::instance()->readTags(&again, {}, nullptr, &parent);
        QCOMPARE(reread.size(), 1);
        QCOMPARE(reread.first()->itemText(TagItemType::Title), QStringLiteral("new"));
    }

    void settings()
    {
        TaggingSettings s;
        s.riff.maximumPaddingSize = 0;
        // Without room for padding the audio data moves forward.
        const QByteArray file = riff(fmtPcm() + list("INFO", chunk("INAM", "t")) + chunk("data", "ab"));
        QCOMPARE(written(file, nullptr, {}, &s), riff(fmtPcm() + chunk("data", "ab")));
    }
};

QTEST_GUILESS_MAIN(TestRiff)
#include "tst_riff.moc"
