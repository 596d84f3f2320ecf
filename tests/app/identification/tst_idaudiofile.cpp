#include <QtTest>

#include "app/identification/idartistname.h"
#include "app/identification/identificationtextids.h"
#include "app/identification/idaudiofile.h"
#include "app/identification/iddefaultgroup.h"
#include "app/identification/idsection.h"
#include "app/identification/idstring.h"
#include "app/identification/idstringlist.h"
#include "app/identification/idtable.h"
#include "app/identification/idtracknumbergroup.h"
#include "app/identification/idword.h"
#include "libcore/log/logger.h"
#include "libtagging/model/audiofile.h"

#include "libtagging/support_tools.h"
#include "support_identification.h"

namespace {
class CodeCollector : public Logger
{
public:
    CodeCollector() { setRegistered(true); }
    void log(const LogMessage &message) override { codes.append(message.code); }
    QList<quint32> codes;
};

QStringList textsOf(const IdAudioFile &file, int kind)
{
    QStringList texts;
    if (const IdStringList *list = file.stringList(kind)) {
        for (const IdString *string : list->strings())
            texts.append(string->text());
    }
    return texts;
}

bool makeFolders(const QString &parent, int count)
{
    for (int i = 0; i < count; ++i) {
        if (!QDir().mkpath(QStringLiteral("%1/sub%2").arg(parent).arg(i)))
            return false;
    }
    return true;
}

bool writeSilence(const QString &raw)
{
    QFile file(raw);
    return file.open(QIODevice::WriteOnly) && file.write(QByteArray(44100 / 5 * 2, '\0')) == 44100 / 5 * 2;
}
} // namespace

// The identification view of files read from disk, and the groups and tables of the stages.
class TestIdAudioFile : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        setUpIdentificationTests();
        QVERIFY(m_dir.isValid());
    }

    void viewOfAnMp3()
    {
        if (!hasTool("lame"))
            QSKIP("lame is not installed (scripts/setup installs it)");
        // Music has many sub-folders (a collection), Artist a few, Album none.
        const QString album = m_dir.filePath("Music/Artist/Album");
        QVERIFY(QDir().mkpath(album));
        QVERIFY(makeFolders(m_dir.filePath("Music"), 25));
        QVERIFY(makeFolders(m_dir.filePath("Music/Artist"), 4));
        const QString path = album + "/1O_Song.mp3";
        const QString raw = m_dir.filePath("silence.raw");
        QVERIFY(writeSilence(raw));
        QVERIFY(run("lame", {"--quiet", "-r", "-s", "44.1", "--bitwidth", "16", "-m", "m", "--signed",
                             "--little-endian", "-b", "32", "--id3v2-only", "--ta", "The_Lumens", "--tl",
                             "Best Of 2OO5", "--tt", "My_Song One", "--tn", "1/12", "--ty", "2005", raw, path}));

        AudioFile file(path);
        file.readTags();
        const IdAudioFile view(&file);
        QCOMPARE(view.audioFile(), &file);
        QCOMPARE(view.tag(), file.tags().value(0));
        QCOMPARE(textsOf(view, 1), QStringList{"10 Song"});
        QCOMPARE(textsOf(view, 0), (QStringList{"Album", "Artist"}));
        QCOMPARE(textsOf(view, 2), QStringList{"The Lumens"});
        QCOMPARE(textsOf(view, 3), QStringList{"Best Of 2005"});
        QCOMPARE(textsOf(view, 4), QStringList{"My-Song One"});
        QCOMPARE(textsOf(view, 5), QStringList{"1"});
        QCOMPARE(textsOf(view, 7), QStringList{"2005"});
        QVERIFY(!view.stringList(6));
        QList<int> kinds;
        for (const IdStringList *list : view.stringLists()) {
            kinds.append(list->kind());
            QCOMPARE(list->audioFile(), &view);
            for (const IdString *string : list->strings())
                QCOMPARE(string->audioFile(), &view);
        }
        QCOMPARE(kinds, (QList<int>{1, 0, 2, 3, 4, 5, 7}));
        // Navigation from a word to its file.
        IdWord *word = view.stringList(2)->strings().first()->realWords().first();
        QCOMPARE(word->audioFile(), &view);
        QCOMPARE(word->string()->indexInList(), 0);
    }

    void blankValuesOfAFlac()
    {
        if (!hasTool("flac"))
            QSKIP("flac is not installed (scripts/setup installs it)");
        const QString folder = m_dir.filePath("flac");
        QVERIFY(QDir().mkpath(folder));
        const QString raw = m_dir.filePath("silence2.raw");
        QVERIFY(writeSilence(raw));
        const QString path = folder + "/track.flac";
        QVERIFY(run("flac", {"--silent", "--force-raw-format", "--endian=little", "--sign=signed", "--channels=1",
                             "--bps=16", "--sample-rate=44100", "-T", "ARTIST=  ", "-T", "ARTIST=Blue Harbour",
                             "-T", "ALBUM=   ", "-o", path, raw}));
        AudioFile file(path);
        file.readTags();
        const IdAudioFile view(&file);
        QCOMPARE(textsOf(view, 2), QStringList{"Blue Harbour"}); // the blank value is left out
        QVERIFY(!view.stringList(3));                            // no list of only blank values
        QCOMPARE(textsOf(view, 1), QStringList{"track"});
    }

    void withoutTagOrFolder()
    {
        QObject owner;
        // Neither the file nor its folders need to exist; an unreadable folder still gives its name.
        const QList<IdAudioFile *> files = idFiles({"Song"}, &owner, {}, "/no/such/Artist");
        QCOMPARE(textsOf(*files.first(), 0), (QStringList{"Artist", "such", "no"}));
        QVERIFY(!files.first()->tag());
        QCOMPARE(files.first()->stringLists().size(), 2);

        AudioFile atRoot("/song.mp3");
        const IdAudioFile rootView(&atRoot);
        QVERIFY(!rootView.stringList(0));
        QCOMPARE(textsOf(rootView, 1), QStringList{"song"});

        AudioFile noName("/music/.mp3");
        const IdAudioFile emptyName(&noName);
        QCOMPARE(textsOf(emptyName, 1), QStringList{""}); // the base name list always exists
    }

    void values()
    {
        QObject owner;
        IdAudioFile *file = idFiles({"Song"}, &owner).first();
        file->setValue(1, IdArtistName("The Lumens").toVariant());
        file->setValueConfidence(1, 2);
        file->setValue(3, "Song");
        file->setValueConfidence(3, 3);
        file->setValueConfidence(3, 0); // removes only the confidence
        QCOMPARE(file->values().keys(), (QList<int>{1, 3}));
        QCOMPARE(file->valueConfidences().keys(), QList<int>{1});
        file->setValue(1, QVariant()); // removes both
        QCOMPARE(file->values().keys(), QList<int>{3});
        QVERIFY(file->valueConfidences().isEmpty());
        QCOMPARE(identificationFieldForKind(2), 1);
        QCOMPARE(identificationFieldForKind(6), 6);
        QCOMPARE(identificationFieldForKind(7), 8);
        QCOMPARE(identificationFieldForKind(1), 0);
        QCOMPARE(identificationFieldForKind(8), 0);
    }

    void defaultGroup()
    {
        QObject owner;
        const QList<IdAudioFile *> files = idFiles({"The Band - One", "THE band - Two", "The Bend - Three",
                                                    "The Band X - Four"},
                                                   &owner);
        const auto firstWords = [&](int file, int count) {
            return files.at(file)->stringList(1)->strings().first()->realWords().mid(0, count);
        };
        CodeCollector logger;
        auto *group = new IdDefaultGroup(&owner);
        QCOMPARE(group->wordCount(), 0);
        QCOMPARE(group->wordText(0), QString());
        QCOMPARE(group->entryCount(), 0);

        group->addEntry(new IdDefaultGroupEntry(firstWords(0, 2)));
        group->addEntry(new IdDefaultGroupEntry(firstWords(1, 2))); // case is ignored
        QPointer<IdDefaultGroupEntry> tooLong = new IdDefaultGroupEntry(firstWords(3, 3));
        group->addEntry(tooLong);
        QPointer<IdDefaultGroupEntry> otherWord = new IdDefaultGroupEntry(firstWords(2, 2));
        group->addEntry(otherWord);
        QCOMPARE(group->entryCount(), 2);
        QCOMPARE(logger.codes, (QList<quint32>{quint32(GroupEntryLengthTextId), GroupEntryWordTextId}));
        QCOMPARE(group->wordCount(), 2);
        QCOMPARE(group->wordText(1), QString("Band"));
        QCOMPARE(group->entry(1)->string(), files.at(1)->stringList(1)->strings().first());
        QCOMPARE(group->entry(1)->group(), group);

        // Words of two strings: the second string's word is refused.
        logger.codes.clear();
        QList<IdWord *> mixed = firstWords(0, 1) + firstWords(1, 1) + firstWords(2, 1);
        IdDefaultGroupEntry entry(mixed);
        QCOMPARE(entry.words().size(), 1);
        QCOMPARE(logger.codes, (QList<quint32>{quint32(GroupEntryStringTextId), quint32(GroupEntryStringTextId)}));

        group->assignWords(true);
        QCOMPARE(firstWords(1, 1).first()->group, group);
        // A default group keeps an entry of real words when one of them moves away.
        group->removeWord(firstWords(1, 1).first());
        QCOMPARE(group->entryCount(), 2);
        group->assignWords(false);
        QVERIFY(!firstWords(0, 1).first()->group);

        group->removeEntryAt(5);
        group->removeEntryAt(0);
        QCOMPARE(group->entryCount(), 1);
        QVERIFY(tooLong); // refused entries live as long as the group
        delete group;
        QVERIFY(!tooLong && !otherWord);
    }

    void trackNumberGroups()
    {
        QObject owner;
        const QList<IdAudioFile *> files = idFiles({"203 Song", "204 Other"}, &owner);
        IdTrackNumberGroup group;
        QCOMPARE(group.highestNumber(), -1);
        QList<IdWord *> numbers;
        for (const IdAudioFile *file : files) {
            numbers.append(file->stringList(1)->strings().first()->realWords().first());
            group.addEntry(new IdTrackNumberGroupEntry(numbers.last(), numbers.last()->text().toInt() % 100));
        }
        QCOMPARE(group.highestNumber(), 4);
        QVERIFY(!group.discGroup(&owner)); // no disc
        group.disc = 0;
        QVERIFY(!group.discGroup(&owner));
        QCOMPARE(numbers.first()->text(), QString("203"));

        group.disc = 2;
        IdDefaultGroup *discs = group.discGroup(&owner);
        QVERIFY(discs);
        QCOMPARE(discs->parent(), &owner);
        QCOMPARE(discs->entryCount(), 2);
        QCOMPARE(discs->wordText(0), QString("2"));
        QCOMPARE(discs->entry(1)->words().first()->category, 7);
        QVERIFY(!discs->entry(1)->words().first()->group);
        QCOMPARE(files.at(0)->stringList(1)->strings().first()->text(), QString("23 Song"));
        QCOMPARE(files.at(1)->stringList(1)->strings().first()->text(), QString("24 Other"));
        QCOMPARE(numbers.at(1)->text(), QString("4"));

        group.assignWords(true);
        IdTrackNumberGroup other;
        other.removeWord(numbers.first()); // not its word
        QCOMPARE(group.entryCount(), 2);
        group.removeWord(numbers.first());
        QCOMPARE(group.entryCount(), 1);
        QCOMPARE(group.entry(0)->words(), QList<IdWord *>{numbers.at(1)});
        QCOMPARE(group.entry(0)->string(), numbers.at(1)->string());
    }

    void table()
    {
        IdTable<int> table;
        table.appendRow({1, 2, 3});
        table.appendRow({4});
        table.appendRow({5, 6, 7, 8});
        table.appendRow({});
        QCOMPARE(table.rows.size(), 4);
        QCOMPARE(table.width, 4);
        QCOMPARE(table.column(2), (QList<int>{3, 7}));
        QCOMPARE(table.column(0), (QList<int>{1, 4, 5}));
        QCOMPARE(table.row(5), QList<int>());
        QCOMPARE(table.row(1), QList<int>{4});
    }

private:
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestIdAudioFile)
#include "tst_idaudiofile.moc"
