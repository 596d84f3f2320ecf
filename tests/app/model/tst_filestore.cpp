#include <QElapsedTimer>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>

#include "app/model/audiofilebrowsingnode.h"
#include "app/model/audiofilegroup.h"
#include "app/model/audiofilemodeldata.h"
#include "app/model/mimedataentry.h"
#include "app/model/support_model.h"
#include "app/model/variantmimedataentry.h"
#include "libcore/log/exception.h"
#include "libtagging/model/audiofile.h"
#include "libtagging/model/audiotag.h"

namespace {

// The tree below the root as "path: file count" lines in tree order.
QStringList describeTree(const BrowsingNode *node, const QString &prefix = QString())
{
    QStringList lines;
    for (const BrowsingNode *child : node->children()) {
        const QString path = prefix.isEmpty() ? child->name() : prefix + u'/' + child->name();
        lines.append(QStringLiteral("%1: %2").arg(path).arg(static_cast<const AudioFileBrowsingNode *>(child)->files().size()));
        lines += describeTree(child, path);
    }
    return lines;
}

const ModelDataType Title(TagItemType::Title);
const ModelDataType Artist(TagItemType::Artist);

AudioTag *tagOf(const QList<QPair<int, QVariant>> &items, QObject *parent)
{
    auto *tag = new AudioTag(parent);
    for (const auto &[type, value] : items)
        tag->addItem(makeModelItem(type, value));
    return tag;
}

AudioFile *fakeFile(int n)
{
    return reinterpret_cast<AudioFile *>(quintptr(16 * (n + 1)));
}

} // namespace

class TestFileStore : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { loadModelTexts(); }

    void grouping_data()
    {
        // Files as "artist|album artist|album|compilation" ("-" for no tag at all).
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QStringList>("tree");
        QTest::newRow("no files") << QStringList() << QStringList();
        QTest::newRow("three files are loose tracks")
            << QStringList{"A||X|", "A||X|", "A||X|"} << QStringList{"tracks: 3", "tracks/A: 3"};
        QTest::newRow("a fourth makes an album")
            << QStringList{"A||X|", "A||X|", "A||X|", "A||X|"}
            << QStringList{"single: 4", "single/A: 4", "single/A/X: 4"};
        QTest::newRow("album artist or artist")
            << QStringList{"B|A|X|", "C|A|X|", "A||X|", "A||X|"}
            << QStringList{"single: 4", "single/A: 4", "single/A/X: 4"};
        QTest::newRow("another artist is another group")
            << QStringList{"B|A|X|", "C|A|X|", "B||X|", "B||X|"}
            << QStringList{"tracks: 4", "tracks/B: 3", "tracks/C: 1"};
        QTest::newRow("blanks ignored, case kept")
            << QStringList{"A||X|", "A|| X |", "A||X |", " A ||X|", "A||x|", "A||x|", "A||x|", "A||x|"}
            << QStringList{"single: 8", "single/A: 8", "single/A/X: 4", "single/A/x: 4"};
        QTest::newRow("compilation whatever the artists")
            << QStringList{"A||V|1", "B||V|1", "C||V|1", "D||V|1", "E||V|"}
            << QStringList{"various: 4", "various/V: 4", "tracks: 1", "tracks/E: 1"};
        QTest::newRow("no tag and no artist: tracks only")
            << QStringList{"-", "||X|", "|AA|Y|"} << QStringList{"tracks: 3"};
        QTest::newRow("sorted by display text, top nodes in order")
            << QStringList{"b||Z|", "b||Z|", "b||Z|", "b||Z|", "A||Y|", "A||Y|", "A||Y|", "A||Y|", "c||", "C||V|1", "C||V|1", "C||V|1", "C||V|1"}
            << QStringList{"single: 8", "single/A: 4", "single/A/Y: 4", "single/b: 4", "single/b/Z: 4",
                           "various: 4", "various/V: 4", "tracks: 1", "tracks/c: 1"};
    }

    void grouping()
    {
        QFETCH(QStringList, files);
        QFETCH(QStringList, tree);
        AudioFileFactory factory;
        AudioFileModelData store;
        QList<AudioFile *> audioFiles;
        for (int i = 0; i < files.size(); ++i) {
            const QString path = QStringLiteral("%1.mp3").arg(i);
            if (files.at(i) == "-") {
                audioFiles.append(factory.create(path, {}));
                continue;
            }
            const QStringList f = files.at(i).split(u'|');
            audioFiles.append(factory.album(path, f.at(0), f.at(1), f.at(2), f.value(3) == "1"));
        }
        store.addAudioFiles(audioFiles);
        QCOMPARE(describeTree(store.rootNode()), tree);
        QCOMPARE(store.rootNode()->files().size(), files.size());

        QObject owner;
        const QList<AudioFileGroup *> groups = AudioFileGroup::createGroups(audioFiles, &owner);
        qsizetype grouped = 0;
        int lastKind = 0;
        for (const AudioFileGroup *group : groups) {
            grouped += group->files().size();
            QVERIFY(group->kind() >= lastKind); // albums, then compilations, then tracks
            lastKind = group->kind();
        }
        QCOMPARE(grouped, files.size());
    }

    void replacingTagsRegroups_data()
    {
        // The four files' new tags as "artist|album artist|album|compilation|title", and the
        // column the change is announced for.
        QTest::addColumn<QString>("tag");
        QTest::addColumn<int>("itemType");
        QTest::addColumn<QStringList>("tree");
        QTest::addColumn<bool>("rebuilt");
        QTest::newRow("title: tree kept") << "A||X||New" << int(TagItemType::Title)
                                          << QStringList{"single: 4", "single/A: 4", "single/A/X: 4"} << false;
        QTest::newRow("album") << "A||Y||" << int(TagItemType::Album)
                               << QStringList{"single: 4", "single/A: 4", "single/A/Y: 4"} << true;
        QTest::newRow("artist") << "B||X||" << int(TagItemType::Artist)
                                << QStringList{"single: 4", "single/B: 4", "single/B/X: 4"} << true;
        QTest::newRow("album artist") << "A|C|X||" << int(TagItemType::AlbumArtist)
                                      << QStringList{"single: 4", "single/C: 4", "single/C/X: 4"} << true;
        QTest::newRow("compilation") << "A||X|1|" << int(TagItemType::PartOfCompilation)
                                     << QStringList{"various: 4", "various/X: 4"} << true;
    }

    void replacingTagsRegroups()
    {
        QFETCH(QString, tag);
        QFETCH(int, itemType);
        QFETCH(QStringList, tree);
        QFETCH(bool, rebuilt);
        AudioFileFactory factory;
        AudioFileModelData store;
        QList<AudioFile *> files;
        for (int i = 0; i < 4; ++i)
            files.append(factory.album(QStringLiteral("%1.mp3").arg(i), "A", QString(), "X", false));
        store.addAudioFiles(files);
        const QPointer<BrowsingNode> single = store.rootNode()->children().value(0);
        QVERIFY(single);

        const QStringList f = tag.split(u'|');
        QObject owner;
        AudioFile *source = factory.album(QStringLiteral("new.mp3"), f.at(0), f.at(1), f.at(2), f.at(3) == "1", &owner);
        AudioTag *newTag = source->tags().value(0);
        if (!f.at(4).isEmpty())
            newTag->setItemValue(TagItemType::Title, f.at(4));
        store.replaceTags(files, QList<AudioTag *>(files.size(), newTag), {ModelDataType(ModelDataType::CategoryTagItem, itemType)});
        QCOMPARE(describeTree(store.rootNode()), tree);
        QCOMPARE(single.isNull(), rebuilt);
    }

    void displayTexts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        const QString c128 = QString(128, u'x');
        QTest::newRow("128 code points") << c128 << c128;
        QTest::newRow("129 code points") << c128 + u'y' << c128 + QStringLiteral("...");
        QString astral;
        for (int i = 0; i < 100; ++i)
            astral += QString::fromUcs4(U"\U0001F3B5");
        QTest::newRow("100 astral characters") << astral << astral;
        QString astral130;
        for (int i = 0; i < 130; ++i)
            astral130 += QString::fromUcs4(U"\U0001F3B5");
        QTest::newRow("130 astral characters") << astral130 << astral130.left(256) + QStringLiteral("...");
        QTest::newRow("line feeds") << QStringLiteral("a\nb\r\nc") << QStringLiteral("a\u23CEb\r\u23CEc");
    }

    void displayTexts()
    {
        QFETCH(QString, text);
        QFETCH(QString, shown);
        AudioFileFactory factory;
        AudioFileModelData store;
        AudioFile *file = factory.create(QStringLiteral("a.mp3"), {{TagItemType::Comment, text}});
        store.addAudioFiles({file});
        const ModelDataType comment(TagItemType::Comment);
        QCOMPARE(store.data(file, comment, Qt::DisplayRole).toString(), shown);
        QCOMPARE(store.data(file, comment, RawValueRole).toString(), text);
        QCOMPARE(store.data(file, comment, SortValueRole).toString(), text);
        QVERIFY(!store.data(file, comment, Qt::DecorationRole).isValid());
        QVERIFY(!store.data(file, comment, Qt::EditRole).isValid());
    }

    void replaceTagsDropsOnlyTheNamedColumns()
    {
        AudioFileFactory factory;
        AudioFileModelData store;
        QObject owner;
        AudioFile *file = factory.create(QStringLiteral("a.mp3"), {{TagItemType::Title, QStringLiteral("T1")},
                                                                  {TagItemType::Artist, QStringLiteral("A1")}});
        store.addAudioFiles({file});
        QCOMPARE(store.data(file, Title, Qt::DisplayRole).toString(), QStringLiteral("T1"));
        QCOMPARE(store.data(file, Artist, Qt::DisplayRole).toString(), QStringLiteral("A1"));
        AudioTag *tag = tagOf({{TagItemType::Title, QStringLiteral("T2")}, {TagItemType::Artist, QStringLiteral("A2")}}, &owner);
        QSignalSpy changed(&store, &AudioFileModelData::dataChanged);
        store.replaceTags({file}, {tag}, {Title});
        QCOMPARE(changed.size(), 1);
        QCOMPARE(store.data(file, Title, Qt::DisplayRole).toString(), QStringLiteral("T2"));
        QCOMPARE(store.data(file, Artist, Qt::DisplayRole).toString(), QStringLiteral("A1")); // still the cached cell
        QVERIFY(file->tags().value(0) != tag); // the file got a copy

        store.replaceTags({file}, {nullptr}, {Title, Artist});
        QVERIFY(file->tags().isEmpty());
        QVERIFY(!store.data(file, Title, Qt::DisplayRole).isValid());
    }

    void replaceTagsFailures()
    {
        AudioFileFactory factory;
        AudioFileModelData store;
        QObject owner;
        AudioFile *a = factory.create(QStringLiteral("a.mp3"), {{TagItemType::Title, QStringLiteral("A")}});
        AudioFile *b = factory.create(QStringLiteral("b.mp3"), {{TagItemType::Title, QStringLiteral("B")}});
        store.addAudioFiles({a, b});
        AudioTag *tag = tagOf({{TagItemType::Title, QStringLiteral("new")}}, &owner);
        QSignalSpy changed(&store, &AudioFileModelData::dataChanged);
        try {
            store.replaceTags({a, b}, {tag}, {Title});
            QFAIL("no exception");
        } catch (const Exception &e) {
            QCOMPARE(e.code, quint32(TagCountMismatch));
            QCOMPARE(e.arguments, QVariantList({2, 1}));
        }
        AudioFile *foreign = factory.create(QStringLiteral("c.mp3"), {}, &owner);
        try {
            store.replaceTags({a, foreign}, {tag, tag}, {Title});
            QFAIL("no exception");
        } catch (const Exception &e) {
            QCOMPARE(e.code, quint32(FileNotInStore));
        }
        QCOMPARE(a->tags().value(0)->itemText(TagItemType::Title), QStringLiteral("A"));
        QCOMPARE(changed.size(), 0);
    }

    void fileLifecycle()
    {
        AudioFileFactory factory;
        AudioFileModelData store;
        QSignalSpy loaded(&store, &AudioFileModelData::audioFileLoaded);
        QSignalSpy deleted(&store, &AudioFileModelData::audioFileAboutToBeDeleted);
        QPointer<AudioFile> file = factory.create(QStringLiteral("a.mp3"), {});
        store.addAudioFiles({file});
        store.removeAudioFiles({file}); // an insert undone
        store.addAudioFiles({file});    // and redone
        QCOMPARE(loaded.size(), 1);
        QCOMPARE(store.displayedFiles(), QList<AudioFile *>({file}));

        store.removeAudioFiles({file});
        QVERIFY(store.loadedFiles().isEmpty());
        store.releaseUnusedAudioFiles({file}); // still referenced by an operation
        QVERIFY(file);
        QCOMPARE(deleted.size(), 0);
        store.releaseUnusedAudioFiles({});
        QVERIFY(!file);
        QCOMPARE(deleted.size(), 1);
        QVERIFY(store.ownedFiles().isEmpty());
    }

    void browsePath()
    {
        AudioFileFactory factory;
        AudioFileModelData store;
        QList<AudioFile *> album;
        for (int i = 0; i < 4; ++i)
            album.append(factory.album(QStringLiteral("%1.mp3").arg(i), "A", "", "X"));
        AudioFile *loose = factory.album(QStringLiteral("loose.mp3"), "B", "", "");
        store.addAudioFiles(album + QList<AudioFile *>{loose});
        QCOMPARE(store.displayedFiles().size(), 5);

        QSignalSpy pathChanged(&store, &AudioFileModelData::pathChanged);
        QVERIFY(store.setPath(store.path()));
        QCOMPARE(pathChanged.size(), 0);
        QVERIFY(!store.setPath({QStringLiteral("other"), QStringLiteral("single")}));
        QVERIFY(!store.setPath({AudioFileModelData::rootName(), QStringLiteral("nothing")}));
        QVERIFY(store.setPath({AudioFileModelData::rootName(), "single", "A", "X"}));
        QCOMPARE(pathChanged.size(), 1);
        QCOMPARE(store.displayedFiles().size(), 4);

        // Removing one of the album's files: the other three become loose tracks of A beside
        // A's loose track, so no node holds exactly the displayed files and the path empties.
        store.addAudioFiles({factory.album(QStringLiteral("looseA.mp3"), "A", "", "")});
        QVERIFY(store.setPath({AudioFileModelData::rootName(), "single", "A", "X"}));
        store.removeAudioFiles({album.at(0)});
        QCOMPARE(store.displayedFiles().size(), 3);
        QCOMPARE(store.path(), QStringList());

        // Removing B's track from the tracks node: the panel follows the remaining files to
        // the deepest node that holds exactly them.
        QVERIFY(store.setPath({AudioFileModelData::rootName(), "tracks"}));
        QCOMPARE(store.displayedFiles().size(), 5);
        store.removeAudioFiles({loose});
        QCOMPARE(store.path(), QStringList({AudioFileModelData::rootName(), "tracks", "A"}));
        QCOMPARE(store.displayedFiles().size(), 4);
        pathChanged.clear();

        // The empty path keeps the displayed files.
        QVERIFY(store.setPath({}));
        QCOMPARE(pathChanged.size(), 1);
        QCOMPARE(pathChanged.last().first().toStringList(), QStringList());
        QCOMPARE(store.displayedFiles().size(), 4);
        QVERIFY(store.isValidPath({}));
    }

    void removingIsLinear()
    {
        AudioFileModelData store;
        QList<AudioFile *> displayed;
        QList<AudioFile *> removed;
        for (int i = 0; i < 100000; ++i) {
            displayed.append(fakeFile(i));
            if (i % 2)
                removed.append(fakeFile(i));
        }
        store.setDisplayedFiles(displayed);
        QElapsedTimer timer;
        timer.start();
        store.removeAudioFiles(removed);
        QVERIFY2(timer.elapsed() < 3000, qPrintable(QString::number(timer.elapsed())));
        QCOMPARE(store.displayedFiles().size(), 50000);
        QCOMPARE(store.displayedFiles().at(1), fakeFile(2)); // order kept
    }

    void clipboardEntries()
    {
        AudioFileFactory factory;
        AudioFileModelData store;
        QObject owner;
        AudioFile *file = factory.create(QStringLiteral("a.mp3"), {{TagItemType::Artist, QStringLiteral("A")},
                                                                  {TagItemType::Artist, QStringLiteral("B")}});
        store.addAudioFiles({file});
        MimeDataEntry *artists = store.createMimeDataEntry(file, Artist, &owner);
        QVERIFY(artists);
        QCOMPARE(artists->rows(), 1);
        QCOMPARE(artists->columns(), 2);
        QCOMPARE(artists->data(MimeFormat::PlainText, 1).toString(), QStringLiteral("A"));
        QCOMPARE(store.createMimeDataEntry(file, Title, &owner), nullptr);
        auto *name = qobject_cast<VariantMimeDataEntry *>(
            store.createMimeDataEntry(file, ModelDataType(FileProperty::fileName), &owner));
        QVERIFY(name);
        QCOMPARE(name->value().toString(), QStringLiteral("a.mp3"));
        QCOMPARE(store.createMimeDataEntry(file, ModelDataType(AudioProperty::audioSampleSize), &owner), nullptr);
    }
};

QTEST_MAIN(TestFileStore)
#include "tst_filestore.moc"
