#include <QTest>

#include "app/operations/audiofileselection.h"

namespace {

// The selection never dereferences its files: plain addresses stand for them.
AudioFile *file(int n)
{
    return reinterpret_cast<AudioFile *>(quintptr(0x1000 * n));
}

ModelDataType type(int n)
{
    return ModelDataType(ModelDataType::CategoryTagItem, n);
}

IAudioFileModel *model(int n)
{
    return reinterpret_cast<IAudioFileModel *>(quintptr(0x10 * n));
}

// "file:type" texts, sorted; checks on the way that both maps hold the same cells and no
// key maps to an empty set.
QStringList cells(const AudioFileSelection &selection)
{
    QStringList byFile;
    for (auto it = selection.dataTypesByFile().cbegin(); it != selection.dataTypesByFile().cend(); ++it) {
        if (it.value().isEmpty())
            return {QStringLiteral("empty file entry")};
        for (const ModelDataType &t : it.value())
            byFile.append(QStringLiteral("%1:%2").arg(quintptr(it.key()) / 0x1000).arg(t.id));
    }
    QStringList byType;
    for (auto it = selection.filesByDataType().cbegin(); it != selection.filesByDataType().cend(); ++it) {
        if (it.value().isEmpty())
            return {QStringLiteral("empty data type entry")};
        for (AudioFile *f : it.value())
            byType.append(QStringLiteral("%1:%2").arg(quintptr(f) / 0x1000).arg(it.key().id));
    }
    byFile.sort();
    byType.sort();
    if (byFile != byType)
        return {QStringLiteral("maps differ")};
    return byFile;
}

// A selection of "file:type" cells.
AudioFileSelection selectionOf(const QStringList &texts, IAudioFileModel *m = nullptr)
{
    AudioFileSelection selection(m);
    for (const QString &text : texts) {
        const QStringList parts = text.split(u':');
        selection.insertCell(file(parts.at(0).toInt()), type(parts.at(1).toInt()));
    }
    return selection;
}

} // namespace

class TestAudioFileSelection : public QObject
{
    Q_OBJECT
private slots:
    void insert()
    {
        AudioFileSelection s(model(1));
        s.insert({}, {type(1)});
        s.insert({file(1)}, {});
        QVERIFY(s.isEmpty());
        QVERIFY(s.dataTypesByFile().isEmpty());
        QVERIFY(s.filesByDataType().isEmpty());

        s.insert({file(1), file(2)}, {type(3), type(4)});
        s.insertCell(file(1), type(3)); // already there
        QCOMPARE(cells(s), QStringList({"1:3", "1:4", "2:3", "2:4"}));
        QCOMPARE(s.cellCount(), 4);
        QVERIFY(s.contains(file(2), type(4)));
        QVERIFY(!s.contains(file(3), type(4)));
        QCOMPARE(s.model(), model(1));
    }

    void setOperations_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QStringList>("left");
        QTest::addColumn<QStringList>("right");
        QTest::addColumn<QStringList>("expected");
        const QStringList a{"1:1", "1:2", "2:1"};
        QTest::newRow("unite into empty") << "unite" << QStringList() << a << a;
        QTest::newRow("unite with empty") << "unite" << a << QStringList() << a;
        QTest::newRow("unite overlapping") << "unite" << a << QStringList{"2:1", "2:2", "3:5"}
                                           << QStringList{"1:1", "1:2", "2:1", "2:2", "3:5"};
        QTest::newRow("intersect with empty") << "intersect" << a << QStringList() << QStringList();
        QTest::newRow("intersect empty") << "intersect" << QStringList() << a << QStringList();
        QTest::newRow("intersect overlapping") << "intersect" << a << QStringList{"1:2", "2:2", "3:1"} << QStringList{"1:2"};
        QTest::newRow("intersect drops emptied entries") << "intersect" << a << QStringList{"1:1"} << QStringList{"1:1"};
        QTest::newRow("subtract empty") << "subtract" << a << QStringList() << a;
        QTest::newRow("subtract from empty") << "subtract" << QStringList() << a << QStringList();
        QTest::newRow("subtract overlapping") << "subtract" << a << QStringList{"1:1", "2:1", "9:9"} << QStringList{"1:2"};
        QTest::newRow("subtract everything") << "subtract" << a << a << QStringList();
    }

    void setOperations()
    {
        QFETCH(QString, operation);
        QFETCH(QStringList, left);
        QFETCH(QStringList, right);
        QFETCH(QStringList, expected);
        AudioFileSelection l = selectionOf(left, model(1));
        const AudioFileSelection r = selectionOf(right, model(2));
        const AudioFileSelection before = r;
        if (operation == "unite")
            l.unite(r);
        else if (operation == "intersect")
            l.intersect(r);
        else
            l.subtract(r);
        QCOMPARE(cells(l), expected);
        QCOMPARE(l.model(), model(1)); // the set operations never change the model
        QCOMPARE(cells(r), cells(before));
    }

    void selfOperations()
    {
        AudioFileSelection s = selectionOf({"1:1", "2:2"});
        s.unite(s);
        QCOMPARE(cells(s), QStringList({"1:1", "2:2"}));
        s.intersect(s);
        QCOMPARE(cells(s), QStringList({"1:1", "2:2"}));
        s.subtract(s);
        QVERIFY(s.isEmpty());
    }

    void copiesAreIndependent()
    {
        AudioFileSelection a = selectionOf({"1:1"});
        AudioFileSelection b = a;
        b.insertCell(file(2), type(2));
        a.removeAudioFile(file(1));
        QVERIFY(a.isEmpty());
        QCOMPARE(cells(b), QStringList({"1:1", "2:2"}));
    }

    void removal()
    {
        AudioFileSelection s = selectionOf({"1:1", "1:2", "2:2"});
        s.removeAudioFile(file(9));
        QCOMPARE(cells(s), QStringList({"1:1", "1:2", "2:2"}));
        s.removeAudioFile(file(1)); // the only file of type 1: its entry goes too
        QCOMPARE(cells(s), QStringList({"2:2"}));
        QVERIFY(!s.filesByDataType().contains(type(1)));
        s.removeDataType(type(2));
        QVERIFY(s.isEmpty());
        QVERIFY(s.dataTypesByFile().isEmpty());

        s = selectionOf({"1:1", "1:2"}, model(3));
        s.clear();
        QVERIFY(s.isEmpty());
        QCOMPARE(s.model(), model(3));
    }

    void emptyWalks()
    {
        const AudioFileSelection s;
        AudioFileSelection::Iterator it(s);
        QVERIFY(!it.hasNextFile());
        QVERIFY(!it.hasNextDataType());
        QVERIFY(!it.hasPreviousFile());
        QVERIFY(it.files().isEmpty());
    }

    void fileMajorWalk()
    {
        const AudioFileSelection s = selectionOf({"1:1", "1:2", "2:3", "3:1", "3:3"});
        AudioFileSelection::Iterator it(s);
        QStringList seen;
        QList<AudioFile *> order;
        while (it.hasNextFile()) {
            AudioFile *f = it.nextFile();
            order.append(f);
            QCOMPARE(it.dataTypes(), s.dataTypesByFile().value(f)); // only this file's data types
            while (it.hasNextDataType()) {
                const ModelDataType t = it.nextDataType();
                QVERIFY(s.contains(f, t));
                seen.append(QStringLiteral("%1:%2").arg(quintptr(f) / 0x1000).arg(t.id));
                QCOMPARE(it.currentFile(), f);
            }
        }
        QVERIFY(!it.hasNextFile());
        seen.sort();
        QCOMPARE(seen, cells(s));
        QCOMPARE(order.size(), 3);
        QCOMPARE(it.files().size(), 3);

        // Backwards from the end: the same files in the opposite order, each inner walk forwards.
        it.toBack();
        QList<AudioFile *> backwards;
        while (it.hasPreviousFile()) {
            backwards.prepend(it.previousFile());
            int inner = 0;
            while (it.hasNextDataType()) {
                it.nextDataType();
                ++inner;
            }
            QCOMPARE(inner, s.dataTypesByFile().value(backwards.first()).size());
        }
        QCOMPARE(backwards, order);
    }

    void dataTypeMajorWalk()
    {
        const AudioFileSelection s = selectionOf({"1:1", "1:2", "2:3", "3:1", "3:3"});
        AudioFileSelection::Iterator it(s);
        QStringList seen;
        while (it.hasNextDataType()) {
            const ModelDataType t = it.nextDataType();
            QCOMPARE(it.files(), s.filesByDataType().value(t));
            while (it.hasNextFile()) {
                AudioFile *f = it.nextFile();
                seen.append(QStringLiteral("%1:%2").arg(quintptr(f) / 0x1000).arg(t.id));
            }
        }
        seen.sort();
        QCOMPARE(seen, cells(s));
        QCOMPARE(it.dataTypes().size(), 3);

        // toFront lets the next walk choose again.
        it.toFront();
        int files = 0;
        while (it.hasNextFile()) {
            it.nextFile();
            ++files;
        }
        QCOMPARE(files, 3);

        it = selectionOf({"7:7"});
        QVERIFY(it.hasNextDataType());
        QCOMPARE(it.nextDataType(), type(7));
    }

    void changesDuringAWalkDoNotShow()
    {
        AudioFileSelection s = selectionOf({"1:1", "2:1", "3:1"});
        AudioFileSelection::Iterator it(s);
        int visited = 0;
        while (it.hasNextFile()) {
            AudioFile *f = it.nextFile();
            s.removeAudioFile(f);
            s.insertCell(file(10 + visited), type(1));
            ++visited;
        }
        QCOMPARE(visited, 3);
        QCOMPARE(cells(s), QStringList({"10:1", "11:1", "12:1"}));
    }
};

QTEST_GUILESS_MAIN(TestAudioFileSelection)
#include "tst_audiofileselection.moc"
