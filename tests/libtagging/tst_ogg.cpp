#include <QtTest>

#include "libcore/io/iostream.h"
#include "libcore/log/exception.h"
#include "libtagging/model/audiotag.h"
#include "libtagging/model/plaintagitems.h"
#include "libtagging/model/taggingsettings.h"
#include "libtagging/xiph/oggpage.h"
#include "libtagging/xiph/oggstreamio.h"
#include "libtagging/xiph/opusstreamio.h"
#include "libtagging/xiph/speexstreamio.h"
#include "libtagging/xiph/vorbisstreamio.h"
#include "support_xiph.h"

#include <memory>

using namespace xiph;

namespace {

// A page as it would stand in a file, with a correct checksum.
QByteArray page(quint32 serial, quint32 sequence, qint64 granule, const QList<QByteArray> &packets,
                quint8 flags = 0)
{
    OggPage p;
    p.serialNumber = serial;
    p.sequenceNumber = sequence;
    p.headerType = flags;
    QByteArray lacing;
    QByteArray body;
    for (const QByteArray &packet : packets) {
        lacing += QByteArray(packet.size() / 255, char(255)) + char(packet.size() % 255);
        body += packet;
    }
    p.setSegmentTable(lacing);
    p.granulePosition = granule;
    p.setData(body);
    return p.render();
}

QByteArray vorbisIdentification(qint32 maximum, qint32 minimum)
{
    return QByteArray("\x01vorbis", 7) + le32(0) + char(2) + le32(44100) + le32(quint32(maximum)) + le32(128000)
           + le32(quint32(minimum)) + char(0xB8) + char(1);
}

QByteArray vorbisComment(const QList<QByteArray> &fields)
{
    return QByteArray("\x03vorbis", 7) + commentPacket("vendor", fields, true);
}

// A small Vorbis stream: identification page, a page with comment and setup packets,
// then audio pages with the given granule positions, each with packetsPerPage packets
// (block sizes 256 and 2048).
QByteArray vorbisFile(quint32 serial, const QList<qint64> &granules, const QList<QByteArray> &fields = {"TITLE=t"},
                      int packetsPerPage = 1)
{
    QByteArray file = page(serial, 0, 0, {vorbisIdentification(-1, -1)}, OggPage::BeginOfStream);
    file += page(serial, 1, 0, {vorbisComment(fields), QByteArray("\x05vorbis-setup", 13)});
    quint32 sequence = 2;
    for (const qint64 granule : granules) {
        const QList<QByteArray> packets(packetsPerPage, QByteArray(100, char(sequence)));
        file += page(serial, sequence++, granule, packets);
    }
    return file;
}

struct ParsedPage
{
    qint64 offset;
    quint32 serial;
    quint32 sequence;
    qint64 granule;
    quint8 flags;
    QByteArray bytes;
};

QList<ParsedPage> pagesOf(const QByteArray &file)
{
    QList<ParsedPage> pages;
    IoStream stream(file, QIODevice::ReadOnly);
    QObject scratch;
    while (stream.pos() < stream.size()) {
        OggPage *p = OggPage::read(&stream, &scratch);
        pages.append({p->offset, p->serialNumber, p->sequenceNumber, p->granulePosition, p->headerType,
                      file.mid(p->offset, p->headerSize + p->dataSize)});
        stream.seek(p->endOffset());
    }
    return pages;
}

bool allChecksumsValid(const QByteArray &file)
{
    for (const ParsedPage &p : pagesOf(file)) {
        if (!OggPage::hasValidChecksum(file, p.offset, p.bytes.size()))
            return false;
    }
    return true;
}

} // namespace

class TestOgg : public QObject
{
    Q_OBJECT
private slots:
    void pageRoundTrip()
    {
        const QByteArray bytes = page(7, 3, 1234, {QByteArray(300, 'a'), QByteArray(2, 'b')}, OggPage::EndOfStream);
        QVERIFY(OggPage::hasValidChecksum(bytes, 0, bytes.size()));
        IoStream stream(bytes + "tail", QIODevice::ReadOnly);
        QObject parent;
        OggPage *p = OggPage::read(&stream, &parent);
        QCOMPARE(p->parent(), &parent);
        QCOMPARE(stream.pos(), qint64(27 + 3));
        QCOMPARE(p->serialNumber, 7u);
        QCOMPARE(p->sequenceNumber, 3u);
        QCOMPARE(p->granulePosition, qint64(1234));
        QVERIFY(p->isEndOfStream());
        QCOMPARE(p->segmentTable, QByteArray::fromHex("ff2d02"));
        QCOMPARE(p->dataSize, 302);
        QCOMPARE(p->completedPacketCount(), 2);
        p->readData(&stream);
        QCOMPARE(p->render(), bytes);

        QByteArray damaged = bytes;
        damaged[40] = 'x';
        QVERIFY(!OggPage::hasValidChecksum(damaged, 0, damaged.size()));
    }

    void pageErrors_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<quint32>("code");
        const QByteArray good = page(1, 0, 0, {"abc"});
        QByteArray version = good;
        version[4] = 1;
        QTest::newRow("no capture pattern") << QByteArray("OggX" + good.mid(4)) << quint32(OggPage::NoCapturePattern);
        QTest::newRow("version 1") << version << quint32(OggPage::UnknownVersion);
        QTest::newRow("body past the end") << good.left(good.size() - 1) << quint32(OggPage::BodyPastEnd);
    }
    void pageErrors()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(quint32, code);
        IoStream stream(bytes, QIODevice::ReadOnly);
        QObject parent;
        try {
            OggPage::read(&stream, &parent);
            QFAIL("no exception");
        } catch (Exception &e) {
            QCOMPARE(e.code, code);
        }
        QVERIFY(parent.children().isEmpty());
    }

    void segmentTable()
    {
        OggPage p;
        QVERIFY_THROWS_EXCEPTION(Exception, p.setSegmentTable(QByteArray(256, char(1))));
        p.setSegmentTable(QByteArray(2, char(255)));
        QCOMPARE(p.granulePosition, qint64(-1));
        p.setSegmentTable(QByteArray::fromHex("ff00"));
        QCOMPARE(p.granulePosition, qint64(0));
        QCOMPARE(p.headerSize, 29);
        p.granulePosition = 99;
        p.setSegmentTable(QByteArray::fromHex("05"));
        QCOMPARE(p.granulePosition, qint64(99));
    }

    void pagesFromPackets()
    {
        QObject parent;
        // 70000 + 3000 bytes need 275 + 12 lacing values: a full page and a continued one.
        const QList<QByteArray> packets = {QByteArray(70000, 'c'), QByteArray(3000, 's')};
        const QList<OggPage *> pages = OggStreamIo::pagesFromPackets(packets, 9, 1, 1, &parent);
        QCOMPARE(pages.size(), 2);
        QCOMPARE(pages[0]->sequenceNumber, 1u);
        QCOMPARE(pages[0]->segmentTable.size(), 255);
        QCOMPARE(pages[0]->granulePosition, qint64(-1));
        QVERIFY(!pages[0]->isContinued());
        QVERIFY(!pages[0]->isBeginOfStream());
        QCOMPARE(pages[1]->sequenceNumber, 2u);
        QCOMPARE(pages[1]->segmentTable.size(), 32);
        QVERIFY(pages[1]->isContinued());
        QCOMPARE(pages[1]->granulePosition, qint64(0));
        QCOMPARE(OggStreamIo::packetsFromPages(pages), packets);

        // Every packet on fresh pages, as FLAC's header wants them.
        const QList<OggPage *> fresh = OggStreamIo::pagesFromPackets(packets, 9, 1, 1, &parent, true);
        QCOMPARE(fresh.size(), 3);
        QCOMPARE(fresh[1]->segmentTable.size(), 20);
        QVERIFY(fresh[1]->isContinued());
        QVERIFY(!fresh[2]->isContinued());
        QCOMPARE(fresh[2]->segmentTable.size(), 12);
        QCOMPARE(OggStreamIo::packetsFromPages(fresh), packets);

        // Enough old pages: one page per packet; a 255-byte packet ends with a 0.
        const QList<QByteArray> small = {QByteArray(255, 'a'), QByteArray(10, 'b')};
        const QList<OggPage *> each = OggStreamIo::pagesFromPackets(small, 9, 0, 2, &parent);
        QCOMPARE(each.size(), 2);
        QCOMPARE(each[0]->segmentTable, QByteArray::fromHex("ff00"));
        QVERIFY(each[0]->isBeginOfStream());
        QCOMPARE(OggStreamIo::pagesFromPackets(small, 9, 0, 1, &parent).size(), 1);
    }

    void packetsFromPages()
    {
        // The first page continues a packet begun earlier: that tail is no packet.
        QObject parent;
        const QList<OggPage *> pages = OggStreamIo::pagesFromPackets({QByteArray(600, 'x'), "ab", "cd"}, 1, 0, 0, &parent);
        QCOMPARE(pages.size(), 1);
        auto *continued = new OggPage(&parent);
        continued->setContinued(true);
        continued->setSegmentTable(QByteArray::fromHex("03" "02"));
        continued->setData("xyzef");
        QCOMPARE(OggStreamIo::packetsFromPages({continued}), QList<QByteArray>({"ef"}));
        // A packet still open after the last page is dropped.
        auto *open = new OggPage(&parent);
        open->setSegmentTable(QByteArray::fromHex("01ff"));
        open->setData(QByteArray("a") + QByteArray(255, 'b'));
        QCOMPARE(OggStreamIo::packetsFromPages({open}), QList<QByteArray>({"a"}));
    }

    void granulePositions()
    {
        QByteArray file = vorbisFile(5, {1000, 2000, 3000});
        IoStream stream(file, QIODevice::ReadOnly);
        QCOMPARE(OggStreamIo::lastGranulePosition(&stream, 5, 0), qint64(3000));
        QCOMPARE(OggStreamIo::lastGranulePosition(&stream, 6, 0), qint64(0));
        // No end-of-stream page is needed, and a damaged last page is passed over.
        QByteArray damaged = file;
        damaged[damaged.size() - 5] = char(damaged.at(damaged.size() - 5) ^ 1);
        IoStream damagedStream(damaged, QIODevice::ReadOnly);
        QCOMPARE(OggStreamIo::lastGranulePosition(&damagedStream, 5, 0), qint64(2000));
        // A page of the stream far before the end is still found.
        QByteArray padded = file + page(77, 0, 0, {QByteArray(60000, 'v')}) + page(77, 1, 0, {QByteArray(60000, 'v')})
                            + page(77, 2, 0, {QByteArray(60000, 'v')}) + page(77, 3, 0, {QByteArray(60000, 'v')})
                            + page(77, 4, 0, {QByteArray(60000, 'v')});
        IoStream paddedStream(padded, QIODevice::ReadOnly);
        QCOMPARE(OggStreamIo::lastGranulePosition(&paddedStream, 5, 0), qint64(3000));

        // The first position after the header; pages of other streams are passed over.
        const QByteArray interleaved = vorbisFile(5, {}) + page(40, 0, 77, {"other"}, OggPage::BeginOfStream)
                                       + page(5, 2, -1, {QByteArray(255, 'o')}) + page(5, 3, 4000, {"a"});
        IoStream interleavedStream(interleaved, QIODevice::ReadOnly);
        QObject parent;
        QCOMPARE(OggStreamIo::headerPages(&interleavedStream, VorbisStreamIo::instance(), 5, &parent).size(), 2);
        const qint64 headerEnd = interleavedStream.pos();
        QCOMPARE(OggStreamIo::firstGranulePosition(&interleavedStream, headerEnd, 5), qint64(4000));
        QCOMPARE(OggStreamIo::firstGranulePosition(&interleavedStream, headerEnd, 9), qint64(0));
    }

    void vorbisProperties_data()
    {
        QTest::addColumn<qint32>("maximum");
        QTest::addColumn<qint32>("minimum");
        QTest::addColumn<int>("bitrateType");
        QTest::newRow("both unset as -1") << -1 << -1 << 2;
        QTest::newRow("both zero") << 0 << 0 << 2;
        QTest::newRow("equal limits") << 128000 << 128000 << 0;
        QTest::newRow("different limits") << 160000 << 96000 << 1;
        QTest::newRow("only a maximum") << 160000 << -1 << 1;
    }
    void vorbisProperties()
    {
        QFETCH(qint32, maximum);
        QFETCH(qint32, minimum);
        QFETCH(int, bitrateType);
        const AudioProperties p =
            VorbisStreamIo::instance()->readAudioProperties({vorbisIdentification(maximum, minimum)}, 1000, 900);
        QCOMPARE(p.bitrateType, bitrateType);
        QCOMPARE(p.sampleRate, 44100);
        QCOMPARE(p.channels, 2);
        QCOMPARE(p.codecFullName, QStringLiteral("Vorbis version 0"));
        QCOMPARE(p.audioSize, qint64(900));
    }

    void streamProperties()
    {
        // Duration from the last granule position (not less the first audio page's), bitrate
        // from the audio size.
        const QByteArray file = vorbisFile(5, {44100, 66150, 88200}, {"TITLE=t"}, 45);
        IoStream stream(file, QIODevice::ReadOnly);
        const AudioProperties p = OggStreamIo::instance()->readAudioProperties(&stream, nullptr);
        QVERIFY(p.valid);
        QCOMPARE(p.container, 1);
        QCOMPARE(p.duration, 2000);
        QVERIFY(p.bitrate > 0);

        // A truncated last page: the last intact page gives the duration.
        IoStream truncated(file.left(file.size() - 20), QIODevice::ReadOnly);
        QCOMPARE(OggStreamIo::instance()->readAudioProperties(&truncated, nullptr).duration, 1500);

        // A last position before the first is no end of the stream: no duration, no bitrate.
        IoStream backwards(vorbisFile(5, {88200, 100}), QIODevice::ReadOnly);
        const AudioProperties b = OggStreamIo::instance()->readAudioProperties(&backwards, nullptr);
        QVERIFY(b.valid);
        QCOMPARE(b.duration, 0);
        QCOMPARE(b.bitrate, 0);

        // Cut out of a longer stream: the first page stands far beyond what its 45 packets
        // decode (44 long blocks at most), so the time before it is not counted. Its start
        // is estimated from the mean block size: 44 * (256 + 2048) / 4 = 25344 samples.
        const qint64 cut = 441000;
        IoStream cutStream(vorbisFile(5, {cut + 25344, cut + 25344 + 44100}, {"TITLE=t"}, 45), QIODevice::ReadOnly);
        QCOMPARE(OggStreamIo::instance()->readAudioProperties(&cutStream, nullptr).duration, 1574);
    }

    void opusDuration_data()
    {
        QTest::addColumn<qint64>("start");
        QTest::addColumn<QByteArray>("firstPackets"); // table-of-contents bytes, one packet each
        QTest::addColumn<int>("duration");
        // 0xFB: 20 ms frames, their count in the next byte; 0x18: one 60 ms frame, 0xF0: one
        // of 10 ms, 0xF1: two of 10 ms.
        QTest::newRow("from the start") << qint64(0) << QByteArray("\xFB\x32", 2) << 2000;
        QTest::newRow("cut from a longer stream") << qint64(480000) << QByteArray("\xFB\x32", 2) << 2000;
        QTest::newRow("cut, several packets") << qint64(480000) << QByteArray("\x18\xF0\xF1") << 2000;
    }
    void opusDuration()
    {
        // 48 kHz granules whatever the input rate, less the pre-skip and the time before the
        // first page's packets.
        QFETCH(qint64, start);
        QFETCH(QByteArray, firstPackets);
        QFETCH(int, duration);
        const QByteArray head = QByteArray("OpusHead", 8) + char(1) + char(2) + char(0x38) + char(0x01) + le32(44100)
                                + QByteArray(3, char(0));
        const QByteArray tags = QByteArray("OpusTags", 8) + commentPacket("v", {});
        QList<QByteArray> packets;
        qint64 samples = 0;
        if (firstPackets.startsWith('\xFB')) {
            packets = {firstPackets + QByteArray(10, 'a')};
            samples = 50 * 960;
        } else {
            for (const char toc : firstPackets)
                packets.append(QByteArray(1, toc) + QByteArray(10, 'a'));
            samples = 2880 + 480 + 960;
        }
        const qint64 first = start + samples;
        QByteArray file = page(3, 0, 0, {head}, OggPage::BeginOfStream) + page(3, 1, 0, {tags})
                          + page(3, 2, first, packets)
                          + page(3, 3, start + 96000 + 312, {QByteArray(50, 'b')});
        IoStream stream(file, QIODevice::ReadOnly);
        const AudioProperties p = OggStreamIo::instance()->readAudioProperties(&stream, nullptr);
        QCOMPARE(p.sampleRate, 44100);
        QCOMPARE(p.duration, duration);
        QCOMPARE(p.codecFullName, QStringLiteral("Opus version 1"));
    }

    void speexProperties()
    {
        QByteArray header = QByteArray("Speex   ", 8) + QByteArray(28, char(0)) + le32(16000) + le32(1) + le32(4)
                            + le32(1) + le32(quint32(-1)) + le32(320) + le32(0) + le32(0) + le32(0) + le32(0) + le32(0);
        QCOMPARE(header.size(), 80);
        const AudioProperties p = SpeexStreamIo::instance()->readAudioProperties({header}, 100, 50);
        QCOMPARE(p.sampleRate, 16000);
        QCOMPARE(p.channels, 1);
        QCOMPARE(p.bitrate, 0); // -1 means not known
        QCOMPARE(p.bitrateType, 0);
        QCOMPARE(p.container, 1);
    }

    void bareSpeex()
    {
        const QByteArray header = QByteArray("Speex   ", 8) + QByteArray(28, char(0)) + le32(8000) + le32(0) + le32(4)
                                  + le32(1) + le32(8000) + le32(160) + le32(1) + QByteArray(16, char(0));
        const QByteArray audioBytes(1000, 'a');
        IoStream stream(header + commentPacket("enc", {"TITLE=t"}, true) + audioBytes, QIODevice::ReadWrite);
        stream.setName(QStringLiteral("/music/a.spx"));
        SpeexStreamIo *io = SpeexStreamIo::instance();
        const AudioProperties p = io->readAudioProperties(&stream, nullptr);
        QCOMPARE(p.container, 0);
        QCOMPARE(p.audioSize, qint64(audioBytes.size()));
        QCOMPARE(p.bitrate, 8000);
        QCOMPARE(p.bitrateType, 1);

        stream.seek(0);
        QObject parent;
        QList<AudioTag *> tags = io->readTags(&stream, {}, nullptr, &parent);
        QCOMPARE(tags.size(), 1);
        QCOMPARE(tags[0]->tagInfo()->offset(), qint64(80));

        AudioTag tag;
        tag.addItem(new TitleTagItem(QStringLiteral("a longer title")));
        stream.seek(0);
        io->writeTags(&stream, &tag, {}, nullptr);
        QVERIFY(stream.data().endsWith(audioBytes));
        QByteArray vendor;
        QCOMPARE(commentFields(stream.data().mid(80), &vendor), QStringList({"TITLE=a longer title"}));
        QCOMPARE(vendor, QByteArray("enc"));

        IoStream notSpeex(QByteArray(100, 'x'), QIODevice::ReadOnly);
        try {
            io->readTags(&notSpeex, {}, nullptr, &parent);
            QFAIL("no exception");
        } catch (Exception &e) {
            QCOMPARE(e.code, quint32(SpeexStreamIo::NoSignature));
        }
    }

    void readTagsSkipsUnknownStreams()
    {
        // A stream of an unknown codec first, interleaved with the Vorbis header.
        QByteArray file = page(40, 0, 0, {"\x80theora"}, OggPage::BeginOfStream) + vorbisFile(5, {1000});
        IoStream stream(file, QIODevice::ReadOnly);
        stream.setName(QStringLiteral("/music/a.ogg"));
        QObject parent;
        const QList<AudioTag *> tags = OggStreamIo::instance()->readTags(&stream, {}, nullptr, &parent);
        QCOMPARE(tags.size(), 1);
        QCOMPARE(tags[0]->itemText(TagItemType::Title), QStringLiteral("t"));
        QCOMPARE(tags[0]->itemText(TagItemType::Encoder), QStringLiteral("vendor"));
        QVERIFY(OggStreamIo::instance()->readTags(&stream, {TagType::Id3v2}, nullptr, &parent).isEmpty());

        IoStream other(QByteArray("RIFF") + QByteArray(100, char(0)), QIODevice::ReadOnly);
        QVERIFY_THROWS_EXCEPTION(Exception, OggStreamIo::instance()->readTags(&other, {}, nullptr, &parent));
    }

    // Writes through a memory stream and checks the pages that must not change.
    void writeInPlace()
    {
        const QByteArray file = page(40, 0, 0, {"\x80theora"}, OggPage::BeginOfStream) + vorbisFile(5, {1000, 2000})
                                + page(40, 1, 5, {"video"});
        IoStream stream(file, QIODevice::ReadWrite);
        stream.setName(QStringLiteral("/music/a.ogg"));
        AudioTag tag;
        tag.addItem(new TitleTagItem(QStringLiteral("a longer title")));
        OggStreamIo::instance()->writeTags(&stream, &tag, {}, nullptr);
        const QByteArray written = stream.data();
        QVERIFY(allChecksumsValid(written));
        const QList<ParsedPage> before = pagesOf(file);
        const QList<ParsedPage> after = pagesOf(written);
        QCOMPARE(after.size(), before.size());
        for (qsizetype i = 0; i < before.size(); ++i) {
            QCOMPARE(after[i].sequence, before[i].sequence);
            if (i != 2) // the comment page
                QCOMPARE(after[i].bytes, before[i].bytes);
        }
        stream.seek(0);
        QObject parent;
        const QList<AudioTag *> tags = OggStreamIo::instance()->readTags(&stream, {}, nullptr, &parent);
        QCOMPARE(tags.first()->itemText(TagItemType::Title), QStringLiteral("a longer title"));
        QCOMPARE(tags.first()->itemText(TagItemType::Encoder), QStringLiteral("vendor"));
    }

    void writeMorePages()
    {
        const QByteArray file = vorbisFile(5, {1000, 2000, 3000}) + page(40, 0, 0, {"other"}, OggPage::BeginOfStream);
        IoStream stream(file, QIODevice::ReadWrite);
        AudioTag tag;
        tag.addItem(new TitleTagItem(QString(70000, QLatin1Char('t'))));
        OggStreamIo::instance()->writeTags(&stream, &tag, {}, nullptr);
        const QByteArray written = stream.data();
        QVERIFY(allChecksumsValid(written));
        const QList<ParsedPage> pages = pagesOf(written);
        quint32 expected = 0;
        for (const ParsedPage &p : pages) {
            if (p.serial == 5)
                QCOMPARE(p.sequence, expected++);
        }
        QCOMPARE(pages.last().bytes, pagesOf(file).last().bytes);
        QCOMPARE(pages[pages.size() - 2].granule, qint64(3000));

        // Shrinking again keeps the page count with an empty filler page.
        AudioTag small;
        small.addItem(new TitleTagItem(QStringLiteral("s")));
        stream.seek(0);
        OggStreamIo::instance()->writeTags(&stream, &small, {}, nullptr);
        const QList<ParsedPage> again = pagesOf(stream.data());
        QCOMPARE(again.size(), pages.size());
        QVERIFY(allChecksumsValid(stream.data()));
    }

    void writeKeepsUnreadableTail()
    {
        // A damaged page after the header: checked before anything is written, kept as is.
        const QByteArray file = vorbisFile(5, {1000, 2000});
        const QByteArray garbage = QByteArrayLiteral("OggS\x00garbage that is no page");
        IoStream stream(file + garbage, QIODevice::ReadWrite);
        AudioTag tag;
        tag.addItem(new TitleTagItem(QString(70000, QLatin1Char('t'))));
        OggStreamIo::instance()->writeTags(&stream, &tag, {}, nullptr);
        const QByteArray written = stream.data();
        QVERIFY(written.endsWith(garbage));
        const QList<ParsedPage> pages = pagesOf(written.left(written.size() - garbage.size()));
        QCOMPARE(pages.last().sequence, quint32(pages.size() - 1));
        QCOMPARE(pages.last().granule, qint64(2000));
    }

    void writeStreamWhoseFirstPageSaysContinued()
    {
        // A damaged flag: the first page of a stream continues nothing, and its
        // identification packet must stay first, or the written file has no known codec.
        QByteArray file = vorbisFile(5, {1000});
        const QByteArray first = page(5, 0, 0, {vorbisIdentification(-1, -1)}, OggPage::BeginOfStream | OggPage::Continued);
        file.replace(0, first.size(), first);
        IoStream stream(file, QIODevice::ReadWrite);
        QObject parent;
        const QList<AudioTag *> read = OggStreamIo::instance()->readTags(&stream, {}, nullptr, &parent);
        QCOMPARE(read.size(), 1);
        QCOMPARE(read[0]->itemText(TagItemType::Title), QStringLiteral("t"));
        AudioTag tag;
        tag.addItem(new TitleTagItem(QStringLiteral("new")));
        stream.seek(0);
        OggStreamIo::instance()->writeTags(&stream, &tag, {}, nullptr);
        QVERIFY(pagesOf(stream.data()).first().bytes.contains("\x01vorbis"));
        stream.seek(0);
        const QList<AudioTag *> tags = OggStreamIo::instance()->readTags(&stream, {}, nullptr, &parent);
        QCOMPARE(tags.size(), 1);
        QCOMPARE(tags[0]->itemText(TagItemType::Title), QStringLiteral("new"));
    }

    void removeKeepsVendor()
    {
        IoStream stream(vorbisFile(5, {1000}, {"TITLE=t", "ARTIST=a"}), QIODevice::ReadWrite);
        OggStreamIo::instance()->removeTags(&stream, {}, nullptr);
        stream.seek(0);
        QObject parent;
        const QList<AudioTag *> tags = OggStreamIo::instance()->readTags(&stream, {}, nullptr, &parent);
        QCOMPARE(tags.size(), 1);
        QCOMPARE(tags[0]->itemList().size(), 1);
        QCOMPARE(tags[0]->itemText(TagItemType::Encoder), QStringLiteral("vendor"));
    }

    void sequenceMismatchWritesNothing()
    {
        QByteArray file = page(5, 0, 0, {vorbisIdentification(-1, -1)}, OggPage::BeginOfStream);
        file += page(5, 7, 0, {vorbisComment({"TITLE=t"}), QByteArray("\x05vorbis-setup", 13)});
        IoStream stream(file, QIODevice::ReadWrite);
        AudioTag tag;
        try {
            OggStreamIo::instance()->writeTags(&stream, &tag, {}, nullptr);
            QFAIL("no exception");
        } catch (Exception &e) {
            QCOMPARE(e.code, quint32(OggStreamIo::SequenceMismatch));
        }
        QCOMPARE(stream.data(), file);
    }

    void opusCommentPadding_data()
    {
        QTest::addColumn<int>("oldSize");
        QTest::addColumn<int>("titleLength");
        QTest::addColumn<QByteArray>("trailing");
        QTest::addColumn<int>("newSize");
        // The comment for an n-letter title: 8 + 4 + 1 + 4 + 4 + 6 + n bytes.
        QTest::newRow("shrinks: padded to the old size") << 5000 << 100 << QByteArray() << 5000;
        QTest::newRow("grows: preferred padding") << 100 << 200 << QByteArray() << 27 + 200 + 2048;
        QTest::newRow("frees too much: preferred padding") << 20000 << 100 << QByteArray() << 127 + 2048;
        QTest::newRow("kept trailing data") << 5000 << 100 << QByteArray("\x01" "extra") << 127 + 6;
    }
    void opusCommentPadding()
    {
        QFETCH(int, oldSize);
        QFETCH(int, titleLength);
        QFETCH(QByteArray, trailing);
        QFETCH(int, newSize);
        QByteArray packet = QByteArray("OpusTags") + commentPacket("v", {}) + trailing;
        if (trailing.isEmpty())
            packet += QByteArray(oldSize - packet.size(), char(0));
        QList<QByteArray> packets = {QByteArray("OpusHead"), packet};
        AudioTag tag;
        tag.addItem(new TitleTagItem(QString(titleLength, QLatin1Char('x'))));
        IoStream file(QIODevice::ReadWrite);
        OpusStreamIo::instance()->writeTags(&file, packets, &tag, {}, nullptr);
        QCOMPARE(packets[1].size(), newSize);
        if (!trailing.isEmpty())
            QVERIFY(packets[1].endsWith(trailing));
        QByteArray vendor;
        QCOMPARE(commentFields(packets[1].mid(8), &vendor).size(), 1);
        QCOMPARE(vendor, QByteArray("v"));
    }
};

QTEST_GUILESS_MAIN(TestOgg)
#include "tst_ogg.moc"
