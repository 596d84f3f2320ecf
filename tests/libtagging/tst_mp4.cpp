#include <QtTest>

#include "libcore/io/iostream.h"
#include "libcore/log/exception.h"
#include "libtagging/mp4/mp4box.h"
#include "libtagging/mp4/mp4streamio.h"

#include <QtEndian>

namespace {

QByteArray be16(quint16 v)
{
    QByteArray b(2, '\0');
    qToBigEndian(v, b.data());
    return b;
}

QByteArray be32(quint32 v)
{
    QByteArray b(4, '\0');
    qToBigEndian(v, b.data());
    return b;
}

QByteArray be64(quint64 v)
{
    QByteArray b(8, '\0');
    qToBigEndian(v, b.data());
    return b;
}

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

} // namespace

class TestMp4 : public QObject
{
    Q_OBJECT
private slots:
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
};

QTEST_GUILESS_MAIN(TestMp4)
#include "tst_mp4.moc"
