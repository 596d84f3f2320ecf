// Planning an addition to a folder library and carrying it out on real files made by
// Debian's encoders: targets by album kind, duplicates by each strategy, related files,
// emptied folders, copy and move, retagging, and the failures that must lose nothing (a
// read-only target, a write failing part-way, a cancel in the middle, another file system).

#include "app/library/addtolibrarycreatepreviewthread.h"
#include "app/library/addtolibraryworkerthread.h"
#include "app/library/duplicategroup.h"
#include "app/library/fsmusiclibrary.h"
#include "app/library/libraryfiletransfer.h"
#include "app/library/musiclibraryprocessingdata.h"
#include "app/library/support_library.h"
#include "libcore/io/paths.h"
#include "libcore/settings/settingsstore.h"
#include "libtagging/model/audiofile.h"
#include "libtagging/model/audiotag.h"
#include "libtagging/model/tagitem.h"
#include "libtagging/support_tools.h"

#include <QtTest>

#include <csignal>
#include <memory>
#include <sys/resource.h>

using Tags = QMap<int, QVariant>;

class TestLibraryAddition : public QObject
{
    Q_OBJECT

    QTemporaryDir m_encoded;
    QString m_mp3;
    QString m_mp3b;
    QString m_flac;

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_src;
    QString m_root;
    std::unique_ptr<QObject> m_owner;
    std::unique_ptr<FsMusicLibrary> m_library;

    static Tags track(const QString &artist, const QString &album, const QString &title, int number = 0)
    {
        Tags tags{{TagItemType::Artist, artist}, {TagItemType::Title, title}};
        if (!album.isEmpty())
            tags.insert(TagItemType::Album, album);
        if (number > 0)
            tags.insert(TagItemType::TrackNumber, number);
        return tags;
    }

    // A file of the source tree, loaded as the file list would hold it.
    AudioFile *source(const QString &relative, const Tags &tags, const QString &encoded = QString())
    {
        const QString path = m_src + QLatin1Char('/') + relative;
        if (!makeTaggedFile(encoded.isEmpty() ? m_mp3 : encoded, path, tags))
            return nullptr;
        auto *file = new AudioFile(path, m_owner.get());
        file->readTags();
        return file;
    }

    // A file already in the library, made directly on disk.
    QString libraryFile(const QString &relative, const Tags &tags, const QString &encoded = QString())
    {
        const QString path = m_root + QLatin1Char('/') + relative;
        return makeTaggedFile(encoded.isEmpty() ? m_mp3 : encoded, path, tags) ? path : QString();
    }

    static NamingPattern pattern(const QList<QString> &levels)
    {
        NamingPattern result;
        result.isSimple = false;
        for (const QString &level : levels)
            result.levels.append(QStringList{level});
        return result;
    }

    // The bytes of every file below both trees, by content: what an addition must keep.
    QMultiMap<QByteArray, QString> contents() const
    {
        QMultiMap<QByteArray, QString> all;
        for (const QString &folder : {m_src, m_root}) {
            for (const QString &relative : filesBelow(folder))
                all.insert(audioPayload(folder + QLatin1Char('/') + relative), relative);
        }
        return all;
    }

    std::unique_ptr<MusicLibraryProcessingData> plan(const QList<AudioFile *> &files)
    {
        auto data = std::make_unique<MusicLibraryProcessingData>(files);
        data->prepare(m_library.get(), nullptr);
        return data;
    }

    QString rel(const QString &path) const { return QDir(m_root).relativeFilePath(path); }

private Q_SLOTS:
    void initTestCase()
    {
        loadLibraryTestEnvironment();
        QVERIFY(m_encoded.isValid());
        m_mp3 = encodeAudio(m_encoded.path(), QStringLiteral("mp3"), 1);
        m_mp3b = encodeAudio(m_encoded.path(), QStringLiteral("mp3"), 2);
        m_flac = encodeAudio(m_encoded.path(), QStringLiteral("flac"), 3);
    }

    void init()
    {
        if (m_mp3.isEmpty() || m_mp3b.isEmpty() || m_flac.isEmpty())
            QSKIP("lame and flac are needed for real files");
        SettingsStore::reset();
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_src = m_dir->filePath(QStringLiteral("src"));
        m_root = m_dir->filePath(QStringLiteral("lib"));
        QVERIFY(QDir().mkpath(m_src) && QDir().mkpath(m_root));
        m_owner = std::make_unique<QObject>();
        m_library = std::make_unique<FsMusicLibrary>();
        m_library->rootPath = m_root;
        m_library->retagFiles = false;
        m_library->singleArtistAlbumsPattern.folder = pattern({"%artist%", "%album%"});
        m_library->singleArtistAlbumsPattern.file = pattern({"$num(%trackNumber%,2) %title%"});
        m_library->variousArtistAlbumsPattern.subfolderPath = QStringLiteral("Compilations");
        m_library->variousArtistAlbumsPattern.folder = pattern({"%album%"});
        m_library->variousArtistAlbumsPattern.file = pattern({"%artist% - %title%"});
        m_library->nonAlbumTracksPattern.subfolderPath = QStringLiteral("Tracks");
        m_library->nonAlbumTracksPattern.folder = pattern({"%artist%"});
        m_library->nonAlbumTracksPattern.file = pattern({"%title%"});
        m_library->duplicateSubfolder = QStringLiteral("Dup");
    }

    void cleanup()
    {
        m_library.reset();
        m_owner.reset();
        m_dir.reset();
    }

    void planning_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("compilation");
        QTest::addColumn<QString>("first");
        QTest::newRow("four tracks: an album") << 4 << false << "Art/Alb/01 Song 1.mp3";
        QTest::newRow("three tracks: loose") << 3 << false << "Tracks/Art/Song 1.mp3";
        QTest::newRow("compilation of four") << 4 << true << "Compilations/Alb/Art 1 - Song 1.mp3";
    }
    void planning()
    {
        QFETCH(int, count);
        QFETCH(bool, compilation);
        QFETCH(QString, first);
        QList<AudioFile *> files;
        for (int i = 1; i <= count; ++i) {
            Tags tags = track(compilation ? QStringLiteral("Art %1").arg(i) : QStringLiteral("Art"), "Alb",
                              QStringLiteral("Song %1").arg(i), i);
            if (compilation)
                tags.insert(TagItemType::PartOfCompilation, true);
            files.append(source(QStringLiteral("in/%1.MP3").arg(i), tags));
            QVERIFY(files.last());
        }
        const auto data = plan(files);
        QCOMPARE(data->targetPaths.size(), count);
        QCOMPARE(rel(data->targetPaths.value(files.first())), first);
    }

    void planningEdges()
    {
        // A folder pattern that yields nothing leaves no empty level; a "\" makes a level;
        // tags cannot lead out of the root.
        m_library->nonAlbumTracksPattern.subfolderPath.clear();
        m_library->nonAlbumTracksPattern.folder = pattern({"%album%", "%artist%"});
        AudioFile *plain = source("a.mp3", track("A\\B", QString(), "T"));
        AudioFile *escape = source("b.mp3", track("..", QString(), "../../x"));
        m_library->nonAlbumTracksPattern.file = pattern({"%title%"});
        const auto data = plan({plain, escape});
        QCOMPARE(rel(data->targetPaths.value(plain)), QStringLiteral("AB/T.mp3"));
        QVERIFY(data->targetPaths.value(escape).startsWith(m_root + QLatin1Char('/')));
        QVERIFY(!data->targetPaths.value(escape).split(QLatin1Char('/')).contains(QStringLiteral("..")));

        // A pattern that does not parse places nothing of its group.
        m_library->nonAlbumTracksPattern.file = pattern({"$if("});
        QVERIFY(plan({plain})->targetPaths.isEmpty());

        // A relative root places nothing at all.
        m_library->nonAlbumTracksPattern.file = pattern({"%title%"});
        m_library->rootPath = QStringLiteral("relative/root");
        CollectingLogger log;
        QVERIFY(plan({plain})->targetPaths.isEmpty());
        QCOMPARE(log.count(LibraryRootNotAbsoluteTextId), 1);
    }

    void detection()
    {
        AudioFile *mp3 = source("x/Song.mp3", track("Art", QString(), "Song"));
        AudioFile *flac = source("y/Song.flac", track("Art", QString(), "Song"), m_flac);
        auto data = plan({mp3, flac});
        QCOMPARE(data->duplicateGroups.size(), 1);
        QCOMPARE(data->duplicateGroups.first()->label, QStringLiteral("Tracks/Art"));
        QCOMPARE(data->duplicateGroups.first()->sets.first()->files, QList<AudioFile *>({mp3, flac}));
        QCOMPARE(data->duplicatesOf(mp3), QList<AudioFile *>({flac}));
        QCOMPARE(data->effectiveTargets().size(), 1);

        m_library->duplicateDetectionStrategy = 0;
        QVERIFY(plan({mp3, flac})->duplicateGroups.isEmpty());

        // A library file added again is not its own duplicate; another suffix in the library is.
        m_library->duplicateDetectionStrategy = 1;
        libraryFile("Tracks/Art/Again.flac", track("Art", QString(), "Again"), m_flac);
        const QString again = libraryFile("Tracks/Art/Again.mp3", track("Art", QString(), "Again"));
        auto *inPlace = new AudioFile(again, m_owner.get());
        inPlace->readTags();
        data = plan({inPlace});
        QCOMPARE(data->duplicateGroups.size(), 1);
        QCOMPARE(data->duplicateGroups.first()->sets.first()->files.size(), 2);
        QCOMPARE(data->duplicateGroups.first()->sets.first()->files.first(), inPlace);
    }

    // One library file and two new files collide; the condition keeps the new MP3.
    void strategies_data()
    {
        QTest::addColumn<int>("strategy");
        QTest::addColumn<bool>("move");
        QTest::addColumn<QStringList>("library");
        QTest::addColumn<QStringList>("sources");
        QTest::addColumn<int>("added");
        QTest::newRow("0 move") << 0 << true << QStringList{"Tracks/Art/Song.mp3"} << QStringList{"a/Song.mp3", "b/Song.flac"} << 1;
        QTest::newRow("1 move") << 1 << true << QStringList{"Dup/Song (2).mp3", "Dup/Song.flac", "Dup/Song.mp3", "Tracks/Art/Song.mp3"}
                                << QStringList() << 2;
        QTest::newRow("1 copy") << 1 << false << QStringList{"Dup/Song (2).mp3", "Dup/Song.flac", "Dup/Song.mp3", "Tracks/Art/Song.mp3"}
                                << QStringList{"a/Song.mp3", "b/Song.flac"} << 2;
        QTest::newRow("2 move") << 2 << true << QStringList{"Dup/Tracks/Art/Song.flac", "Dup/Tracks/Art/Song.mp3", "Tracks/Art/Song.mp3"}
                                << QStringList() << 2;
        QTest::newRow("3 move") << 3 << true << QStringList{"Tracks/Art/Song.mp3"} << QStringList() << 2;
        QTest::newRow("3 copy") << 3 << false << QStringList{"Tracks/Art/Song.mp3"} << QStringList{"a/Song.mp3", "b/Song.flac"} << 2;
    }
    void strategies()
    {
        QFETCH(int, strategy);
        QFETCH(bool, move);
        QFETCH(QStringList, library);
        QFETCH(QStringList, sources);
        QFETCH(int, added);
        m_library->duplicateResolutionStrategy = strategy;
        m_library->duplicateResolutionConditions.append(
            new DuplicateResolutionCondition(ModelDataType(TagItemType::TrackNumber), 1, QVariant(0)));
        // The 1-strategy rows also meet a set-aside file of the same name already there.
        if (strategy == 1)
            libraryFile("Dup/Song.mp3", track("Other", QString(), "Old"), m_mp3b);
        const QString old = libraryFile("Tracks/Art/Song.mp3", [] { Tags t = track("Art", QString(), "Song", 1); return t; }());
        AudioFile *winner = source("a/Song.mp3", track("Art", QString(), "Song", 9), m_mp3b);
        AudioFile *loser = source("b/Song.flac", track("Art", QString(), "Song", 5), m_flac);
        const QMultiMap<QByteArray, QString> before = contents();
        const QByteArray oldPayload = audioPayload(old);
        const QByteArray loserPayload = audioPayload(loser->filePath());

        auto data = plan({winner, loser});
        QCOMPARE(data->duplicateGroups.first()->sets.first()->keptFile, winner);
        CollectingLogger log;
        const QList<AudioFile *> result = m_library->addFiles(data.get(), LibraryAddOptions{move, false, false}, nullptr);
        QCOMPARE(result.size(), added);
        QCOMPARE(filesBelow(m_root), library);
        QCOMPARE(filesBelow(m_src), sources);

        // Nothing lost but what strategy 3 deleted, and the log names those.
        QMultiMap<QByteArray, QString> expected = before;
        const QMultiMap<QByteArray, QString> after = contents();
        if (strategy == 3) {
            QCOMPARE(log.count(LibraryFileDeletedTextId), 1);
            expected.remove(oldPayload);
            if (move) {
                QCOMPARE(log.count(NewFileDeletedTextId), 1);
                expected.remove(loserPayload);
            }
        }
        if (strategy == 0)
            QCOMPARE(log.count(FileFailedTextId), 1);
        QCOMPARE(QSet<QByteArray>(after.keyBegin(), after.keyEnd()), QSet<QByteArray>(expected.keyBegin(), expected.keyEnd()));
        QCOMPARE(after.size(), expected.size() + (move ? 0 : added - (strategy == 3 ? 1 : 0)));
    }

    void numberedCollisions()
    {
        for (int i = 0; i < 3; ++i)
            QVERIFY(!libraryFile(QStringLiteral("src%1/Name.mp3").arg(i), track("A", QString(), "T")).isEmpty());
        QStringList used;
        for (int i = 0; i < 3; ++i)
            used.append(rel(m_library->transferToDuplicateFolder(m_root + QStringLiteral("/src%1/Name.mp3").arg(i), "Name.mp3", true)));
        QCOMPARE(used, QStringList({"Dup/Name.mp3", "Dup/Name (2).mp3", "Dup/Name (3).mp3"}));
    }

    void retag_data()
    {
        QTest::addColumn<bool>("retag");
        QTest::addColumn<bool>("move");
        QTest::newRow("retag, move") << true << true;
        QTest::newRow("retag, copy") << true << false;
        QTest::newRow("no retag, move") << false << true;
        QTest::newRow("no retag, copy") << false << false;
    }
    void retag()
    {
        QFETCH(bool, retag);
        QFETCH(bool, move);
        m_library->retagFiles = retag;
        AudioFile *file = source("in/t.mp3", track("Art", QString(), "Title"));
        const QByteArray original = fileBytes(file->filePath());
        // An edit the file list holds but has not saved.
        file->combinedTag()->setItems(TagItemType::Comment, {});
        TagItem *comment = TagItem::create(TagItemType::Comment);
        QVERIFY(comment->fromVariant(QStringLiteral("unsaved edit")));
        file->combinedTag()->addItem(comment);
        auto data = plan({file});
        const QString target = data->targetPaths.value(file);
        QCOMPARE(m_library->addFiles(data.get(), LibraryAddOptions{move, false, false}, nullptr).size(), 1);
        QCOMPARE(QFile::exists(file->filePath()), !move);
        if (!move)
            QCOMPARE(fileBytes(file->filePath()), original);
        if (!retag) {
            QCOMPARE(fileBytes(target), original);
            return;
        }
        QCOMPARE(audioPayload(target), audioPayload(m_mp3));
        if (!QFile::exists(QStringLiteral("/usr/bin/python3")))
            QSKIP("python3-mutagen is needed to read the tags back");
        const QStringList tags = mutagenTags(target);
        QVERIFY2(tags.contains(QStringLiteral("title=Title")), qPrintable(tags.join(',')));
        QVERIFY2(tags.contains(QStringLiteral("artist=Art")), qPrintable(tags.join(',')));
    }

    void relatedFiles()
    {
        AudioFile *file = source("alb/t.mp3", track("Art", QString(), "T"));
        const auto write = [](const QString &path, const QByteArray &bytes) {
            QDir().mkpath(QFileInfo(path).absolutePath());
            QFile f(path);
            return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
        };
        QVERIFY(write(m_src + "/alb/cover.jpg", "same bytes"));
        QVERIFY(write(m_src + "/alb/rip.log", "the new log"));
        QVERIFY(write(m_src + "/alb/notes.cue", "cue"));
        QVERIFY(write(m_src + "/alb/readme.xyz", "not related"));
        // Already in the library: the same cover, and a log of the same size but other bytes.
        QVERIFY(write(m_root + "/Tracks/Art/cover.jpg", "same bytes"));
        QVERIFY(write(m_root + "/Tracks/Art/rip.log", "the old log"));
        auto data = plan({file});
        QCOMPARE(data->relatedFiles.size(), 3);
        CollectingLogger log;
        m_library->addFiles(data.get(), LibraryAddOptions{true, true, true}, nullptr);
        QCOMPARE(filesBelow(m_src), QStringList({"alb/readme.xyz"}));
        QCOMPARE(filesBelow(m_root), QStringList({"Tracks/Art/T.mp3", "Tracks/Art/cover.jpg", "Tracks/Art/notes.cue",
                                                  "Tracks/Art/rip (2).log", "Tracks/Art/rip.log"}));
        QCOMPARE(fileBytes(m_root + "/Tracks/Art/rip (2).log"), QByteArray("the new log"));
        QCOMPARE(fileBytes(m_root + "/Tracks/Art/rip.log"), QByteArray("the old log"));
        QCOMPARE(log.count(RelatedFileSameTextId), 1);
        QCOMPARE(log.count(RelatedFileKeptBothTextId), 1);
        // The folder still holds a file that is not related: it stays.
        QVERIFY(QFileInfo::exists(m_src + "/alb"));
    }

    void relatedFilesOfSplitFolder()
    {
        AudioFile *a = source("mix/a.mp3", track("One", QString(), "A"));
        AudioFile *b = source("mix/b.mp3", track("Two", QString(), "B"));
        QFile cover(m_src + "/mix/cover.jpg");
        QVERIFY(cover.open(QIODevice::WriteOnly));
        cover.close();
        QVERIFY(plan({a, b})->relatedFiles.isEmpty());
    }

    void emptiedFolders_data()
    {
        QTest::addColumn<bool>("move");
        QTest::newRow("move") << true;
        QTest::newRow("copy") << false;
    }
    void emptiedFolders()
    {
        QFETCH(bool, move);
        AudioFile *file = source("deep/inner/t.mp3", track("Art", QString(), "T"));
        auto data = plan({file});
        m_library->addFiles(data.get(), LibraryAddOptions{move, true, true}, nullptr);
        QCOMPARE(QFileInfo::exists(m_src + "/deep/inner"), !move);
        // Only the source folders themselves, never their parents.
        QVERIFY(QFileInfo::exists(m_src + "/deep"));
    }

    void removeFiles()
    {
        AudioFile *a = source("r/a.mp3", track("A", QString(), "T"));
        AudioFile *b = source("r/b.mp3", track("A", QString(), "U"));
        QFile cover(m_src + "/r/cover.jpg");
        QVERIFY(cover.open(QIODevice::WriteOnly));
        cover.close();
        const QList<AudioFile *> removed = m_library->removeFiles({a, b}, RemoveOptions{true, true}, nullptr);
        QCOMPARE(removed.size(), 2);
        QVERIFY(!QFileInfo::exists(m_src + "/r"));
    }

    // Each of these leaves every file once, at its source or complete at its target.
    void failures_data()
    {
        QTest::addColumn<QString>("failure");
        QTest::newRow("read-only target") << "readonly";
        QTest::newRow("write fails part-way") << "filesize";
        QTest::newRow("cancel in the middle") << "cancel";
        QTest::newRow("another file system") << "otherfs";
    }
    void failures()
    {
        QFETCH(QString, failure);
        std::unique_ptr<QTemporaryDir> otherRoot;
        if (failure == QLatin1String("otherfs")) {
            if (!QFileInfo(QStringLiteral("/dev/shm")).isWritable())
                QSKIP("no second file system is writable");
            otherRoot = std::make_unique<QTemporaryDir>(QStringLiteral("/dev/shm/melo-library-XXXXXX"));
            QVERIFY(otherRoot->isValid());
            m_root = otherRoot->path();
            m_library->rootPath = m_root;
        }
        QList<AudioFile *> files;
        for (int i = 1; i <= 6; ++i)
            files.append(source(QStringLiteral("f/%1.mp3").arg(i), track("Art", QString(), QStringLiteral("T%1").arg(i)),
                                 i % 2 ? m_mp3 : m_mp3b));
        QFile extra(m_src + "/f/cover.jpg");
        QVERIFY(extra.open(QIODevice::WriteOnly) && extra.write(QByteArray(100, 'c')) == 100);
        extra.close();
        QMap<QString, QByteArray> originals;
        for (AudioFile *file : files)
            originals.insert(fileName(file->filePath()), fileBytes(file->filePath()));
        auto data = plan(files);
        LibraryAddOptions options{true, true, true};

        bool immutable = false;
        struct rlimit oldLimit;
        if (failure == QLatin1String("readonly")) {
            QVERIFY(QFile::setPermissions(m_root, QFile::ReadOwner | QFile::ExeOwner));
            QFile probe(m_root + "/probe");
            if (probe.open(QIODevice::WriteOnly)) {
                // Running as root: permissions don't stop it; the immutable flag does.
                probe.close();
                probe.remove();
                immutable = run(QStringLiteral("chattr"), {"+i", m_root});
                if (!immutable)
                    QSKIP("cannot make a folder read-only for this user");
            }
        } else if (failure == QLatin1String("filesize")) {
            // A copy can only write 1 KB: every file is larger, so each copy fails part-way.
            options.move = false;
            for (AudioFile *file : files)
                QVERIFY(QFileInfo(file->filePath()).size() > 1024);
            std::signal(SIGXFSZ, SIG_IGN);
            QVERIFY(getrlimit(RLIMIT_FSIZE, &oldLimit) == 0);
            struct rlimit limit = oldLimit;
            limit.rlim_cur = 1024;
            QVERIFY(setrlimit(RLIMIT_FSIZE, &limit) == 0);
        }

        CollectingLogger log;
        AddToLibraryWorkerThread thread(m_library.get(), data.get(), options, int(files.size()));
        std::unique_ptr<LibraryCancellingLogger> canceller;
        if (failure == QLatin1String("cancel"))
            canceller = std::make_unique<LibraryCancellingLogger>(thread.progressObject(), FileMovedTextId, 3);
        thread.start();
        QVERIFY(thread.wait(60000));
        canceller.reset();
        if (failure == QLatin1String("filesize"))
            QVERIFY(setrlimit(RLIMIT_FSIZE, &oldLimit) == 0);
        if (immutable)
            QVERIFY(run(QStringLiteral("chattr"), {"-i", m_root}));
        QFile::setPermissions(m_root, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

        // Every file exactly once, byte-identical, at its source or its target; no
        // temporary copy left behind.
        int atTarget = 0;
        for (AudioFile *file : files) {
            const QString name = fileName(file->filePath());
            const QString target = data->targetPaths.value(file);
            const bool atSource = QFile::exists(file->filePath());
            const bool placed = QFile::exists(target);
            QVERIFY2(atSource != placed || (!options.move && atSource), qPrintable(name));
            if (placed) {
                QCOMPARE(fileBytes(target), originals.value(name));
                ++atTarget;
            }
            if (atSource)
                QCOMPARE(fileBytes(file->filePath()), originals.value(name));
        }
        for (const QString &path : filesBelow(m_root))
            QVERIFY2(!path.contains(QStringLiteral(".part-")), qPrintable(path));
        QVERIFY(QFile::exists(m_src + "/f/cover.jpg") || QFile::exists(m_root + "/Tracks/Art/cover.jpg"));

        if (failure == QLatin1String("cancel")) {
            QCOMPARE(atTarget, 3);
            QCOMPARE(log.count(FileLeftAtSourceTextId), 3);
            QCOMPARE(log.count(AdditionCancelledTextId), 1);
            QCOMPARE(thread.addedFiles.size(), 3);
        } else if (failure == QLatin1String("otherfs")) {
            QCOMPARE(atTarget, 6);
            QCOMPARE(log.count(AllFilesAddedTextId), 1);
            QVERIFY(!QFileInfo::exists(m_src + "/f"));
        } else {
            QCOMPARE(atTarget, 0);
            QCOMPARE(log.count(FileFailedTextId), 6);
            QCOMPARE(log.count(NoFileAddedTextId), 1);
        }
    }

    void previewThread()
    {
        libraryFile("Tracks/Art/Old.mp3", track("Art", QString(), "Old"));
        AudioFile *a = source("p/a.mp3", track("Art", QString(), "New"));
        AudioFile *b = source("p/b.mp3", track("Fresh", QString(), "Song"));
        QFile cover(m_src + "/p/cover.jpg");
        QVERIFY(cover.open(QIODevice::WriteOnly));
        cover.close();
        AddToLibraryCreatePreviewThread thread(m_library.get(), {a, b});
        // The thread works on its own copy: edits of the record meanwhile don't reach it.
        m_library->rootPath = QStringLiteral("/elsewhere");
        thread.start();
        QVERIFY(thread.wait(60000));
        const AddToLibraryPreviewResult result = thread.takeResult();
        QStringList library = result.libraryPaths;
        library.sort();
        QCOMPARE(library, QStringList({"Tracks/Art/New.mp3", "Tracks/Art/Old.mp3", "Tracks/Fresh/Song.mp3"}));
        QVERIFY(result.relatedPaths.isEmpty()); // the source folder's files go apart
        QStringList added = result.newPaths;
        added.sort();
        QCOMPARE(added, QStringList({"Tracks/Art/New.mp3", "Tracks/Fresh", "Tracks/Fresh/Song.mp3"}));
        QVERIFY(result.deletedPaths.isEmpty());
        QVERIFY(thread.libraryPaths.isEmpty());
        QObject owner;
        MusicLibraryProcessingData *data = thread.takeProcessingData(&owner);
        QVERIFY(data);
        QCOMPARE(data->parent(), &owner);
        QCOMPARE(thread.takeProcessingData(&owner), nullptr);
    }

    void workerSummary_data()
    {
        QTest::addColumn<int>("selected");
        QTest::addColumn<quint32>("code");
        QTest::newRow("all") << 1 << quint32(AllFilesAddedTextId);
        QTest::newRow("some") << 2 << quint32(SomeFilesAddedTextId);
    }
    void workerSummary()
    {
        QFETCH(int, selected);
        QFETCH(quint32, code);
        AudioFile *file = source("w/a.mp3", track("Art", QString(), "New"));
        auto data = plan({file});
        CollectingLogger log;
        AddToLibraryWorkerThread thread(m_library.get(), data.get(), LibraryAddOptions{}, selected);
        thread.start();
        QVERIFY(thread.wait(60000));
        QCOMPARE(log.count(code), 1);
        QCOMPARE(thread.addedFiles, QList<AudioFile *>({file}));
    }
};

QTEST_GUILESS_MAIN(TestLibraryAddition)
#include "tst_libraryaddition.moc"
