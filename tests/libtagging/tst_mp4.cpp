#include <QtTest>

#include "libcore/io/iostream.h"
#include "libcore/log/exception.h"
#include "libcore/log/logger.h"
#include "libtagging/model/artworktagitem.h"
#include "libtagging/model/lyricstagitem.h"
#include "libtagging/model/commenttagitem.h"
#include "libtagging/model/disctoctagitem.h"
#include "libtagging/model/taginfo.h"
#include "libtagging/model/audiotag.h"
#include "libtagging/model/plaintagitems.h"
#include "libtagging/model/releasecountrytagitem.h"
#include "libtagging/model/taggingsettings.h"
#include "libtagging/model/unknownmp4stringtagitem.h"
#include "libtagging/model/userdefinedtexttagitem.h"
#include "libtagging/mp4/mp4box.h"
#include "libtagging/mp4/mp4streamio.h"
#include "support_bytebuilder.h"

#include <QtEndian>

namespace {

QByteArray box(const QByteArray &type, const QByteArray &payload = {})
{
    return be32(quint32(8 + payload.size())) + type + payload;
}

QByteArray largeBox(const QByteArray &type, const QByteArray &payload)
{
    return be32(1) + type + be64(quint64(16 + payload.size())) + payload;
}

QByteArray ftyp(const QByteArray &brand = "M4A ")
{
    return box("ftyp", brand + be32(0) + "M4A mp42");
}

QByteArray handler()
{
    return box("hdlr", QByteArray(8, '\0') + "mdirappl" + QByteArray(10, '\0'));
}

QByteArray item(const QByteArray &type, const QByteArray &value, quint32 indicator = 1)
{
    return box(type, box("data", be32(indicator) + be32(0) + value));
}

QByteArray table(const QByteArray &type, const QList<quint64> &entries)
{
    QByteArray payload = be32(0) + be32(quint32(entries.size()));
    for (quint64 e : entries)
        payload += type == "co64" ? be64(e) : be32(quint32(e));
    return box(type, payload);
}

QByteArray track(const QByteArray &tables)
{
    return box("trak", box("mdia", box("minf", box("stbl", tables))));
}

// The tree as text: type, "~" for a box left in the stream, its size, ":" and the length
// of its data, children in braces.
QString describe(const QList<Mp4Box *> &boxes)
{
    QStringList parts;
    for (const Mp4Box *b : boxes) {
        QString s = b->type + (b->loaded ? "" : "~") + QString::number(b->size);
        if (!b->data.isEmpty())
            s += ":" + QString::number(b->data.size());
        if (!b->children.isEmpty())
            s += "{" + describe(b->children) + "}";
        parts << s;
    }
    return parts.join(' ');
}

QString parseDescription(const QByteArray &bytes)
{
    IoStream stream(bytes, QIODevice::ReadOnly);
    QObject parent;
    return describe(Mp4StreamIo::parseBoxes(&stream, stream.size(), QString(), &parent));
}

// A small MP4 file: ftyp, moov (a track whose chunk offsets point at bytes 0, 10 and 20 of
// the media payload, then udta.meta.ilst with the items and an optional free box), mdat.
struct Sample {
    QByteArray items;
    int metaFree = 0; // size of a free box after ilst; 0 for none
    bool moovFirst = true;
    QByteArray media = QByteArray("0123456789abcdefghijKLMNOPQRST");
    bool wideTable = false;
    bool largeMediaHeader = false;

    QByteArray build() const
    {
        const auto moovWith = [&](qint64 payloadStart) {
            const QList<quint64> entries = {quint64(payloadStart), quint64(payloadStart + 10),
                                            quint64(payloadStart + 20)};
            QByteArray meta = be32(0) + handler() + box("ilst", items);
            QByteArray udta = box("meta", meta);
            if (metaFree)
                udta = box("meta", meta + box("free", QByteArray(metaFree - 8, 'x')));
            return box("moov", track(table(wideTable ? "co64" : "stco", entries)) + box("udta", udta));
        };
        const QByteArray mdat = largeMediaHeader ? largeBox("mdat", media) : box("mdat", media);
        const int header = largeMediaHeader ? 16 : 8;
        if (moovFirst) {
            const qint64 moovSize = moovWith(0).size();
            return ftyp() + moovWith(24 + moovSize + header) + mdat;
        }
        return ftyp() + mdat + moovWith(24 + header);
    }
};

struct Layout {
    qint64 mediaOffset = -1;
    QByteArray media;
    QList<qint64> chunkOffsets; // relative to the media payload
    QString tree;
};

Layout inspect(const QByteArray &bytes)
{
    Layout layout;
    IoStream stream(bytes, QIODevice::ReadOnly);
    QObject parent;
    auto *root = new Mp4Box(QString(), QByteArray(), &parent);
    root->appendChildren(Mp4StreamIo::parseBoxes(&stream, stream.size(), QString(), &parent));
    layout.tree = describe(root->children);
    const QList<Mp4Box *> media = Mp4StreamIo::findBoxes(root, "mdat");
    if (media.isEmpty())
        return layout;
    const Mp4Box *mdat = media.first();
    layout.mediaOffset = mdat->offset;
    const qint64 payload = mdat->offset + mdat->headerSize;
    layout.media = bytes.mid(payload, mdat->size - mdat->headerSize);
    for (const char *path : {"moov.trak.mdia.minf.stbl.stco", "moov.trak.mdia.minf.stbl.co64"}) {
        for (const Mp4Box *t : Mp4StreamIo::findBoxes(root, path)) {
            const bool wide = t->type == "co64";
            const quint32 count = qFromBigEndian<quint32>(t->data.constData() + 4);
            for (quint32 i = 0; i < count; ++i) {
                const char *p = t->data.constData() + 8 + i * (wide ? 8 : 4);
                const qint64 e = wide ? qint64(qFromBigEndian<quint64>(p)) : qFromBigEndian<quint32>(p);
                layout.chunkOffsets << e - payload;
            }
        }
    }
    return layout;
}

// Rewrites bytes with a new item list holding the given raw item boxes (none: the tag is
// removed).
QByteArray rewrite(const QByteArray &bytes, const QList<QByteArray> &items, bool removeTag = false,
                   Mp4Settings settings = Mp4Settings())
{
    IoStream stream(bytes, QIODevice::ReadWrite);
    std::function<void(Mp4Box *)> fill;
    if (!removeTag) {
        fill = [&](Mp4Box *list) {
            for (const QByteArray &i : items) {
                IoStream in(i, QIODevice::ReadOnly);
                list->appendChildren(Mp4StreamIo::parseBoxes(&in, in.size(), "ilst", list));
            }
        };
    }
    Mp4StreamIo::rewriteFile(&stream, settings, fill);
    return stream.data();
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

QByteArray fileWithItems(const QByteArray &items)
{
    return ftyp() + box("moov", box("udta", box("meta", be32(0) + handler() + box("ilst", items)))) + box("mdat", "m");
}

QByteArray freeform(const QByteArray &mean, const QList<QByteArray> &names, const QByteArray &value)
{
    QByteArray payload;
    if (!mean.isNull())
        payload += box("mean", be32(0) + mean);
    for (const QByteArray &n : names)
        payload += box("name", be32(0) + n);
    return box("----", payload + box("data", be32(1) + be32(0) + value));
}

// "type:value" of every item of the MP4 tag read from bytes.
QStringList itemsOf(const QByteArray &bytes)
{
    IoStream stream(bytes, QIODevice::ReadOnly);
    QObject parent;
    QStringList result;
    for (const AudioTag *tag : Mp4StreamIo::instance()->readTags(&stream, {}, nullptr, &parent)) {
        for (const TagItem *i : tag->itemList()) {
            QString text = i->toString("[data]");
            if (i->type() == TagItemType::UnknownMp4Data)
                text = static_cast<const UnknownDataTagItem *>(i)->name + "=" + static_cast<const UnknownDataTagItem *>(i)->data.toHex();
            else if (i->type() == TagItemType::UnknownMp4String) {
                const auto *u = static_cast<const UnknownMp4StringTagItem *>(i);
                text = u->name + "|" + u->mean + "|" + u->freeformName + "=" + u->value;
            } else if (i->type() == TagItemType::UserDefinedText)
                text = static_cast<const UserDefinedTextTagItem *>(i)->description + "=" + text;
            result << QString::number(i->type()) + ":" + text;
        }
    }
    return result;
}

// The item boxes of a file: "type text" for text items, "---- name=text" for freeform ones.
QStringList itemsOfFile(const QByteArray &bytes)
{
    IoStream in(bytes, QIODevice::ReadOnly);
    QObject parent;
    Mp4Box root{QString(), QByteArray()};
    root.appendChildren(Mp4StreamIo::parseBoxes(&in, in.size(), QString(), &parent));
    QStringList result;
    for (const Mp4Box *list : Mp4StreamIo::findBoxes(&root, "moov.udta.meta.ilst")) {
        for (const Mp4Box *i : list->children) {
            QString name;
            QString text;
            for (const Mp4Box *c : i->children) {
                if (c->type == "name")
                    name = QString::fromUtf8(c->data.mid(4));
                else if (c->type == "data")
                    text = QString::fromUtf8(c->data.mid(8));
            }
            result << i->type + " " + (name.isNull() ? text : name + "=" + text);
        }
    }
    return result;
}

// The item boxes written for tag, each as its type and the hex bytes of its payload.
QStringList writtenItems(const AudioTag *tag, const TaggingSettings *settings = nullptr)
{
    IoStream stream(fileWithItems({}), QIODevice::ReadWrite);
    Mp4StreamIo::instance()->writeTags(&stream, tag, {}, settings);
    IoStream in(stream.data(), QIODevice::ReadOnly);
    QObject parent;
    Mp4Box root{QString(), QByteArray()};
    root.appendChildren(Mp4StreamIo::parseBoxes(&in, in.size(), QString(), &parent));
    QStringList result;
    for (const Mp4Box *b : Mp4StreamIo::findBoxes(&root, "moov.udta.meta.ilst"))
        for (const Mp4Box *i : b->children) {
            QStringList parts;
            for (const Mp4Box *c : i->children)
                parts << c->type + "=" + c->data.toHex();
            result << i->type + " " + parts.join(' ');
        }
    return result;
}

// An audio specific config from (value, bit count) fields, most significant bit first.
QByteArray bits(const QList<QPair<quint32, int>> &fields)
{
    QByteArray out;
    int used = 0;
    for (const auto &[value, count] : fields) {
        for (int i = count - 1; i >= 0; --i) {
            if (used % 8 == 0)
                out.append('\0');
            if ((value >> i) & 1)
                out[out.size() - 1] = char(out.at(out.size() - 1) | (0x80 >> (used % 8)));
            ++used;
        }
    }
    return out;
}

QByteArray esds(quint32 maximum, quint32 average, const QByteArray &config)
{
    QByteArray decoder = QByteArray("\x40\x15\0\0\0", 5) + be32(maximum) + be32(average);
    if (!config.isNull())
        decoder += "\x05" + QByteArray(1, char(config.size())) + config;
    const QByteArray es = be16(1) + QByteArray(1, '\0') + "\x04" + QByteArray(1, char(decoder.size())) + decoder;
    return box("esds", be32(0) + "\x03" + QByteArray(1, char(es.size())) + es);
}

// A file with one track holding the sample entry, a media header of timeScale and units
// (none when timeScale is negative) and a time-to-sample table.
QByteArray audioFile(const QByteArray &entry, qint64 timeScale, quint32 units, const QByteArray &stts)
{
    QByteArray mdia;
    if (timeScale >= 0)
        mdia += box("mdhd", be32(0) + be32(0) + be32(0) + be32(quint32(timeScale)) + be32(units) + be32(0));
    mdia += box("minf", box("stbl", box("stsd", be32(0) + be32(1) + entry) + stts));
    return ftyp() + box("moov", box("trak", box("mdia", box("hdlr", "vide"))) + box("trak", box("mdia", mdia)))
           + box("mdat", QByteArray(1000, 'x')) + box("mdat", QByteArray(984, 'y'));
}

QByteArray sampleEntry(const QByteArray &type, int channels, int rate, const QByteArray &children = {})
{
    return box(type, QByteArray(16, '\0') + be16(quint16(channels)) + QByteArray(6, '\0') + be16(quint16(rate))
                         + be16(0) + children);
}

class CollectingLogger : public Logger
{
public:
    CollectingLogger() { setRegistered(true); }
    ~CollectingLogger() override { setRegistered(false); }
    void log(const LogMessage &message) override { codes.append(message.code); }
    QList<quint32> codes;
};

} // namespace

class TestMp4 : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        // Languages are looked up in the tables of the core package.
        QVERIFY(QResource::registerResource(QCoreApplication::applicationDirPath() + "/libcore.rcc",
                                            QStringLiteral(":/libcore")));
    }

    // Box tree

    void parseKinds()
    {
        const QByteArray bytes =
            ftyp()
            + box("moov", box("udta", box("meta", be32(0) + handler()
                                                      + box("ilst", item("\xA9nam", "abc") + box("free", box("data", be32(1) + be32(0) + "x"))))))
            + box("moov", track(box("stsd", be32(0) + be32(1) + box("mp4a", QByteArray(28, 'a') + box("esds", "e")))))
            + box("mdat", "media") + box("free", "ff") + box("skip", "s");
        QCOMPARE(parseDescription(bytes),
                 QString("ftyp24:16 moov122{udta114{meta106:4{hdlr34:26 ilst60{\u00A9nam27{data19:11} free25{data17:9}}}}} "
                         "moov101{trak93{mdia85{minf77{stbl69{stsd61:8{mp4a45:28{esds9:1}}}}}}} "
                         "mdat~13 free~10 skip~9"));
    }

    void parseRanges_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("tree");
        QTest::newRow("size 0 runs to the end") << box("ftyp") + be32(0) + "mdat" + "12345" << "ftyp8 mdat~13";
        QTest::newRow("child past its parent is cut")
            << box("moov", be32(100) + "abcd" + "xy") + box("free") << "moov18{abcd10:2} free~8";
        QTest::newRow("fewer than 8 bytes left") << box("ftyp") + "1234567" << "ftyp8";
        QTest::newRow("large size without its 8 bytes") << box("ftyp") + be32(1) + "mdat" + "1234567" << "ftyp8";
        QTest::newRow("large size header") << largeBox("abcd", "xyz") + box("free") << "abcd19:3 free~8";
        QTest::newRow("prefix longer than the box") << box("moov", box("meta", "ab")) << "moov18{meta10:2}";
        QTest::newRow("free inside ilst holds items")
            << box("ilst", box("free", box("data", "12345678z"))) << "ilst33{free25{data17:9}}";
    }
    void parseRanges()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, tree);
        QCOMPARE(parseDescription(bytes), tree);
    }

    // Sizes that would stall or reverse the parser, and runaway nesting, are refused.
    void parseHostile_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<quint32>("code");
        QTest::newRow("size below the header") << box("ftyp") + be32(4) + "abcd" + QByteArray(8, 'x')
                                               << quint32(Mp4StreamIo::BoxSizeTooSmall);
        QTest::newRow("large size below its header") << be32(1) + "abcd" + be64(15) + QByteArray(8, 'x')
                                                     << quint32(Mp4StreamIo::BoxSizeTooSmall);
        QTest::newRow("negative large size") << be32(1) + "abcd" + be64(quint64(-16)) + QByteArray(8, 'x')
                                             << quint32(Mp4StreamIo::BoxSizeTooSmall);
        QByteArray deep = box("free");
        for (int i = 0; i < 40; ++i)
            deep = box("moov", deep);
        QTest::newRow("nesting without end") << deep << quint32(Mp4StreamIo::NestingTooDeep);
        QByteArray fine = box("free");
        for (int i = 0; i < 30; ++i)
            fine = box("moov", fine);
        QTest::newRow("deep but allowed") << fine << quint32(0);
    }
    void parseHostile()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(quint32, code);
        QCOMPARE(codeOf([&] { parseDescription(bytes); }), code);
    }

    void findBoxes()
    {
        const QByteArray bytes = box("moov", box("udta", box("ID32", "a")) + box("udta", box("id32", "b") + box("ID32", "c")))
                                 + box("moov", box("udta", box("ID32", "d")));
        IoStream stream(bytes, QIODevice::ReadOnly);
        QObject parent;
        Mp4Box root{QString(), QByteArray()};
        root.appendChildren(Mp4StreamIo::parseBoxes(&stream, stream.size(), QString(), &parent));
        QVERIFY(Mp4StreamIo::findBoxes(&root, "moo").isEmpty());
        QCOMPARE(Mp4StreamIo::findBoxes(&root, "moov").size(), 2);
        QStringList found;
        for (const Mp4Box *b : Mp4StreamIo::findBoxes(&root, "moov/udta/ID32"))
            found << QString::fromLatin1(b->data);
        QCOMPARE(found, QStringList({"a", "c", "d"}));
        Mp4StreamIo::removeBoxes(&root, Mp4StreamIo::findBoxes(&root, "moov.udta.ID32"));
        QCOMPARE(describe(root.children), QString("moov51{udta17 udta26{id329:1}} moov25{udta17}"));
    }

    void layoutAndWrite()
    {
        // A loaded box reaching 2^32 bytes needs the 16-byte header; one byte less does not.
        for (const qint64 payload : {Mp4Box::largeSizeLimit - 8 - 8 - 1, Mp4Box::largeSizeLimit - 8 - 8}) {
            Mp4Box parent("moov", QByteArray());
            parent.appendChild(new Mp4Box("mdat", QByteArray(), false, 100, payload + 8, 8));
            qint64 position = 0;
            const qint64 size = parent.layout(position);
            QCOMPARE(position, size);
            const bool large = payload + 16 >= Mp4Box::largeSizeLimit;
            QCOMPARE(size, payload + 16 + (large ? 8 : 0));
            QCOMPARE(parent.children.first()->newOffset, large ? 16 : 8);
            QCOMPARE(parent.headerBytes(), large ? be32(1) + "moov" + be64(quint64(size)) : be32(quint32(size)) + "moov");
        }

        Mp4Box free("free", QByteArray(), false, 0, 20, 8);
        free.setData("abc");
        QCOMPARE(free.size, 20);
        QVERIFY(free.data.isEmpty());

        QObject owner;
        const Mp4Box *empty = Mp4StreamIo::makeFreeBox(8, &owner);
        QCOMPARE(empty->size, 8);
        QVERIFY(empty->data.isEmpty());
        QCOMPARE(codeOf([] { Mp4StreamIo::makeFreeBox(7, nullptr); }), quint32(Mp4Box::InvalidFreeBoxSize));

        Mp4Box moov("moov", "ab");
        moov.appendChild(new Mp4Box("free", QByteArray(2, 'z')));
        qint64 position = 0;
        moov.layout(position);
        IoStream out(QIODevice::ReadWrite);
        moov.write(&out);
        QCOMPARE(out.data(), box("moov", "ab" + box("free", "zz")));
        // Laid out from 0, written elsewhere: refused before anything is written.
        IoStream shifted(QByteArray(4, '\0'), QIODevice::ReadWrite);
        shifted.seek(4);
        QCOMPARE(codeOf([&] { moov.write(&shifted); }), quint32(Mp4Box::WrongWritePosition));
        QCOMPARE(shifted.size(), 4);
    }

    // File structure

    void checkFileType_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<quint32>("code");
        QTest::newRow("M4A") << ftyp("M4A ") << quint32(0);
        QTest::newRow("isom") << ftyp("isom") << quint32(0);
        QTest::newRow("lower case m4a") << ftyp("m4a ") << quint32(Mp4StreamIo::UnknownBrand);
        QTest::newRow("compatible brand only") << box("ftyp", "qt  " + be32(0) + "M4A ") << quint32(Mp4StreamIo::UnknownBrand);
        QTest::newRow("no ftyp") << box("moov") << quint32(Mp4StreamIo::NoFileTypeBox);
    }
    void checkFileType()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(quint32, code);
        IoStream stream(bytes, QIODevice::ReadOnly);
        QObject parent;
        Mp4Box root{QString(), QByteArray()};
        root.appendChildren(Mp4StreamIo::parseBoxes(&stream, stream.size(), QString(), &parent));
        QCOMPARE(codeOf([&] { Mp4StreamIo::checkFileType(&stream, &root); }), code);
    }

    void createBoxPath()
    {
        IoStream stream(QIODevice::ReadWrite);
        Mp4Box root{QString(), QByteArray()};
        root.appendChild(new Mp4Box("moov", QByteArray()));
        int added = -1;
        Mp4Box *list = Mp4StreamIo::createBoxPath(&stream, &root, "moov.udta.meta.ilst", added);
        QCOMPARE(list->type, QString("ilst"));
        QCOMPARE(added, 8 + 12 + 34 + 8);
        QCOMPARE(describe(root.children), QString("moov-1{udta-1{meta-1:4{hdlr-1:26 ilst-1}}}"));
        QCOMPARE(codeOf([&] { Mp4StreamIo::createBoxPath(&stream, &root, "moov.udta", added); }),
                 quint32(Mp4StreamIo::BoxPathExists));
        QCOMPARE(codeOf([&] { Mp4StreamIo::createBoxPath(&stream, &root, "moo", added); }),
                 quint32(Mp4StreamIo::BoxPathTooShort));
    }

    // Rewriting: where padding goes, when the media data moves, and that its chunk offsets
    // keep pointing at the same bytes.
    void padding_data()
    {
        QTest::addColumn<int>("metaFree");
        QTest::addColumn<int>("growth");
        QTest::addColumn<int>("preferred");
        QTest::addColumn<bool>("mediaStays");
        QTest::addColumn<int>("newFree"); // size of the free box in meta after writing, 0 none
        QTest::newRow("growth within the padding") << 2048 << 100 << 2048 << true << 1948;
        QTest::newRow("exactly the free space") << 2048 << 2048 << 2048 << true << 0;
        QTest::newRow("no change") << 2048 << 0 << 2048 << true << 2048;
        QTest::newRow("shrinking grows the padding") << 2048 << -40 << 2048 << true << 2088;
        QTest::newRow("leftover too small for a box") << 2048 << 2044 << 2048 << false << 2048;
        QTest::newRow("leftover above the maximum") << 9000 << 0 << 2048 << false << 2048;
        QTest::newRow("more than the free space") << 2048 << 3000 << 2048 << false << 2048;
        QTest::newRow("more, no preferred padding") << 2048 << 3000 << 0 << false << 0;
        QTest::newRow("no free space at all") << 0 << 10 << 2048 << false << 2048;
    }
    void padding()
    {
        QFETCH(int, metaFree);
        QFETCH(int, growth);
        QFETCH(int, preferred);
        QFETCH(bool, mediaStays);
        QFETCH(int, newFree);
        Sample sample;
        sample.items = item("\xA9nam", QByteArray(100, 't'));
        sample.metaFree = metaFree;
        const QByteArray before = sample.build();
        const Layout old = inspect(before);
        Mp4Settings settings;
        settings.preferredPaddingSize = preferred;
        const QByteArray after = rewrite(before, {item("\xA9nam", QByteArray(100 + growth, 'n'))}, false, settings);
        const Layout now = inspect(after);
        QVERIFY2((now.mediaOffset == old.mediaOffset) == mediaStays, qPrintable(old.tree + "\n" + now.tree));
        QCOMPARE(now.media, sample.media);
        QCOMPARE(now.chunkOffsets, QList<qint64>({0, 10, 20}));
        QVERIFY2(now.tree.contains(newFree ? QString("ilst%1{\u00A9nam%2{data%3:%4}} free~%5")
                                                  .arg(100 + growth + 32).arg(100 + growth + 24)
                                                  .arg(100 + growth + 16).arg(100 + growth + 8).arg(newFree)
                                            : QString("ilst%1{\u00A9nam%2{data%3:%4}}}}")
                                                  .arg(100 + growth + 32).arg(100 + growth + 24)
                                                  .arg(100 + growth + 16).arg(100 + growth + 8)),
                 qPrintable(now.tree));
        QCOMPARE(after.size(), now.mediaOffset + 8 + sample.media.size());
        // A second save of the same items changes nothing.
        QCOMPARE(rewrite(after, {item("\xA9nam", QByteArray(100 + growth, 'n'))}, false, settings), after);
    }

    void moovAfterMedia()
    {
        Sample sample;
        sample.moovFirst = false;
        sample.items = item("\xA9nam", "old");
        // Free boxes before the media data become one box of their total size there.
        QByteArray before = sample.build();
        before.insert(24, box("free", "12345678") + box("free", "abcd"));
        const QByteArray after = rewrite(before, {item("\xA9nam", QByteArray(500, 'n'))});
        const Layout now = inspect(after);
        QCOMPARE(now.mediaOffset, 24 + 28);
        QVERIFY2(now.tree.startsWith("ftyp24:16 free~28 mdat~38 moov"), qPrintable(now.tree));
        QCOMPARE(now.media, sample.media);
        QVERIFY2(!now.tree.contains("free2048"), qPrintable(now.tree));

        // Without free space in front nothing is inserted.
        const QByteArray plain = sample.build();
        const Layout plainNow = inspect(rewrite(plain, {item("\xA9nam", QByteArray(500, 'n'))}));
        QVERIFY2(plainNow.tree.startsWith("ftyp24:16 mdat~38 moov"), qPrintable(plainNow.tree));
        QCOMPARE(plainNow.chunkOffsets, QList<qint64>({0, 10, 20}));
    }

    void removeTag()
    {
        Sample sample;
        sample.items = item("\xA9nam", QByteArray(200, 't'));
        sample.metaFree = 100;
        const QByteArray before = sample.build();
        const Layout old = inspect(before);
        const QByteArray after = rewrite(before, {}, true);
        const Layout now = inspect(after);
        // The freed bytes stand before the media data as one top-level free box.
        QCOMPARE(now.mediaOffset, old.mediaOffset);
        QVERIFY2(now.tree.contains("}}} free~332 mdat"), qPrintable(now.tree));
        QVERIFY(!now.tree.contains("ilst"));
        QCOMPARE(now.chunkOffsets, QList<qint64>({0, 10, 20}));
    }

    void withoutMediaOrMoov()
    {
        // No media data: no padding, and the file ends after the last box.
        const QByteArray noMedia = ftyp() + box("moov", box("udta", box("meta", be32(0) + handler() + box("ilst", item("\xA9nam", "a")) + box("free", QByteArray(92, '\0'))))) + box("free", "tail");
        const QByteArray after = rewrite(noMedia, {item("\xA9nam", "b")});
        QCOMPARE(after, ftyp() + box("moov", box("udta", box("meta", be32(0) + handler() + box("ilst", item("\xA9nam", "b"))))));
        // No moov: the whole path is appended at the end.
        const QByteArray noMoov = ftyp() + box("mdat", "data");
        QCOMPARE(rewrite(noMoov, {item("\xA9nam", "b")}),
                 noMoov + box("moov", box("udta", box("meta", be32(0) + handler() + box("ilst", item("\xA9nam", "b"))))));
    }

    // Each chunk offset moves with the media box that held it as parsed, once, whatever
    // the number of media boxes that move.
    void severalMediaBoxes()
    {
        const QByteArray mediaA = "AAAAAAAAAA";
        const QByteArray mediaB = "BBBBBBBBBBBBBBBBBBBB";
        // Layout: ftyp(24) moov(...) mdat A, mdat B; entries at the start of each payload and
        // one just before B's header (inside A).
        const auto build = [&](qint64 moovSize) {
            const qint64 a = 24 + moovSize + 8;
            const qint64 b = a + mediaA.size() + 8;
            const QByteArray moov = box("moov", track(table("stco", {quint64(a), quint64(a + 9), quint64(b)})
                                                      + table("co64", {quint64(b + 19)}))
                                                + box("udta", box("meta", be32(0) + handler() + box("ilst"))));
            return ftyp() + moov + box("mdat", mediaA) + box("mdat", mediaB);
        };
        const QByteArray before = build(build(0).size() - 24 - (8 + mediaA.size()) - (8 + mediaB.size()));
        const QByteArray after = rewrite(before, {item("\xA9nam", QByteArray(5000, 'n'))});
        IoStream stream(after, QIODevice::ReadOnly);
        QObject parent;
        Mp4Box root{QString(), QByteArray()};
        root.appendChildren(Mp4StreamIo::parseBoxes(&stream, stream.size(), QString(), &parent));
        const QList<Mp4Box *> media = Mp4StreamIo::findBoxes(&root, "mdat");
        QCOMPARE(media.size(), 2);
        const QByteArray stco = Mp4StreamIo::findBoxes(&root, "moov.trak.mdia.minf.stbl.stco").first()->data;
        const QByteArray co64 = Mp4StreamIo::findBoxes(&root, "moov.trak.mdia.minf.stbl.co64").first()->data;
        QCOMPARE(after.at(qFromBigEndian<quint32>(stco.constData() + 8)), 'A');
        QCOMPARE(qFromBigEndian<quint32>(stco.constData() + 8), quint32(media.at(0)->offset + 8));
        QCOMPARE(qFromBigEndian<quint32>(stco.constData() + 12), quint32(media.at(0)->offset + 8 + 9));
        QCOMPARE(qFromBigEndian<quint32>(stco.constData() + 16), quint32(media.at(1)->offset + 8));
        QCOMPARE(qFromBigEndian<quint64>(co64.constData() + 8), quint64(media.at(1)->offset + 8 + 19));
        QCOMPARE(after.mid(media.at(0)->offset + 8, 10), mediaA);
        QCOMPARE(after.mid(media.at(1)->offset + 8, 20), mediaB);
    }

    void largeMediaHeaderKept()
    {
        Sample sample;
        sample.largeMediaHeader = true;
        sample.wideTable = true;
        const QByteArray before = sample.build();
        const QByteArray after = rewrite(before, {item("\xA9nam", QByteArray(3000, 'n'))});
        const Layout now = inspect(after);
        QVERIFY(now.mediaOffset != inspect(before).mediaOffset);
        QCOMPARE(after.mid(now.mediaOffset, 8), be32(1) + "mdat");
        QCOMPARE(now.media, sample.media);
        QCOMPARE(now.chunkOffsets, QList<qint64>({0, 10, 20}));
        QCOMPARE(after.size(), now.mediaOffset + 16 + sample.media.size());
    }

    // A free box that is not removed (inside a track) and has to move gets its header
    // written and its payload cleared.
    void movedFreeBoxInTrack()
    {
        const QByteArray stale(40, 's');
        const auto build = [&](qint64 payloadStart) {
            return ftyp() + box("free", "12345678")
                   + box("moov", box("trak", box("free", stale) + box("mdia", box("minf", box("stbl", table("stco", {quint64(payloadStart)})))))
                                     + box("udta", box("meta", be32(0) + handler() + box("ilst"))))
                   + box("mdat", "media");
        };
        const QByteArray before = build(build(0).size() - 5);
        const QByteArray after = rewrite(before, {item("\xA9nam", "x")});
        const int at = after.indexOf("free", 24);
        QVERIFY(at > 0);
        QCOMPARE(after.mid(at - 4, 8 + 40), box("free", QByteArray(40, '\0')));
        const Layout now = inspect(after);
        QCOMPARE(now.media, QByteArray("media"));
        QCOMPARE(now.chunkOffsets, QList<qint64>({0}));
    }

    void refusals_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("growth");
        QTest::addColumn<quint32>("code");
        const QByteArray fragmented = ftyp()
                                      + box("moov", box("mvex", "x") + box("udta", box("meta", be32(0) + handler() + box("ilst") + box("free", QByteArray(92, '\0')))))
                                      + box("moof", "fragment") + box("mdat", "media");
        QTest::newRow("fragmented, fits the padding") << fragmented << 50 << quint32(0);
        QTest::newRow("fragmented, data would move") << fragmented << 200 << quint32(Mp4StreamIo::FragmentedDataMoves);
        QByteArray shortTable = ftyp() + box("moov", track(box("stco", be32(0) + be32(3) + be32(1)))) + box("mdat", "m");
        QTest::newRow("chunk offset table too short") << shortTable << 30 << quint32(Mp4StreamIo::ChunkOffsetTableShort);
    }
    void refusals()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, growth);
        QFETCH(quint32, code);
        IoStream stream(bytes, QIODevice::ReadWrite);
        const quint32 thrown = codeOf([&] {
            Mp4StreamIo::rewriteFile(&stream, Mp4Settings(), [&](Mp4Box *list) {
                if (growth)
                    list->appendChild(Mp4StreamIo::makeTextBox(QString::fromLatin1("\xA9nam"), QString(growth - 24, 'g'), -1, nullptr));
            });
        });
        QCOMPARE(thrown, code);
        if (code)
            QCOMPARE(stream.data(), bytes);
    }

    void chunkOffsetOverflow()
    {
        // The media data sits right behind moov; an entry into it near 2^32 cannot move.
        const QByteArray bytes = ftyp()
                                 + box("moov", track(table("stco", {quint64(0xFFFFFFFF)})))
                                 + box("mdat", "m");
        IoStream stream(bytes, QIODevice::ReadWrite);
        Mp4Box media("mdat", QByteArray(), false, 0xFFFFFFF0, 0x20, 8);
        Mp4Box root{QString(), QByteArray()};
        IoStream in(bytes, QIODevice::ReadOnly);
        QObject parent;
        root.appendChildren(Mp4StreamIo::parseBoxes(&in, in.size(), QString(), &parent));
        media.newOffset = 0xFFFFFFF8;
        media.newHeaderSize = 8;
        QCOMPARE(codeOf([&] { Mp4StreamIo::shiftChunkOffsets(&stream, &root, {&media}); }),
                 quint32(Mp4StreamIo::ChunkOffsetOutOfRange));
    }

    // The media data moves through the stream in bounded blocks: a file stream with a tiny
    // block size gives the same bytes as a memory rewrite.
    void blockMoveOnFile()
    {
        Sample sample;
        sample.media = QByteArray();
        for (int i = 0; i < 5000; ++i)
            sample.media += char('a' + i % 26);
        sample.items = item("\xA9nam", "x");
        const QByteArray before = sample.build();
        const QByteArray expected = rewrite(before, {item("\xA9nam", QByteArray(4000, 'n'))});
        QTemporaryDir dir;
        const QString path = dir.filePath("a.m4a");
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(before);
        }
        {
            IoStream stream(path, QIODevice::ReadWrite);
            stream.setBlockSize(97);
            Mp4StreamIo::rewriteFile(&stream, Mp4Settings(), [](Mp4Box *list) {
                list->appendChild(Mp4StreamIo::makeTextBox(QString::fromLatin1("\xA9nam"), QString(4000, 'n'), -1, nullptr));
            });
        }
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray written = f.readAll();
        QCOMPARE(written, expected);
        QCOMPARE(inspect(expected).media, sample.media);
    }

    // Item list

    void readItems_data()
    {
        QTest::addColumn<QByteArray>("items");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("title") << item("\xA9nam", "abc") << QStringList{"104:abc"};
        QTest::newRow("two data boxes")
            << box("\xA9nam", box("data", be32(1) + be32(0) + "a") + box("data", be32(1) + be32(0) + "b"))
            << QStringList{"104:a", "104:b"};
        QTest::newRow("only spaces") << item("\xA9nam", "  ") << QStringList{};
        QTest::newRow("data box without value") << box("\xA9nam", box("data", be32(1) + be32(0))) << QStringList{};
        QTest::newRow("version 1") << box("\xA9nam", box("data", be32(0x01000001) + be32(0) + "x"))
                                   << QStringList{"116:\u00A9nam=010000010000000078"};
        QTest::newRow("track pair") << item("trkn", be16(0) + be16(5) + be16(12) + be16(0), 0)
                                    << QStringList{"108:5", "106:12"};
        QTest::newRow("track count only") << item("trkn", be16(0) + be16(0) + be16(12) + be16(0), 0)
                                          << QStringList{"106:12"};
        QTest::newRow("track pair too short") << item("trkn", be16(0) + be16(5) + "\x00", 0) << QStringList{};
        QTest::newRow("disc pair") << item("disk", be16(0) + be16(1) + be16(2), 21) << QStringList{"30:1", "28:2"};
        QTest::newRow("genre 1") << item("gnre", be16(1), 0) << QStringList{"48:Blues"};
        QTest::newRow("genre 0 and 300") << item("gnre", be16(0), 0) + item("gnre", be16(300), 0) << QStringList{};
        QTest::newRow("genre without name") << item("gnre", be16(200), 0) << QStringList{"48:"};
        QTest::newRow("rating ends") << item("rate", be16(1), 21) + item("rate", be16(100), 21)
                                            + item("rate", be16(0), 21) + item("rate", be16(101), 21)
                                     << QStringList{"87:0.000000", "87:1.000000"};
        QTest::newRow("explicit") << item("rtng", "\x02", 21) + item("rtng", QByteArray(1, '\0'), 21) + item("rtng", "\x01", 21)
                                  << QStringList{"40:0", "40:1"};
        QTest::newRow("picture box as text") << item("covr", "abc") << QStringList{"117:covr||=abc"};
        QTest::newRow("unknown number box") << item("xyzw", be16(7), 21) << QStringList{"116:xyzw=00000015000000000007"};
        QTest::newRow("freeform with iTunes mean")
            << freeform("com.apple.iTunes", {"MusicBrainz Album Id"}, "id") << QStringList{"5:id"};
        QTest::newRow("freeform without mean, other spelling")
            << freeform(QByteArray(), {"MUSICBRAINZ_ALBUM_ID"}, "id") << QStringList{"5:id"};
        QTest::newRow("freeform of another program")
            << freeform("org.example", {"Thing"}, "v") << QStringList{"117:----|org.example|Thing=v"};
        QTest::newRow("freeform with two names")
            << freeform("com.apple.iTunes", {"MOOD", "Label"}, "v") << QStringList{"62:v", "91:v"};
        QTest::newRow("freeform without name") << freeform("com.apple.iTunes", {}, "v") << QStringList{};
        QTest::newRow("freeform of no item type")
            << freeform("com.apple.iTunes", {"My Field!"}, "v") << QStringList{"121:My Field!=v"};
        QTest::newRow("freeform track number") << freeform("com.apple.iTunes", {"TRACKNUMBER"}, "3/9")
                                               << QStringList{"108:3", "106:9"};
        QTest::newRow("date with zone") << item("\xA9" "day", "2011-02-03T04:05:06Z")
                                        << QStringList{"94:2011-02-03T04:05:06"};
    }
    void readItems()
    {
        QFETCH(QByteArray, items);
        QFETCH(QStringList, expected);
        QStringList got = itemsOf(fileWithItems(items));
        QCOMPARE(got, expected);
    }

    void writeItems()
    {
        AudioTag tag;
        tag.addItem(new TitleTagItem("abc"));
        tag.addItem(new TrackNumberTagItem(5));
        tag.addItem(new TrackCountTagItem(12));
        tag.addItem(new DiscNumberTagItem(1));
        tag.addItem(new RatingTagItem(0.5));
        tag.addItem(new ExplicitContentTagItem(false));
        tag.addItem(new BpmTagItem(300));
        tag.addItem(new ReleaseDateTagItem(PartialDateTime(2011, 2)));
        tag.addItem(new ReleaseCountryTagItem(CountryInfo("DE", "DEU", "Germany", 0)));
        tag.addItem(new UnknownMp4DataTagItem("xyzw", QByteArray::fromHex("0100000100000000ff")));
        const QStringList written = writtenItems(&tag);
        QCOMPARE(written, QStringList({
                              "tmpo data=0000001500000000012c",
                              "disk data=0000000000000000000000010000",
                              "rtng data=000000150000000002",
                              "rate data=00000015000000000032", // 0.5: 50.5 truncated
                              "---- mean=00000000636f6d2e6170706c652e6954756e6573 "
                              "name=000000004d75736963427261696e7a20416c62756d2052656c6561736520436f756e747279 "
                              "data=00000001000000004445",
                              "---- mean=00000000636f6d2e6170706c652e6954756e6573 name=00000000436f756e747279 "
                              "data=00000001000000004445",
                              "\u00A9day data=0000000100000000323031312d3032",
                              "\u00A9nam data=0000000100000000616263",
                              "trkn data=000000000000000000000005000c0000",
                              "xyzw data=0100000100000000ff",
                          }));
    }

    // Every stored rating survives a read and a write unchanged.
    void ratingRoundTrip()
    {
        for (int stored = 1; stored <= 100; ++stored) {
            const QStringList read = itemsOf(fileWithItems(item("rate", be16(quint16(stored)), 21)));
            QCOMPARE(read.size(), 1);
            AudioTag tag;
            tag.addItem(new RatingTagItem((stored - 1) / 99.0));
            QCOMPARE(writtenItems(&tag), QStringList{"rate data=0000001500000000" + be16(quint16(stored)).toHex()});
        }
    }

    void textLimits()
    {
        AudioTag tag;
        const QString longTitle = QString("a") + QString(150, QChar(0x00E9)); // 301 bytes in UTF-8
        tag.addItem(new TitleTagItem(longTitle));
        tag.addItem(new LyricsTagItem(longTitle + "\r\nend", QString()));
        tag.addItem(new UnknownMp4StringTagItem("abcd", longTitle));
        const QStringList written = writtenItems(&tag);
        QCOMPARE(written.size(), 3);
        const auto value = [](const QString &line) { return QByteArray::fromHex(line.section('=', -1).toLatin1()).mid(8); };
        // Cut to 255 bytes without splitting a character: "a" and 127 two-byte characters.
        // Written by item type: lyrics, title, unknown text.
        QCOMPARE(value(written.at(0)), (longTitle + "\nend").toUtf8());
        QCOMPARE(value(written.at(1)), longTitle.left(128).toUtf8());
        QCOMPARE(value(written.at(2)), longTitle.left(128).toUtf8());
    }

    void artists_data()
    {
        QTest::addColumn<QStringList>("artists");
        QTest::addColumn<QStringList>("art");      // texts of the "©ART" boxes
        QTest::addColumn<QStringList>("extra");    // texts of the "ARTISTS" boxes
        QTest::newRow("joint text first") << QStringList{"A & B", "A", "B"} << QStringList{"A & B"}
                                          << QStringList{"A", "B"};
        QTest::newRow("single artist") << QStringList{"A"} << QStringList{"A"} << QStringList{"A"};
    }
    void artists()
    {
        QFETCH(QStringList, artists);
        QFETCH(QStringList, art);
        QFETCH(QStringList, extra);
        AudioTag tag;
        for (const QString &a : artists)
            tag.addItem(new ArtistTagItem(a));
        // The default settings put further artists in the extra field.
        QStringList gotArt, gotExtra;
        const QStringList written = writtenItems(&tag);
        for (const QString &line : written) {
            const QString text = QString::fromUtf8(QByteArray::fromHex(line.section('=', -1).toLatin1()).mid(8));
            (line.startsWith("----") ? gotExtra : gotArt) << text;
        }
        QCOMPARE(gotArt, art);
        QCOMPARE(gotExtra, extra);
    }

    void artwork()
    {
        const auto encoded = [](const char *format) {
            QImage image(2, 2, QImage::Format_RGB32);
            image.fill(Qt::red);
            QByteArray bytes;
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::WriteOnly);
            image.save(&buffer, format);
            return bytes;
        };
        const QByteArray png = encoded("PNG");
        const QByteArray jpeg = encoded("JPG");
        const QByteArray gif = "GIF89a" + QByteArray(20, '\1');
        AudioTag tag;
        tag.addItem(new ArtworkTagItem(CodedImage(QByteArray()), 3, QString()));
        tag.addItem(new ArtworkTagItem(CodedImage(jpeg), 3, QString()));
        tag.addItem(new ArtworkTagItem(CodedImage(png), 3, QString()));
        tag.addItem(new ArtworkTagItem(CodedImage(gif), 3, QString()));
        tag.addItem(new TitleTagItem("t"));
        QCOMPARE(writtenItems(&tag), QStringList({"covr data=0000000d00000000" + jpeg.toHex() + " data=0000000e00000000"
                                                      + png.toHex() + " data=0000000e00000000" + gif.toHex(),
                                                  "\u00A9nam data=000000010000000074"}));
        // A PNG stored with the JPEG indicator is read by its bytes and written as PNG.
        const QStringList read = itemsOf(fileWithItems(item("covr", png, 13)));
        QCOMPARE(read.size(), 1);
        QVERIFY(read.first().startsWith("16:"));

        // Only empty pictures: no picture box, the other items are written.
        AudioTag empty;
        empty.addItem(new ArtworkTagItem(CodedImage(QByteArray()), 3, QString()));
        empty.addItem(new TitleTagItem("t"));
        QCOMPARE(writtenItems(&empty), QStringList{"\u00A9nam data=000000010000000074"});
        QCOMPARE(codeOf([] { Mp4StreamIo::makeArtworkBox("covr", {}, nullptr); }), quint32(Mp4StreamIo::NoArtworkData));
    }

    void tableOfContents()
    {
        // Read from its freeform entry; the track number rides along in an entry of its own.
        CollectingLogger logger;
        QObject parent;
        QByteArray bytes = fileWithItems(freeform("com.apple.iTunes", {"iTunes_CDDB_1"}, "1a2b+36864+2+0+16384")
                                         + item("trkn", be16(0) + be16(5) + be16(0) + be16(0), 0));
        IoStream stream(bytes, QIODevice::ReadWrite);
        QList<AudioTag *> tags = Mp4StreamIo::instance()->readTags(&stream, {}, nullptr, &parent);
        QCOMPARE(tags.size(), 1);
        const auto *toc = static_cast<const DiscTocTagItem *>(tags.first()->item(DiscTocTagItem::Type));
        QVERIFY(toc);
        QCOMPARE(toc->discId, quint64(0x1a2b));
        QCOMPARE(toc->tracks.size(), 3);
        QVERIFY(logger.codes.isEmpty());

        stream.seek(0);
        Mp4StreamIo::instance()->writeTags(&stream, tags.first(), {}, nullptr);
        QStringList freeformTexts;
        for (const QString &line : itemsOfFile(stream.data()))
            if (line.startsWith("----"))
                freeformTexts << line.mid(5);
        QCOMPARE(freeformTexts, QStringList({"iTunes_CDDB_1=1a2b+36864+2+0+16384", "iTunes_CDDB_TrackNumber=5"}));

        // Text that is no table of contents: a warning, and the entry is kept under its name.
        bytes = fileWithItems(freeform("com.apple.iTunes", {"iTunes_CDDB_1"}, "not a toc"));
        QCOMPARE(itemsOf(bytes), QStringList{"117:----||iTunes_CDDB_1=not a toc"});
        QVERIFY(logger.codes.contains(quint32(Mp4StreamIo::DiscTocUnreadable)));
        IoStream kept(bytes, QIODevice::ReadWrite);
        tags = Mp4StreamIo::instance()->readTags(&kept, {}, nullptr, &parent);
        kept.seek(0);
        Mp4StreamIo::instance()->writeTags(&kept, tags.first(), {}, nullptr);
        QCOMPARE(itemsOfFile(kept.data()), QStringList{"---- iTunes_CDDB_1=not a toc"});
    }

    // The format has no language: comments and lyrics are read as English.
    void commentLanguage()
    {
        IoStream stream(fileWithItems(item("\xA9" "cmt", "c") + item("\xA9lyr", "l")), QIODevice::ReadOnly);
        QObject parent;
        const QList<AudioTag *> tags = Mp4StreamIo::instance()->readTags(&stream, {}, nullptr, &parent);
        QCOMPARE(tags.size(), 1);
        const auto *comment = static_cast<const CommentTagItem *>(tags.first()->item(CommentTagItem::Type));
        const auto *lyrics = static_cast<const LyricsTagItem *>(tags.first()->item(LyricsTagItem::Type));
        QVERIFY(comment && lyrics);
        QCOMPARE(comment->language.iso639_2B, QStringLiteral("eng"));
        QCOMPARE(lyrics->language.iso639_2B, QStringLiteral("eng"));
    }

    // ID3v2 tags in "ID32" boxes are read as tags of their own and dropped when the file
    // is written.
    void id3Boxes()
    {
        const QByteArray frame = QByteArray("TIT2") + be32(10) + QByteArray(2, '\0') + "\x03id3 title";
        const QByteArray id3 = QByteArray("ID3\x04\0\0", 6) + be32(quint32(frame.size())) + frame;
        const QByteArray id32 = box("ID32", be32(0) + be16(0x15C7) + id3);
        const auto fileWith = [&](const QByteArray &metaTail) {
            return ftyp()
                   + box("moov", box("udta", box("meta", be32(0) + handler() + box("ilst", item("\xA9nam", "mp4 title"))
                                                          + metaTail)))
                   + box("mdat", "m");
        };
        const QByteArray bytes = fileWith(id32 + box("ID32", be32(0) + be16(0) + "no tag here"));
        IoStream stream(bytes, QIODevice::ReadWrite);
        QObject parent;
        const QList<AudioTag *> tags = Mp4StreamIo::instance()->readTags(&stream, {}, nullptr, &parent);
        QCOMPARE(tags.size(), 2);
        QCOMPARE(tags[0]->tagType(), int(TagType::Mp4));
        QCOMPARE(tags[1]->tagType(), int(TagType::Id3v2));
        QCOMPARE(tags[1]->itemText(TagItemType::Title), QStringLiteral("id3 title"));
        QCOMPARE(tags[1]->parent(), &parent);
        // File positions: the box's payload, past version, flags and language.
        const qint64 boxOffset = bytes.indexOf("ID32") - 4;
        QCOMPARE(tags[1]->tagInfo()->offset(), boxOffset + 8 + 6);
        QVERIFY(tags[1]->tagInfo()->isPrepended());

        // Without media data the tag is neither in front nor behind.
        IoStream noMedia(bytes.left(bytes.size() - 9), QIODevice::ReadOnly);
        const QList<AudioTag *> noMediaTags = Mp4StreamIo::instance()->readTags(&noMedia, {}, nullptr, &parent);
        QCOMPARE(noMediaTags.size(), 2);
        QVERIFY(!noMediaTags[1]->tagInfo()->values.contains(TagInfo::PrependedKey));

        stream.seek(0);
        Mp4StreamIo::instance()->writeTags(&stream, tags[0], {}, nullptr);
        QVERIFY(!stream.data().contains("ID32"));
        stream.seek(0);
        QCOMPARE(Mp4StreamIo::instance()->readTags(&stream, {}, nullptr, &parent).size(), 1);
    }

    // A count without a number at its place is written in a pair whose number is 0, which
    // reads back as the count alone.
    void countsWithoutNumbers()
    {
        AudioTag tag;
        tag.addItem(new TrackCountTagItem(12));
        tag.addItem(new DiscNumberTagItem(1));
        tag.addItem(new DiscCountTagItem(2));
        tag.addItem(new DiscCountTagItem(3));
        QCOMPARE(writtenItems(&tag), QStringList({"disk data=0000000000000000000000000003",
                                                  "disk data=0000000000000000000000010002",
                                                  "trkn data=000000000000000000000000000c0000"}));
        IoStream stream(fileWithItems({}), QIODevice::ReadWrite);
        Mp4StreamIo::instance()->writeTags(&stream, &tag, {}, nullptr);
        QCOMPARE(itemsOf(stream.data()), QStringList({"28:3", "30:1", "28:2", "106:12"}));
    }

    // A freeform box whose value is not text keeps its mean and name through a save.
    void freeformWithData()
    {
        const QByteArray binary = box("----", box("mean", be32(0) + "org.example") + box("name", be32(0) + "Bin")
                                                  + box("data", be32(0) + be32(0) + "\x01\x02"));
        const QByteArray bytes = fileWithItems(binary);
        QCOMPARE(itemsOf(bytes), QStringList{"116:----:org.example:Bin=00000000000000000102"});
        IoStream stream(bytes, QIODevice::ReadWrite);
        QObject parent;
        const QList<AudioTag *> tags = Mp4StreamIo::instance()->readTags(&stream, {}, nullptr, &parent);
        stream.seek(0);
        Mp4StreamIo::instance()->writeTags(&stream, tags.first(), {}, nullptr);
        QVERIFY(stream.data().contains(binary));
    }

    void builders()
    {
        QObject parent;
        QCOMPARE(Mp4StreamIo::makeInt16Box("tmpo", 300, &parent)->children.first()->data.toHex(), QByteArray("0000001500000000012c"));
        QCOMPARE(Mp4StreamIo::makeInt8Box("cpil", 1, &parent)->children.first()->data.toHex(), QByteArray("000000150000000001"));
        TrackCountTagItem total(9);
        QCOMPARE(Mp4StreamIo::makeNumberPairBox("trkn", nullptr, &total, 8, &parent)->children.first()->data.toHex(),
                 QByteArray("00000000000000000000000000090000"));
        QCOMPARE(codeOf([&] { Mp4StreamIo::makeNumberPairBox("trkn", nullptr, nullptr, 8, &parent); }),
                 quint32(Mp4StreamIo::NumberPairEmpty));
        // The freeform box: mean, name, data.
        const Mp4Box *freeformBox = Mp4StreamIo::makeFreeformBox("MOOD", "calm", &parent);
        QStringList types;
        for (const Mp4Box *c : freeformBox->children)
            types << c->type;
        QCOMPARE(types, QStringList({"mean", "name", "data"}));
    }

    // Through the reader and writer: what a read gives is written back the same.
    void roundTrip()
    {
        const QByteArray items = item("\xA9nam", "Title") + item("\xA9" "ART", "A")
                                 + freeform("com.apple.iTunes", {"ARTISTS"}, "A")
                                 + freeform("com.apple.iTunes", {"MusicBrainz Album Id"}, "id")
                                 + freeform("org.example", {"Thing"}, "v") + item("trkn", be16(0) + be16(5) + be16(12) + be16(0), 0)
                                 + box("xyzw", box("data", be32(0x01000001) + be32(0) + "x"));
        const QByteArray bytes = fileWithItems(items);
        IoStream stream(bytes, QIODevice::ReadWrite);
        QObject parent;
        const QList<AudioTag *> tags = Mp4StreamIo::instance()->readTags(&stream, {}, nullptr, &parent);
        QCOMPARE(tags.size(), 1);
        const TagInfo *info = tags.first()->tagInfo();
        QCOMPARE(info->tagType(), int(TagType::Mp4));
        QCOMPARE(info->offset(), 24 + 8 + 8 + 8 + 4 + 34);
        QCOMPARE(info->size(), 8 + items.size());
        QVERIFY(info->isPrepended());
        stream.seek(0);
        Mp4StreamIo::instance()->writeTags(&stream, tags.first(), {}, nullptr);
        // The writer groups the boxes by item type.
        QStringList before = itemsOf(bytes);
        QStringList after = itemsOf(stream.data());
        before.sort();
        after.sort();
        QCOMPARE(after, before);
        const QByteArray once = stream.data();
        stream.seek(0);
        Mp4StreamIo::instance()->writeTags(&stream, tags.first(), {}, nullptr);
        QCOMPARE(stream.data(), once);
        // Another tag type asked for: nothing is read or written.
        stream.seek(0);
        QVERIFY(Mp4StreamIo::instance()->readTags(&stream, {3}, nullptr, &parent).isEmpty());
        Mp4StreamIo::instance()->writeTags(&stream, nullptr, {3}, nullptr);
        QCOMPARE(stream.data(), once);
        // Removing the tag leaves no items.
        stream.seek(0);
        Mp4StreamIo::instance()->removeTags(&stream, {}, nullptr);
        QVERIFY(itemsOf(stream.data()).isEmpty());
    }

    void audioProperties_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected"); // codec name/full name/codec/compression/rate/channels/bitrate/type/duration
        const QByteArray stts = box("stts", be32(0) + be32(1) + be32(100) + be32(1024));
        const auto aac = [&](const QByteArray &config, quint32 maximum = 128000, quint32 average = 128000) {
            return audioFile(sampleEntry("mp4a", 2, 44100, esds(maximum, average, config)), 44100, 441000, stts);
        };
        QTest::newRow("AAC LC") << aac(bits({{2, 5}, {4, 4}, {2, 4}}))
                                << "AAC/Advanced Audio Coding Low Complexity/5/0/44100/2/128000/0/10000";
        QTest::newRow("high efficiency keeps the core rate")
            << aac(bits({{5, 5}, {6, 4}, {1, 4}})) << "AAC/Advanced Audio Coding High Efficiency/5/0/24000/1/128000/0/10000";
        QTest::newRow("MP3 inside") << aac(bits({{31, 5}, {34 - 32, 6}, {3, 4}, {2, 4}}))
                                    << "MP3/MPEG-1 Layer 3/15/2/48000/2/128000/0/10000";
        QTest::newRow("escaped object type") << aac(bits({{31, 5}, {10, 6}, {15, 4}, {96000, 24}, {7, 4}}))
                                             << "USAC/Unified Speech and Audio Coding/15/2/96000/8/128000/0/10000";
        QTest::newRow("reserved frequency index, no channels") << aac(bits({{2, 5}, {13, 4}, {0, 4}}))
                                                               << "AAC/Advanced Audio Coding Low Complexity/5/0/44100/0/128000/0/10000";
        QTest::newRow("average 0: variable, computed") << aac(bits({{2, 5}, {4, 4}, {2, 4}}), 0, 0)
                                                       << "AAC/Advanced Audio Coding Low Complexity/5/0/44100/2/1600/1/10000";
        QTest::newRow("maximum 0: type unknown") << aac(bits({{2, 5}, {4, 4}, {2, 4}}), 0, 96000)
                                                 << "AAC/Advanced Audio Coding Low Complexity/5/0/44100/2/96000/2/10000";
        QTest::newRow("no decoder specific info") << aac(QByteArray()) << "//15/2/44100/2/128000/0/10000";
        QTest::newRow("ALAC, duration from the samples")
            << audioFile(sampleEntry("alac", 2, 44100, box("alac", "cfg")), -1, 0, stts)
            << "ALAC/Apple Lossless Audio Codec/6/1/44100/2/6893/2/2321";
        QTest::newRow("time scale 0, delta 0 counts samples")
            << audioFile(sampleEntry("alac", 1, 1000, {}), 0, 5, box("stts", be32(0) + be32(1) + be32(500) + be32(0)))
            << "ALAC/Apple Lossless Audio Codec/6/1/1000/1/32000/2/500";
        QTest::newRow("no audio entry") << audioFile(sampleEntry("avc1", 2, 44100), 44100, 441000, stts)
                                        << "//15/2/0/0/0/2/0";
    }
    void audioProperties()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        IoStream stream(bytes, QIODevice::ReadOnly);
        const AudioProperties p = Mp4StreamIo::instance()->readAudioProperties(&stream, nullptr);
        QVERIFY(p.valid);
        QCOMPARE(p.container, 2);
        QCOMPARE(p.fileSize, bytes.size());
        QCOMPARE(p.audioSize, 2000);
        QCOMPARE(QStringList({p.codecName, p.codecFullName, QString::number(p.codec), QString::number(p.compression),
                              QString::number(p.sampleRate), QString::number(p.channels), QString::number(p.bitrate),
                              QString::number(p.bitrateType), QString::number(p.duration)})
                     .join('/'),
                 expected);
    }
};

QTEST_GUILESS_MAIN(TestMp4)
#include "tst_mp4.moc"
