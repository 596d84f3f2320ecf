#include <QtTest>

#include "libcore/io/iostream.h"
#include "libcore/locale/localetables.h"
#include "libcore/log/exception.h"
#include "libcore/settings/settingsstore.h"
#include "libcore/text/textcodec.h"
#include "libcore/util/partialdatetime.h"
#include "libtagging/id3/id3v2tagio.h"
#include "libtagging/id3/id3v2unknownframetagitem.h"
#include "libtagging/model/artworktagitem.h"
#include "libtagging/model/audiotag.h"
#include "libtagging/model/commenttagitem.h"
#include "libtagging/model/disctoctagitem.h"
#include "libtagging/model/lyricstagitem.h"
#include "libtagging/model/plaintagitems.h"
#include "libtagging/model/synchronizedlyricstagitem.h"
#include "libtagging/model/taginfo.h"
#include "libtagging/model/unknownid3v2datatagitem.h"
#include "libtagging/model/userdefinedlinktagitem.h"
#include "libtagging/model/userdefinedtexttagitem.h"
#include "libtagging/model/volumeadjustmenttagitem.h"
#include "support_tags.h"
#include "support_bytebuilder.h"

#include <memory>

namespace {
QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

Id3v2Settings settingsFor(int version, int textEncoding = 6, bool useUnsync = false)
{
    Id3v2Settings s;
    s.version = version;
    s.textEncoding = textEncoding;
    s.useUnsync = useUnsync;
    return s;
}

QByteArray synchsafeBytes(int value)
{
    return be32(Id3v2TagIo::encodeSynchsafe(value));
}

// Frames and tags built byte by byte, so a test shows the bytes that matter.
QByteArray frame22(const QByteArray &id, const QByteArray &data)
{
    const int n = int(data.size());
    return id + char(n >> 16) + char(n >> 8) + char(n) + data;
}

QByteArray frame23(const QByteArray &id, const QByteArray &data, int status = 0, int format = 0)
{
    return id + be32(quint32(data.size())) + char(status) + char(format) + data;
}

QByteArray frame24(const QByteArray &id, const QByteArray &data, int format = 0)
{
    return id + synchsafeBytes(int(data.size())) + '\0' + char(format) + data;
}

// A text frame body: encoding byte 0 and the texts, each terminated.
QByteArray text(const QByteArray &texts)
{
    return '\0' + texts + '\0';
}

QByteArray tagBytes(int version, const QByteArray &frames, int flags = 0, int padding = 0)
{
    return QByteArray("ID3") + char(version) + '\0' + char(flags) + synchsafeBytes(int(frames.size()) + padding) + frames
           + QByteArray(padding, '\0');
}

std::unique_ptr<AudioTag> readTag(const QByteArray &bytes, const Id3v2Settings &settings = Id3v2Settings(),
                                  const QString &name = QString())
{
    IoStream stream(bytes, QIODevice::ReadOnly);
    stream.setName(name);
    TagInfo *info = Id3v2TagIo::instance()->detect(&stream, true, nullptr);
    if (!info)
        return nullptr;
    stream.seek(info->values.value(TagInfo::DataOffsetKey).toLongLong());
    return std::unique_ptr<AudioTag>(Id3v2TagIo::readTag(&stream, info, settings, nullptr));
}

QByteArray renderTag(const AudioTag *tag, const Id3v2Settings &settings)
{
    IoStream out(QIODevice::ReadWrite);
    Id3v2TagIo::renderTag(&out, tag, settings);
    return out.data();
}

Id3v2Settings taggingSettings(int version, int textEncoding = 6)
{
    Id3v2Settings settings;
    settings.version = version;
    settings.textEncoding = textEncoding;
    settings.preferredPaddingSize = 0;
    return settings;
}

quint32 codeOf(const std::function<void()> &f)
{
    try {
        f();
    } catch (const Exception &e) {
        return e.code;
    }
    return 0;
}
} // namespace

class TestId3v2 : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        // Language codes are looked up in the tables of the core package.
        QVERIFY(QResource::registerResource(QCoreApplication::applicationDirPath() + "/libcore.rcc",
                                            QStringLiteral(":/libcore")));
    }

    void languagesOfCommentsAndLyrics()
    {
        const QByteArray comment = frame23("COMM", QByteArray("\0fra", 4) + QByteArray("desc\0", 5) + "bonjour");
        const QByteArray lyrics = frame23("USLT", QByteArray("\0deu", 4) + QByteArray("\0", 1) + "la la");
        const auto tag = readTag(tagBytes(3, comment + lyrics), taggingSettings(3));
        QVERIFY(tag);
        const auto *commentItem = static_cast<const CommentTagItem *>(tag->item(TagItemType::Comment));
        QVERIFY(commentItem);
        QCOMPARE(commentItem->language.iso639_1, QStringLiteral("fr"));
        const auto *lyricsItem = static_cast<const LyricsTagItem *>(tag->item(TagItemType::Lyrics));
        QVERIFY(lyricsItem);
        QCOMPARE(lyricsItem->language.iso639_2T, QStringLiteral("deu"));
    }

    // Comments, lyrics and synchronised lyrics are written with their own language, and an
    // item without one gets three zero bytes.
    void languagesWritten()
    {
        const std::unique_ptr<AudioTag> tag(makeTag(
            3, {new CommentTagItem("bonjour", "desc", languageByCode("fra")), new LyricsTagItem("la la", QString()),
                new SynchronizedLyricsTagItem(languageByCode("spa"), QString(), 1, {{"hola", 500}})}));
        const QByteArray bytes = renderTag(tag.get(), taggingSettings(3));
        QVERIFY(bytes.contains(frame23("COMM", QByteArray("\0fradesc\0bonjour\0", 17))));
        QVERIFY(bytes.contains(frame23("USLT", QByteArray("\0\0\0\0\0la la\0", 11))));
        QVERIFY(bytes.contains(frame23("SYLT", QByteArray("\0spa\0\1\0hola\0\0\0\x01\xf4", 16))));
        const auto back = readTag(bytes, taggingSettings(3));
        QCOMPARE(static_cast<const CommentTagItem *>(back->item(TagItemType::Comment))->language.iso639_2T,
                 QStringLiteral("fra"));
        QCOMPARE(static_cast<const SynchronizedLyricsTagItem *>(back->item(TagItemType::SynchronizedLyrics))
                     ->language.iso639_2T,
                 QStringLiteral("spa"));
    }

    // The CD table of contents travels as the binary READ TOC response in MCDI.
    void discToc_data()
    {
        QTest::addColumn<int>("version");
        QTest::newRow("2.2") << 2;
        QTest::newRow("2.3") << 3;
        QTest::newRow("2.4") << 4;
    }
    void discToc()
    {
        QFETCH(int, version);
        auto *toc = new DiscTocTagItem;
        toc->firstTrack = 1;
        toc->lastTrack = 2;
        DiscTocTrack first;
        first.address = 150;
        DiscTocTrack second;
        second.number = 2;
        second.address = 20000;
        DiscTocTrack leadOut;
        leadOut.number = DiscTocTagItem::LeadOutTrack;
        leadOut.address = 40000;
        toc->tracks = {first, second, leadOut};
        const std::unique_ptr<AudioTag> tag(makeTag(3, {toc}));
        const QByteArray bytes = renderTag(tag.get(), taggingSettings(version));
        QVERIFY(bytes.contains(version == 2 ? QByteArray("MCI") : QByteArray("MCDI")));
        QVERIFY(bytes.contains(toc->toBinary()));
        const auto back = readTag(bytes, taggingSettings(version));
        QCOMPARE(back->items(TagItemType::DiscToc).size(), 1);
        QVERIFY(back->item(TagItemType::DiscToc)->equals(toc));
    }
    void discTocUnreadable()
    {
        // Bytes that are no table of contents stay the frame they were.
        const auto tag = readTag(tagBytes(3, frame23("MCDI", QByteArray("\x00\x01\xff", 3))));
        QVERIFY(!tag->contains(TagItemType::DiscToc));
        QCOMPARE(tag->items(UnknownId3v2DataTagItem::Type).size(), 1);
        QCOMPARE(renderTag(tag.get(), taggingSettings(3)).mid(10), frame23("MCDI", QByteArray("\x00\x01\xff", 3)));
    }

    // A single artist is written as TPE1 and again in the "Artists" text; reading gives one
    // artist, while several artists keep the joint text and each name.
    void artistsExtraText_data()
    {
        QTest::addColumn<QStringList>("artists");
        QTest::addColumn<QStringList>("readBack");
        QTest::newRow("one") << QStringList{"X"} << QStringList{"X"};
        QTest::newRow("joint and names") << QStringList{"A & B", "A", "B"} << QStringList{"A & B", "A", "B"};
    }
    void artistsExtraText()
    {
        QFETCH(QStringList, artists);
        QFETCH(QStringList, readBack);
        QList<TagItem *> items;
        for (const QString &artist : artists)
            items.append(makeItem(ArtistTagItem::Type, artist));
        const std::unique_ptr<AudioTag> tag(makeTag(3, items));
        const QByteArray bytes = renderTag(tag.get(), taggingSettings(3));
        QVERIFY(bytes.contains("Artists"));
        QCOMPARE(readTag(bytes, taggingSettings(3))->itemTexts(ArtistTagItem::Type), readBack);
        // Whatever order the frames come in.
        const QByteArray swapped = tagBytes(3, frame23("TXXX", QByteArray("\0Artists\0X", 10)) + frame23("TPE1", text("X")));
        QCOMPARE(readTag(swapped)->itemTexts(ArtistTagItem::Type), QStringList{"X"});
    }

    void flagsOfAnyUnknownFrameItem()
    {
        // The writer finds the flags of unknown frames whichever class made the item.
        Id3v2FrameFlags flags;
        flags.grouping = true;
        flags.groupId = 9;
        const UnknownId3v2DataTagItem item(QStringLiteral("XYZW"), flags, QByteArray("x"));
        QCOMPARE(Id3v2UnknownFrameTagItem::flagsOf(&item), flags);
        QCOMPARE(Id3v2UnknownFrameTagItem::flagsOf(nullptr), Id3v2FrameFlags());
    }

    void synchsafe_data()
    {
        QTest::addColumn<quint32>("encoded");
        QTest::addColumn<int>("value");
        QTest::newRow("257") << 0x00000201u << 257;
        QTest::newRow("largest") << 0x7F7F7F7Fu << 0x0FFFFFFF;
        QTest::newRow("zero") << 0u << 0;
        QTest::newRow("one bit per byte") << 0x01010101u << (1 << 21 | 1 << 14 | 1 << 7 | 1);
    }
    void synchsafe()
    {
        QFETCH(quint32, encoded);
        QFETCH(int, value);
        QCOMPARE(Id3v2TagIo::decodeSynchsafe(encoded), value);
        QCOMPARE(Id3v2TagIo::encodeSynchsafe(value), encoded);
        QCOMPARE(Id3v2TagIo::decodeSizeField(encoded), value);
    }
    void synchsafeLimits()
    {
        QCOMPARE(codeOf([] { Id3v2TagIo::encodeSynchsafe(0x10000000); }), quint32(Id3v2TagIo::SizeTooLarge));
        QCOMPARE(codeOf([] { Id3v2TagIo::encodeSynchsafe(-1); }), quint32(Id3v2TagIo::SizeTooLarge));
        // A byte with bit 7 set: some writers store plain numbers.
        QCOMPARE(Id3v2TagIo::decodeSizeField(0x00000080u), 128);
        QVERIFY(Id3v2TagIo::decodeSizeField(0x80000000u) < 0);
    }

    void unsynchronisation_data()
    {
        QTest::addColumn<QByteArray>("plain");
        QTest::addColumn<QByteArray>("unsynchronised");
        QTest::addColumn<bool>("changed");
        QTest::newRow("sync pattern") << hex("ffe0") << hex("ff00e0") << true;
        QTest::newRow("last byte ff") << hex("41ff") << hex("41ff00") << true;
        QTest::newRow("existing zero doubled") << hex("ff00fff0") << hex("ff0000ff00f0") << true;
        QTest::newRow("nothing false") << hex("41ff0042") << hex("41ff0042") << false;
        QTest::newRow("ff before low byte") << hex("ff41") << hex("ff41") << false;
        QTest::newRow("empty") << QByteArray() << QByteArray() << false;
    }
    void unsynchronisation()
    {
        QFETCH(QByteArray, plain);
        QFETCH(QByteArray, unsynchronised);
        QFETCH(bool, changed);
        QByteArray data = plain;
        QCOMPARE(Id3v2TagIo::applyUnsynchronisation(data), changed);
        QCOMPARE(data, unsynchronised);
        Id3v2TagIo::removeUnsynchronisation(data);
        if (changed)
            QCOMPARE(data, plain);
    }
    void removeUnsynchronisation_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QByteArray>("result");
        QTest::newRow("one zero dropped") << hex("ff0000ff") << hex("ff00ff");
        QTest::newRow("before sync byte") << hex("ff00e0") << hex("ffe0");
        QTest::newRow("last ff stays") << hex("41ff") << hex("41ff");
        QTest::newRow("run of ff 00") << hex("ff00ff00ff00") << hex("ffffff");
    }
    void removeUnsynchronisation()
    {
        QFETCH(QByteArray, data);
        QFETCH(QByteArray, result);
        Id3v2TagIo::removeUnsynchronisation(data);
        QCOMPARE(data, result);
    }

    void convertFrameId_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<int>("version");
        QTest::addColumn<QString>("result");
        QTest::newRow("2.2 to 2.3") << "TYE" << 3 << "TYER";
        QTest::newRow("dropped 2.3 frame kept in 2.4") << "TYER" << 4 << "TYER";
        QTest::newRow("no 2.2 spelling") << "TDRC" << 2 << "";
        QTest::newRow("IPLS to 2.4") << "IPLS" << 4 << "TIPL";
        QTest::newRow("TIPL to 2.3") << "TIPL" << 3 << "IPLS";
        QTest::newRow("RVAD not in 2.4") << "RVAD" << 4 << "";
        QTest::newRow("2.4 frame written in 2.3") << "TDRC" << 3 << "TDRC";
        QTest::newRow("unknown stays in 2.4") << "XABC" << 4 << "XABC";
        QTest::newRow("unknown cannot enter 2.2") << "XABC" << 2 << "";
        QTest::newRow("unknown 2.2 id stays") << "XYZ" << 2 << "XYZ";
        QTest::newRow("unknown 2.2 id cannot leave") << "XYZ" << 3 << "";
        QTest::newRow("lower-case unknown") << "xabc" << 4 << "";
        QTest::newRow("table lookup trims and upper-cases") << " tit2 " << 2 << "TT2";
        QTest::newRow("validity sees the blank") << " XABC" << 4 << "";
        QTest::newRow("version 5") << "TIT2" << 5 << "";
        QTest::newRow("blank id matches no empty cell") << "    " << 4 << "";
    }
    void convertFrameId()
    {
        QFETCH(QString, id);
        QFETCH(int, version);
        QFETCH(QString, result);
        QCOMPARE(Id3v2TagIo::convertFrameId(id, version), result);
    }
    void frameIdTable()
    {
        const auto &rows = Id3v2TagIo::frameIdTable();
        QCOMPARE(rows.size(), 104);
        QSet<QString> ids;
        for (const Id3v2FrameIdRow &row : rows) {
            for (const QString &id : {row.id22, row.id23, row.id24}) {
                if (!id.isEmpty())
                    ids.insert(id);
            }
            // Every row converts to itself in each version.
            if (!row.id23.isEmpty()) {
                QCOMPARE(Id3v2TagIo::convertFrameId(row.id23, 2), row.id22);
                QCOMPARE(Id3v2TagIo::convertFrameId(row.id23, 4), row.id24);
            }
        }
        QCOMPARE(ids.size(), 183);
        QVERIFY(!Id3v2TagIo::isValidFrameId("TIT2", 2));
        QVERIFY(Id3v2TagIo::isValidFrameId("TT2 ", 3));
        QVERIFY(!Id3v2TagIo::isValidFrameId("TiT2", 3));
    }

    void frameBytes_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<bool>("useUnsync");
        QTest::addColumn<QString>("id");
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QByteArray>("frame");
        QTest::newRow("2.2 renames, 3-byte size") << 2 << false << "TIT2" << hex("0041") << hex("545432000002" "0041");
        QTest::newRow("2.2 without spelling") << 2 << false << "TDRC" << hex("00") << QByteArray();
        QTest::newRow("2.3 plain size") << 3 << false << "TIT2" << QByteArray(200, 'a')
                                        << hex("54495432000000c80000") + QByteArray(200, 'a');
        QTest::newRow("2.4 synchsafe size") << 4 << false << "TIT2" << QByteArray(200, 'a')
                                            << hex("54495432000001480000") + QByteArray(200, 'a');
        QTest::newRow("2.4 unsync, nothing to do") << 4 << true << "TIT2" << hex("0041") << hex("544954320000000200000041");
        QTest::newRow("2.4 unsync applied") << 4 << true << "TIT2" << hex("ffe0") << hex("5449543200000003" "0002" "ff00e0");
        QTest::newRow("2.3 ignores unsync") << 3 << true << "TIT2" << hex("ffe0") << hex("5449543200000002" "0000" "ffe0");
    }
    void frameBytes()
    {
        QFETCH(int, version);
        QFETCH(bool, useUnsync);
        QFETCH(QString, id);
        QFETCH(QByteArray, data);
        QFETCH(QByteArray, frame);
        const Id3v2Settings s = settingsFor(version, 6, useUnsync);
        QCOMPARE(Id3v2TagIo::frameBytes(id, data, &s).toHex(), frame.toHex());
    }
    void frameFlags()
    {
        Id3v2FrameFlags flags;
        flags.compression = true;
        flags.dataLength = 1000;
        flags.encryption = true;
        flags.encryptionMethod = 2;
        flags.grouping = true;
        flags.groupId = 5;
        flags.readOnly = true;
        const Id3v2Settings v3 = settingsFor(3);
        QCOMPARE(Id3v2TagIo::frameBytes("XYZW", "zz", &v3, &flags).toHex(),
                 hex("58595a57" "00000008" "20e0" "000003e8" "02" "05").toHex() + QByteArray("7a7a"));
        flags.dataLengthIndicator = true;
        const Id3v2Settings v4 = settingsFor(4);
        QCOMPARE(Id3v2TagIo::frameBytes("XYZW", "zz", &v4, &flags).toHex(),
                 hex("58595a57" "00000008" "104d" "05" "02" "00000768").toHex() + QByteArray("7a7a"));
        const Id3v2Settings v5 = settingsFor(5);
        QCOMPARE(codeOf([&] { Id3v2TagIo::frameBytes("TIT2", "a", &v5); }), quint32(Id3v2TagIo::InvalidVersion));
    }

    void codecChoice_data()
    {
        QTest::addColumn<int>("option");
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<int>("mib");
        QTest::addColumn<bool>("withBom");
        const QString latin = QStringLiteral("caf\u00e9");
        const QString wide = QStringLiteral("\u0141\u00f3d\u017a");
        QTest::newRow("0") << 0 << QStringList{wide} << 4 << false;
        QTest::newRow("1") << 1 << QStringList{latin} << 106 << false;
        QTest::newRow("2") << 2 << QStringList{latin} << 1014 << true;
        QTest::newRow("3") << 3 << QStringList{latin} << 1013 << true;
        QTest::newRow("4 fits") << 4 << QStringList{latin} << 4 << false;
        QTest::newRow("4 wide") << 4 << QStringList{latin, wide} << 106 << false;
        QTest::newRow("5 empty list") << 5 << QStringList{} << 4 << false;
        QTest::newRow("5 wide") << 5 << QStringList{wide} << 1014 << true;
        QTest::newRow("6 latin with accent") << 6 << QStringList{latin, "x"} << 4 << false;
        QTest::newRow("6 wide") << 6 << QStringList{latin, wide} << 1013 << true;
    }
    void codecChoice()
    {
        QFETCH(int, option);
        QFETCH(QStringList, texts);
        QFETCH(int, mib);
        QFETCH(bool, withBom);
        const Id3v2Settings s = settingsFor(3, option);
        bool bom = !withBom;
        QCOMPARE(Id3v2TagIo::codecForTexts(texts, &bom, &s)->mib(), mib);
        QCOMPARE(bom, withBom);
    }
    void codecChoiceRefusesUnknownOption()
    {
        const Id3v2Settings s = settingsFor(3, 7);
        bool bom = false;
        QCOMPARE(codeOf([&] { Id3v2TagIo::codecForText("a", &bom, &s); }), quint32(Id3v2TagIo::InvalidTextEncoding));
    }
    void encodingBytes()
    {
        QCOMPARE(Id3v2TagIo::codecForEncodingByte(0)->mib(), 4);
        QCOMPARE(Id3v2TagIo::codecForEncodingByte(1)->mib(), 1015);
        QCOMPARE(Id3v2TagIo::codecForEncodingByte(2)->mib(), 1013);
        QCOMPARE(Id3v2TagIo::codecForEncodingByte(3)->mib(), 106);
        QCOMPARE(Id3v2TagIo::codecForEncodingByte(9)->mib(), 4);
    }

    void codeTexts_data()
    {
        QTest::addColumn<bool>("media");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("text");
        QTest::newRow("MPG/3") << false << "MPG/3" << "MP3";
        QTest::newRow("unknown file type") << false << "VQF" << "VQF";
        QTest::newRow("refinement dropped") << true << "TT/45" << "Vinyl";
        QTest::newRow("CD") << true << "CD" << "CD";
        QTest::newRow("prefix needs slash") << true << "DIGITAL" << "DIGITAL";
        QTest::newRow("case-sensitive") << true << "cd" << "cd";
    }
    void codeTexts()
    {
        QFETCH(bool, media);
        QFETCH(QString, code);
        QFETCH(QString, text);
        QCOMPARE(media ? Id3v2TagIo::mediaTypeFromCode(code) : Id3v2TagIo::fileTypeFromCode(code), text);
    }

    void detect_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("dataSize");
        const QByteArray frames = frame23("TIT2", text("T"));
        QTest::newRow("2.3") << tagBytes(3, frames) + "audio" << int(10 + frames.size()) << int(frames.size());
        QTest::newRow("version 5") << tagBytes(5, frames) << -1 << 0;
        QTest::newRow("size past the stream") << tagBytes(3, frames).left(15) << -1 << 0;
        QTest::newRow("size with the top bit set") << QByteArray("ID3\3\0\0\x80\0\0\0", 10) + QByteArray(64, '\0') << -1 << 0;
        QTest::newRow("plain size byte") << QByteArray("ID3\3\0\0\0\0\0\x80", 10) + QByteArray(128, '\0') << 138 << 128;
        QTest::newRow("2.4 with footer") << tagBytes(4, frames, 0x10) + "3DI" + QByteArray(7, '\0') << int(20 + frames.size())
                                         << int(frames.size());
        QTest::newRow("too short") << QByteArray("ID3\3\0\0\0\0") << -1 << 0;
    }
    void detect()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, size);
        QFETCH(int, dataSize);
        IoStream stream(bytes, QIODevice::ReadOnly);
        std::unique_ptr<TagInfo> info(Id3v2TagIo::instance()->detect(&stream, true, nullptr));
        QCOMPARE(info ? info->size() : -1, size);
        if (info) {
            QCOMPARE(info->tagType(), 3);
            QCOMPARE(info->values.value(TagInfo::DataSizeKey).toInt(), dataSize);
            QCOMPARE(info->values.value(TagInfo::RawDataKey).toByteArray(), bytes.left(size));
            QVERIFY(info->isPrepended());
        }
    }
    void detectByFooter()
    {
        const QByteArray frames = frame24("TIT2", text("T"));
        QByteArray tag = tagBytes(4, frames, 0x10);
        tag += "3DI" + tag.mid(3, 7);
        const QByteArray bytes = "audio" + tag;
        IoStream stream(bytes, QIODevice::ReadOnly);
        stream.seek(bytes.size());
        std::unique_ptr<TagInfo> info(Id3v2TagIo::instance()->detect(&stream, false, nullptr));
        QVERIFY(info);
        QCOMPARE(info->offset(), qint64(5));
        QVERIFY(!info->isPrepended());
        QCOMPARE(info->values.value(TagInfo::RawDataKey).toByteArray(), tag);
        // The footer without its header is no tag.
        const QByteArray orphan = "audio" + tag.right(10);
        IoStream alone(orphan, QIODevice::ReadOnly);
        alone.seek(orphan.size());
        QVERIFY(!Id3v2TagIo::instance()->detect(&alone, false, nullptr));
    }

    void synchsafeFrameSizes_data()
    {
        QTest::addColumn<QByteArray>("frames");
        QTest::addColumn<bool>("synchsafe");
        QTest::newRow("plain 256 lands in the text")
            << QByteArray("TIT2") + be32(256) + QByteArray(2, '\0') + QByteArray(256, 'a') + QByteArray(20, '\0') << false;
        QTest::newRow("synchsafe 128 lands on padding")
            << QByteArray("TIT2") + synchsafeBytes(128) + QByteArray(2, '\0') + QByteArray(128, 'a') + QByteArray(20, '\0')
            << true;
        QTest::newRow("size byte with bit 7") << QByteArray("TIT2") + be32(0x80) + QByteArray(130, 'a') << false;
        QTest::newRow("last frame runs past the end")
            << frame24("TIT2", text("T")) + QByteArray("TPE1") + synchsafeBytes(500) + QByteArray(12, 'a') << true;
    }
    void synchsafeFrameSizes()
    {
        QFETCH(QByteArray, frames);
        QFETCH(bool, synchsafe);
        IoStream stream(frames, QIODevice::ReadOnly);
        QCOMPARE(Id3v2TagIo::hasSynchsafeFrameSizes(&stream), synchsafe);
        QCOMPARE(stream.pos(), qint64(0));
    }

    void read_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("writtenVersion");
        QTest::addColumn<QStringList>("items");
        const QByteArray title = frame23("TIT2", text("Title"));
        QTest::newRow("2.2 ids and dates")
            << tagBytes(2, frame22("TT2", text("T")) + frame22("TP1", text("A")) + frame22("TYE", text("2004"))
                               + frame22("TDA", text("0503")) + frame22("TIM", text("1415")))
            << 3 << QStringList{"104:T", "11:A", "94:2004-03-05 14:15"};
        QTest::newRow("padding") << tagBytes(3, title, 0, 2048) << 3 << QStringList{"104:Title"};
        QTest::newRow("lower-case id ends the frames")
            << tagBytes(3, title + frame23("tpe1", text("A")) + frame23("TPE2", text("B"))) << 3 << QStringList{"104:Title"};
        QTest::newRow("frame longer than the tag is cut")
            << tagBytes(3, title + QByteArray("TPE1") + be32(1000) + QByteArray(2, '\0') + text("Artist")) << 3
            << QStringList{"104:Title", "11:Artist"};
        QTest::newRow("frame size of 2 GiB keeps the frames before")
            << tagBytes(3, title + QByteArray("TPE1") + be32(0x80000000u) + QByteArray(2, '\0') + text("A")) << 3
            << QStringList{"104:Title"};
        QTest::newRow("extra bytes past the frame keep the frames before")
            << tagBytes(3, title + frame23("TPE1", "\x01\x02", 0, 0x80)) << 3 << QStringList{"104:Title"};
        QTest::newRow("zero-size frame skipped") << tagBytes(3, frame23("TPE1", "") + title) << 3 << QStringList{"104:Title"};
        QTest::newRow("blank id dropped") << tagBytes(3, frame23("    ", "xyz") + title) << 3 << QStringList{"104:Title"};
        QTest::newRow("two values in 2.4") << tagBytes(4, frame24("TPE1", text(QByteArray("A\0\0B", 4)))) << 4
                                           << QStringList{"11:A", "11:B"};
        QTest::newRow("slash splits a language in 2.3 only")
            << tagBytes(3, frame23("TLAN", text("eng/deu")) + frame23("TPE1", text("AC/DC"))) << 3
            << QStringList{"55:English", "55:German", "11:AC/DC"};
        QTest::newRow("no split when 2.4 is written") << tagBytes(3, frame23("TLAN", text("eng/deu"))) << 4
                                                      << QStringList{"55:"};
        QTest::newRow("BPM that is no whole number kept as text")
            << tagBytes(3, frame23("TBPM", text("128.5")) + frame23("TBPM", text("120"))) << 4
            << QStringList{"113:128.5", "19:120"};
        QTest::newRow("year frame that is no date kept as text")
            << tagBytes(3, frame23("TYER", text("2001-33-03T04:05")) + frame23("TORY", text("1999"))) << 3
            << QStringList{"113:2001-33-03T04:05", "71:1999"};
        QTest::newRow("date parts without a year") << tagBytes(3, frame23("TDAT", text("0503"))) << 3 << QStringList{};
        // Dates no calendar has: written as 2.3 parts, they would not all come back.
        QTest::newRow("date with day 93 kept as its frame")
            << tagBytes(3, frame23("TDRC", text("2001-02-93T04:05"))) << 3 << QStringList{"113:2001-02-93T04:05"};
        QTest::newRow("day and time that do not fit kept as their frames")
            << tagBytes(3, frame23("TYER", text("2001")) + frame23("TDAT", text("3002")) + frame23("TIME", text("2460")))
            << 3 << QStringList{"113:3002", "113:2460", "94:2001"};
        QTest::newRow("original year that is no date kept as text")
            << tagBytes(3, frame23("TXXX", text(QByteArray("originalyear\0" "1999-02-30", 23))))
            << 3 << QStringList{"121:1999-02-30"};
        QTest::newRow("original date that makes no date with the year kept as text")
            << tagBytes(4, frame24("TORY", text("2001")) + frame24("TXXX", text(QByteArray("originalyear\0" "2000-02-29", 23))))
            << 4 << QStringList{"121:2000-02-29", "71:2001"};
        QTest::newRow("podcast flag needs an address") << tagBytes(3, frame23("PCST", QByteArray(4, '\0'))) << 3
                                                       << QStringList{};
        QTest::newRow("genres") << tagBytes(3, frame23("TCON", text("(17)Rock (RX)"))) << 3
                                << QStringList{"48:Rock", "48:Rock", "48:Remix"};
        QTest::newRow("track pair") << tagBytes(3, frame23("TRCK", text("3/12"))) << 3 << QStringList{"108:3", "106:12"};
        QTest::newRow("user texts") << tagBytes(3, frame23("TXXX", text(QByteArray("MusicBrainz Artist Id\0a; b", 27)))
                                               + frame23("TXXX", text(QByteArray("TOTALTRACKS\0x1", 14)))
                                               + frame23("TXXX", text(QByteArray("Mine\0v", 6))))
                                    << 3 << QStringList{"12:a", "12:b", "121:x1", "121:v"};
        QTest::newRow("comment and iTunes comment")
            << tagBytes(3, frame23("COMM", QByteArray("\0eng\0text\0", 10)) + frame23("COMM", QByteArray("\0engiTunNORM\0 1\0", 16))
                               + frame23("COMM", QByteArray("\0eng\0  \0", 8)))
            << 3 << QStringList{"21:text", "121: 1"};
        QTest::newRow("involved people")
            << tagBytes(3, frame23("IPLS", text(QByteArray("producer\0Jane\0guitar\0Joe", 24)))) << 3
            << QStringList{"83:Jane", "51:guitar: Joe"};
        QTest::newRow("unknown text and data frames")
            << tagBytes(3, frame23("TRDA", text("x")) + frame23("XYZ1", "raw")) << 3
            << QStringList{"113:x", "112:"};
        QTest::newRow("UTF-16 terminator only at whole units")
            << tagBytes(3, frame23("TPE1", QByteArray("\x01\xff\xfe" "A\0\0\x01", 7)) + title) << 3
            << QStringList{QString::fromUtf8("11:A\u0100"), "104:Title"};
        QTest::newRow("frame too short for its layout kept unknown")
            << tagBytes(3, frame23("COMM", QByteArray("\0en", 3)) + title) << 3 << QStringList{"112:", "104:Title"};
        QTest::newRow("rating and counter")
            << tagBytes(3, frame23("POPM", QByteArray("a@b\0\x80\0\0\0\x05", 9))) << 3 << QStringList{"87:0.50", "76:5"};
    }
    void read()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, writtenVersion);
        QFETCH(QStringList, items);
        Id3v2Settings settings = taggingSettings(writtenVersion);
        const auto tag = readTag(bytes, settings);
        QVERIFY(tag);
        QStringList described;
        for (const TagItem *item : tag->itemList())
            described.append(QStringLiteral("%1:%2").arg(item->type()).arg(item->toString()));
        QCOMPARE(described, items);
    }
    void readUnsynchronisedAndExtended()
    {
        // 2.3: the whole body is unsynchronised, the extended header skipped.
        const QByteArray frame = frame23("TIT2", QByteArray("\0\xff\xe0x\0", 5));
        QByteArray body = be32(6) + QByteArray(6, '\0') + frame;
        Id3v2TagIo::applyUnsynchronisation(body);
        auto tag = readTag(QByteArray("ID3\3\0\xc0", 6) + synchsafeBytes(int(body.size())) + body);
        QCOMPARE(tag->itemText(TitleTagItem::Type), QStringLiteral("\u00ff\u00e0x"));
        // 2.4: unsynchronisation and a data length per frame.
        QByteArray data = synchsafeBytes(5) + QByteArray("\0\xff\xe0y\0", 5);
        Id3v2TagIo::applyUnsynchronisation(data);
        tag = readTag(tagBytes(4, frame24("TIT2", data, 0x03)));
        QCOMPARE(tag->itemText(TitleTagItem::Type), QStringLiteral("\u00ff\u00e0y"));
        // 2.4 ignores the header flag when no frame has its own.
        tag = readTag(tagBytes(4, frame24("TIT2", QByteArray("\0\xff\0z\0", 5)), 0x80));
        QCOMPARE(tag->itemText(TitleTagItem::Type), QStringLiteral("\u00ff"));
    }
    void readCompressedAndEncrypted()
    {
        const QByteArray body = text("Compressed title");
        const QByteArray zlib = qCompress(body).mid(4);
        auto tag = readTag(tagBytes(3, frame23("TIT2", be32(quint32(body.size())) + zlib, 0, 0x80)));
        QCOMPARE(tag->itemText(TitleTagItem::Type), QStringLiteral("Compressed title"));

        // Broken zlib data: kept whole, still flagged compressed, so writing it back loses nothing.
        tag = readTag(tagBytes(3, frame23("TIT2", be32(100) + "broken", 0, 0x80)));
        auto *unknown = dynamic_cast<Id3v2UnknownFrameTagItem *>(tag->item(UnknownId3v2DataTagItem::Type));
        QVERIFY(unknown);
        QCOMPARE(unknown->data, QByteArray("broken"));
        QVERIFY(unknown->flags.compression);
        QCOMPARE(unknown->flags.dataLength, 100);

        // A claimed size far beyond what the data inflates to allocates nothing of that size.
        tag = readTag(tagBytes(3, frame23("TIT2", be32(0xFFFFFFF0u) + zlib, 0, 0x80)));
        QCOMPARE(tag->itemText(TitleTagItem::Type), QStringLiteral("Compressed title"));
        // A bomb that inflates beyond the cap is kept as it was.
        const QByteArray bomb = qCompress(QByteArray(Id3v2TagIo::MaxInflatedSize + 1, 'a')).mid(4);
        QVERIFY(Id3v2TagIo::inflate(bomb).isEmpty());

        // 2.4 compression without a data length.
        tag = readTag(tagBytes(4, frame24("TIT2", zlib, 0x08)));
        QVERIFY(tag->contains(UnknownId3v2DataTagItem::Type));

        // Encrypted, method byte before or after the data length.
        tag = readTag(tagBytes(4, frame24("TIT2", QByteArray("\x80") + synchsafeBytes(9) + "secret", 0x05)
                                      + frame24("TPE1", synchsafeBytes(9) + QByteArray("\x81") + "secret", 0x05)));
        const QList<TagItem *> frames = tag->items(UnknownId3v2DataTagItem::Type);
        QCOMPARE(frames.size(), 2);
        for (int i = 0; i < 2; ++i) {
            const auto *item = dynamic_cast<const Id3v2UnknownFrameTagItem *>(frames.at(i));
            QVERIFY(item);
            QVERIFY(item->flags.encryption);
            QCOMPARE(item->flags.encryptionMethod, 0x80 + i);
            QCOMPARE(item->flags.dataLength, 9);
            QCOMPARE(item->data, QByteArray("secret"));
        }
    }
    void readReplayGain()
    {
        const auto tag = readTag(tagBytes(3, frame23("TXXX", text(QByteArray("REPLAYGAIN_TRACK_GAIN\0-6.50 dB", 30)))
                                                + frame23("TXXX", text(QByteArray("replaygain_album_peak\0" "0.5", 25)))));
        const auto *volume = static_cast<const VolumeAdjustmentTagItem *>(tag->item(VolumeAdjustmentTagItem::Type));
        QVERIFY(volume);
        QCOMPARE(volume->trackGain, -6.5);
        QCOMPARE(volume->albumPeak, 0.5);
    }
    void volumeFromVolumeFramesReadsBack_data()
    {
        QTest::addColumn<QByteArray>("frame");
        // Raised on both channels by 0x1234/0xffff, peaks 0x8000 and 0x9000; a gain of
        // 10 log10((1 + r)(1 + l)) dB has far more digits than the two replay gain texts keep.
        QTest::newRow("RVAD") << frame23("RVAD", QByteArray::fromHex("0310" "1234" "1234" "8000" "9000"));
        // -6.001953125 dB: -3073/512 in the frame's steps, on the master volume channel.
        QTest::newRow("RVA2") << frame23("RVA2", QByteArray("track\0", 6) + QByteArray::fromHex("01" "f3ff" "10" "8000"));
    }
    void volumeFromVolumeFramesReadsBack()
    {
        QFETCH(QByteArray, frame);
        const auto tag = readTag(tagBytes(3, frame), taggingSettings(3));
        const TagItem *volume = tag->item(VolumeAdjustmentTagItem::Type);
        QVERIFY(volume);
        QVERIFY(static_cast<const VolumeAdjustmentTagItem *>(volume)->trackGain != 0.0);
        for (int version : {3, 4}) {
            const auto back = readTag(renderTag(tag.get(), taggingSettings(version)), taggingSettings(version));
            QVERIFY(back);
            QVERIFY2(volume->equals(back->item(VolumeAdjustmentTagItem::Type)), qPrintable(QString::number(version)));
        }
    }
    void readLinkedArtworkStaysInFolder()
    {
        QTemporaryDir dir;
        QDir(dir.path()).mkdir("sub");
        const QByteArray png = QByteArray::fromBase64(
            "iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAYAAAAfFcSJAAAADUlEQVR42mP8z8DwHwAFBQIAX8jx0gAAAABJRU5ErkJggg==");
        for (const QString &path : {dir.filePath("inside.png"), dir.filePath("outside.png")}) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(png);
        }
        auto link = [](const QByteArray &path) {
            return frame23("APIC", QByteArray("\0-->\0\3\0", 7) + path + '\0');
        };
        const QString audio = dir.filePath("sub/song.mp3");
        const auto tag = readTag(tagBytes(3, link("..\\outside.png") + link(dir.filePath("outside.png").toUtf8())), Id3v2Settings(),
                                 audio);
        const QList<TagItem *> artwork = tag->items(ArtworkTagItem::Type);
        QCOMPARE(artwork.size(), 2);
        for (const TagItem *item : artwork)
            QVERIFY(static_cast<const ArtworkTagItem *>(item)->image().data.isEmpty());
        QFile::rename(dir.filePath("inside.png"), dir.filePath("sub/inside.png"));
        const auto inside = readTag(tagBytes(3, link("inside.png")), Id3v2Settings(), audio);
        QCOMPARE(static_cast<const ArtworkTagItem *>(inside->item(ArtworkTagItem::Type))->image().data, png);
    }

    void padding_data()
    {
        QTest::addColumn<int>("available");
        QTest::addColumn<int>("padding");
        // The frames below take 500 bytes.
        QTest::newRow("fits exactly") << 510 << 0;
        QTest::newRow("leftover at the maximum kept") << 8702 << 8192;
        QTest::newRow("leftover above the maximum") << 8703 << 2048;
        QTest::newRow("does not fit") << 509 << 2048;
        QTest::newRow("nothing replaced") << 0 << 2048;
        QTest::newRow("unknown old size") << -1 << 2048;
    }
    void padding()
    {
        QFETCH(int, available);
        QFETCH(int, padding);
        // TIT2 header (10), encoding byte, 488 letters, terminator: 500 bytes.
        const std::unique_ptr<AudioTag> tag(makeTag(3, {makeItem(TitleTagItem::Type, QString(488, 'a'))}));
        Id3v2Settings settings = taggingSettings(3);
        settings.preferredPaddingSize = 2048;
        settings.availableSize = available;
        const QByteArray bytes = renderTag(tag.get(), settings);
        QCOMPARE(bytes.size(), 10 + 500 + padding);
        QCOMPARE(bytes.mid(6, 4), synchsafeBytes(500 + padding));
    }
    void renderEmptyTag()
    {
        const std::unique_ptr<AudioTag> tag(makeTag(3, {}));
        const QByteArray bytes = renderTag(tag.get(), Id3v2Settings());
        QCOMPARE(bytes, QByteArray("ID3\3\0\0", 6) + synchsafeBytes(2048) + QByteArray(2048, '\0'));
    }
    void renderUnsynchronisation()
    {
        const std::unique_ptr<AudioTag> tag(makeTag(3, {makeItem(TitleTagItem::Type, QStringLiteral("\u00ff\u00e0"))}));
        Id3v2Settings settings = taggingSettings(3, 0);
        settings.useUnsync = true;
        settings.preferredPaddingSize = 4;
        QByteArray bytes = renderTag(tag.get(), settings);
        QCOMPARE(bytes.at(5), char(0x80));
        QByteArray frames = frame23("TIT2", QByteArray("\0\xff\xe0\0", 4));
        QVERIFY(Id3v2TagIo::applyUnsynchronisation(frames));
        QCOMPARE(bytes.mid(10).toHex(), (frames + QByteArray(4, '\0')).toHex());
        QCOMPARE(readTag(bytes)->itemText(TitleTagItem::Type), QStringLiteral("\u00ff\u00e0"));
        settings.version = 4;
        bytes = renderTag(tag.get(), settings);
        QCOMPARE(bytes.at(5), char(0));
        QCOMPARE(readTag(bytes)->itemText(TitleTagItem::Type), QStringLiteral("\u00ff\u00e0"));
    }
    void renderRefusesInvalidSettings_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<int>("textEncoding");
        QTest::addColumn<quint32>("code");
        QTest::newRow("version 5") << 5 << 6 << quint32(Id3v2TagIo::InvalidVersion);
        QTest::newRow("version 0") << 0 << 6 << quint32(Id3v2TagIo::InvalidVersion);
        QTest::newRow("text encoding 7") << 3 << 7 << quint32(Id3v2TagIo::InvalidTextEncoding);
    }
    void renderRefusesInvalidSettings()
    {
        QFETCH(int, version);
        QFETCH(int, textEncoding);
        QFETCH(quint32, code);
        const std::unique_ptr<AudioTag> tag(makeTag(3, {makeItem(TitleTagItem::Type, "T")}));
        IoStream out(QIODevice::ReadWrite);
        const Id3v2Settings settings = taggingSettings(version, textEncoding);
        QCOMPARE(codeOf([&] { Id3v2TagIo::renderTag(&out, tag.get(), settings); }), code);
        QCOMPARE(out.size(), 0);
    }
    void renderFrameOrder()
    {
        const std::unique_ptr<AudioTag> tag(makeTag(3, {new UserDefinedTextTagItem("v", "Mine"),
                                                        makeItem(AlbumMbidTagItem::Type, "id"),
                                                        makeItem(TitleTagItem::Type, "T"),
                                                        makeItem(ArrangerTagItem::Type, "Arr")}));
        const QByteArray bytes = renderTag(tag.get(), taggingSettings(3));
        QCOMPARE(bytes.mid(10),
                 frame23("TIT2", text("T")) + frame23("IPLS", text(QByteArray("arranger\0Arr", 12)))
                     + frame23("TXXX", text(QByteArray("MusicBrainz Album Id\0id", 23)))
                     + frame23("TXXX", text(QByteArray("Mine\0v", 6))));
    }
    void renderPinsLineEndings()
    {
        const std::unique_ptr<AudioTag> tag(makeTag(3, {makeItem(TitleTagItem::Type, "a\r\nb\rc")}));
        QCOMPARE(renderTag(tag.get(), taggingSettings(3)).mid(10), frame23("TIT2", text("a\nb\nc")));
    }
    void renderUnknownUrlFrame()
    {
        // An unrecognised URL frame goes back as a URL frame: no encoding byte before the address.
        const auto tag = readTag(tagBytes(3, frame23("WXYZ", "http://example.org\0")));
        QCOMPARE(tag->itemText(UnknownId3v2StringTagItem::Type), QStringLiteral("http://example.org"));
        const QByteArray bytes = renderTag(tag.get(), taggingSettings(4));
        QCOMPARE(bytes.mid(10), frame24("WXYZ", QByteArray("http://example.org\0", 19)));
        QCOMPARE(readTag(bytes)->itemText(UnknownId3v2StringTagItem::Type), QStringLiteral("http://example.org"));
    }
    // A user link's address is ISO 8859-1 whatever its bytes look like; UTF-8 is what writing
    // uses for an address beyond ISO 8859-1.
    void readUserLinkAddress_data()
    {
        QTest::addColumn<QByteArray>("address");
        QTest::addColumn<QString>("expected");
        QTest::newRow("control characters") << QByteArray("h\x01t\x01") << QStringLiteral("h\u0001t\u0001");
        QTest::newRow("ISO 8859-1 letters") << QByteArray("http://\xfc.de") << QString::fromUtf8("http://\u00fc.de");
        QTest::newRow("UTF-8 beyond ISO 8859-1") << QByteArray("http://\xe4\xbe\x8b.jp") << QString::fromUtf8("http://\u4f8b.jp");
    }
    void readUserLinkAddress()
    {
        QFETCH(QByteArray, address);
        QFETCH(QString, expected);
        const auto tag = readTag(tagBytes(3, frame23("WXXX", QByteArray("\0site\0", 6) + address + '\0')));
        QCOMPARE(tag->itemText(UserDefinedLinkTagItem::Type), expected);
        // What is read is what writing gives back.
        const QByteArray bytes = renderTag(tag.get(), taggingSettings(3));
        QCOMPARE(readTag(bytes)->itemText(UserDefinedLinkTagItem::Type), expected);
    }
    void unknownFrameKeepsFlagsThroughHandler()
    {
        // Status flags and a group byte of a frame no handler knows are written back as read.
        const QByteArray original = frame23("XYZ1", QByteArray("\x07") + "raw", 0xa0, 0x20);
        const auto tag = readTag(tagBytes(3, original));
        const auto *unknown = dynamic_cast<const Id3v2UnknownFrameTagItem *>(tag->item(UnknownId3v2DataTagItem::Type));
        QVERIFY(unknown);
        QCOMPARE(unknown->data, QByteArray("raw"));
        QVERIFY(unknown->flags.tagAlterPreservation && unknown->flags.readOnly && unknown->flags.grouping);
        QCOMPARE(unknown->flags.groupId, 7);
        QCOMPARE(renderTag(tag.get(), taggingSettings(3)).mid(10).toHex(' '), original.toHex(' '));

        // A data length of plain data that no synchsafe number holds is left out, not the
        // frame; an encrypted frame cannot go without it and loses only itself.
        const QByteArray plain = frame24("XYZ1", QByteArray("\xff\xff\xff\xff") + "raw", 0x01);
        const QByteArray packed = frame24("XYZ2", QByteArray("\x80\xff\xff\xff\xff") + "secret", 0x05);
        const QByteArray after = frame24("XYZ3", "more");
        const auto lengths = readTag(tagBytes(4, plain + packed + after));
        QCOMPARE(renderTag(lengths.get(), taggingSettings(4)).mid(10).toHex(' '),
                 (frame24("XYZ1", "raw") + after).toHex(' '));
    }
    void unknownFrameTooLargeRefusesSave_data()
    {
        QTest::addColumn<QString>("frameId");
        QTest::addColumn<quint32>("code");
        QTest::newRow("past the 24-bit size") << QStringLiteral("XYZ") << quint32(Id3v2TagIo::UnknownFrameTooLarge);
        QTest::newRow("id the version cannot name") << QStringLiteral("XYZ1") << quint32(0);
    }
    void unknownFrameTooLargeRefusesSave()
    {
        QFETCH(QString, frameId);
        QFETCH(quint32, code);
        const std::unique_ptr<AudioTag> tag(makeTag(3, {makeItem(TitleTagItem::Type, "T")}));
        tag->addItem(new Id3v2UnknownFrameTagItem(frameId, Id3v2FrameFlags(), QByteArray(0xFFFFFF + 1, 'x')));
        IoStream out(QIODevice::ReadWrite);
        QCOMPARE(codeOf([&] { Id3v2TagIo::renderTag(&out, tag.get(), taggingSettings(2)); }), code);
        // Refused: nothing reaches the output. Left out by design: the rest is written.
        QCOMPARE(out.size() > 0, code == 0);
    }
    void renderUnknownFrameKeepsFlags()
    {
        const QByteArray original = frame24("XYZW", QByteArray("\x80") + synchsafeBytes(9) + "secret", 0x05);
        const auto tag = readTag(tagBytes(4, original));
        QCOMPARE(renderTag(tag.get(), taggingSettings(4)).mid(10).toHex(), original.toHex());
        // Copies of the tag, as merging makes them, keep the flags too.
        const std::unique_ptr<AudioTag> copy(tag->clone());
        QCOMPARE(renderTag(copy.get(), taggingSettings(4)).mid(10).toHex(), original.toHex());
    }

    // Every part of a joined user text carries its own byte order mark in UTF-16: readers take
    // a part without one for the platform's byte order.
    void renderJoinedUserTextMarksEveryPart()
    {
        const std::unique_ptr<AudioTag> tag(makeTag(
            3, {makeItem(ArtistTagItem::Type, QString::fromUtf8("\u5742\u672c")), makeItem(ArtistTagItem::Type, "Ana")}));
        const QByteArray bytes = renderTag(tag.get(), taggingSettings(4));
        const auto utf16 = [](const QString &text) {
            QByteArray out("\xfe\xff", 2);
            for (QChar c : text)
                out += char(c.unicode() >> 8) + QByteArray(1, char(c.unicode() & 0xff));
            return out + QByteArray(2, '\0');
        };
        const QByteArray expected = frame24("TXXX", QByteArray(1, '\x01') + utf16("Artists")
                                                        + utf16(QString::fromUtf8("\u5742\u672c")) + utf16("Ana"));
        const qsizetype at = bytes.indexOf("TXXX");
        QVERIFY(at > 0);
        QCOMPARE(bytes.mid(at, expected.size()).toHex(' '), expected.toHex(' '));
    }

    // The language code read from a comment or lyrics frame is written back.
    void renderKeepsLanguage_data()
    {
        QTest::addColumn<QByteArray>("frameId");
        QTest::newRow("comment") << QByteArray("COMM");
        QTest::newRow("lyrics") << QByteArray("USLT");
    }
    void renderKeepsLanguage()
    {
        QFETCH(QByteArray, frameId);
        const QByteArray frame = frame23(frameId, QByteArray("\0fra" "d\0" "texte\0", 12));
        const auto tag = readTag(tagBytes(3, frame));
        QVERIFY(tag);
        QCOMPARE(renderTag(tag.get(), taggingSettings(3)).mid(10).toHex(' '), frame.toHex(' '));
    }

    void roundTrip_data()
    {
        QTest::addColumn<int>("version");
        QTest::newRow("2.2") << 2;
        QTest::newRow("2.3") << 3;
        QTest::newRow("2.4") << 4;
    }
    void roundTrip()
    {
        QFETCH(int, version);
        const std::unique_ptr<AudioTag> tag(makeTag(
            3, {makeItem(AlbumTagItem::Type, "Album \u0141"), makeItem(ArtistTagItem::Type, "A"),
                makeItem(BpmTagItem::Type, 120), new CommentTagItem("Comment", "desc"),
                makeItem(GenreTagItem::Type, "Rock"), makeItem(IsrcTagItem::Type, "XX"),
                makeItem(PlayCountTagItem::Type, 7), new RatingTagItem(0.5),
                makeItem(ReleaseDateTagItem::Type, QVariant::fromValue(PartialDateTime(2009, 5, 23, 9, 5))),
                makeItem(SongWebsiteUrlTagItem::Type, "http://a.b/"), makeItem(TitleTagItem::Type, "T"),
                // Latin-1 that a guess would take for a UTF-16 byte order mark, in a frame without encoding byte.
                makeItem(SongWebsiteUrlTagItem::Type, "\u00fe\u00ffab"),
                makeItem(TrackNumberTagItem::Type, 3), makeItem(TrackCountTagItem::Type, 12),
                new UserDefinedTextTagItem("v", "Mine"),
                new VolumeAdjustmentTagItem(-6.5, 0.9, 0.0, 0.0)}));
        Id3v2Settings settings = taggingSettings(version);
        const auto back = readTag(renderTag(tag.get(), settings), settings);
        QStringList expected = describe(tag.get());
        QStringList actual = describe(back.get());
        std::sort(expected.begin(), expected.end());
        std::sort(actual.begin(), actual.end());
        QCOMPARE(actual, expected);
    }

    void settingsStore_data()
    {
        QTest::addColumn<QStringList>("stored");
        QTest::addColumn<int>("version");
        QTest::addColumn<int>("textEncoding");
        QTest::addColumn<bool>("useUnsync");
        QTest::newRow("nothing stored: defaults") << QStringList{} << 3 << 6 << false;
        QTest::newRow("valid values") << QStringList{"version=4", "textEncoding=1", "useUnsync= Yes "} << 4 << 1 << true;
        QTest::newRow("out of range: defaults") << QStringList{"version=5", "textEncoding=9", "useUnsync=enabled"} << 3 << 6
                                                << false;
        QTest::newRow("not numbers: defaults") << QStringList{"version=three", "textEncoding="} << 3 << 6 << false;
    }
    void settingsStore()
    {
        QFETCH(QStringList, stored);
        QFETCH(int, version);
        QFETCH(int, textEncoding);
        QFETCH(bool, useUnsync);
        const QString group = QStringLiteral("test%1/id3v2").arg(QTest::currentDataTag()).remove(u' ').remove(u':');
        for (const QString &entry : stored)
            SettingsStore::setValue(group + u'/' + entry.section(u'=', 0, 0), entry.section(u'=', 1));
        const Id3v2Settings s = Id3v2TagIo::loadSettings(group);
        QCOMPARE(s.version, version);
        QCOMPARE(s.textEncoding, textEncoding);
        QCOMPARE(s.useUnsync, useUnsync);
        QCOMPARE(s.availableSize, 0);

        Id3v2Settings saved;
        saved.version = 2;
        saved.useUnsync = true;
        saved.availableSize = 77;
        Id3v2TagIo::saveSettings(saved, group + QStringLiteral("x"));
        QCOMPARE(SettingsStore::value(group + QStringLiteral("x/useUnsync")), QStringLiteral("true"));
        Id3v2Settings loaded = Id3v2TagIo::loadSettings(group + QStringLiteral("x"));
        saved.availableSize = 0;
        QCOMPARE(loaded, saved);
    }
};

QTEST_GUILESS_MAIN(TestId3v2)
#include "tst_id3v2.moc"
