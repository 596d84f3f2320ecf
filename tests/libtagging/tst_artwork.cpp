#include <QtTest>

#include "libcore/log/exception.h"
#include "libcore/log/logger.h"
#include "libtagging/model/artworktagitem.h"

#include <QTemporaryDir>
#include <memory>

namespace {
class CollectingLogger : public Logger
{
public:
    CollectingLogger() { setRegistered(true); }
    void log(const LogMessage &message) override { codes.append(message.code); }
    QList<quint32> codes;
};

const quint32 LinkOutsideFolderWarning = 3073573137u;
const quint32 LinkedFileTooLargeWarning = 1336812454u;
const quint32 SaveOutsideFolderError = 1638513283u;

CodedImage bytes(const char *data)
{
    return CodedImage(QByteArray(data));
}

void writeFile(const QString &path, const QByteArray &data)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(data), data.size());
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}
} // namespace

class TestArtwork : public QObject
{
    Q_OBJECT
private slots:
    void equality()
    {
        ArtworkTagItem front(bytes("abc"), 3, QStringLiteral("d"));
        ArtworkTagItem back(bytes("abc"), 4, QStringLiteral("d"));
        QVERIFY(!front.equals(&back));
        std::unique_ptr<TagItem> copy(front.clone(nullptr));
        auto *other = static_cast<ArtworkTagItem *>(copy.get());
        other->folder = QStringLiteral("/elsewhere");
        QVERIFY(front.equals(other)); // the folder is not compared
        other->setLinkedFile(QStringLiteral("cover.jpg"));
        QVERIFY(!front.equals(other));
        ArtworkTagItem otherBytes(bytes("abd"), 3, QStringLiteral("d"));
        QVERIFY(!front.equals(&otherBytes));
        QVERIFY(ArtworkTagItem().isEmpty());
        QVERIFY(!front.isEmpty());
        QVERIFY(front.toString().isNull());
        QVERIFY(!front.isTextual());
        QVERIFY(front.isPlainValue());
    }

    void modifiedFlag()
    {
        ArtworkTagItem item(bytes("first"), 3, QString());
        item.setImage(bytes("first"));
        QVERIFY(!item.isModified());
        item.setImage(bytes("second"));
        QVERIFY(item.isModified());
        item.setImage(bytes("first"));
        QVERIFY(item.isModified());
        std::unique_ptr<TagItem> copy(item.clone(nullptr));
        QVERIFY(static_cast<ArtworkTagItem *>(copy.get())->isModified());

        ArtworkTagItem linked;
        linked.setLinkedFile(QString());
        QVERIFY(!linked.isModified());
        linked.setLinkedFile(QStringLiteral("cover.jpg"));
        QVERIFY(linked.isModified());
    }

    void fromVariant()
    {
        ArtworkTagItem item(bytes("old"), 6, QStringLiteral("d"));
        QVERIFY(!item.fromVariant(5));
        QCOMPARE(item.image().data, QByteArray("old"));
        QVERIFY(item.fromVariant(QVariant::fromValue(bytes("new"))));
        QCOMPARE(item.image().data, QByteArray("new"));
        QImage image(4, 4, QImage::Format_RGB32);
        image.fill(Qt::red);
        QVERIFY(item.fromVariant(image));
        QVERIFY(item.image().data.startsWith("\xff\xd8")); // JPEG
        QCOMPARE(item.pictureType, 6);
        QCOMPARE(item.description, QStringLiteral("d"));
        QCOMPARE(item.toVariant().value<CodedImage>().data, item.image().data);
    }

    void pictureTypes()
    {
        const QList<int> order = ArtworkTagItem::pictureTypeOrder();
        QCOMPARE(order.size(), 21);
        QCOMPARE(order.first(), 3);
        QCOMPARE(order.mid(18), QList<int>({1, 2, 0}));

        QObject owner;
        auto make = [&owner](int pictureType) { return new ArtworkTagItem(bytes("x"), pictureType, QString(), &owner); };
        ArtworkTagItem *other = make(0);
        ArtworkTagItem *backA = make(4);
        ArtworkTagItem *front = make(3);
        ArtworkTagItem *backB = make(4);
        ArtworkTagItem *invalid = make(21);
        QCOMPARE(ArtworkTagItem::sortByPictureType({other, backA, front, backB, invalid}),
                 QList<ArtworkTagItem *>({front, backA, backB, other}));
        QVERIFY(ArtworkTagItem::pictureTypeName(21).isEmpty());
        QVERIFY(ArtworkTagItem::pictureTypeName(-1).isEmpty());
        QVERIFY(ArtworkTagItem::imageFileFilters().contains(QStringLiteral("*.png")));
    }

    void resolvePath()
    {
        QTemporaryDir dir;
        const QString album = dir.path() + QStringLiteral("/Album");
        QVERIFY(QDir().mkpath(album));
        writeFile(album + QStringLiteral("/track.mp3"), "x");
        QCOMPARE(ArtworkTagItem::resolvePath(album, QStringLiteral("/abs/cover.jpg")), QStringLiteral("/abs/cover.jpg"));
        QCOMPARE(ArtworkTagItem::resolvePath(album + QStringLiteral("/track.mp3"), QStringLiteral("cover.jpg")),
                 album + QStringLiteral("/cover.jpg"));
        QCOMPARE(ArtworkTagItem::resolvePath(album + QLatin1Char('/'), QStringLiteral("../cover.jpg")),
                 dir.path() + QStringLiteral("/cover.jpg"));
        QVERIFY(ArtworkTagItem::resolvePath(QString(), QStringLiteral("cover.jpg")).isEmpty());
    }

    // Linked paths come from inside audio files: only files inside the folder are read.
    void linkedFileStaysInsideTheFolder_data()
    {
        QTest::addColumn<QString>("linkedFile");
        QTest::addColumn<bool>("loaded");
        QTest::addColumn<bool>("warned");
        QTest::newRow("beside the audio file") << "cover.jpg" << true << false;
        QTest::newRow("in a sub-folder") << "scans/back.jpg" << true << false;
        QTest::newRow("down and up again") << "scans/../cover.jpg" << true << false;
        QTest::newRow("missing") << "missing.jpg" << false << false;
        QTest::newRow("parent folder") << "../secret.jpg" << false << true;
        QTest::newRow("absolute") << "@/secret.jpg" << false << true;
        QTest::newRow("the folder itself") << "." << false << true;
        QTest::newRow("a folder") << "scans" << false << true;
        QTest::newRow("link out of the folder") << "link.jpg" << false << true;
    }
    void linkedFileStaysInsideTheFolder()
    {
        QFETCH(QString, linkedFile);
        QFETCH(bool, loaded);
        QFETCH(bool, warned);
        QTemporaryDir dir;
        const QString album = dir.path() + QStringLiteral("/Album");
        QVERIFY(QDir().mkpath(album + QStringLiteral("/scans")));
        writeFile(album + QStringLiteral("/cover.jpg"), "front");
        writeFile(album + QStringLiteral("/scans/back.jpg"), "back");
        writeFile(album + QStringLiteral("/track.mp3"), "audio");
        writeFile(dir.path() + QStringLiteral("/secret.jpg"), "secret");
        QVERIFY(QFile::link(dir.path() + QStringLiteral("/secret.jpg"), album + QStringLiteral("/link.jpg")));
        linkedFile.replace(QLatin1Char('@'), dir.path());

        CollectingLogger logger;
        ArtworkTagItem item(album + QStringLiteral("/track.mp3"), linkedFile, 4, QStringLiteral("d"));
        QCOMPARE(!item.isEmpty(), loaded);
        QVERIFY(item.image().data != QByteArray("secret"));
        QCOMPARE(logger.codes.contains(LinkOutsideFolderWarning), warned);
        QCOMPARE(item.linkedFile(), linkedFile);
        QCOMPARE(item.pictureType, 4);
        QVERIFY(!item.isModified());
    }

    void linkedFileSizeIsCapped()
    {
        QTemporaryDir dir;
        QFile big(dir.filePath(QStringLiteral("huge.jpg")));
        QVERIFY(big.open(QIODevice::WriteOnly));
        QVERIFY(big.resize(ArtworkTagItem::MaxLinkedFileSize + 1)); // sparse: costs no disk
        big.close();
        CollectingLogger logger;
        ArtworkTagItem item(dir.path(), QStringLiteral("huge.jpg"), 3, QString());
        QVERIFY(item.isEmpty());
        QVERIFY(logger.codes.contains(LinkedFileTooLargeWarning));
    }

    void saveLinkedFile()
    {
        QTemporaryDir dir;
        const QString album = dir.path() + QStringLiteral("/Album");
        const QString copyFolder = dir.path() + QStringLiteral("/Copy");
        QVERIFY(QDir().mkpath(album) && QDir().mkpath(copyFolder));
        writeFile(album + QStringLiteral("/cover.jpg"), "front");
        ArtworkTagItem item(album, QStringLiteral("cover.jpg"), 3, QString());
        QCOMPARE(item.image().data, QByteArray("front"));

        // Unchanged, same place, same size on disk: nothing is written.
        writeFile(album + QStringLiteral("/cover.jpg"), "FRONT");
        item.saveLinkedFile(album);
        QCOMPARE(contents(album + QStringLiteral("/cover.jpg")), QByteArray("FRONT"));
        // Another folder always gets the file.
        item.saveLinkedFile(copyFolder);
        QCOMPARE(contents(copyFolder + QStringLiteral("/cover.jpg")), QByteArray("front"));
        // A changed picture is written and the flag goes back.
        item.setImage(bytes("new front"));
        item.saveLinkedFile(album);
        QVERIFY(!item.isModified());
        QCOMPARE(contents(album + QStringLiteral("/cover.jpg")), QByteArray("new front"));
        QCOMPARE(item.folder, album);
    }

    void saveNeverLeavesTheFolder_data()
    {
        QTest::addColumn<QString>("linkedFile");
        QTest::newRow("parent folder") << "../outside/cover.jpg";
        QTest::newRow("absolute") << "@/outside/cover.jpg";
        QTest::newRow("through a folder link") << "away/cover.jpg";
        QTest::newRow("through a file link") << "link.jpg";
        QTest::newRow("through a dangling link") << "dangling.jpg";
    }
    void saveNeverLeavesTheFolder()
    {
        QFETCH(QString, linkedFile);
        QTemporaryDir dir;
        const QString album = dir.path() + QStringLiteral("/Album");
        const QString outside = dir.path() + QStringLiteral("/outside");
        QVERIFY(QDir().mkpath(album) && QDir().mkpath(outside));
        writeFile(outside + QStringLiteral("/cover.jpg"), "keep");
        QVERIFY(QFile::link(outside, album + QStringLiteral("/away")));
        QVERIFY(QFile::link(outside + QStringLiteral("/cover.jpg"), album + QStringLiteral("/link.jpg")));
        QVERIFY(QFile::link(outside + QStringLiteral("/new.jpg"), album + QStringLiteral("/dangling.jpg")));
        linkedFile.replace(QLatin1Char('@'), dir.path());

        ArtworkTagItem item(bytes("evil"), 3, QString());
        item.folder = album;
        item.setLinkedFile(linkedFile);
        CollectingLogger logger;
        try {
            item.saveLinkedFile(album);
            QFAIL("saved outside the folder");
        } catch (const Exception &e) {
            QCOMPARE(e.code, SaveOutsideFolderError);
        }
        QCOMPARE(contents(outside + QStringLiteral("/cover.jpg")), QByteArray("keep"));
        QVERIFY(!QFile::exists(outside + QStringLiteral("/new.jpg")));
        QVERIFY(item.isModified()); // nothing was saved
    }
};

QTEST_GUILESS_MAIN(TestArtwork)
#include "tst_artwork.moc"
