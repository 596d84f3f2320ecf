#include <QtTest>

#include "libcore/image/codedimage.h"
#include "libcore/io/iostream.h"
#include "libcore/log/exception.h"
#include "libtagging/model/artworktagitem.h"
#include "libtagging/model/audiotag.h"
#include "libtagging/model/plaintagitems.h"
#include "libtagging/xiph/flacstreamio.h"
#include "libtagging/xiph/oggpage.h"
#include "support_xiph.h"

#include <QBuffer>
#include <QtEndian>

#include <memory>

using namespace xiph;

namespace {

FlacStreamIo *io()
{
    return FlacStreamIo::instance();
}

QByteArray streamInfo(quint32 rate = 44100, int channels = 2, int bits = 16, quint64 samples = 88200)
{
    QByteArray body = QByteArray::fromHex("10001000000000000000");
    const quint64 packed = (quint64(rate) << 44) | (quint64(channels - 1) << 41) | (quint64(bits - 1) << 36) | samples;
    QByteArray number(8, char(0));
    qToBigEndian<quint64>(packed, number.data());
    return body + number + QByteArray(16, char(0));
}

QByteArray block(int type, const QByteArray &body, bool last = false)
{
    QByteArray header(4, char(0));
    header[0] = char(type | (last ? 0x80 : 0));
    header[1] = char(body.size() >> 16);
    header[2] = char(body.size() >> 8);
    header[3] = char(body.size());
    return header + body;
}

const QByteArray audio = QByteArray::fromHex("fff8c908") + QByteArray(500, 'a');

QByteArray jpegBytes(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::blue);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG");
    return bytes;
}

QList<int> typesOf(const QList<FlacMetadataBlock> &blocks)
{
    QList<int> types;
    for (const FlacMetadataBlock &b : blocks)
        types.append(b.type);
    return types;
}

QList<FlacMetadataBlock> blocksOf(const QByteArray &file)
{
    IoStream stream(file, QIODevice::ReadOnly);
    FlacStreamIo::checkSignature(&stream);
    return FlacStreamIo::readBlocks(&stream);
}

std::unique_ptr<AudioTag> readTag(const QByteArray &file)
{
    IoStream stream(file, QIODevice::ReadOnly);
    stream.setName(QStringLiteral("/music/a.flac"));
    QList<AudioTag *> tags = io()->readTags(&stream, {}, nullptr, nullptr);
    return std::unique_ptr<AudioTag>(tags.isEmpty() ? nullptr : tags.first());
}

} // namespace

class TestFlac : public QObject
{
    Q_OBJECT
private slots:
    void pictureBlock()
    {
        const QByteArray jpeg = jpegBytes(4, 3);
        ArtworkTagItem item(CodedImage(jpeg), 99, QStringLiteral("fünf"));
        IoStream out(QIODevice::ReadWrite);
        FlacStreamIo::writePictureBlock(&out, &item);
        const QByteArray body = out.data();
        QCOMPARE(body.left(4), be32(99));
        QCOMPARE(body.mid(8, 10), QByteArray("image/jpeg"));
        const qsizetype sizes = 8 + 10 + 4 + 5;
        QCOMPARE(body.mid(sizes, 16), be32(4) + be32(3) + be32(quint32(QImage::fromData(jpeg).bitPlaneCount())) + be32(0));

        IoStream in(body, QIODevice::ReadOnly);
        std::unique_ptr<ArtworkTagItem> back(FlacStreamIo::readPictureBlock(&in, nullptr));
        QCOMPARE(back->pictureType, 99);
        QCOMPARE(back->description, QStringLiteral("fünf"));
        QCOMPARE(back->image().data, jpeg);

        // The bytes decide, not the MIME type the block names.
        IoStream wrongType(pictureBody(3, "image/png", "", jpeg), QIODevice::ReadOnly);
        back.reset(FlacStreamIo::readPictureBlock(&wrongType, nullptr));
        QCOMPARE(back->image().mimeType(), QStringLiteral("image/jpeg"));
    }

    void pictureBlockErrors()
    {
        CollectingLogger logger;
        IoStream empty(pictureBody(3, "image/png", "", QByteArray()), QIODevice::ReadOnly);
        try {
            FlacStreamIo::readPictureBlock(&empty, nullptr);
            QFAIL("no exception");
        } catch (Exception &e) {
            QCOMPARE(e.code, 0u);
        }
        QVERIFY(logger.codes.contains(quint32(FlacStreamIo::PictureWithoutData)));

        // Lengths beyond the data fail before anything is allocated.
        IoStream huge(be32(3) + be32(0xFFFFFFF0) + "image", QIODevice::ReadOnly);
        QVERIFY_THROWS_EXCEPTION(Exception, FlacStreamIo::readPictureBlock(&huge, nullptr));
        IoStream hugeData(pictureBody(3, "image/png", "", "x").chopped(5) + be32(0x7FFFFFFF) + "x", QIODevice::ReadOnly);
        QVERIFY_THROWS_EXCEPTION(Exception, FlacStreamIo::readPictureBlock(&hugeData, nullptr));

        ArtworkTagItem none;
        IoStream out(QIODevice::ReadWrite);
        QVERIFY_THROWS_EXCEPTION(Exception, FlacStreamIo::writePictureBlock(&out, &none));
    }

    void linkedPicturePath()
    {
        IoStream in(pictureBody(3, "-->", "", "covers\\front.jpg"), QIODevice::ReadOnly);
        in.setName(QStringLiteral("/nonexistent/music/a.flac"));
        std::unique_ptr<ArtworkTagItem> item(FlacStreamIo::readPictureBlock(&in, nullptr));
        QCOMPARE(item->linkedFile(), QStringLiteral("covers/front.jpg"));
    }

    void properties()
    {
        const QByteArray file = "fLaC" + block(0, streamInfo(), true) + audio;
        IoStream stream(file, QIODevice::ReadOnly);
        const AudioProperties p = io()->readAudioProperties(&stream, nullptr);
        QVERIFY(p.valid);
        QCOMPARE(p.sampleRate, 44100);
        QCOMPARE(p.channels, 2);
        QCOMPARE(p.bitsPerSample, 16);
        QCOMPARE(p.duration, 2000);
        QCOMPARE(p.audioSize, qint64(audio.size()));
        QCOMPARE(p.bitrate, int(audio.size() * 8 / 2));
        QCOMPARE(p.container, 0);

        IoStream notFlac(QByteArray("OggS") + QByteArray(50, char(0)), QIODevice::ReadOnly);
        QVERIFY_THROWS_EXCEPTION(Exception, io()->readAudioProperties(&notFlac, nullptr));
    }

    void blockListEnds_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QList<int>>("types");
        QTest::addColumn<qint64>("audioStart");
        const QByteArray info = block(0, streamInfo());
        QTest::newRow("last-block flag") << ("fLaC" + info + block(1, "pad", true) + audio) << QList<int>{0, 1}
                                         << qint64(4 + 38 + 7);
        QTest::newRow("no flag, frames follow") << ("fLaC" + info + block(1, "pad") + audio) << QList<int>{0, 1}
                                                << qint64(4 + 38 + 7);
        QTest::newRow("no flag, data ends") << ("fLaC" + info) << QList<int>{0} << qint64(4 + 38);
        QTest::newRow("last block cut short") << ("fLaC" + info + block(2, QByteArray(100, 'x')).left(14))
                                              << QList<int>{0, 2} << qint64(4 + 38 + 14);
    }
    void blockListEnds()
    {
        QFETCH(QByteArray, file);
        QFETCH(QList<int>, types);
        QFETCH(qint64, audioStart);
        IoStream stream(file, QIODevice::ReadOnly);
        FlacStreamIo::checkSignature(&stream);
        QCOMPARE(typesOf(FlacStreamIo::readBlocks(&stream)), types);
        QCOMPARE(stream.pos(), audioStart);
    }

    void manyBlocksStop()
    {
        QByteArray file = "fLaC" + block(0, streamInfo());
        for (int i = 0; i < FlacStreamIo::MaxBlockCount + 5; ++i)
            file += block(2, QByteArray());
        QCOMPARE(blocksOf(file).size(), FlacStreamIo::MaxBlockCount);
    }

    void padding_data()
    {
        QTest::addColumn<int>("oldTotal");
        QTest::addColumn<int>("newTotal");
        QTest::addColumn<int>("padding");
        QTest::newRow("surplus becomes padding") << 10000 << 6000 << 4000;
        QTest::newRow("no room: preferred size") << 10000 << 9998 << 2048;
        QTest::newRow("surplus above the maximum") << 20000 << 6000 << 2048;
        QTest::newRow("exact fit: no padding") << 10000 << 10000 << 0;
        QTest::newRow("room for an empty padding block") << 10000 << 9996 << 4;
        QTest::newRow("grows without padding") << 5000 << 5012 << 2048;
    }
    void padding()
    {
        QFETCH(int, oldTotal);
        QFETCH(int, newTotal);
        QFETCH(int, padding);
        // Old: STREAMINFO (38 bytes), an application block, padding if any. New: the same
        // with an empty comment block (12 bytes) instead of the padding.
        const int application = newTotal - 38 - 4 - 12;
        const int oldPadding = oldTotal - 38 - 4 - application;
        QList<FlacMetadataBlock> blocks = {{-1, 0, streamInfo()}, {-1, 2, QByteArray(application, 'a')}};
        if (oldPadding > 0)
            blocks.append({-1, 1, QByteArray(oldPadding - 4, char(0))});
        IoStream name(QIODevice::ReadOnly);
        FlacStreamIo::rewriteBlocks(&name, blocks, nullptr, FlacSettings(), true);
        QCOMPARE(typesOf(blocks).mid(0, 3), QList<int>({0, 4, 2}));
        qint64 total = 0;
        for (const FlacMetadataBlock &b : blocks)
            total += 4 + b.data.size();
        const int added = blocks.last().type == FlacMetadataBlock::Padding ? int(blocks.last().data.size()) + 4 : 0;
        QCOMPARE(added, padding);
        QCOMPARE(total, qint64(newTotal + padding));
    }

    void blockOrder()
    {
        const QByteArray file = "fLaC" + block(0, streamInfo()) + block(3, QByteArray(18, 's'))
                                + block(4, commentPacket("ref", {"TITLE=old"})) + block(6, pictureBody(3, "image/jpeg", "", "x"))
                                + block(1, QByteArray(100, 0), true) + audio;
        AudioTag tag;
        tag.addItem(new TitleTagItem(QStringLiteral("new")));
        tag.addItem(new ArtworkTagItem(CodedImage(jpegBytes(2, 2)), 3, QString()));
        tag.addItem(new ArtworkTagItem(CodedImage(), 4, QString())); // cannot be written: left out
        tag.addItem(new ArtworkTagItem(CodedImage(jpegBytes(3, 3)), 4, QString()));
        IoStream stream(file, QIODevice::ReadWrite);
        io()->writeTags(&stream, &tag, {}, nullptr);
        const QByteArray written = stream.data();
        QCOMPARE(typesOf(blocksOf(written)), QList<int>({0, 4, 6, 6, 3, 1}));
        QVERIFY(written.endsWith(audio));
        // Pictures are blocks of their own, never comment fields; the vendor stays.
        QByteArray vendor;
        QCOMPARE(commentFields(blocksOf(written)[1].data, &vendor), QStringList({"TITLE=new"}));
        QCOMPARE(vendor, QByteArray("ref"));
        const auto back = readTag(written);
        QCOMPARE(back->itemText(TagItemType::Title), QStringLiteral("new"));
        QCOMPARE(back->itemCount(ArtworkTagItem::Type), 2);
        QCOMPARE(back->tagInfo()->offset(), qint64(4 + 38));
    }

    void writeKeepsSizeAndRemoves()
    {
        const QByteArray file = "fLaC" + block(0, streamInfo()) + block(4, commentPacket("ref", {"TITLE=some title"}))
                                + block(1, QByteArray(1000, 0), true) + audio;
        IoStream stream(file, QIODevice::ReadWrite);
        AudioTag tag;
        tag.addItem(new TitleTagItem(QStringLiteral("t")));
        io()->writeTags(&stream, &tag, {}, nullptr);
        QCOMPARE(stream.size(), qint64(file.size()));
        QVERIFY(stream.data().endsWith(audio));

        stream.seek(0);
        io()->removeTags(&stream, {}, nullptr);
        QCOMPARE(stream.size(), qint64(file.size()));
        QCOMPARE(typesOf(blocksOf(stream.data())), QList<int>({0, 1}));
        QVERIFY(!readTag(stream.data()));

        // Other tag types are not this reader's business.
        stream.seek(0);
        io()->writeTags(&stream, &tag, {TagType::Id3v2}, nullptr);
        QCOMPARE(typesOf(blocksOf(stream.data())), QList<int>({0, 1}));
    }

    void damagedBlocks()
    {
        // A comment block whose vendor length runs past its body: the tag comes from the
        // picture, and the file can still be saved, with an empty vendor.
        const QByteArray brokenComment = le32(5000) + "vendor";
        const QByteArray file = "fLaC" + block(0, streamInfo()) + block(4, brokenComment)
                                + block(6, pictureBody(3, "image/png", "", QByteArray()))
                                + block(6, pictureBody(4, "image/jpeg", "", jpegBytes(2, 2))) + block(1, QByteArray(10, 0), true)
                                + audio;
        const auto tag = readTag(file);
        QVERIFY(tag);
        QCOMPARE(tag->itemCount(ArtworkTagItem::Type), 1);
        QCOMPARE(static_cast<ArtworkTagItem *>(tag->item(ArtworkTagItem::Type))->pictureType, 4);

        IoStream stream(file, QIODevice::ReadWrite);
        io()->writeTags(&stream, tag.get(), {}, nullptr);
        QByteArray vendor = "unset";
        commentFields(blocksOf(stream.data())[1].data, &vendor);
        QVERIFY(vendor.isEmpty());
        QVERIFY(stream.data().endsWith(audio));
    }

    void oggMapping()
    {
        const QByteArray head = QByteArray("\x7F" "FLAC\x01\x00\x00\x01" "fLaC", 13) + block(0, streamInfo());
        QList<QByteArray> packets = {head, block(4, commentPacket("ref", {"TITLE=t"}), true)};
        IoStream file(QIODevice::ReadWrite);
        file.setName(QStringLiteral("/music/a.oga"));
        QObject parent;
        QList<AudioTag *> tags = io()->readTags(&file, packets, {}, nullptr, &parent);
        QCOMPARE(tags.size(), 1);
        QCOMPARE(tags[0]->itemText(TagItemType::Title), QStringLiteral("t"));
        QVERIFY(!tags[0]->tagInfo()->values.contains(TagInfo::OffsetKey));

        AudioTag tag;
        tag.addItem(new ArtworkTagItem(CodedImage(jpegBytes(2, 2)), 3, QString()));
        io()->writeTags(&file, packets, &tag, {}, nullptr);
        QCOMPARE(qFromBigEndian<quint16>(packets[0].constData() + 7), quint16(packets.size() - 1));
        QVERIFY(packets[0].startsWith(head.left(7)));

        // Removing keeps the comment block the mapping requires, with its vendor.
        io()->removeTags(&file, packets, {}, nullptr);
        QCOMPARE(packets.size(), 3); // STREAMINFO, comment, padding
        QCOMPARE(quint8(packets[1].at(0)) & 0x7F, 4);
        QByteArray vendor;
        QCOMPARE(commentFields(packets[1].mid(4), &vendor), QStringList());
        QCOMPARE(vendor, QByteArray("ref"));
        QCOMPARE(qFromBigEndian<quint16>(packets[0].constData() + 7), quint16(2));

        const AudioProperties p = io()->readAudioProperties(packets, 1000, 900);
        QCOMPARE(p.container, 1);
        QCOMPARE(p.duration, 2000);

        QList<QByteArray> version2 = {QByteArray("\x7F" "FLAC\x02\x00\x00\x01" "fLaC", 13) + block(0, streamInfo())};
        try {
            io()->readTags(&file, version2, {}, nullptr, &parent);
            QFAIL("no exception");
        } catch (Exception &e) {
            QCOMPARE(e.code, quint32(FlacStreamIo::OggUnknownVersion));
        }
    }

    void headerPages()
    {
        OggPage page;
        QVERIFY(io()->isHeaderPage(5, &page));
        page.setData(QByteArray::fromHex("fff8"));
        QVERIFY(!io()->isHeaderPage(0, &page));
        page.setContinued(true);
        QVERIFY(io()->isHeaderPage(0, &page));
        page.setContinued(false);
        page.setData(QByteArray::fromHex("04"));
        QVERIFY(io()->isHeaderPage(0, &page));
        QCOMPARE(io()->magic(), QByteArray("\x7F" "FLAC\x01"));
    }
};

QTEST_GUILESS_MAIN(TestFlac)
#include "tst_flac.moc"
