#include <QtTest>

#include "app/identification/idartistname.h"
#include "app/identification/idaudiofile.h"
#include "app/identification/stages/consolidateartistnames.h"
#include "app/identification/idsegment.h"

#include "support_identification.h"

namespace {
// "Lumens, The" x 5 -> five entries.
QStringList expand(const QStringList &spec)
{
    QStringList result;
    for (const QString &entry : spec) {
        const qsizetype times = entry.lastIndexOf(QStringLiteral(" x "));
        if (times < 0) {
            result.append(entry);
            continue;
        }
        for (int i = entry.mid(times + 3).toInt(); i > 0; --i)
            result.append(entry.left(times));
    }
    return result;
}

// One file per value; "-" for a file without a value.
QList<IdAudioFile *> filesWithValues(const QStringList &values, int field, QObject *owner)
{
    QStringList names;
    for (qsizetype i = 0; i < values.size(); ++i)
        names.append(QStringLiteral("f%1").arg(i));
    const QList<IdAudioFile *> files = idFiles(names, owner);
    for (qsizetype i = 0; i < files.size(); ++i) {
        const QString &value = values.at(i);
        if (value == u'-')
            continue;
        files.at(i)->setValue(field, field == IdField::Artist ? IdArtistName(value).toVariant() : QVariant(value));
        files.at(i)->setValueConfidence(field, 3);
    }
    return files;
}

QStringList valuesOf(const QList<IdAudioFile *> &files, int field)
{
    QStringList result;
    for (const IdAudioFile *file : files) {
        if (!file->values().contains(field)) {
            result.append(QStringLiteral("-"));
        } else if (field == IdField::Artist) {
            const IdArtistName name = IdArtistName::fromVariant(file->value(field));
            result.append(name.toString(name.articleWasAtEnd));
        } else {
            result.append(file->value(field).toString());
        }
    }
    return result;
}
} // namespace

// Stage 5: rare artist and album values give way to similar frequent ones.
class TestIdConsolidation : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { setUpIdentificationTests(); }

    void consolidate_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<QStringList>("expected");
        const int artist = IdField::Artist;
        const int album = IdField::Album;
        QTest::newRow("a typo among five")
            << artist << expand({"Lumens, The x 5", "Lumnes, The"}) << expand({"Lumens, The x 6"});
        QTest::newRow("the article keeps its place")
            << artist << expand({"Lumens, The x 3", "The Lumnes"}) << expand({"Lumens, The x 3", "The Lumens"});
        QTest::newRow("an artist without article")
            << artist << expand({"Quiet Hours x 4", "Quiet Hour"}) << expand({"Quiet Hours x 5"});
        QTest::newRow("two and two do not reach the threshold")
            << album << expand({"Quiet Hours x 2", "Quiet Hour x 2"}) << expand({"Quiet Hours x 2", "Quiet Hour x 2"});
        QTest::newRow("case differences are groups of their own")
            << album << expand({"Quiet Hours x 4", "quiet hours"}) << expand({"Quiet Hours x 5"});
        QTest::newRow("three against two")
            << album << expand({"Quiet Hours x 3", "Quiet Hour x 2"}) << expand({"Quiet Hours x 5"});
        QTest::newRow("seven files are never changed")
            << album << expand({"Quiet Hour x 7", "Quiet Hours x 20"}) << expand({"Quiet Hour x 7", "Quiet Hours x 20"});
        QTest::newRow("six files need nine")
            << album << expand({"Quiet Hour x 6", "Quiet Hours x 8"}) << expand({"Quiet Hour x 6", "Quiet Hours x 8"});
        QTest::newRow("the largest similar group wins")
            << album << expand({"Quiet Houres x 9", "Quiet Hours x 12", "Quiet Hourz"})
            << expand({"Quiet Houres x 9", "Quiet Hours x 13"});
        QTest::newRow("files without a value take no part")
            << album << expand({"- x 3", "Quiet Hours x 3", "Quiet Hour"}) << expand({"- x 3", "Quiet Hours x 4"});
        QTest::newRow("dissimilar values stay")
            << album << expand({"Quiet Hours x 5", "Morning Light"}) << expand({"Quiet Hours x 5", "Morning Light"});
    }
    void consolidate()
    {
        QFETCH(int, field);
        QFETCH(QStringList, values);
        QFETCH(QStringList, expected);
        QObject owner;
        const QList<IdAudioFile *> files = filesWithValues(values, field, &owner);
        consolidateArtistNames(files, field);
        QCOMPARE(valuesOf(files, field), expected);
        // The confidence of a replaced value stays as it was.
        for (const IdAudioFile *file : files)
            QCOMPARE(file->valueConfidences().value(field), file->values().contains(field) ? 3 : 0);
    }

    // A file moved to a frequent value by one replacement is not counted for it in the same
    // run: the choice is made on the values as they were found.
    void groupsAreCountedOnce()
    {
        QObject owner;
        // "Quiet Hour" (1 file) takes "Quiet Hours" (3 files, first in key order). "Quiet Hourz"
        // (3 files) would need 4 of "Quiet Hours", which it has only after that replacement.
        const QStringList values = expand({"Quiet Hour", "Quiet Hours x 3", "Quiet Hourz x 3"});
        const QList<IdAudioFile *> files = filesWithValues(values, IdField::Album, &owner);
        consolidateArtistNames(files, IdField::Album);
        QCOMPARE(valuesOf(files, IdField::Album), expand({"Quiet Hours x 4", "Quiet Hourz x 3"}));
    }
};

QTEST_GUILESS_MAIN(TestIdConsolidation)
#include "tst_idconsolidation.moc"
