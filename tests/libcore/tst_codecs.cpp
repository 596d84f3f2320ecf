#include <QXmlStreamReader>
#include <QtTest>

#include <random>

#include "libcore/log/exception.h"
#include "libcore/log/logger.h"
#include "libcore/text/asciitextcodec.h"
#include "libcore/text/cp1252textcodec.h"
#include "libcore/text/latin1textcodec.h"
#include "libcore/text/textcodec.h"
#include "libcore/text/texttable.h"
#include "libcore/text/utf16betextcodec.h"
#include "libcore/text/utf16letextcodec.h"
#include "libcore/text/utf16textcodec.h"
#include "libcore/text/utf32betextcodec.h"
#include "libcore/text/utf32letextcodec.h"
#include "libcore/text/utf32textcodec.h"
#include "libcore/text/utf8textcodec.h"

namespace {
class CollectingLogger : public Logger
{
public:
    CollectingLogger() { setRegistered(true); }
    void log(const LogMessage &message) override { messages.append(message); }

    // "E<code>@<position>" for codec failures that carry a byte position, else
    // "E<code>" or "W<code>": the order and kind of what was logged, at a glance.
    QStringList summary() const
    {
        QStringList out;
        for (const LogMessage &m : messages) {
            QString s = (m.level == Warning ? QStringLiteral("W") : QStringLiteral("E"))
                        + QString::number(m.code);
            if (m.arguments.size() == 4)
                s += u'@' + m.arguments.at(3).toString();
            out.append(s);
        }
        return out;
    }

    QList<LogMessage> messages;
};

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

QString units(std::initializer_list<char16_t> list)
{
    QString s;
    for (char16_t u : list)
        s.append(QChar(u));
    return s;
}

const QString Throws = QStringLiteral("<throws>");
} // namespace

Q_DECLARE_METATYPE(TextCodec *)

class TestCodecs : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void constants_data();
    void constants();
    void decode_data();
    void decode();
    void encode_data();
    void encode();
    void decodeLength();
    void decodability_data();
    void decodability();
    void replacementCharacter();
    void detectByteOrder_data();
    void detectByteOrder();
    void detect_data();
    void detect();
    void detectFixedField_data();
    void detectFixedField();
    void codecForMib_data();
    void codecForMib();
    void codecForName_data();
    void codecForName();
    void cp1252RoundTrip();
    void fastPathsAgree();
};

void TestCodecs::initTestCase()
{
    // The display names come from this area's text fragment.
    QFile file(QStringLiteral(MELO_SOURCE_DIR "/libcore/resources/text/codecs.xml"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    quint32 id = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == u"id")
            id = xml.readElementText().toUInt();
        else if (xml.isStartElement() && xml.name() == u"tr")
            TextTable::table().insert(id, xml.readElementText());
    }
    QVERIFY(!xml.hasError());
    QCOMPARE(TextCodec::displayName(106), QStringLiteral("UTF-8"));
}

void TestCodecs::constants_data()
{
    QTest::addColumn<TextCodec *>("codec");
    QTest::addColumn<int>("mib");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("unitSize");
    QTest::addColumn<QByteArray>("bom");
    QTest::addColumn<QByteArray>("terminator");

    QTest::newRow("utf-8") << (TextCodec *)Utf8TextCodec::instance() << 106 << "UTF-8" << 1 << hex("efbbbf") << hex("00");
    QTest::newRow("utf-16") << (TextCodec *)Utf16TextCodec::instance() << 1015 << "UTF-16" << 2 << hex("feff") << hex("0000");
    QTest::newRow("utf-16le") << (TextCodec *)Utf16LeTextCodec::instance() << 1014 << "UTF-16LE" << 2 << hex("fffe") << hex("0000");
    QTest::newRow("utf-16be") << (TextCodec *)Utf16BeTextCodec::instance() << 1013 << "UTF-16BE" << 2 << hex("feff") << hex("0000");
    QTest::newRow("utf-32") << (TextCodec *)Utf32TextCodec::instance() << 1017 << "UTF-32" << 4 << hex("0000feff") << hex("00000000");
    QTest::newRow("utf-32le") << (TextCodec *)Utf32LeTextCodec::instance() << 1019 << "UTF-32LE" << 4 << hex("fffe0000") << hex("00000000");
    QTest::newRow("utf-32be") << (TextCodec *)Utf32BeTextCodec::instance() << 1018 << "UTF-32BE" << 4 << hex("0000feff") << hex("00000000");
    QTest::newRow("iso 8859-1") << (TextCodec *)Latin1TextCodec::instance() << 4 << "ISO 8859-1" << 1 << QByteArray() << hex("00");
    QTest::newRow("us-ascii") << (TextCodec *)AsciiTextCodec::instance() << 3 << "US-ASCII" << 1 << QByteArray() << hex("00");
    QTest::newRow("windows-1252") << (TextCodec *)Cp1252TextCodec::instance() << 2252 << "windows-1252" << 1 << QByteArray() << hex("00");
}

void TestCodecs::constants()
{
    QFETCH(TextCodec *, codec);
    QFETCH(int, mib);
    QFETCH(QString, name);
    QFETCH(int, unitSize);
    QFETCH(QByteArray, bom);
    QFETCH(QByteArray, terminator);
    QCOMPARE(codec->mib(), mib);
    QCOMPARE(codec->name(), name);
    QCOMPARE(codec->unitSize(), unitSize);
    QCOMPARE(codec->bom(), bom);
    QCOMPARE(codec->terminator(), terminator);
    QCOMPARE(TextCodec::codecForMib(mib), codec);
}

void TestCodecs::decode_data()
{
    QTest::addColumn<int>("mib");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<bool>("stopAtNul");
    QTest::addColumn<int>("errorMode");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QStringList>("logged");

    const int skip = CodecErrorMode::Skip;
    const int substitute = CodecErrorMode::Substitute;
    const int throws = CodecErrorMode::Throw;
    const QStringList none;

    // UTF-8
    QTest::newRow("utf-8 one to four bytes") << 106 << hex("61c3a9e282acf09f9880") << false << skip
            << units({u'a', 0xE9, 0x20AC, 0xD83D, 0xDE00}) << none;
    QTest::newRow("utf-8 invalid continuation") << 106 << hex("c328") << false << skip
            << "(" << QStringList{"E2579736446@0"};
    QTest::newRow("utf-8 overlong two bytes") << 106 << hex("c080") << false << skip
            << "" << QStringList{"E4078928843@0", "E3262159497@1"};
    QTest::newRow("utf-8 overlong three bytes") << 106 << hex("e080af41") << false << skip
            << "A" << QStringList{"E4078928843@0", "E3262159497@1", "E3262159497@2"};
    QTest::newRow("utf-8 above U+10FFFF") << 106 << hex("f4908080") << false << skip
            << "" << QStringList{"E4078928843@0", "E3262159497@1", "E3262159497@2", "E3262159497@3"};
    QTest::newRow("utf-8 lead F8") << 106 << hex("f8") << false << skip << "" << QStringList{"E3262159497@0"};
    QTest::newRow("utf-8 surrogate passes") << 106 << hex("eda080") << false << skip
            << units({0xD800}) << none;
    QTest::newRow("utf-8 truncated") << 106 << hex("41e282") << false << skip
            << "A" << QStringList{"E2427866541@3", "E3262159497@2"};
    QTest::newRow("utf-8 substitute") << 106 << hex("ff41") << false << substitute
            << units({0, u'A'}) << QStringList{"E3262159497@0", "W4170903576"};
    QTest::newRow("utf-8 substitute warns once") << 106 << hex("ffff") << false << substitute
            << units({0, 0}) << QStringList{"E3262159497@0", "W4170903576", "E3262159497@1"};
    QTest::newRow("utf-8 throw") << 106 << hex("41c328") << false << throws
            << Throws << QStringList{"E2579736446@1", "E2105277950"};
    QTest::newRow("utf-8 stop at nul") << 106 << hex("610062") << true << skip << "a" << none;
    QTest::newRow("utf-8 nul kept") << 106 << hex("610062") << false << skip
            << units({u'a', 0, u'b'}) << none;
    QTest::newRow("utf-8 substituted nul does not stop") << 106 << hex("ff61") << true << substitute
            << units({0, u'a'}) << QStringList{"E3262159497@0", "W4170903576"};
    QTest::newRow("utf-8 bom dropped") << 106 << hex("efbbbf61") << false << skip << "a" << none;
    QTest::newRow("utf-8 bom only") << 106 << hex("efbbbf") << false << skip << "" << none;
    QTest::newRow("utf-8 empty") << 106 << QByteArray() << true << skip << "" << none;
    // Plain ASCII takes a shortcut; the first byte past it takes the full loop.
    QTest::newRow("utf-8 ascii up to 0x7f") << 106 << hex("207e7f") << false << skip
            << units({u' ', u'~', 0x7F}) << none;
    QTest::newRow("utf-8 0x80 after ascii") << 106 << hex("7f80") << false << skip
            << units({0x7F}) << QStringList{"E3262159497@1"};
    QTest::newRow("utf-8 stop at nul after ascii, invalid bytes unseen") << 106 << hex("6100ff") << true << skip
            << "a" << none;
    QTest::newRow("utf-8 stop at nul after multibyte") << 106 << hex("c3a900ff") << true << skip
            << units({0xE9}) << none;
    QTest::newRow("utf-8 second bom kept") << 106 << hex("efbbbfefbbbf61") << false << skip
            << units({0xFEFF, u'a'}) << none;

    // UTF-16
    QTest::newRow("utf-16 little-endian bom") << 1015 << hex("fffe4100") << false << skip << "A" << none;
    QTest::newRow("utf-16 big-endian bom") << 1015 << hex("feff0041") << false << skip << "A" << none;
    QTest::newRow("utf-16 no bom, big endian by variance") << 1015 << hex("00410042") << false << skip
            << "AB" << none;
    QTest::newRow("utf-16 no bom, little endian by variance") << 1015 << hex("41004200") << false << skip
            << "AB" << none;
    QTest::newRow("utf-16 bom only") << 1015 << hex("fffe") << false << skip << "" << none;
    QTest::newRow("utf-16le empty") << 1014 << QByteArray() << false << skip << "" << none;
    QTest::newRow("utf-16le stop at nul before a lone surrogate") << 1014 << hex("41000000dc00") << true << skip
            << "A" << none;
    QTest::newRow("utf-16le pair before nul") << 1014 << hex("3dd800de00004100") << true << skip
            << units({0xD83D, 0xDE00}) << none;
    QTest::newRow("utf-16le truncated") << 1014 << hex("410042") << false << skip
            << "A" << QStringList{"E3352801596@2"};
    QTest::newRow("utf-16le bom of the other order kept") << 1014 << hex("feff4100") << false << skip
            << units({0xFFFE, u'A'}) << none;
    QTest::newRow("utf-16be pair") << 1013 << hex("d83dde00") << false << skip
            << units({0xD83D, 0xDE00}) << none;
    QTest::newRow("utf-16be lone low surrogate") << 1013 << hex("dc000041") << false << skip
            << "A" << QStringList{"E1583559992@0"};
    QTest::newRow("utf-16be unpaired high surrogate") << 1013 << hex("d8000041") << false << skip
            << "A" << QStringList{"E3015353096@0"};
    QTest::newRow("utf-16be high surrogate at the end") << 1013 << hex("0041d800") << false << skip
            << "A" << QStringList{"E3352801596@4"};
    QTest::newRow("utf-16be substitutes lone surrogates") << 1013 << hex("dc00d800d8000041") << false << substitute
            << units({0, 0, 0, u'A'})
            << QStringList{"E1583559992@0", "W4170903576", "E3015353096@2", "E3015353096@4"};
    QTest::newRow("utf-16be throw") << 1013 << hex("dc00") << false << throws
            << Throws << QStringList{"E1583559992@0", "E2105277950"};

    // UTF-32
    QTest::newRow("utf-32 one group, little endian") << 1017 << hex("41000000") << false << skip << "A" << none;
    QTest::newRow("utf-32 big-endian bom") << 1017 << hex("0000feff00000041") << false << skip << "A" << none;
    QTest::newRow("utf-32 little-endian bom") << 1017 << hex("fffe000041000000") << false << skip << "A" << none;
    QTest::newRow("utf-32be beyond U+10FFFF") << 1018 << hex("0011000000000041") << false << skip
            << "A" << QStringList{"E2086498038@0"};
    QTest::newRow("utf-32le truncated") << 1019 << hex("4100000042") << false << skip
            << "A" << QStringList{"E3212027392@4"};
    QTest::newRow("utf-32be surrogate passes") << 1018 << hex("0000d800") << false << skip
            << units({0xD800}) << none;
    QTest::newRow("utf-32le astral") << 1019 << hex("00f60100") << false << skip
            << units({0xD83D, 0xDE00}) << none;

    // Single-byte
    QTest::newRow("latin-1 every byte") << 4 << hex("41e9ff80") << false << skip
            << units({u'A', 0xE9, 0xFF, 0x80}) << none;
    QTest::newRow("latin-1 stop at nul") << 4 << hex("410042") << true << skip << "A" << none;
    QTest::newRow("latin-1 stop at nul after 0x80") << 4 << hex("7f800041") << true << skip
            << units({0x7F, 0x80}) << none;
    QTest::newRow("latin-1 empty") << 4 << QByteArray() << true << skip << "" << none;
    QTest::newRow("ascii nul after a skipped byte stops") << 3 << hex("418000ff42") << true << skip << "A" << none;
    QTest::newRow("ascii skip") << 3 << hex("41c342") << false << skip << "AB" << none;
    QTest::newRow("ascii substitute") << 3 << hex("41c3ff42") << false << substitute
            << units({u'A', 0, 0, u'B'}) << QStringList{"W3834884178"};
    QTest::newRow("ascii substituted nul does not stop") << 3 << hex("80410042") << true << substitute
            << units({0, u'A'}) << QStringList{"W3834884178"};
    QTest::newRow("ascii throw") << 3 << hex("41c342") << false << throws
            << Throws << QStringList{"E551212856"};
    QTest::newRow("windows-1252 high controls") << 2252 << hex("934869948081") << false << throws
            << units({0x201C, u'H', u'i', 0x201D, 0x20AC, 0x81}) << none;
    QTest::newRow("windows-1252 stop at nul") << 2252 << hex("9f0041") << true << skip
            << units({0x178}) << none;
}

void TestCodecs::decode()
{
    QFETCH(int, mib);
    QFETCH(QByteArray, data);
    QFETCH(bool, stopAtNul);
    QFETCH(int, errorMode);
    QFETCH(QString, expected);
    QFETCH(QStringList, logged);

    TextCodec *codec = TextCodec::codecForMib(mib);
    QVERIFY(codec);
    CollectingLogger logger;
    QString result;
    try {
        result = codec->decode(data, -1, stopAtNul, errorMode);
    } catch (const Exception &e) {
        result = Throws;
        QVERIFY(e.logged);
        QCOMPARE(e.arguments.value(0).toByteArray(), data);
        QCOMPARE(e.arguments.value(1).toString(), codec->name());
        QCOMPARE(e.arguments.value(2).toInt(), mib);
    }
    QCOMPARE(result, expected);
    QCOMPARE(logger.summary(), logged);
    QVERIFY(!result.isNull());
}

void TestCodecs::encode_data()
{
    QTest::addColumn<int>("mib");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("fixedSize");
    QTest::addColumn<int>("maxSize");
    QTest::addColumn<bool>("withBom");
    QTest::addColumn<bool>("withTerminator");
    QTest::addColumn<int>("errorMode");
    QTest::addColumn<QByteArray>("expected"); // "<throws>" for an exception
    QTest::addColumn<QStringList>("logged");

    const int skip = CodecErrorMode::Skip;
    const int substitute = CodecErrorMode::Substitute;
    const int throws = CodecErrorMode::Throw;
    const QStringList none;
    const QString smile = units({0xD83D, 0xDE00});
    const QByteArray thrown("<throws>");

    QTest::newRow("utf-8 mark and terminator") << 106 << "a" << -1 << -1 << true << true << skip
            << hex("efbbbf6100") << none;
    QTest::newRow("utf-8 mark does not fit") << 106 << "abc" << -1 << 2 << true << false << skip
            << hex("0000") << none;
    QTest::newRow("utf-8 character not split") << 106 << units({u'a', 0xE9}) << -1 << 2 << false << false << skip
            << hex("61") << none;
    QTest::newRow("utf-8 padded to fixed size") << 106 << units({0xE9}) << 5 << -1 << false << true << skip
            << hex("c3a9000000") << none;
    QTest::newRow("utf-8 longer than fixed size") << 106 << units({0xE9, 0xE9, 0xE9}) << 4 << 8 << false << false << skip
            << hex("c3a9c3a9c3a9") << none;
    QTest::newRow("utf-8 fixed size lowered to max") << 106 << "a" << 5 << 3 << false << false << skip
            << hex("610000") << none;
    QTest::newRow("utf-8 negative sizes ignored") << 106 << "ab" << -7 << -3 << false << false << skip
            << hex("6162") << none;
    QTest::newRow("utf-8 astral and lone surrogate") << 106 << smile + units({0xD800}) << -1 << -1 << false << false << skip
            << hex("f09f9880eda080") << none;
    QTest::newRow("utf-8 budget keeps the terminator") << 106 << "abcdef" << -1 << 4 << true << true << skip
            << hex("efbbbf00") << none;
    QTest::newRow("utf-16le astral in 3 bytes") << 1014 << smile << -1 << 3 << false << false << skip
            << QByteArray() << none;
    QTest::newRow("utf-16le astral in 4 bytes") << 1014 << smile << -1 << 4 << false << false << skip
            << hex("3dd800de") << none;
    QTest::newRow("utf-16 writes big endian") << 1015 << "A" << -1 << -1 << true << true << skip
            << hex("feff00410000") << none;
    QTest::newRow("utf-16be budget of the mark, text and terminator") << 1013 << "AB" << -1 << 6 << true << true << skip
            << hex("feff00410000") << none;
    QTest::newRow("utf-32le") << 1019 << "A" << -1 << -1 << true << false << skip
            << hex("fffe000041000000") << none;
    QTest::newRow("utf-32be astral") << 1018 << smile << -1 << -1 << false << false << skip
            << hex("0001f600") << none;
    QTest::newRow("latin-1 cut at budget") << 4 << "abcde" << -1 << 3 << false << false << skip
            << QByteArray("abc") << none;
    QTest::newRow("latin-1 skip") << 4 << units({u'a', 0x20AC, 0xE9}) << -1 << -1 << false << false << skip
            << hex("61e9") << none;
    QTest::newRow("latin-1 substitute warns once") << 4 << units({0x20AC, 0x20AC}) << -1 << -1 << false << false << substitute
            << hex("0000") << QStringList{"W3166407768"};
    QTest::newRow("latin-1 throw") << 4 << units({0x20AC}) << -1 << -1 << false << false << throws
            << thrown << QStringList{"E3975512898"};
    QTest::newRow("latin-1 astral is one character") << 4 << smile << -1 << -1 << false << false << substitute
            << hex("00") << QStringList{"W3166407768"};
    QTest::newRow("ascii substitute") << 3 << units({u'a', 0xE9}) << -1 << -1 << false << false << substitute
            << hex("6100") << QStringList{"W3166407768"};
    QTest::newRow("windows-1252 high controls") << 2252 << units({0x20AC, 0x178, 0xE9, 0x8D}) << -1 << -1 << false << true << throws
            << hex("809fe98d00") << none;
    QTest::newRow("windows-1252 skip") << 2252 << units({u'a', 0x100, u'b'}) << -1 << -1 << false << false << skip
            << hex("6162") << none;
    QTest::newRow("windows-1252 substitute") << 2252 << units({0x100, 0x80}) << -1 << -1 << false << false << substitute
            << hex("0000") << QStringList{"W845214862"};
    QTest::newRow("windows-1252 throw") << 2252 << units({0x100}) << -1 << -1 << false << false << throws
            << thrown << QStringList{"E1685833648"};
    QTest::newRow("windows-1252 cut at budget") << 2252 << "abc" << -1 << 2 << false << false << skip
            << QByteArray("ab") << none;
}

void TestCodecs::encode()
{
    QFETCH(int, mib);
    QFETCH(QString, text);
    QFETCH(int, fixedSize);
    QFETCH(int, maxSize);
    QFETCH(bool, withBom);
    QFETCH(bool, withTerminator);
    QFETCH(int, errorMode);
    QFETCH(QByteArray, expected);
    QFETCH(QStringList, logged);

    TextCodec *codec = TextCodec::codecForMib(mib);
    QVERIFY(codec);
    CollectingLogger logger;
    QByteArray result;
    try {
        result = codec->encode(text, fixedSize, maxSize, withBom, withTerminator, errorMode);
    } catch (const Exception &e) {
        result = "<throws>";
        QCOMPARE(e.arguments, QVariantList({text, codec->name(), mib}));
    }
    QCOMPARE(result.toHex(' '), expected.toHex(' '));
    QCOMPARE(logger.summary(), logged);
    if (!logged.isEmpty() && logged.first().startsWith(u'W'))
        QCOMPARE(logger.messages.first().arguments, QVariantList({text, codec->name(), mib}));
}

void TestCodecs::decodeLength()
{
    TextCodec *codec = Utf8TextCodec::instance();
    const QByteArray data("abc");
    QCOMPARE(codec->decode(data, 0, false, 0), QString(""));
    QCOMPARE(codec->decode(data, 2, false, 0), QString("ab"));
    QCOMPARE(codec->decode(data, -1, false, 0), QString("abc"));
    QCOMPARE(codec->decode(data, 3, false, 0), QString("abc"));
    QCOMPARE(codec->decode(data, 99, false, 0), QString("abc"));
    // A null text means failure, so decoding nothing must not give one.
    QVERIFY(!codec->decodeOrNull(QByteArray()).isNull());
    QVERIFY(!codec->decode(hex("00"), -1, true, 0).isNull());
    QCOMPARE(codec->encodeOrEmpty(QStringLiteral("a")), QByteArray("a"));
    QCOMPARE(Latin1TextCodec::instance()->encodeOrEmpty(units({u'a', 0x20AC})), QByteArray("a"));
}

void TestCodecs::decodability_data()
{
    QTest::addColumn<int>("mib");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<bool>("whole");
    QTest::addColumn<QString>("at"); // one '+' (decodable) or '-' per byte position

    for (int mib : {106, 1013, 1014, 1015, 1017, 1018, 1019, 3, 4, 2252})
        QTest::addRow("empty, mib %d", mib) << mib << QByteArray() << true << "";
    QTest::newRow("utf-8 truncated at the end") << 106 << hex("61c3a9c3") << false << "++--";
    QTest::newRow("utf-8 0x7f and 0x80") << 106 << hex("7f80") << false << "+-";
    QTest::newRow("utf-8 overlong") << 106 << hex("c1bf") << false << "--";
    QTest::newRow("utf-16 odd size") << 1015 << hex("004100") << false << "++-";
    QTest::newRow("utf-16be surrogates") << 1013 << hex("d83dde00dc00") << false << "++-+--";
    QTest::newRow("utf-16le high surrogate last") << 1014 << hex("410000d8") << false << "++--";
    QTest::newRow("utf-32 three bytes") << 1017 << hex("410000") << false << "---";
    QTest::newRow("utf-32be too large") << 1018 << hex("00110000") << false << "----";
    QTest::newRow("ascii") << 3 << hex("4180") << false << "+-";
    QTest::newRow("latin-1") << 4 << hex("4180ff") << true << "+++";
    QTest::newRow("windows-1252 undefined bytes") << 2252 << hex("818d8f909d") << true << "+++++";
}

void TestCodecs::decodability()
{
    QFETCH(int, mib);
    QFETCH(QByteArray, data);
    QFETCH(bool, whole);
    QFETCH(QString, at);

    TextCodec *codec = TextCodec::codecForMib(mib);
    CollectingLogger logger;
    QCOMPARE(codec->canDecode(data), whole);
    QString actual;
    for (int i = 0; i < data.size(); ++i)
        actual += codec->canDecodeAt(data, i) ? u'+' : u'-';
    QCOMPARE(actual, at);
    QVERIFY(!codec->canDecodeAt(data, -1));
    QVERIFY(!codec->canDecodeAt(data, int(data.size())));
    // Asking never logs.
    QVERIFY(logger.messages.isEmpty());
}

void TestCodecs::replacementCharacter()
{
    CollectingLogger logger;
    TextCodec::setReplacementCharacter(CodePoint(quint32('?')));
    QCOMPARE(Latin1TextCodec::instance()->encode(units({u'a', 0x20AC}), -1, -1, false, false, 1), QByteArray("a?"));
    QCOMPARE(Cp1252TextCodec::instance()->encode(units({0x100}), -1, -1, false, false, 1), QByteArray("?"));
    QCOMPARE(Utf16LeTextCodec::instance()->decode(hex("00dc4100"), -1, false, 1), QString("?A"));
    QCOMPARE(AsciiTextCodec::instance()->decode(hex("ff"), -1, false, 1), QString("?"));
    logger.messages.clear();

    // A value that single-byte codecs could not write as one byte is refused.
    TextCodec::setReplacementCharacter(CodePoint(quint32(0xE9)));
    QCOMPARE(logger.summary(), QStringList{"W2310537021"});
    QCOMPARE(logger.messages.first().arguments.value(0).toUInt(), 0xE9u);
    QCOMPARE(TextCodec::replacementCharacter(), CodePoint(quint32('?')));

    TextCodec::setReplacementCharacter(CodePoint(quint32(0)));
    QCOMPARE(TextCodec::replacementCharacter(), CodePoint(quint32(0)));
}

void TestCodecs::detectByteOrder_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<int>("mib");
    QTest::addColumn<int>("expected");

    QTest::newRow("not utf-16 or utf-32") << hex("00410042") << 106 << 0;
    QTest::newRow("empty") << QByteArray() << 1015 << 0;
    QTest::newRow("utf-16 odd size") << hex("004100") << 1015 << 0;
    QTest::newRow("utf-16 big endian by variance") << hex("00410042") << 1015 << 1013;
    QTest::newRow("utf-16 little endian by variance") << hex("41004200") << 1015 << 1014;
    QTest::newRow("utf-16 only little endian decodes") << hex("d8004100") << 1015 << 1014;
    QTest::newRow("utf-16 no winner") << hex("41414141") << 1015 << 0;
    QTest::newRow("utf-32 only big endian decodes") << hex("0000004100000042") << 1017 << 1018;
    QTest::newRow("utf-32 only little endian decodes") << hex("4100000042000000") << 1017 << 1019;
    QTest::newRow("utf-32 neither decodes") << hex("41424344") << 1017 << 0;
}

void TestCodecs::detectByteOrder()
{
    QFETCH(QByteArray, data);
    QFETCH(int, mib);
    QFETCH(int, expected);
    CollectingLogger logger;
    QCOMPARE(TextCodec::detectByteOrder(data, mib), expected);
    QVERIFY(logger.messages.isEmpty());
}

void TestCodecs::detect_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<int>("mib");

    QTest::newRow("empty") << QByteArray() << 106;
    QTest::newRow("ascii, odd length") << QByteArray("abc") << 106;
    QTest::newRow("ascii, even length") << QByteArray("ab") << 106;
    QTest::newRow("ascii with line breaks and tabs, multiple of four") << QByteArray("a\tb\r\n\x03\x7f") << 106;
    // Bytes below 3 can pair into small UTF-16 code points: the full test decides.
    QTest::newRow("ascii with a 0x01 byte") << hex("01410142") << 1013;
    QTest::newRow("utf-8 multibyte") << hex("c3a9") << 106;
    QTest::newRow("utf-16le bom") << hex("fffe4100") << 1014;
    QTest::newRow("utf-16le bom only") << hex("fffe") << 1014;
    QTest::newRow("utf-16be bom") << hex("feff0041") << 1013;
    QTest::newRow("utf-32le bom before utf-16le") << hex("fffe000041000000") << 1019;
    QTest::newRow("utf-32be bom") << hex("0000feff00000041") << 1018;
    QTest::newRow("utf-16le small code points") << hex("41004200") << 1014;
    QTest::newRow("utf-16be small code points") << hex("00410042") << 1013;
    QTest::newRow("utf-32le small code points") << hex("4100000042000000") << 1019;
    QTest::newRow("utf-32be zero first bytes") << hex("0000304200003044") << 1018;
    QTest::newRow("latin-1 wins a tie") << hex("e9") << 4;
    QTest::newRow("windows-1252 quotes") << hex("93486994") << 2252;
    QTest::newRow("utf-16 by statistics") << hex("0410041104120413041404e9") << 1013;
    // Neither UTF-8 nor printable: the locale's UTF-8 could not read it, windows-1252 can.
    QTest::newRow("line breaks fall back to windows-1252") << hex("e90a0a") << 2252;
    QTest::newRow("binary falls back to windows-1252") << hex("0102ff") << 2252;
}

void TestCodecs::detect()
{
    QFETCH(QByteArray, data);
    QFETCH(int, mib);
    CollectingLogger logger;
    TextCodec *codec = TextCodec::detect(data);
    QVERIFY(codec);
    QCOMPARE(codec->mib(), mib);
    QVERIFY(logger.messages.isEmpty());
}

void TestCodecs::detectFixedField_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<int>("detected");
    QTest::addColumn<int>("fixedField");

    // Accented letters with a tab or a line break: too few printable for the single-byte
    // step, and the statistics then pick a UTF-16 reading of nonsense characters.
    QTest::newRow("Latin-1 with a tab") << QByteArray("\xc9t\xe9\t\xc7" "a") << 1013 << 2252;
    QTest::newRow("Latin-1 with CR LF") << QByteArray("\xc7" "a\r\n\xdc" "ber") << 1014 << 2252;
    // Bytes 01 and 02 make small UTF-16 code points, but are ASCII as single bytes.
    QTest::newRow("small code points") << hex("01410142") << 1013 << 106;
    // A mark still says UTF-16: such a field could hold nothing else.
    QTest::newRow("utf-16le with mark") << hex("fffee5652c67") << 1014 << 1014;
    QTest::newRow("ascii") << QByteArray("Title") << 106 << 106;
    QTest::newRow("utf-8") << hex("636166c3a9") << 106 << 106;
    QTest::newRow("latin-1") << hex("636166e9") << 4 << 4;
    QTest::newRow("windows-1252 quotes") << hex("93486994") << 2252 << 2252;
    QTest::newRow("empty") << QByteArray() << 106 << 106;
}

void TestCodecs::detectFixedField()
{
    QFETCH(QByteArray, data);
    QFETCH(int, detected);
    QFETCH(int, fixedField);
    CollectingLogger logger;
    QCOMPARE(TextCodec::detect(data)->mib(), detected);
    QCOMPARE(TextCodec::detectFixedField(data)->mib(), fixedField);
    QVERIFY(logger.messages.isEmpty());
}

void TestCodecs::codecForMib_data()
{
    QTest::addColumn<int>("mib");
    QTest::addColumn<bool>("known");
    QTest::addColumn<bool>("hasDisplayName");

    for (int mib : {3, 4, 106, 1013, 1014, 1015, 1017, 1018, 1019})
        QTest::addRow("mib %d", mib) << mib << true << true;
    QTest::newRow("windows-1252 has no display name") << 2252 << true << false;
    QTest::newRow("unknown") << 2251 << false << false;
    QTest::newRow("zero") << 0 << false << false;
    QTest::newRow("negative") << -1 << false << false;
}

void TestCodecs::codecForMib()
{
    QFETCH(int, mib);
    QFETCH(bool, known);
    QFETCH(bool, hasDisplayName);
    TextCodec *codec = TextCodec::codecForMib(mib);
    QCOMPARE(codec != nullptr, known);
    if (codec) {
        QCOMPARE(codec->mib(), mib);
        QCOMPARE(TextCodec::codecForMib(mib), codec);
    }
    QCOMPARE(!TextCodec::displayName(mib).isEmpty(), hasDisplayName);
}

void TestCodecs::codecForName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("mib"); // 0: no codec

    QTest::newRow("own name") << "UTF-16LE" << 1014;
    QTest::newRow("case and punctuation ignored") << "utf_32be" << 1018;
    QTest::newRow("name with a space") << "iso 8859-1" << 4;
    QTest::newRow("alias latin1") << "Latin1" << 4;
    QTest::newRow("alias utf8") << "utf8" << 106;
    QTest::newRow("alias cp1252") << "CP1252" << 2252;
    QTest::newRow("windows-1252") << "windows-1252" << 2252;
    QTest::newRow("alias of us-ascii") << "ANSI_X3.4-1968" << 3;
    QTest::newRow("unknown") << "KOI8-R" << 0;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("punctuation only") << "--" << 0;
}

void TestCodecs::codecForName()
{
    QFETCH(QString, name);
    QFETCH(int, mib);
    TextCodec *codec = TextCodec::codecForName(name);
    QCOMPARE(codec ? codec->mib() : 0, mib);
}

void TestCodecs::cp1252RoundTrip()
{
    // Every byte decodes to a character that encodes back to the same byte.
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    TextCodec *codec = Cp1252TextCodec::instance();
    const QString text = codec->decode(all, -1, false, CodecErrorMode::Throw);
    QCOMPARE(text.size(), 256);
    QCOMPARE(codec->encode(text, -1, -1, false, false, CodecErrorMode::Throw), all);
    QVERIFY(codec->canEncode(text));
    QVERIFY(!codec->canEncode(units({0x80})));
    QVERIFY(!codec->canEncode(units({0xD83D, 0xDE00})));
    QVERIFY(Utf8TextCodec::instance()->canEncode(units({0xD83D, 0xDE00})));
    QVERIFY(AsciiTextCodec::instance()->canEncode(QString()));
}

QTEST_GUILESS_MAIN(TestCodecs)
// The decoders take shortcuts for ASCII and well-formed UTF-16, and detection tests without
// decoding: over many short byte strings built from the bytes where encodings change their
// meaning, each shortcut gives what the general loop gives.
void TestCodecs::fastPathsAgree()
{
    const QByteArray alphabet = hex("0001417f80bfc2c3e0edeff0f4f8fffed8dc3dde");
    std::mt19937 random(7);
    CollectingLogger logger;
    for (int round = 0; round < 20000; ++round) {
        QByteArray data;
        const int length = int(random() % 13);
        for (int i = 0; i < length; ++i)
            data.append(alphabet.at(int(random() % alphabet.size())));
        for (int mib : {106, 1013, 1014, 1015}) {
            const auto *codec = static_cast<const UtfTextCodec *>(TextCodec::codecForMib(mib));
            for (bool stopAtNul : {false, true}) {
                const QString fast = codec->decodeText(data, stopAtNul, CodecErrorMode::Skip);
                const QString general = codec->UtfTextCodec::decodeText(data, stopAtNul, CodecErrorMode::Skip);
                if (fast != general)
                    QFAIL(qPrintable(QStringLiteral("mib %1, %2, stop %3").arg(mib).arg(QString::fromLatin1(data.toHex())).arg(stopAtNul)));
            }
            if (codec->canDecode(data) != codec->UtfTextCodec::canDecode(data))
                QFAIL(qPrintable(QStringLiteral("canDecode, mib %1, %2").arg(mib).arg(QString::fromLatin1(data.toHex()))));
        }
        for (TextCodec *codec : {static_cast<TextCodec *>(Latin1TextCodec::instance()),
                                 static_cast<TextCodec *>(AsciiTextCodec::instance())}) {
            const bool ascii = codec == AsciiTextCodec::instance();
            QString expected;
            for (char c : data) {
                if (c == 0)
                    break;
                if (!ascii || quint8(c) < 0x80)
                    expected.append(QChar(quint8(c)));
            }
            QCOMPARE(codec->decodeText(data, true, CodecErrorMode::Skip), expected);
        }
    }
}

#include "tst_codecs.moc"
