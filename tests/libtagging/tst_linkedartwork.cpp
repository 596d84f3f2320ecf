#include <QtTest>

#include "libcore/io/iostream.h"
#include "libcore/log/exception.h"
#include "libtagging/id3/id3v2tagio.h"
#include "libtagging/model/artworktagitem.h"
#include "libtagging/model/audiotag.h"
#include "libtagging/plain/apetagio.h"
#include "libtagging/plain/lyrics3tagio.h"

#include <QTemporaryDir>

namespace {

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

class TestLinkedArtwork : public QObject
{
    Q_OBJECT
private slots:
    void pictureTypeFromName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("pictureType");
        QTest::newRow("front") << "front.jpg" << 3;
        QTest::newRow("back") << "back.png" << 4;
        QTest::newRow("back anywhere in the name") << "backdrop.jpg" << 4;
        QTest::newRow("back wins over cover") << "Cover Back.jpg" << 4;
        QTest::newRow("folder, any case") << "My FOLDER.jpg" << 3;
        QTest::newRow("albumart") << "AlbumArtSmall.jpg" << 3;
        QTest::newRow("cover wins over disc") << "disc cover.jpg" << 3;
        QTest::newRow("disc word") << "disc.jpg" << 6;
        QTest::newRow("cd word") << "CD 2.png" << 6;
        QTest::newRow("cd joined to a number") << "cd1.jpg" << 3;
        QTest::newRow("disc inside a word") << "discography.jpg" << 3;
        QTest::newRow("anything else") << "scan.jpg" << 3;
    }
    void pictureTypeFromName()
    {
        QFETCH(QString, name);
        QFETCH(int, pictureType);
        QTemporaryDir dir;
        writeFile(dir.filePath(name), "picture");
        QObject owner;
        const QList<ArtworkTagItem *> items = ArtworkTagItem::folderArtwork(dir.path(), &owner);
        QCOMPARE(items.size(), 1);
        QCOMPARE(items[0]->pictureType, pictureType);
        QCOMPARE(items[0]->linkedFile(), name);
        QCOMPARE(items[0]->image().data, QByteArray("picture"));
    }

    // The tag formats that keep a path to the picture write the picture to that file only
    // when the user changed it, and only inside the audio file's folder: an untouched link
    // never recreates or overwrites a file, and a link out of the folder writes nothing.
    void formatsSaveOnlyChangedPictures_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("link");
        QTest::addColumn<bool>("changed");
        QTest::addColumn<QByteArray>("written");
        for (const char *format : {"ID3v2", "APE", "Lyrics3"}) {
            QTest::addRow("%s, untouched", format) << format << "cover.jpg" << false << QByteArray("<missing>");
            QTest::addRow("%s, changed", format) << format << "cover.jpg" << true << QByteArray("new");
            QTest::addRow("%s, changed, out of the folder", format)
                << format << "../cover.jpg" << true << QByteArray("<missing>");
        }
    }
    void formatsSaveOnlyChangedPictures()
    {
        QFETCH(QString, format);
        QFETCH(QString, link);
        QFETCH(bool, changed);
        QFETCH(QByteArray, written);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("album"));
        const QString song = dir.filePath("album/song.mp3");
        writeFile(dir.filePath("album/cover.jpg"), "old");
        AudioTag tag;
        auto *item = new ArtworkTagItem(song, link, 3, QString());
        tag.addItem(item);
        QVERIFY(QFile::remove(dir.filePath("album/cover.jpg")));
        if (changed)
            item->setImage(CodedImage(QByteArray("new")));

        ITagIo *io = format == "ID3v2" ? static_cast<ITagIo *>(Id3v2TagIo::instance())
                     : format == "APE" ? static_cast<ITagIo *>(ApeTagIo::instance())
                                       : static_cast<ITagIo *>(Lyrics3TagIo::instance());
        IoStream out(QIODevice::ReadWrite);
        out.setName(song);
        io->render(&out, &tag, nullptr);
        // The link is stored whether or not the picture could be written.
        QVERIFY(out.data().contains(link.toUtf8()));
        QCOMPARE(contents(QDir::cleanPath(dir.filePath("album/" + link))), written);
        QCOMPARE(item->isModified(), changed && written == "<missing>");
    }

    void failedSaveStaysModified()
    {
        QTemporaryDir dir;
        writeFile(dir.filePath("cover.jpg"), "old");
        ArtworkTagItem item(dir.path(), QStringLiteral("cover.jpg"), 3, QString());
        item.setImage(CodedImage(QByteArray("new")));
        // The write needs a folder that does not exist, so it fails.
        item.setLinkedFile(QStringLiteral("missing/cover.jpg"));
        QVERIFY_THROWS_EXCEPTION(Exception, item.saveLinkedFile(dir.path()));
        QVERIFY(item.isModified());
        QVERIFY(!QFileInfo::exists(dir.filePath("missing")));

        // Once the write can succeed, the retry writes and clears the flag.
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("missing")));
        item.saveLinkedFile(dir.path());
        QVERIFY(!item.isModified());
        QCOMPARE(contents(dir.filePath("missing/cover.jpg")), QByteArray("new"));
        QCOMPARE(contents(dir.filePath("cover.jpg")), QByteArray("old"));
        // Nothing is left behind by the write but the file.
        QCOMPARE(QDir(dir.filePath("missing")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{QStringLiteral("cover.jpg")});
    }
};

QTEST_GUILESS_MAIN(TestLinkedArtwork)
#include "tst_linkedartwork.moc"
