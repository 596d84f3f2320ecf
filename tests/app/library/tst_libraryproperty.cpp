// Random trees of real audio files with random tags, added to libraries with random
// settings: whatever happens, no audio is lost. With moves the audio contents (tags
// stripped) before equal those after plus the files that resolution strategy 3 deleted,
// which the log names; with copies the sources stay as they were.

#include "app/library/fsmusiclibrary.h"
#include "app/library/musiclibraryprocessingdata.h"
#include "app/library/support_library.h"
#include "libcore/settings/settingsstore.h"
#include "libtagging/model/audiofile.h"
#include "libtagging/model/tagitem.h"
#include "libtagging/support_tools.h"

#include <QtTest>

#include <memory>

class TestLibraryProperty : public QObject
{
    Q_OBJECT

    QTemporaryDir m_encoded;
    QStringList m_pool;

    static NamingPattern pattern(const QString &level)
    {
        NamingPattern result;
        result.isSimple = false;
        result.levels.append(QStringList{level});
        return result;
    }

    static QMap<QString, QByteArray> payloads(const QString &folder)
    {
        QMap<QString, QByteArray> all;
        for (const QString &relative : filesBelow(folder))
            all.insert(folder + QLatin1Char('/') + relative, audioPayload(folder + QLatin1Char('/') + relative));
        return all;
    }

private Q_SLOTS:
    void initTestCase()
    {
        loadLibraryTestEnvironment();
        QVERIFY(m_encoded.isValid());
    }

    void randomTrees()
    {
        for (quint32 seed = 10; seed < 16; ++seed) {
            const QString mp3 = encodeAudio(m_encoded.path(), QStringLiteral("mp3"), seed);
            if (mp3.isEmpty())
                QSKIP("lame is needed for real files");
            m_pool.append(mp3);
        }
        for (quint32 seed = 20; seed < 22; ++seed) {
            const QString flac = encodeAudio(m_encoded.path(), QStringLiteral("flac"), seed);
            if (flac.isEmpty())
                QSKIP("flac is needed for real files");
            m_pool.append(flac);
        }
        const QStringList artists{"Ann", "Bo"};
        const QStringList albums{"", "One", "Two"};
        const QStringList titles{"a", "b", "c", "d"};
        QRandomGenerator random(46);
        QElapsedTimer clock;
        clock.start();
        int round = 0;
        for (; round < 40 && clock.elapsed() < 4000; ++round) {
            SettingsStore::reset();
            QTemporaryDir dir;
            QVERIFY(dir.isValid());
            const QString src = dir.filePath(QStringLiteral("src"));
            const QString root = dir.filePath(QStringLiteral("lib"));
            QVERIFY(QDir().mkpath(src) && QDir().mkpath(root));

            FsMusicLibrary library;
            library.rootPath = root;
            library.retagFiles = random.bounded(2);
            library.duplicateDetectionStrategy = random.bounded(2);
            library.duplicateResolutionStrategy = random.bounded(4);
            library.duplicateSubfolder = QStringLiteral("Dup");
            if (random.bounded(2))
                library.duplicateResolutionConditions.append(new DuplicateResolutionCondition(
                    ModelDataType(TagItemType::TrackNumber), random.bounded(3), QVariant(qint64(random.bounded(6)))));
            library.singleArtistAlbumsPattern.folder = pattern("%artist%/%album%");
            library.singleArtistAlbumsPattern.file = pattern("%title%");
            library.variousArtistAlbumsPattern.folder = pattern("Various/%album%");
            library.variousArtistAlbumsPattern.file = pattern("%title%");
            library.nonAlbumTracksPattern.folder = pattern("%artist%");
            library.nonAlbumTracksPattern.file = pattern("%title%");
            const LibraryAddOptions options{bool(random.bounded(2)), bool(random.bounded(2)), bool(random.bounded(2))};

            const auto randomTags = [&]() {
                QMap<int, QVariant> tags{{TagItemType::Artist, artists.at(random.bounded(int(artists.size())))},
                                         {TagItemType::Title, titles.at(random.bounded(int(titles.size())))},
                                         {TagItemType::TrackNumber, random.bounded(1, 6)}};
                const QString album = albums.at(random.bounded(int(albums.size())));
                if (!album.isEmpty())
                    tags.insert(TagItemType::Album, album);
                if (random.bounded(4) == 0)
                    tags.insert(TagItemType::PartOfCompilation, true);
                return tags;
            };
            // Files already in the library, where new ones may collide with them.
            const int existing = random.bounded(4);
            for (int i = 0; i < existing; ++i) {
                const QMap<int, QVariant> tags = randomTags();
                const QString encoded = m_pool.at(random.bounded(int(m_pool.size())));
                const QString path = QStringLiteral("%1/%2/%3.%4").arg(root, tags.value(TagItemType::Artist).toString(),
                    tags.value(TagItemType::Title).toString(), QFileInfo(encoded).suffix());
                QVERIFY(makeTaggedFile(encoded, path, tags));
            }
            QObject owner;
            QList<AudioFile *> files;
            const int count = random.bounded(2, 11);
            for (int i = 0; i < count; ++i) {
                const QString encoded = m_pool.at(random.bounded(int(m_pool.size())));
                const QString path = QStringLiteral("%1/f%2/%3.%4").arg(src).arg(random.bounded(3)).arg(i).arg(QFileInfo(encoded).suffix());
                QVERIFY(makeTaggedFile(encoded, path, randomTags()));
                auto *file = new AudioFile(path, &owner);
                file->readTags();
                files.append(file);
            }
            if (random.bounded(2)) {
                // No file may have landed in f0.
                QVERIFY(QDir().mkpath(src + QStringLiteral("/f0")));
                QFile cover(src + QStringLiteral("/f0/cover.jpg"));
                QVERIFY(cover.open(QIODevice::WriteOnly) && cover.write(QByteArray(10, char('a' + round % 26))) == 10);
            }

            QMap<QString, QByteArray> before = payloads(src);
            const QMap<QString, QByteArray> sourceBytes = [&] {
                QMap<QString, QByteArray> bytes;
                for (const QString &path : before.keys())
                    bytes.insert(path, fileBytes(path));
                return bytes;
            }();
            before.insert(payloads(root));

            CollectingLogger log;
            MusicLibraryProcessingData data(files);
            data.prepare(&library, nullptr);
            library.addFiles(&data, options, nullptr);

            QMap<QString, QByteArray> after = payloads(src);
            after.insert(payloads(root));
            QList<QByteArray> deleted;
            for (const LogMessage &message : log.messages) {
                if (message.code == LibraryFileDeletedTextId || message.code == NewFileDeletedTextId)
                    deleted.append(before.value(message.arguments.value(0).toString()));
            }
            const QString context = QStringLiteral("round %1: strategy %2, move %3, detection %4")
                                        .arg(round).arg(library.duplicateResolutionStrategy).arg(options.move)
                                        .arg(library.duplicateDetectionStrategy);
            if (options.move) {
                QList<QByteArray> expected = before.values();
                QList<QByteArray> found = after.values() + deleted;
                std::sort(expected.begin(), expected.end());
                std::sort(found.begin(), found.end());
                QVERIFY2(found == expected, qPrintable(context));
            } else {
                for (auto it = sourceBytes.cbegin(); it != sourceBytes.cend(); ++it)
                    QVERIFY2(fileBytes(it.key()) == it.value(), qPrintable(context + QStringLiteral(": ") + it.key()));
                const QSet<QByteArray> kinds(after.cbegin(), after.cend());
                for (const QByteArray &payload : before) {
                    if (!deleted.contains(payload))
                        QVERIFY2(kinds.contains(payload), qPrintable(context));
                }
                for (const QByteArray &payload : after)
                    QVERIFY2(before.values().contains(payload), qPrintable(context));
            }
            for (const QString &path : after.keys())
                QVERIFY2(!path.contains(QStringLiteral(".part-")), qPrintable(path));
        }
        qInfo("%d random trees added", round);
        QVERIFY(round >= 3);
    }
};

QTEST_GUILESS_MAIN(TestLibraryProperty)
#include "tst_libraryproperty.moc"
