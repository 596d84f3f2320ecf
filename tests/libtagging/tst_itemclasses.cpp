#include <QtTest>

#include "libcore/locale/localetables.h"
#include "libcore/log/exception.h"
#include "libcore/log/logger.h"
#include "libcore/text/texttable.h"
#include "libtagging/model/commenttagitem.h"
#include "libtagging/model/disctoctagitem.h"
#include "libtagging/model/eventtimingtagitem.h"
#include "libtagging/model/languagetagitem.h"
#include "libtagging/model/lyricstagitem.h"
#include "libtagging/model/plaintagitems.h"
#include "libtagging/model/releasecountrytagitem.h"
#include "libtagging/model/scripttagitem.h"
#include "libtagging/model/synchronizedlyricstagitem.h"
#include "libtagging/model/unknownid3v2datatagitem.h"
#include "libtagging/model/unknownmp4stringtagitem.h"
#include "libtagging/model/volumeadjustmenttagitem.h"

#include <cmath>
#include <memory>

namespace {

class CollectingLogger : public Logger
{
public:
    CollectingLogger() { setRegistered(true); }
    void log(const LogMessage &message) override
    {
        codes.append(message.code);
        arguments.append(message.arguments);
    }
    QList<quint32> codes;
    QList<QVariantList> arguments;
};

const quint32 NoVolumeNumberWarning = 3324981228u;
const quint32 UnreadableBinaryTocWarning = 3019747179u;
const quint32 UnreadableTextTocWarning = 2892089827u;

const LanguageInfo english(QStringLiteral("en"), QStringLiteral("eng"), QStringLiteral("eng"), QStringLiteral("English"), 75);
const LanguageInfo french(QStringLiteral("fr"), QStringLiteral("fre"), QStringLiteral("fra"), QStringLiteral("French"), 37);
const CountryInfo austria(QStringLiteral("AT"), QStringLiteral("AUT"), QStringLiteral("Austria"), 16);
const ScriptInfo latin(QStringLiteral("Latn"), QStringLiteral("Latin"), 7);

std::unique_ptr<TagItem> cloneOf(const TagItem &item)
{
    return std::unique_ptr<TagItem>(item.clone(nullptr));
}

DiscTocTrack track(int number, quint32 address, bool audio = true)
{
    DiscTocTrack t;
    t.number = number;
    t.address = address;
    t.isAudio = audio;
    return t;
}

std::unique_ptr<DiscTocTagItem> toc(const QList<DiscTocTrack> &tracks, quint64 discId = 0)
{
    auto item = std::make_unique<DiscTocTagItem>();
    item->firstTrack = 1;
    item->lastTrack = 0;
    for (const DiscTocTrack &t : tracks) {
        if (t.number != DiscTocTagItem::LeadOutTrack)
            item->lastTrack = std::max(item->lastTrack, t.number);
    }
    item->tracks = tracks;
    item->discId = discId;
    return item;
}

// A binary table: length, first, last, then 8 bytes per descriptor.
QByteArray binaryToc(int first, int last, const QList<QByteArray> &descriptors, int lengthDelta = 0)
{
    QByteArray body;
    body.append(char(first)).append(char(last));
    for (const QByteArray &d : descriptors)
        body.append(d);
    const int length = body.size() + lengthDelta;
    return QByteArray(1, char(length >> 8)) + QByteArray(1, char(length & 0xFF)) + body;
}

QByteArray descriptor(int number, quint32 address, int flags = 0x10, int reserved1 = 0, int reserved2 = 0)
{
    QByteArray d;
    d.append(char(reserved1)).append(char(flags)).append(char(number)).append(char(reserved2));
    for (int shift = 24; shift >= 0; shift -= 8)
        d.append(char((address >> shift) & 0xFF));
    return d;
}

// "number:address:a|d" per track, in list order.
QString describeTracks(const DiscTocTagItem &item)
{
    QStringList parts;
    for (const DiscTocTrack &t : item.tracks)
        parts.append(QStringLiteral("%1:%2:%3").arg(t.number).arg(t.address, 0, 16).arg(t.isAudio ? "a" : "d"));
    return parts.join(QLatin1Char(' '));
}

} // namespace

class TestItemClasses : public QObject
{
    Q_OBJECT

private slots:
    void ratingFromVariant_data()
    {
        QTest::addColumn<QVariant>("input");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<double>("stored");
        QTest::newRow("above 1") << QVariant(1.5) << true << 1.0;
        QTest::newRow("negative") << QVariant(-0.2) << true << 0.0;
        QTest::newRow("NaN") << QVariant(qQNaN()) << true << 0.0;
        QTest::newRow("text") << QVariant(QStringLiteral("0.4")) << true << 0.4;
        QTest::newRow("text without number") << QVariant(QStringLiteral("high")) << false << 0.5;
        QTest::newRow("invalid variant") << QVariant() << false << 0.5;
    }
    void ratingFromVariant()
    {
        QFETCH(QVariant, input);
        QFETCH(bool, accepted);
        QFETCH(double, stored);
        RatingTagItem rating(0.5);
        QCOMPARE(rating.fromVariant(input), accepted);
        QCOMPARE(rating.value, stored);
    }

    void ratingKeepsConstructedValue()
    {
        // Only the conversion clamps: a rating built with 2.0 keeps it and shows it.
        RatingTagItem rating(2.0);
        QCOMPARE(rating.value, 2.0);
        QCOMPARE(rating.toString(), QStringLiteral("2.00"));
        QVERIFY(!rating.isEmpty());
        RatingTagItem nan(qQNaN());
        QVERIFY(!nan.equals(&nan));
        QVERIFY(!RatingTagItem(1.0).equals(new PartOfCompilationTagItem(true, &nan)));
    }

    void booleanFromVariant_data()
    {
        QTest::addColumn<QVariant>("input");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<bool>("stored");
        // Every row starts from true, so a false "stored" shows a change and a true one none.
        QTest::newRow("bool false") << QVariant(false) << true << false;
        QTest::newRow("Yes with spaces") << QVariant(QStringLiteral("  Yes ")) << true << true;
        QTest::newRow("OFF") << QVariant(QStringLiteral("OFF")) << true << false;
        QTest::newRow("0") << QVariant(QStringLiteral("0")) << true << false;
        QTest::newRow("single letter n") << QVariant(QStringLiteral("n")) << false << true;
        QTest::newRow("integer 0") << QVariant(0) << false << true;
        QTest::newRow("empty text") << QVariant(QString()) << false << true;
    }
    void booleanFromVariant()
    {
        QFETCH(QVariant, input);
        QFETCH(bool, accepted);
        QFETCH(bool, stored);
        IsPodcastTagItem item(true);
        QCOMPARE(item.fromVariant(input), accepted);
        QCOMPARE(item.value, stored);
    }

    void booleanDisplayTextIsCapitalised()
    {
        TextTable::table().insert(3104856487u, QStringLiteral("no"));
        ExplicitContentTagItem no(false);
        QCOMPARE(no.toString(), QStringLiteral("No"));
        QCOMPARE(no.toString(QStringLiteral("[data]")), QStringLiteral("0"));
    }

    void codedItemTexts_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("text");
        const int language = LanguageTagItem::Type;
        const int country = ReleaseCountryTagItem::Type;
        const int script = ScriptTagItem::Type;
        QTest::newRow("language value") << language << "value" << "fra";
        QTest::newRow("language display") << language << "" << "French";
        QTest::newRow("language 639-1") << language << "ISO_639_1" << "fr";
        QTest::newRow("language 639-2/B") << language << "ISO_639_2_B" << "fre";
        QTest::newRow("language 639-2/T") << language << "ISO_639_2_T" << "fra";
        QTest::newRow("language data") << language << "[data]" << QString();
        QTest::newRow("language lower-case format") << language << "iso_639_1" << QString();
        QTest::newRow("language country format") << language << "ISO_3166_1_A2" << QString();
        QTest::newRow("country value") << country << "value" << "AT";
        QTest::newRow("country display") << country << "" << "Austria";
        QTest::newRow("country alpha-3") << country << "ISO_3166_1_A3" << "AUT";
        QTest::newRow("country alpha-3 lower case") << country << "iso_3166_1_a3" << QString();
        QTest::newRow("script value") << script << "value" << "Latn";
        QTest::newRow("script display") << script << "" << "Latin";
        QTest::newRow("script 15924") << script << "ISO_15924" << "Latn";
        QTest::newRow("script data") << script << "[data]" << QString();
    }
    void codedItemTexts()
    {
        QFETCH(int, type);
        QFETCH(QString, format);
        QFETCH(QString, text);
        std::unique_ptr<StringTagItem> item;
        if (type == LanguageTagItem::Type)
            item = std::make_unique<LanguageTagItem>(french);
        else if (type == ReleaseCountryTagItem::Type)
            item = std::make_unique<ReleaseCountryTagItem>(austria);
        else
            item = std::make_unique<ScriptTagItem>(latin);
        const QString result = format == QLatin1String("value") ? item->value : item->toString(format);
        QCOMPARE(result, text);
        QCOMPARE(result.isNull(), text.isNull());
    }

    void codedItemFromVariant_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("name");
        const int language = LanguageTagItem::Type;
        const int country = ReleaseCountryTagItem::Type;
        const int script = ScriptTagItem::Type;
        // The value written is the record's code: an edit that kept the old record would be
        // saved as the old language.
        QTest::newRow("language 639-2/T") << language << "deu" << true << "deu" << "German";
        QTest::newRow("language 639-2/B") << language << "ger" << true << "deu" << "German";
        QTest::newRow("language 639-1") << language << "de" << true << "deu" << "German";
        QTest::newRow("language unknown") << language << "qqq" << false << "fra" << "French";
        QTest::newRow("language cleared") << language << "" << true << "" << "";
        QTest::newRow("country lower case") << country << "at" << true << "AT" << "Austria";
        QTest::newRow("country unknown") << country << "Q1" << false << "FR" << "France";
        QTest::newRow("script") << script << "Cyrl" << true << "Cyrl" << "Cyrillic";
        QTest::newRow("script unknown") << script << "Qqqq" << false << "Latn" << "Latin";
    }
    void codedItemFromVariant()
    {
        QFETCH(int, type);
        QFETCH(QString, text);
        QFETCH(bool, accepted);
        QFETCH(QString, value);
        QFETCH(QString, name);
        // Codes are looked up in the tables of the core package.
        static const bool mounted = QResource::registerResource(
            QCoreApplication::applicationDirPath() + "/libcore.rcc", QStringLiteral(":/libcore"));
        QVERIFY(mounted);
        std::unique_ptr<StringTagItem> item;
        if (type == LanguageTagItem::Type)
            item = std::make_unique<LanguageTagItem>(languageByCode(QStringLiteral("fra")));
        else if (type == ReleaseCountryTagItem::Type)
            item = std::make_unique<ReleaseCountryTagItem>(countryByCode(QStringLiteral("FR")));
        else
            item = std::make_unique<ScriptTagItem>(scriptByCode(QStringLiteral("Latn")));
        QCOMPARE(item->fromVariant(text), accepted);
        QCOMPARE(item->value, value);
        QCOMPARE(item->toString(), name);
        // A copy is made from the record, so it must carry the edit too.
        auto copy = cloneOf(*item);
        QCOMPARE(static_cast<StringTagItem *>(copy.get())->value, value);
        QVERIFY(item->equals(copy.get()));
    }

    void codedItemEqualityAndSimilarity()
    {
        LanguageTagItem a(english);
        LanguageTagItem b(english);
        QVERIFY(a.equals(&b));
        // Similarity compares the value (a code) with the other's display text (a name).
        QVERIFY(!a.isSimilar(&b));
        QVERIFY(!a.equals(&*std::make_unique<LanguageTagItem>(french)));
        QVERIFY(!a.equals(&*std::make_unique<CommentTagItem>(QStringLiteral("eng"), QString())));

        // A record whose name is its code is similar to itself.
        const ScriptInfo coded(QStringLiteral("Zyyy"), QStringLiteral("Zyyy"), 0);
        QVERIFY(ScriptTagItem(coded).isSimilar(&*std::make_unique<ScriptTagItem>(coded)));

        LanguageTagItem empty{LanguageInfo()};
        QVERIFY(empty.isEmpty());
        QVERIFY(empty.toString().isEmpty());
    }

    void commentAndLyrics()
    {
        CommentTagItem en(QStringLiteral("Fine"), QStringLiteral("note"), english);
        CommentTagItem fr(QStringLiteral("Fine"), QStringLiteral("note"), french);
        CommentTagItem otherDescription(QStringLiteral("Fine"), QStringLiteral("remark"), english);
        QVERIFY(en.equals(&fr));
        QVERIFY(!en.equals(&otherDescription));
        auto copy = cloneOf(fr);
        const auto *comment = static_cast<const CommentTagItem *>(copy.get());
        QCOMPARE(comment->language.iso639_2T, QStringLiteral("fra"));
        QCOMPARE(comment->description, QStringLiteral("note"));
        QVERIFY(CommentTagItem(QStringLiteral("  "), QStringLiteral("note"), english).isEmpty());

        LyricsTagItem lyrics(QStringLiteral("Fine"), QStringLiteral("note"), english);
        QVERIFY(!lyrics.equals(&en));
        auto lyricsCopy = cloneOf(lyrics);
        QCOMPARE(static_cast<const LyricsTagItem *>(lyricsCopy.get())->language.name, QStringLiteral("English"));
        QVERIFY(lyricsCopy->equals(&lyrics));
    }

    void synchronizedLyricsText_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("text");
        QTest::newRow("two lines") << QStringList{"first", "second"} << "first\nsecond";
        QTest::newRow("blank lines around") << QStringList{"", " a", "b ", ""} << "a\nb";
        QTest::newRow("all empty") << QStringList{"", ""} << "";
        QTest::newRow("none") << QStringList() << "";
    }
    void synchronizedLyricsText()
    {
        QFETCH(QStringList, lines);
        QFETCH(QString, text);
        QList<SynchronizedLyricsLine> timed;
        int time = 0;
        for (const QString &line : lines)
            timed.append({line, time += 1000});
        SynchronizedLyricsTagItem item(english, QString(), 1, timed);
        QCOMPARE(item.toString(), text);
        QCOMPARE(item.toString(QStringLiteral("[data]")), text);
        QCOMPARE(item.isEmpty(), lines.isEmpty());
    }

    void synchronizedLyricsEquality()
    {
        const QList<SynchronizedLyricsLine> lines{{QStringLiteral("first"), 1000}, {QStringLiteral("second"), 2500}};
        SynchronizedLyricsTagItem en(english, QStringLiteral("d"), 1, lines);
        QVERIFY(en.equals(&*std::make_unique<SynchronizedLyricsTagItem>(french, QStringLiteral("d"), 1, lines)));
        QVERIFY(!en.equals(&*std::make_unique<SynchronizedLyricsTagItem>(english, QStringLiteral("d"), 2, lines)));
        QList<SynchronizedLyricsLine> retimed = lines;
        retimed[1].time = 2600;
        QVERIFY(!en.equals(&*std::make_unique<SynchronizedLyricsTagItem>(english, QStringLiteral("d"), 1, retimed)));
        const QList<SynchronizedLyricsLine> reversed{lines.at(1), lines.at(0)};
        QVERIFY(!en.equals(&*std::make_unique<SynchronizedLyricsTagItem>(english, QStringLiteral("d"), 1, reversed)));

        auto copy = cloneOf(en);
        QVERIFY(copy->equals(&en));
        QCOMPARE(static_cast<const SynchronizedLyricsTagItem *>(copy.get())->language.iso639_1, QStringLiteral("en"));
        QVERIFY(!en.fromVariant(QStringLiteral("x")));
        QCOMPARE(en.lines, lines);
        QCOMPARE(SynchronizedLyricsTagItem().contentType, 1);
    }

    void eventTiming()
    {
        EventTimingTagItem none;
        QVERIFY(none.isEmpty());
        QVERIFY(none.toString().isNull());
        EventTimingTagItem events({{2, 100}, {3, 200}});
        QVERIFY(!events.equals(&*std::make_unique<EventTimingTagItem>(QList<TimedEvent>{{3, 200}, {2, 100}})));
        QVERIFY(cloneOf(events)->equals(&events));
        QVERIFY(!events.fromVariant(QVariant(1)));
    }

    void discTocTextForms_data()
    {
        QTest::addColumn<QList<DiscTocTrack>>("tracks");
        QTest::addColumn<quint64>("discId");
        QTest::addColumn<QString>("hexList");
        QTest::addColumn<QString>("withDataTracks");
        QTest::addColumn<QString>("discIdList");
        const int leadOut = DiscTocTagItem::LeadOutTrack;
        QTest::newRow("two audio tracks")
            << QList<DiscTocTrack>{track(1, 0), track(2, 0x4000), track(leadOut, 0x9000)} << quint64(0x1A2B)
            << "2+0+4000+9000" << "2+0+4000+9000" << "1a2b+36864+2+0+16384";
        QTest::newRow("enhanced CD")
            << QList<DiscTocTrack>{track(1, 0), track(2, 0x100), track(3, 0x500, false), track(leadOut, 0x900)}
            << quint64(0) << "2+0+100+500" << "2+0+100+500+900" << "0+2304+3+0+256+1280";
        QTest::newRow("data track before the audio")
            << QList<DiscTocTrack>{track(1, 0x50, false), track(2, 0x60), track(3, 0x100), track(4, 0x500, false),
                                   track(leadOut, 0x900)}
            << quint64(0) << "2+60+100+500" << "2+60+100+500+900+X50" << "0+2304+4+80+96+256+1280";
        QTest::newRow("no lead-out, no data") << QList<DiscTocTrack>{track(1, 0), track(2, 0x4000)} << quint64(0)
                                              << "2+0+4000+ffffffff" << "2+0+4000" << "0+0+2+0+16384";
        QTest::newRow("empty") << QList<DiscTocTrack>() << quint64(7) << QString() << QString() << QString();
    }
    void discTocTextForms()
    {
        QFETCH(QList<DiscTocTrack>, tracks);
        QFETCH(quint64, discId);
        QFETCH(QString, hexList);
        QFETCH(QString, withDataTracks);
        QFETCH(QString, discIdList);
        auto item = toc(tracks, discId);
        QCOMPARE(item->toText(DiscTocTextForm::HexTrackList), hexList);
        QCOMPARE(item->toText(DiscTocTextForm::HexTrackListWithDataTracks), withDataTracks);
        QCOMPARE(item->toText(DiscTocTextForm::DiscIdTrackList), discIdList);
        QVERIFY(item->toText(3).isNull());
        QVERIFY(item->toText(-1).isNull());
    }

    void discTocParseText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("tracks"); // empty: the parser fails
        QTest::addColumn<quint64>("discId");
        QTest::newRow("hex list") << "2+0+4000+9000" << "1:0:a 2:4000:a 170:9000:d" << quint64(0);
        QTest::newRow("count below the entries") << "1+0+4000+9000" << "1:0:a 2:4000:d 170:9000:d" << quint64(0);
        QTest::newRow("data track marked") << " 2+0+X500+100+900 " << "1:0:a 2:100:a 3:500:d 170:900:d" << quint64(0);
        QTest::newRow("lower-case data mark") << "2+0+x 50+100+900" << "1:0:a 2:50:d 3:100:a 170:900:d" << quint64(0);
        QTest::newRow("repeated address takes the last kind") << "2+0+X0+900" << "1:0:d 170:900:a" << quint64(0);
        QTest::newRow("eleven tracks") << "B+0+10+20+30+40+50+60+70+80+90+A0+B0"
                                       << "1:0:a 2:10:a 3:20:a 4:30:a 5:40:a 6:50:a 7:60:a 8:70:a 9:80:a 10:90:a "
                                          "11:a0:a 170:b0:d"
                                       << quint64(0);
        QTest::newRow("disc id") << "1a2b+36864+2+0+16384" << "1:0:a 2:4000:a 170:9000:d" << quint64(0x1A2B);
        QTest::newRow("disc id 100") << "100+900+1+0" << "1:0:a 170:384:d" << quint64(0x100);
        QTest::newRow("disc id 0") << "0+900+1+0" << "1:0:a 170:384:d" << quint64(0);
        QTest::newRow("empty last part") << "2+0+4000+" << QString() << quint64(0);
        QTest::newRow("no number first") << "zz+0+4000" << QString() << quint64(0);
        QTest::newRow("disc id with two parts") << "1a2b+36864" << QString() << quint64(0);
        QTest::newRow("disc id count no number") << "1a2b+36864+x+0" << QString() << quint64(0);
        QTest::newRow("decimal list with hex digit") << "1a2b+36864+1+a0" << QString() << quint64(0);
        QTest::newRow("count alone") << "5" << QString() << quint64(0);
    }
    void discTocParseText()
    {
        QFETCH(QString, text);
        QFETCH(QString, tracks);
        QFETCH(quint64, discId);
        QObject parent;
        CollectingLogger logger;
        if (tracks.isEmpty()) {
            try {
                DiscTocTagItem::parseText(text, &parent);
                QFAIL("accepted");
            } catch (const Exception &e) {
                QCOMPARE(e.code, 0u);
                QVERIFY(!e.logged);
            }
            QVERIFY(parent.children().isEmpty());
            QVERIFY(logger.codes.isEmpty());
            return;
        }
        DiscTocTagItem *item = DiscTocTagItem::parseText(text, &parent);
        QCOMPARE(item->parent(), &parent);
        QCOMPARE(describeTracks(*item), tracks);
        QCOMPARE(item->discId, discId);
        QCOMPARE(item->firstTrack, 1);
        QCOMPARE(item->lastTrack, int(item->tracks.size()) - 1);
    }

    void discTocBinaryRoundTrip()
    {
        // Flags, reserved bytes and ADR survive; the tracks come back sorted by number.
        const QByteArray bytes = binaryToc(1, 2,
                                           {descriptor(2, 0x4000, 0x1B, 0x12, 0x34), descriptor(170, 0x9000, 0x14),
                                            descriptor(1, 0x96, 0x22)});
        std::unique_ptr<DiscTocTagItem> item(DiscTocTagItem::parseBinary(bytes));
        QCOMPARE(describeTracks(*item), QStringLiteral("1:96:a 2:4000:a 170:9000:d"));
        const DiscTocTrack &second = item->tracks.at(1);
        QCOMPARE(second.adr, 1);
        QCOMPARE(second.channels, 4);
        QVERIFY(second.copyPermitted);
        QVERIFY(second.preEmphasis);
        QCOMPARE(second.reserved1, 0x12);
        QCOMPARE(second.reserved2, 0x34);
        QCOMPARE(item->tracks.at(0).adr, 2);
        QVERIFY(item->tracks.at(0).copyPermitted);
        const QByteArray sorted = binaryToc(1, 2,
                                            {descriptor(1, 0x96, 0x22), descriptor(2, 0x4000, 0x1B, 0x12, 0x34),
                                             descriptor(170, 0x9000, 0x14)});
        QCOMPARE(item->toBinary(), sorted);
        QVERIFY(DiscTocTagItem().toBinary().isEmpty());
    }

    void discTocBinaryRejected_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("one byte") << QByteArray(1, '\0');
        QTest::newRow("length past the data") << binaryToc(1, 1, {descriptor(1, 0), descriptor(170, 0x900)}, 1);
        QTest::newRow("length short of the data") << binaryToc(1, 1, {descriptor(1, 0), descriptor(170, 0x900)}, -1);
        QTest::newRow("length 10") << binaryToc(1, 1, {descriptor(1, 0)});
        QTest::newRow("last below first") << binaryToc(2, 1, {descriptor(170, 0x900), descriptor(2, 0)});
        QTest::newRow("ends inside a descriptor")
            << binaryToc(1, 1, {descriptor(1, 0), descriptor(170, 0x900), QByteArray(4, '\0')});
        QTest::newRow("track outside first..last") << binaryToc(1, 1, {descriptor(1, 0), descriptor(2, 0x900)});
    }
    void discTocBinaryRejected()
    {
        QFETCH(QByteArray, bytes);
        CollectingLogger logger;
        QVERIFY_THROWS_EXCEPTION(Exception, DiscTocTagItem::parseBinary(bytes));
        QVERIFY(logger.codes.isEmpty());
        QObject parent;
        try {
            DiscTocTagItem::fromBinary(bytes, &parent);
            QFAIL("accepted");
        } catch (const Exception &e) {
            QCOMPARE(e.code, 0u);
        }
        QVERIFY(parent.children().isEmpty());
        QVERIFY(logger.codes.contains(UnreadableBinaryTocWarning));
        QVERIFY(logger.arguments.constLast().value(0).toString().startsWith(
            QStringLiteral("0x") + QString::fromLatin1(bytes.left(4).toHex())));
    }

    void discTocFromBinaryFallsBackToText()
    {
        QObject parent;
        DiscTocTagItem *item = DiscTocTagItem::fromBinary(QByteArray("2+0+4000+9000\0junk", 18), &parent);
        QCOMPARE(item->parent(), &parent);
        QCOMPARE(describeTracks(*item), QStringLiteral("1:0:a 2:4000:a 170:9000:d"));
        QVERIFY(DiscTocTagItem::fromBinary(QByteArray(), &parent)->isEmpty());
    }

    void discTocWarningArgumentIsCut()
    {
        CollectingLogger logger;
        const QByteArray bytes(100, '\xEE');
        QVERIFY_THROWS_EXCEPTION(Exception, DiscTocTagItem::fromBinary(bytes));
        const int warning = logger.codes.indexOf(UnreadableBinaryTocWarning);
        QVERIFY(warning >= 0);
        QCOMPARE(logger.arguments.at(warning).value(0).toString(),
                 QStringLiteral("0x") + QStringLiteral("ee").repeated(64) + QStringLiteral("..."));
    }

    void discTocFromText()
    {
        CollectingLogger logger;
        std::unique_ptr<DiscTocTagItem> empty(DiscTocTagItem::fromText(QString()));
        QVERIFY(empty->isEmpty());
        QVERIFY(logger.codes.isEmpty());
        QVERIFY_THROWS_EXCEPTION(Exception, DiscTocTagItem::fromText(QStringLiteral("2+0+")));
        QCOMPARE(logger.codes, QList<quint32>{UnreadableTextTocWarning});
        QCOMPARE(logger.arguments.at(0), QVariantList{QStringLiteral("2+0+")});
    }

    void discTocEqualityAndCopy()
    {
        auto item = toc({track(1, 0), track(2, 0x4000), track(170, 0x9000)}, 0x1A2B);
        auto other = toc({track(1, 0), track(2, 0x4000), track(170, 0x9000)}, 0x55);
        other->tracks[0].adr = 3;
        other->tracks[0].channels = 4;
        other->tracks[0].copyPermitted = true;
        other->tracks[1].reserved1 = 9;
        QVERIFY(item->equals(other.get()));
        other->tracks[1].isAudio = false;
        QVERIFY(!item->equals(other.get()));

        // The copy keeps the disc id.
        auto copy = cloneOf(*item);
        QVERIFY(copy->equals(item.get()));
        QCOMPARE(static_cast<const DiscTocTagItem *>(copy.get())->discId, quint64(0x1A2B));
        QCOMPARE(copy->toString(), QString());
    }

    void discTocCopyOfTableTheBinaryFormCannotHold()
    {
        // One track and no lead-out: its binary form is too short for the binary parser,
        // yet the copy must hold the same track.
        auto single = toc({track(1, 0x96)});
        QVERIFY_THROWS_EXCEPTION(Exception, DiscTocTagItem::parseBinary(single->toBinary()));
        CollectingLogger logger;
        auto copy = cloneOf(*single);
        QVERIFY(!copy->isEmpty());
        QVERIFY(copy->equals(single.get()));
        QVERIFY(logger.codes.isEmpty());
        // Parsed from text: ordered by address, which the copy keeps.
        std::unique_ptr<DiscTocTagItem> parsed(DiscTocTagItem::parseText(QStringLiteral("3+0+X10+20+30+40")));
        auto parsedCopy = cloneOf(*parsed);
        QCOMPARE(describeTracks(*static_cast<DiscTocTagItem *>(parsedCopy.get())), describeTracks(*parsed));
    }

    void discTocTrackDuration_data()
    {
        QTest::addColumn<QList<DiscTocTrack>>("tracks");
        QTest::addColumn<int>("number");
        QTest::addColumn<int>("duration");
        const QList<DiscTocTrack> disc{track(1, 0), track(2, 150), track(3, 300, false), track(170, 1000)};
        QTest::newRow("150 frames") << disc << 1 << 2000;
        QTest::newRow("before a data track") << disc << 2 << 2000;
        QTest::newRow("data track") << disc << 3 << -1;
        QTest::newRow("lead-out") << disc << 170 << -1;
        QTest::newRow("unknown number") << disc << 9 << -1;
        QTest::newRow("last audio before lead-out")
            << QList<DiscTocTrack>{track(1, 0), track(2, 150), track(170, 225)} << 2 << 1000;
        QTest::newRow("gap in the numbers") << QList<DiscTocTrack>{track(1, 0), track(3, 150)} << 1 << -1;
        QTest::newRow("found by search") << QList<DiscTocTrack>{track(5, 0), track(6, 75)} << 5 << 1000;
        QTest::newRow("next address before this one")
            << QList<DiscTocTrack>{track(1, 300), track(2, 150), track(170, 600)} << 1 << -1;
        QTest::newRow("longest difference")
            << QList<DiscTocTrack>{track(1, 0), track(170, 0xFFFFFFFFu)} << 1 << -1;
    }
    void discTocTrackDuration()
    {
        QFETCH(QList<DiscTocTrack>, tracks);
        QFETCH(int, number);
        QFETCH(int, duration);
        QCOMPARE(toc(tracks)->trackDuration(number), duration);
    }

    void volumeParseValue_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<double>("value");
        QTest::newRow("gain with unit") << " -7.03 dB " << true << -7.03;
        QTest::newRow("plus sign") << "+2.5dB" << true << 2.5;
        QTest::newRow("peak") << "0.988556" << true << 0.988556;
        QTest::newRow("unit alone") << "dB" << false << 0.0;
        QTest::newRow("decimal comma") << "1,5" << false << 0.0;
        QTest::newRow("empty") << "" << false << 0.0;
    }
    void volumeParseValue()
    {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(double, value);
        CollectingLogger logger;
        if (ok) {
            QCOMPARE(VolumeAdjustmentTagItem::parseValue(text), value);
            QVERIFY(logger.codes.isEmpty());
            return;
        }
        try {
            VolumeAdjustmentTagItem::parseValue(text);
            QFAIL("accepted");
        } catch (const Exception &e) {
            QCOMPARE(e.code, 0u);
        }
        QCOMPARE(logger.codes, QList<quint32>{NoVolumeNumberWarning});
        QCOMPARE(logger.arguments.at(0), QVariantList{text});
    }

    void volumeTexts_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("gain");
        QTest::addColumn<QString>("peak");
        QTest::newRow("usual decimals") << -6.5 << "-6.50 dB" << "-6.500000";
        QTest::newRow("zero") << 0.0 << "0.00 dB" << "0.000000";
        QTest::newRow("peak in six decimals") << 0.988831 << "0.988831 dB" << "0.988831";
        // A step of an RVA2 frame (1/512 dB), and a number with as many digits as a double has.
        QTest::newRow("finer than usual") << -6.001953125 << "-6.001953125 dB" << "-6.001953125";
        QTest::newRow("a third") << 1.0 / 3.0 << "0.3333333333333333 dB" << "0.3333333333333333";
        QTest::newRow("tiny") << 1e-9 << "0.000000001 dB" << "0.000000001";
        QTest::newRow("huge") << 1e20 << "100000000000000000000.00 dB" << "100000000000000000000.000000";
    }
    void volumeTexts()
    {
        QFETCH(double, value);
        QFETCH(QString, gain);
        QFETCH(QString, peak);
        const QString gainText = VolumeAdjustmentTagItem::gainText(value);
        const QString peakText = VolumeAdjustmentTagItem::peakText(value);
        QCOMPARE(gainText, gain);
        QCOMPARE(peakText, peak);
        // Whatever the digits, the texts read back as the very number.
        QCOMPARE(VolumeAdjustmentTagItem::parseValue(gainText), value);
        QCOMPARE(VolumeAdjustmentTagItem::parseValue(peakText), value);
    }

    void unknownItemsExtras()
    {
        Id3v2FrameFlags flags;
        flags.compression = true;
        flags.groupId = 7;
        UnknownId3v2DataTagItem flagged(QStringLiteral("XYZW"), flags, QByteArray("ab"));
        UnknownId3v2DataTagItem plain(QStringLiteral("XYZW"), Id3v2FrameFlags(), QByteArray("ab"));
        QVERIFY(flagged.equals(&plain));
        auto copy = cloneOf(flagged);
        QCOMPARE(static_cast<const UnknownId3v2DataTagItem *>(copy.get())->flags, flags);
        QCOMPARE(static_cast<const UnknownId3v2DataTagItem *>(copy.get())->name, QStringLiteral("XYZW"));
        QVERIFY(copy->toString().isNull());
        QVERIFY(!copy->fromVariant(QByteArray("x")));

        UnknownMp4StringTagItem box(QStringLiteral("abcd"), QStringLiteral("text"));
        auto boxCopy = cloneOf(box);
        QVERIFY(static_cast<const UnknownMp4StringTagItem *>(boxCopy.get())->mean.isNull());
        QVERIFY(static_cast<const UnknownMp4StringTagItem *>(boxCopy.get())->freeformName.isNull());
        QCOMPARE(boxCopy->toString(QStringLiteral("[data]")), QStringLiteral("text"));
        UnknownRiffStringTagItem riff(QStringLiteral("abcd"), QStringLiteral("text"));
        UnknownId3v2StringTagItem id3(QStringLiteral("abcd"), QStringLiteral("text"));
        QVERIFY(!riff.equals(&id3));
    }
};

QTEST_GUILESS_MAIN(TestItemClasses)
#include "tst_itemclasses.moc"
