// WMA files made by ffmpeg and tagged by mutagen or kid3-cli, read by us, rewritten by us and
// read back by them.

#include <QtTest>

#include "libcore/io/iostream.h"
#include "libtagging/asf/asfattribute.h"
#include "libtagging/asf/asfstreamio.h"
#include "libtagging/model/artworktagitem.h"
#include "libtagging/model/audiofile.h"
#include "libtagging/model/audiotag.h"
#include "libtagging/model/plaintagitems.h"
#include "libtagging/model/unknownasfdatatagitem.h"
#include "libtagging/model/unknownasfstringtagitem.h"

#include <QBuffer>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "shared/support_tools.h"

namespace {

const QString python = QStringLiteral("/usr/bin/python3");

bool makeWma(const QString &path, const QStringList &extra = {})
{
    bool ok = false;
    ok = run("ffmpeg", QStringList{"-v", "error", "-f", "lavfi", "-i", "sine=frequency=440:duration=1", "-c:a", "wmav2"}
                      + extra + QStringList{path});
    return ok;
}

// What mutagen reads: every attribute as [type, value, language, stream]; byte values in hex.
QJsonObject mutagenAttributes(const QString &path)
{
    const QString script =
        "import sys, json, mutagen.asf\n"
        "f = mutagen.asf.ASF(sys.argv[1])\n"
        "out = {}\n"
        "for k, vs in f.tags.items():\n"
        "    out[k] = [[type(v).__name__, v.value.hex() if isinstance(v.value, bytes) else v.value,"
        " v.language or 0, v.stream or 0] for v in vs]\n"
        "print(json.dumps(out))\n";
    return QJsonDocument::fromJson(outputOf(python, {"-c", script, path})).object();
}

// The values mutagen reads for one attribute name, as texts.
QStringList mutagenValues(const QJsonObject &attributes, const QString &name)
{
    QStringList values;
    for (const QJsonValue &entry : attributes.value(name).toArray()) {
        const QJsonValue value = entry.toArray().at(1);
        values.append(value.isString() ? value.toString() : value.isBool() ? QString::number(value.toBool())
                                                                            : QString::number(value.toDouble(), 'f', 0));
    }
    return values;
}

// A real picture, so that nothing complains when it is looked at.
const QByteArray &image()
{
    static const QByteArray bytes = [] {
        QImage picture(4, 4, QImage::Format_RGB32);
        picture.fill(Qt::red);
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        picture.save(&buffer, "PNG");
        return buffer.data();
    }();
    return bytes;
}

// Tags the file through mutagen with values of every kind: several values of one name, a
// language index, a stream number, a GUID, numbers and a picture.
bool tagWithMutagen(const QString &path)
{
    const QString script =
        "import sys, struct, mutagen.asf as m\n"
        "f = m.ASF(sys.argv[1])\n"
        "f.tags['Title'] = ['Mutagen title']\n"
        "f.tags['Author'] = ['Mutagen artist']\n"
        "f.tags['WM/AlbumTitle'] = ['Album']\n"
        "f.tags['WM/Genre'] = ['Jazz', 'Blues']\n"
        "f.tags['WM/TrackNumber'] = [m.ASFDWordAttribute(7)]\n"
        "f.tags['WM/IsCompilation'] = [m.ASFBoolAttribute(True)]\n"
        "f.tags['WM/SharedUserRating'] = [m.ASFDWordAttribute(75)]\n"
        "f.tags['Custom/Lang'] = [m.ASFUnicodeAttribute('Hallo', language=2)]\n"
        "f.tags['Custom/Stream'] = [m.ASFUnicodeAttribute('S', stream=1)]\n"
        "f.tags['Custom/Guid'] = [m.ASFGUIDAttribute(b'0123456789abcdef')]\n"
        "f.tags['Custom/Q'] = [m.ASFQWordAttribute(1234567890123)]\n"
        "img = bytes.fromhex(sys.argv[2])\n"
        "pic = struct.pack('<bI', 3, len(img)) + 'image/png'.encode('utf-16-le') + b'\\0\\0'"
        " + 'cover'.encode('utf-16-le') + b'\\0\\0' + img\n"
        "f.tags['WM/Picture'] = [m.ASFByteArrayAttribute(pic)]\n"
        "f.save()\n";
    bool ok = false;
    ok = run(python, {"-c", script, path, QString::fromLatin1(image().toHex())});
    return ok;
}

AudioTag *readAsf(const QString &path, QObject *parent)
{
    IoStream stream(path, QIODevice::ReadOnly);
    const QList<AudioTag *> tags = AsfStreamIo::instance()->readTags(&stream, {}, nullptr, parent);
    return tags.isEmpty() ? nullptr : tags.first();
}

} // namespace

class TestAsfInterop : public QObject
{
    Q_OBJECT
    QString m_missing; // why the tools the tests need are not there
private slots:
    void initTestCase()
    {
        if (!run("ffmpeg", {"-version"})) {
            m_missing = QStringLiteral("ffmpeg is not installed: the WMA interop tests need it to make the files");
            return;
        }
        QTemporaryDir dir;
        QVERIFY2(makeWma(dir.filePath("probe.wma")), "ffmpeg could not encode WMA");
        m_mutagen = run(python, {"-c", "import mutagen.asf"});
    }

    // Every test here needs the tools; each skips (or fails, where tools are required) alone.
    void init()
    {
        if (!m_missing.isEmpty())
            MELO_SKIP_TOOL(m_missing);
    }

    void readsFfmpegTags()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("ffmpeg.wma");
        QVERIFY(makeWma(path, {"-metadata", "title=T", "-metadata", "artist=A", "-metadata", "album=Al", "-metadata",
                               "track=3/12", "-metadata", "genre=Jazz", "-metadata", "comment=C", "-metadata",
                               "copyright=Cp"}));
        QObject parent;
        const AudioTag *tag = readAsf(path, &parent);
        QVERIFY(tag);
        QCOMPARE(tag->itemText(TagItemType::Title), QStringLiteral("T"));
        QCOMPARE(tag->itemText(TagItemType::Artist), QStringLiteral("A"));
        QCOMPARE(tag->itemText(TagItemType::Album), QStringLiteral("Al"));
        QCOMPARE(tag->itemText(TagItemType::TrackNumber), QStringLiteral("3"));
        QCOMPARE(tag->itemText(TagItemType::TrackCount), QStringLiteral("12"));
        QCOMPARE(tag->itemText(TagItemType::Genre), QStringLiteral("Jazz"));
        QCOMPARE(tag->itemText(TagItemType::Comment), QStringLiteral("C"));
        QCOMPARE(tag->itemText(TagItemType::Copyright), QStringLiteral("Cp"));
        QVERIFY(tag->tagInfo()->isPrepended());
    }

    void readsMutagenTags()
    {
        if (!m_mutagen)
            MELO_SKIP_TOOL("mutagen (python3-mutagen) is not installed");
        QTemporaryDir dir;
        const QString path = dir.filePath("mutagen.wma");
        QVERIFY(makeWma(path));
        QVERIFY2(tagWithMutagen(path), "mutagen could not tag the file");
        QObject parent;
        const AudioTag *tag = readAsf(path, &parent);
        QVERIFY(tag);
        QCOMPARE(tag->itemText(TagItemType::Title), QStringLiteral("Mutagen title"));
        QCOMPARE(tag->itemText(TagItemType::Artist), QStringLiteral("Mutagen artist"));
        // The library object, where mutagen puts the second value, is read first.
        QCOMPARE(tag->itemTexts(TagItemType::Genre), (QStringList{"Blues", "Jazz"}));
        QCOMPARE(tag->itemText(TagItemType::TrackNumber), QStringLiteral("7"));
        QCOMPARE(tag->itemValue(TagItemType::PartOfCompilation), QVariant(true));
        QCOMPARE(tag->itemText(TagItemType::Rating, 0, "[data]"), QString::number(74.0 / 98.0, 'f', 6));
        const auto *artwork = static_cast<const ArtworkTagItem *>(tag->item(TagItemType::Artwork));
        QVERIFY(artwork);
        QCOMPARE(artwork->pictureType, 3);
        QCOMPARE(artwork->description, QStringLiteral("cover"));
        QCOMPARE(artwork->image().data, image());
        QStringList unknown;
        for (const TagItem *item : tag->items(TagItemType::UnknownAsfString)) {
            const auto *u = static_cast<const UnknownAsfStringTagItem *>(item);
            unknown.append(QStringLiteral("%1=%2/%3/%4").arg(u->name, u->value).arg(u->number1).arg(u->number2));
        }
        for (const TagItem *item : tag->items(TagItemType::UnknownAsfData)) {
            const auto *u = static_cast<const UnknownAsfDataTagItem *>(item);
            unknown.append(QStringLiteral("%1=%2/%3").arg(u->name).arg(u->asfDataType).arg(u->data.size()));
        }
        unknown.sort();
        QCOMPARE(unknown, (QStringList{"Custom/Guid=6/16", "Custom/Lang=Hallo/2/0", "Custom/Q=4/8",
                                       "Custom/Stream=S/0/1"}));
    }

    // The whole road through AudioFile: mutagen's attributes survive our rewrite, the audio
    // decodes the same, and saves that need no more room keep the file's size.
    void rewriteThroughAudioFile()
    {
        if (!m_mutagen)
            MELO_SKIP_TOOL("mutagen (python3-mutagen) is not installed");
        QTemporaryDir dir;
        const QString path = dir.filePath("rewrite.wma");
        QVERIFY(makeWma(path));
        QVERIFY2(tagWithMutagen(path), "mutagen could not tag the file");
        const QString md5 = audioMd5(path);
        QVERIFY(md5.startsWith("MD5="));

        const QString title = QString::fromUtf8("Caf\u00e9 \u20ac title\nsecond line");
        {
            AudioFile file(path);
            file.readTags(0, true);
            AudioTag *tag = file.tag(0);
            QVERIFY(tag);
            tag->removeItems(TagItemType::Title);
            tag->addItem(new TitleTagItem(title));
            tag->addItem(new TrackCountTagItem(9));
            tag->addItem(new ComposerTagItem("Composer"));
            file.writeTags(0);
        }
        QCOMPARE(audioMd5(path), md5);

        const QJsonObject attributes = mutagenAttributes(path);
        QCOMPARE(mutagenValues(attributes, "Title"), QStringList{QString(title).replace("\n", "\r\n")});
        QCOMPARE(mutagenValues(attributes, "Author"), QStringList{"Mutagen artist"});
        QCOMPARE(mutagenValues(attributes, "WM/AlbumTitle"), QStringList{"Album"});
        QCOMPARE(mutagenValues(attributes, "WM/Genre"), (QStringList{"Blues", "Jazz"}));
        QCOMPARE(mutagenValues(attributes, "WM/TrackNumber"), QStringList{"7/9"});
        QCOMPARE(mutagenValues(attributes, "WM/Composer"), QStringList{"Composer"});
        QCOMPARE(mutagenValues(attributes, "WM/IsCompilation"), QStringList{"1"});
        QCOMPARE(mutagenValues(attributes, "WM/SharedUserRating"), QStringList{"75"});
        QCOMPARE(mutagenValues(attributes, "Custom/Q"), QStringList{"1234567890123"});
        QCOMPARE(mutagenValues(attributes, "Custom/Guid"), QStringList{QString::fromLatin1(QByteArray("0123456789abcdef").toHex())});
        QCOMPARE(attributes.value("Custom/Lang").toArray().at(0).toArray().at(2).toInt(), 2);
        QCOMPARE(attributes.value("Custom/Stream").toArray().at(0).toArray().at(3).toInt(), 1);
        const QString picture = mutagenValues(attributes, "WM/Picture").value(0);
        QVERIFY2(picture.endsWith(QString::fromLatin1(image().toHex())), qPrintable(picture));
        QVERIFY(picture.startsWith("03"));

        // A second save without a change gives the same bytes.
        const QByteArray first = fileBytes(path);
        {
            AudioFile file(path);
            file.readTags(0, true);
            file.writeTags(0);
        }
        QCOMPARE(fileBytes(path), first);

        // An edit that fits the padding leaves the size alone and the audio in place.
        {
            AudioFile file(path);
            file.readTags(0, true);
            AudioTag *tag = file.tag(0);
            tag->removeItems(TagItemType::Title);
            tag->addItem(new TitleTagItem("A somewhat longer title than before, still within the padding"));
            file.writeTags(0);
        }
        QCOMPARE(fileBytes(path).size(), first.size());
        QCOMPARE(audioMd5(path), md5);
        QCOMPARE(mutagenValues(mutagenAttributes(path), "Title"),
                 QStringList{"A somewhat longer title than before, still within the padding"});
        QObject parent;
        QCOMPARE(readAsf(path, &parent)->itemText(TagItemType::Title),
                 QStringLiteral("A somewhat longer title than before, still within the padding"));
    }

    // ffmpeg stores the title and the artist twice, in the content description and as
    // descriptors; kid3-cli (TagLib) changes only the former. We show its values, once, and a
    // save leaves no stale copy behind.
    void staleCopiesAfterAnotherTagger()
    {
        if (!hasTool("kid3-cli"))
            MELO_SKIP_TOOL("kid3-cli is not installed (scripts/setup installs it)");
        QTemporaryDir dir;
        const QString path = dir.filePath("kid3.wma");
        QVERIFY(makeWma(path, {"-metadata", "title=Old title", "-metadata", "artist=Old artist"}));
        // kid3-cli with an empty configuration of its own.
        QVERIFY(run("env", {"HOME=" + dir.path(), "XDG_CONFIG_HOME=" + dir.filePath(".config"), "kid3-cli", "-c",
                            "set title 'New title' 2", "-c", "set artist 'New artist' 2", path}));
        QObject parent;
        const AudioTag *tag = readAsf(path, &parent);
        QVERIFY(tag);
        QCOMPARE(tag->itemTexts(TagItemType::Title), QStringList{"New title"});
        QCOMPARE(tag->itemTexts(TagItemType::Artist), QStringList{"New artist"});
        {
            AudioFile file(path);
            file.readTags(0, true);
            file.tag(0)->addItem(new AlbumTagItem("Album"));
            file.writeTags(0);
        }
        QVERIFY(!fileBytes(path).contains(QByteArray("O\0l\0d\0", 6)));
        QCOMPARE(outputOf("env", {"HOME=" + dir.path(), "kid3-cli", "-c", "get title", "-c", "get artist", path}),
                 QByteArray("New title\nNew artist\n"));
    }

    // Removing the tag leaves a file that ffmpeg decodes the same and mutagen finds empty.
    void removeTag()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("remove.wma");
        QVERIFY(makeWma(path, {"-metadata", "title=T", "-metadata", "album=Al"}));
        const QString md5 = audioMd5(path);
        {
            IoStream stream(path, QIODevice::ReadWrite);
            AsfStreamIo::instance()->removeTags(&stream, {}, nullptr);
        }
        QCOMPARE(audioMd5(path), md5);
        QObject parent;
        QVERIFY(!readAsf(path, &parent));
        if (!m_mutagen)
            MELO_SKIP_TOOL("mutagen (python3-mutagen) is not installed: the empty tag was not checked by it");
        QVERIFY(mutagenAttributes(path).isEmpty());
    }

private:
    bool m_mutagen = false;
};

QTEST_GUILESS_MAIN(TestAsfInterop)
#include "tst_asfinterop.moc"
