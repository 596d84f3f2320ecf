#include <QtTest>

#include "libcore/log/exception.h"
#include "libcore/text/textcodec.h"
#include "libtagging/id3/id3v2tagio.h"

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
};

QTEST_GUILESS_MAIN(TestId3v2)
#include "tst_id3v2.moc"
