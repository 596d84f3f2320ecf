#include <QtTest>

#include "libcore/io/iostream.h"
#include "libcore/log/exception.h"
#include "libtagging/aiff/aiffstreamio.h"
#include "libtagging/model/audiotag.h"
#include "libtagging/model/commenttagitem.h"
#include "libtagging/model/plaintagitems.h"
#include "support_bytebuilder.h"

#include <QTimeZone>
#include <QtEndian>

#include <cmath>
#include <limits>

namespace {

QByteArray chunk(const QByteArray &id, const QByteArray &payload)
{
    QByteArray b = id + be32(quint32(payload.size())) + payload;
    if (payload.size() & 1)
        b += '\0';
    return b;
}

QByteArray form(const QByteArray &body, const QByteArray &type = "AIFF")
{
    return "FORM" + be32(quint32(4 + body.size())) + type + body;
}

QByteArray extended(double value)
{
    IoStream s(QIODevice::ReadWrite);
    s.writeExtended(value, true);
    return s.data();
}

QByteArray comm(quint16 channels = 2, quint32 frames = 10, quint16 bits = 16, const QByteArray &rate = extended(44100),
                const QByteArray &compression = {})
{
    return chunk("COMM", be16(channels) + be32(frames) + be16(bits) + rate + compression);
}

QByteArray ssnd(const QByteArray &samples)
{
    return chunk("SSND", be32(0) + be32(0) + samples);
}

QByteArray samples(int size)
{
    QByteArray b(size, '\0');
    for (int i = 0; i < size; ++i)
        b[i] = char('A' + i % 19);
    return b;
}

struct Comment {
    quint32 time;
    quint16 marker;
    QByteArray text;
};

QByteArray comt(const QList<Comment> &comments)
{
    QByteArray b = be16(quint16(comments.size()));
    for (const Comment &c : comments) {
        b += be32(c.time) + be16(c.marker) + be16(quint16(c.text.size())) + c.text;
        if (c.text.size() & 1)
            b += '\0';
    }
    return chunk("COMT", b);
}

// The form's chunks as "id@offset+size" ("~" for a chunk left in the stream).
QString describeForm(const QByteArray &bytes)
{
    IoStream stream(bytes, QIODevice::ReadOnly);
    QObject parent;
    AiffStreamIo::checkHeader(&stream);
    stream.seek(0);
    QStringList parts;
    for (const AiffChunk *top : AiffStreamIo::parseChunks(&stream, stream.size(), &parent)) {
        QString s = top->id + QString::number(top->offset) + "+" + QString::number(top->size);
        QStringList children;
        for (const IffChunk *c : top->children)
            children.append(c->id + QString::number(c->offset) + "+" + QString::number(c->size) + (c->loaded ? "" : "~"));
        if (!children.isEmpty())
            s += "{" + children.join(' ') + "}";
        parts.append(s);
    }
    return parts.join(' ');
}

QByteArray written(const QByteArray &file, const AudioTag *tag, const QList<int> &types = {})
{
    IoStream stream(file, QIODevice::ReadWrite);
    AiffStreamIo::instance()->writeTags(&stream, tag, types, nullptr);
    return stream.data();
}

QStringList readItems(const QByteArray &file, const QList<int> &types = {TagType::Aiff})
{
    IoStream stream(file, QIODevice::ReadOnly);
    QObject parent;
    QStringList result;
    for (const AudioTag *tag : AiffStreamIo::instance()->readTags(&stream, types, nullptr, &parent)) {
        for (const TagItem *item : tag->itemList())
            result.append(QStringLiteral("%1:%2").arg(item->type()).arg(item->toString()));
    }
    return result;
}

// The data of the first chunk of the form with the id.
QByteArray chunkData(const QByteArray &file, const QString &id)
{
    IoStream stream(file, QIODevice::ReadOnly);
    QObject parent;
    const QList<AiffChunk *> chunks = AiffStreamIo::parseChunks(&stream, stream.size(), &parent);
    for (const IffChunk *c : chunks.first()->children) {
        if (c->id == id)
            return c->data;
    }
    return {};
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

AudioTag *titleAndComments(QObject *parent)
{
    auto *tag = new AudioTag(parent);
    tag->addItem(new TitleTagItem("Title"));
    tag->addItem(new CommentTagItem("first\r\nline", ""));
    tag->addItem(new CommentTagItem("second", ""));
    return tag;
}

} // namespace

class TestAiff : public QObject
{
    Q_OBJECT
private slots:
    void parse_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("tree");
        QTest::newRow("kinds") << form(comm() + chunk("JUNK", "ab") + ssnd("xyz") + chunk("form", "AIFFab"))
                               << "FORM0+82{COMM12+26 JUNK38+10 SSND48+19~ form68+14}";
        QTest::newRow("form larger than the file")
            << form(comm() + chunk("NAME", "abcd")).replace(4, 4, be32(1000))
            << "FORM0+50{COMM12+26 NAME38+12}";
    }

    void parse()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, tree);
        QCOMPARE(describeForm(bytes), tree);
    }

    void headerCheck_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<quint32>("code");
        QTest::newRow("13 bytes") << QByteArray("FORM\0\0\0\5AIFFx", 13) << quint32(0);
        QTest::newRow("aifc") << form({}, "AIFC") << quint32(0);
        QTest::newRow("11 bytes") << QByteArray("FORM\0\0\0\3AIF", 11) << quint32(AiffStreamIo::StreamTooShort);
        QTest::newRow("not form") << form({}).replace(0, 4, "RIFF") << quint32(AiffStreamIo::NotForm);
        QTest::newRow("lower-case type") << form({}, "aiff") << quint32(AiffStreamIo::WrongFormType);
    }

    void headerCheck()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(quint32, code);
        IoStream stream(bytes, QIODevice::ReadOnly);
        QCOMPARE(exceptionCode([&] { AiffStreamIo::checkHeader(&stream); }), code);
    }

    void read_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("no tag chunks") << comm() + ssnd("ab") << QStringList{};
        QTest::newRow("text chunks")
            << comm() + chunk("NAME", "T\xc3\xadtle") + chunk("AUTH", "A") + chunk("(c) ", "C") + chunk("ANNO", "a\rb") + ssnd("ab")
            << QStringList{"104:T\u00edtle", "11:A", "26:C", "21:a\nb"};
        QTest::newRow("lower-case ids") << comm() + chunk("name", "t") + chunk("auth", "a") << QStringList{"104:t", "11:a"};
        QTest::newRow("text ends at zero") << comm() + chunk("NAME", QByteArray("t\0x", 3)) << QStringList{"104:t"};
        QTest::newRow("comments")
            << comm() + comt({{0, 0, "one"}, {0, 3, "on marker"}, {0, 0, "two"}}) + ssnd("ab")
            << QStringList{"21:one", "21:two"};
        // The count promises more than the chunk holds: what was read stays, and the chunks
        // behind are read.
        QTest::newRow("damaged comments")
            << comm() + chunk("COMT", be16(3) + be32(0) + be16(0) + be16(1) + "x" + '\0' + be32(0)) + chunk("NAME", "t")
            << QStringList{"21:x", "104:t"};
    }

    void read()
    {
        QFETCH(QByteArray, body);
        QFETCH(QStringList, expected);
        QCOMPARE(readItems(form(body)), expected);
    }

    void tagRecord()
    {
        const QByteArray file = form(comm() + ssnd("ab") + chunk("NAME", "abc") + comt({{0, 0, "c"}}));
        IoStream stream(file, QIODevice::ReadOnly);
        QObject parent;
        const QList<AudioTag *> tags = AiffStreamIo::instance()->readTags(&stream, {}, nullptr, &parent);
        QCOMPARE(tags.size(), 1);
        const TagInfo *info = tags.first()->tagInfo();
        QCOMPARE(info->tagType(), int(TagType::Aiff));
        QCOMPARE(info->offset(), qint64(56));
        QCOMPARE(info->size(), 11 + 20);
        QCOMPARE(info->values.value(TagInfo::RawDataKey).toByteArray(), "abc" + be16(1) + be32(0) + be16(0) + be16(1) + "c" + '\0');
        QCOMPARE(info->isPrepended(), false);
    }

    void writeLayouts_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QList<int>>("types");
        QTest::addColumn<QString>("after");

        const QByteArray sound = ssnd(samples(99));
        QTest::newRow("new chunks behind the sound")
            << comm() + sound << QList<int>{}
            << "FORM0+312{COMM12+26 SSND38+115~ COMT154+42 NAME196+13 ANNO210+18 ID3 228+83}";
        QTest::newRow("padding keeps the sound in place")
            << comm() + chunk("NAME", QByteArray(100, 'n')) + chunk("ANNO", "x") + sound << QList<int>{}
            << "FORM0+430{COMM12+26 JUNK38+118 SSND156+115~ COMT272+42 NAME314+13 ANNO328+18 ID3 346+83}";
        QTest::newRow("too much to pad: the sound moves")
            << comm() + chunk("NAME", QByteArray(9000, 'n')) + sound << QList<int>{}
            << "FORM0+312{COMM12+26 SSND38+115~ COMT154+42 NAME196+13 ANNO210+18 ID3 228+83}";
        QTest::newRow("padding with data kept, zero padding dropped")
            << comm() + chunk("JUNK", "data") + chunk("PAD ", QByteArray(6, '\0')) + chunk("VOID", {}) + sound << QList<int>{}
            << "FORM0+346{COMM12+26 JUNK38+12 JUNK50+22 SSND72+115~ COMT188+42 NAME230+13 ANNO244+18 ID3 262+83}";
        // A title in a lower-case chunk is replaced like any other, so a deleted or changed
        // title does not come back.
        QTest::newRow("lower-case text chunk replaced")
            << comm() + sound + chunk("name", "old") << QList<int>{}
            << "FORM0+312{COMM12+26 SSND38+115~ COMT154+42 NAME196+13 ANNO210+18 ID3 228+83}";
        QTest::newRow("id3 only leaves the text chunks")
            << comm() + chunk("NAME", "old") + comt({{0, 0, "c"}}) + sound << QList<int>{TagType::Id3v2}
            << "FORM0+270{COMM12+26 NAME38+11 COMT50+20 SSND70+115~ ID3 186+83}";
        QTest::newRow("aiff only leaves other id3 chunks")
            << comm() + chunk("ID3 ", "not a tag") + sound << QList<int>{TagType::Aiff}
            << "FORM0+246{COMM12+26 ID3 38+17 SSND56+115~ COMT172+42 NAME214+13 ANNO228+18}";
    }

    void writeLayouts()
    {
        QFETCH(QByteArray, body);
        QFETCH(QList<int>, types);
        QFETCH(QString, after);
        QObject parent;
        const QByteArray out = written(form(body), titleAndComments(&parent), types);
        QCOMPARE(describeForm(out), after);
        QCOMPARE(qFromBigEndian<quint32>(out.constData() + 4), quint32(out.size() - 8));
        const int soundAt = out.indexOf("SSND");
        QCOMPARE(out.mid(soundAt + 16, 99), samples(99));
    }

    void writtenTexts()
    {
        QObject parent;
        const QByteArray out = written(form(comm() + ssnd("ab")), titleAndComments(&parent));
        QCOMPARE(chunkData(out, "NAME"), QByteArray("Title"));
        QCOMPARE(chunkData(out, "ANNO"), QByteArray("first\rline"));
        const QByteArray comments = chunkData(out, "COMT");
        QCOMPARE(comments.left(2), be16(2));
        QCOMPARE(comments.mid(6, 14), be16(0) + be16(10) + "first\rline");
        QCOMPARE(comments.mid(24), be16(0) + be16(6) + "second");
        const qint64 stamp = qFromBigEndian<quint32>(comments.constData() + 2);
        const qint64 now = AiffStreamIo::timeStamp(QDateTime::currentDateTimeUtc());
        QVERIFY(qAbs(now - stamp) < 60);
        QCOMPARE(readItems(out), (QStringList{"21:first\nline", "21:second", "104:Title", "21:first\nline"}));
    }

    void markerComments()
    {
        const QByteArray file = form(comm() + comt({{7, 3, "marked"}, {0, 0, "plain"}}) + ssnd("ab"));
        QObject parent;
        auto *tag = new AudioTag(&parent);
        tag->addItem(new CommentTagItem("new", ""));
        const QByteArray out = written(file, tag);
        const QByteArray comments = chunkData(out, "COMT");
        QCOMPARE(comments.left(2), be16(2));
        QCOMPARE(comments.mid(2, 14), be32(7) + be16(3) + be16(6) + "marked");
        QCOMPARE(comments.mid(20), be16(0) + be16(3) + "new" + '\0');

        // Removing the tag keeps the marker comment, and nothing else.
        IoStream stream(out, QIODevice::ReadWrite);
        AiffStreamIo::instance()->removeTags(&stream, {}, nullptr);
        QCOMPARE(chunkData(stream.data(), "COMT"), be16(1) + be32(7) + be16(3) + be16(6) + "marked");
        QVERIFY(readItems(stream.data()).isEmpty());

        const QByteArray plain = written(form(comm() + comt({{0, 0, "plain"}}) + ssnd("ab")), nullptr);
        QCOMPARE(describeForm(plain), QStringLiteral("FORM0+80{COMM12+26 JUNK38+24 SSND62+18~}"));
    }

    // A comment written again unchanged keeps its time stamp; a new or changed one gets the
    // time of the save. A save without a change so leaves the file as it was.
    void unchangedCommentKeepsStamp()
    {
        const QByteArray file = form(comm() + comt({{1234, 0, "first\rline"}, {99, 0, "old text"}}) + ssnd("ab"));
        QObject parent;
        auto *tag = new AudioTag(&parent);
        tag->addItem(new CommentTagItem("first\r\nline", ""));
        tag->addItem(new CommentTagItem("new text", ""));
        const QByteArray comments = chunkData(written(file, tag), "COMT");
        QCOMPARE(comments.mid(0, 20), be16(2) + be32(1234) + be16(0) + be16(10) + "first\rline");
        QCOMPARE(comments.mid(24, 12), be16(0) + be16(8) + "new text");
        const qint64 stamp = qFromBigEndian<quint32>(comments.constData() + 20);
        QVERIFY(qAbs(AiffStreamIo::timeStamp(QDateTime::currentDateTimeUtc()) - stamp) < 60);
    }

    void timeStamps_data()
    {
        QTest::addColumn<QDateTime>("time");
        QTest::addColumn<quint32>("stamp");
        QTest::newRow("epoch") << QDateTime(QDate(1904, 1, 1), QTime(0, 0), QTimeZone::utc()) << quint32(0);
        QTest::newRow("1970") << QDateTime(QDate(1970, 1, 1), QTime(0, 0), QTimeZone::utc()) << quint32(2082844800);
        QTest::newRow("other zone counted in UTC")
            << QDateTime(QDate(1970, 1, 1), QTime(2, 0), QTimeZone(7200)) << quint32(2082844800);
        QTest::newRow("wraps after 2040") << QDateTime(QDate(2040, 2, 6), QTime(6, 28, 16), QTimeZone::utc()) << quint32(0);
    }

    void timeStamps()
    {
        QFETCH(QDateTime, time);
        QFETCH(quint32, stamp);
        QCOMPARE(AiffStreamIo::timeStamp(time), stamp);
    }

    void audioProperties_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QList<qint64>>("expected"); // channels, rate, bits, duration, bitrate, audio size
        QTest::addColumn<QString>("codec");          // codec id, name, full name, bitrate type, compression

        const QString pcm = "14/PCM/Pulse Code Modulation/0/1";
        QTest::newRow("pcm") << comm(2, 441000, 16) + ssnd(QByteArray(1764000, '\0'))
                             << QList<qint64>{2, 44100, 16, 10000, 1411206, 1764008} << pcm;
        QTest::newRow("sowt in lower case")
            << comm(2, 44100, 16, extended(44100), "sowt" + QByteArray(2, 0)) << QList<qint64>{2, 44100, 16, 1000, 0, 0} << pcm;
        QTest::newRow("floating point")
            << comm(1, 100, 32, extended(8000), "fl32" + QByteArray(2, 0)) + ssnd("abcd")
            << QList<qint64>{1, 8000, 32, 12, 8000, 12} << "14/PCM/Pulse Code Modulation (floating point)/0/1";
        QTest::newRow("compressed") << comm(1, 8000, 4, extended(8000), "ima4" + QByteArray(1, 5) + "IMA 4")
                                    << QList<qint64>{1, 8000, 4, 1000, 0, 0} << "15/IMA 4/IMA 4/2/0";
        QTest::newRow("mac3 frames count six") << comm(1, 1000, 8, extended(22254.5454), "MAC3" + QByteArray(1, 1) + "M")
                                               << QList<qint64>{1, 22254, 8, 269, 0, 0} << "15/M/M/2/0";
        QTest::newRow("rate 0") << comm(1, 1000, 8, extended(0)) + ssnd("ab") << QList<qint64>{1, 0, 8, 0, 0, 10} << pcm;
        // An infinite rate is clamped; not-a-number is no rate at all.
        const QByteArray infinity = QByteArray::fromHex("7fff8000000000000000");
        const QByteArray nan = QByteArray::fromHex("7fffc000000000000000");
        QTest::newRow("infinite rate") << comm(1, 1000, 8, infinity) << QList<qint64>{1, 2147483647, 8, 0, 0, 0} << pcm;
        QTest::newRow("nan rate") << comm(1, 1000, 8, nan) << QList<qint64>{1, 0, 8, 0, 0, 0} << pcm;
    }

    void audioProperties()
    {
        QFETCH(QByteArray, body);
        QFETCH(QList<qint64>, expected);
        QFETCH(QString, codec);
        const QByteArray file = form(body, "AIFC");
        IoStream stream(file, QIODevice::ReadOnly);
        const AudioProperties p = AiffStreamIo::instance()->readAudioProperties(&stream, nullptr);
        QVERIFY(p.valid);
        QCOMPARE(p.container, int(AudioContainer::Aiff));
        QCOMPARE(p.fileSize, qint64(file.size()));
        QCOMPARE((QList<qint64>{p.channels, p.sampleRate, p.bitsPerSample, p.duration, p.bitrate, p.audioSize}), expected);
        QCOMPARE(QStringList({QString::number(p.codec), p.codecName, p.codecFullName, QString::number(p.bitrateType),
                              QString::number(p.compression)})
                     .join('/'),
                 codec);
    }

    void audioPropertyErrors_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<quint32>("code");
        QTest::newRow("no chunks") << form({}) << quint32(AiffStreamIo::NoChunksForProperties);
        QTest::newRow("no common chunk") << form(ssnd("ab")) << quint32(AiffStreamIo::NoCommonChunk);
        QTest::newRow("common chunk of 17 bytes") << form(chunk("COMM", QByteArray(17, '\1')))
                                                  << quint32(AiffStreamIo::CommonChunkTooShort);
    }

    void audioPropertyErrors()
    {
        QFETCH(QByteArray, file);
        QFETCH(quint32, code);
        IoStream stream(file, QIODevice::ReadOnly);
        QCOMPARE(exceptionCode([&] { AiffStreamIo::instance()->readAudioProperties(&stream, nullptr); }), code);
    }

    void id3Chunk()
    {
        QObject parent;
        AudioTag tag;
        tag.addItem(new TitleTagItem("id3 title"));
        IoStream scratch(QIODevice::ReadWrite);
        const QByteArray id3 = AiffStreamIo::makeId3Chunk(&scratch, &tag, AiffSettings(), &parent)->data;
        const QByteArray file = form(comm() + ssnd("ab") + chunk("id3 ", id3) + chunk("ID3x", "none"));
        QCOMPARE(readItems(file, {TagType::Id3v2}), QStringList{"104:id3 title"});

        // Writing only the text chunks leaves the ID3v2 chunk; writing ID3v2 replaces it.
        AudioTag replacement;
        replacement.addItem(new TitleTagItem("new"));
        const QByteArray textsOnly = written(file, &replacement, {TagType::Aiff});
        QCOMPARE(readItems(textsOnly, {}), (QStringList{"104:new", "104:id3 title"}));
        const QByteArray both = written(textsOnly, &replacement);
        QCOMPARE(readItems(both, {}), (QStringList{"104:new", "104:new"}));
        QVERIFY(describeForm(both).contains("ID3x"));
        QCOMPARE(qFromBigEndian<quint32>(both.constData() + 4), quint32(both.size() - 8));
    }

    void tagErrors()
    {
        const QByteArray empty = form({});
        IoStream stream(empty, QIODevice::ReadWrite);
        QObject parent;
        QCOMPARE(exceptionCode([&] { AiffStreamIo::instance()->readTags(&stream, {}, nullptr, &parent); }),
                 quint32(AiffStreamIo::NoChunksToRead));
        stream.seek(0);
        QCOMPARE(exceptionCode([&] { AiffStreamIo::instance()->writeTags(&stream, nullptr, {}, nullptr); }),
                 quint32(AiffStreamIo::NoChunksToWrite));
        QCOMPARE(stream.data(), empty);
        stream.seek(0);
        QVERIFY(AiffStreamIo::instance()->readTags(&stream, {TagType::Ape}, nullptr, &parent).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestAiff)
#include "tst_aiff.moc"
