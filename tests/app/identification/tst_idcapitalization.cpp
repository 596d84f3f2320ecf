#include <QtTest>

#include "app/identification/idaudiofile.h"
#include "app/identification/idaudiofilegroup.h"
#include "app/identification/stages/writetagchanges.h"
#include "app/identification/updateset.h"
#include "app/operations/audiofileselection.h"
#include "app/operations/modelupdateoperation.h"
#include "libcore/locale/localetables.h"
#include "libcore/settings/settingsstore.h"
#include "libtagging/model/audiotag.h"
#include "libtagging/model/commenttagitem.h"
#include "libtagging/model/userdefinedtexttagitem.h"

#include "support_identification.h"

namespace {
const QString StyleKey = QStringLiteral("identification/capitalization/style");
const QString SetKey = QStringLiteral("identification/capitalization/updateSet");

// "Type=text" for each item, in the tag's order.
QStringList itemTexts(const AudioTag *tag)
{
    QStringList result;
    for (const TagItem *item : tag->itemList())
        result.append(TagItem::typeKey(item->type()) + u'=' + item->toVariant().toString());
    return result;
}

void addItems(AudioTag *tag, const QStringList &items)
{
    for (const QString &entry : items) {
        const qsizetype equals = entry.indexOf(u'=');
        TagItem *item = TagItem::create(TagItem::typeByKey(entry.left(equals)));
        QVERIFY(item && item->fromVariant(entry.mid(equals + 1)));
        tag->addItem(item);
    }
}

// Selects the capitalisation's update set: the default set for an empty text, otherwise an
// inline set of these pairs.
void selectUpdateSet(const QString &pairs)
{
    SettingsStore::removeChildren(SetKey);
    if (pairs.isEmpty())
        return;
    SettingsStore::setValue(SetKey + "/type", "1");
    SettingsStore::setValue(SetKey + "/data", pairs);
}
} // namespace

// Stage 8: the identified values in the working copies get the identification's
// capitalisation style.
class TestIdCapitalization : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { setUpIdentificationTests(); }
    void init() { SettingsStore::reset(); }

    void capitalize_data()
    {
        QTest::addColumn<QString>("style");
        QTest::addColumn<QString>("updateSet");
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<QStringList>("expected");
        const QStringList words = {"Artist=the quiet HOURS", "Title=a song of the sea", "Genre=dream pop"};
        QTest::newRow("each word, default set")
            << "4" << "" << words
            << QStringList{"Artist=The Quiet Hours", "Title=A Song Of The Sea", "Genre=Dream Pop"};
        QTest::newRow("title case when the setting is missing")
            << "" << "" << words
            << QStringList{"Artist=The Quiet Hours", "Title=A Song of the Sea", "Genre=Dream Pop"};
        QTest::newRow("an unknown style is the default style")
            << "9" << "" << words
            << QStringList{"Artist=The Quiet Hours", "Title=A Song of the Sea", "Genre=Dream Pop"};
        QTest::newRow("an unreadable style is the default style")
            << "loud" << "" << words
            << QStringList{"Artist=The Quiet Hours", "Title=A Song of the Sea", "Genre=Dream Pop"};
        QTest::newRow("unchanged") << "1" << "" << words << words;
        QTest::newRow("lower case") << "2" << "" << QStringList{"Album=NIGHT Drive"} << QStringList{"Album=night drive"};
        QTest::newRow("only the set's types")
            << "5" << "title:1,artwork:2" << words
            << QStringList{"Artist=the quiet HOURS", "Title=A SONG OF THE SEA", "Genre=dream pop"};
        QTest::newRow("a set of file properties leaves nothing to do")
            << "5" << "filename:1,audiobitrate:1" << words << words;
        // Case carries meaning in identifiers, fingerprints, links and codes: upper case
        // would corrupt a MusicBrainz id, title case a link's path.
        const QStringList caseSensitive = {"AlbumMbid=5b11f4ce-a62d-471e-81fc-a69a8278c7da",
                                           "ArtistMbid=ab2e1b0c-3f4d-4a5e-9b2e-0c1d2e3f4a5b",
                                           "Isrc=usrc17607839",
                                           "AmazonAsin=b000002ukq",
                                           "AcoustId=f6d4e1a2-1111-4b7c-9e61-2f0c5e8a9b10",
                                           "Fingerprint=AQADtEmSREkSRUmS",
                                           "Barcode=0075678263927x",
                                           "ArtistWebsiteUrl=https://example.org/Quiet_Hours",
                                           "UserDefinedLink=https://example.org/a/B",
                                           "PodcastUrl=https://example.org/feed.xml",
                                           "InitialKey=Am",
                                           "Language=eng",
                                           "ReleaseCountry=GB",
                                           "Script=Latn"};
        QTest::newRow("identifiers, links and codes keep their case, default set")
            << "5" << "" << caseSensitive << caseSensitive;
        QTest::newRow("identifiers, links and codes keep their case, named types")
            << "4"
            << "albummbid:1,isrc:1,amazonasin:1,fingerprint:1,artistwebsiteurl:1,userdefinedlink:1,language:1,releasecountry:1"
            << caseSensitive << caseSensitive;
    }
    void capitalize()
    {
        QFETCH(QString, style);
        QFETCH(QString, updateSet);
        QFETCH(QStringList, items);
        QFETCH(QStringList, expected);
        if (!style.isEmpty())
            SettingsStore::setValue(StyleKey, style);
        selectUpdateSet(updateSet);

        QObject owner;
        const QList<IdAudioFile *> files = idFiles({"01", "02"}, &owner);
        ModelUpdateOperation operation{AudioFileSelection()};
        for (IdAudioFile *file : files)
            addItems(operation.workingTag(file->audioFile()), items);
        auto *group = new IdAudioFileGroup(files, {files.begin(), files.end()}, IdAudioFileGroup::OneArtistAlbum, &owner);
        writeTagChanges({group}, &operation);
        for (IdAudioFile *file : files)
            QCOMPARE(itemTexts(operation.workingTag(file->audioFile())), expected);
    }

    // A re-cased item keeps what else it held: a comment its description and language, a
    // user-defined text its name.
    void itemsKeepTheirOtherFields()
    {
        SettingsStore::setValue(StyleKey, "4");
        QObject owner;
        const QList<IdAudioFile *> files = idFiles({"01"}, &owner);
        ModelUpdateOperation operation{AudioFileSelection()};
        AudioTag *tag = operation.workingTag(files.first()->audioFile());
        tag->addItem(new CommentTagItem("great take", "liner notes", languageByCode("deu")));
        tag->addItem(new UserDefinedTextTagItem("late evening", "MOOD"));
        writeTagChanges({new IdAudioFileGroup(files, {files.first()}, 2, &owner)}, &operation);

        const auto *comment = static_cast<const CommentTagItem *>(tag->item(TagItemType::Comment));
        QCOMPARE(comment->value, QStringLiteral("Great Take"));
        QCOMPARE(comment->description, QStringLiteral("liner notes"));
        QCOMPARE(comment->language.iso639_2T, QStringLiteral("deu"));
        const auto *text = static_cast<const UserDefinedTextTagItem *>(tag->item(TagItemType::UserDefinedText));
        QCOMPARE(text->value, QStringLiteral("Late Evening"));
        QCOMPARE(text->description, QStringLiteral("MOOD"));
    }

    // Only the selected files of a group get working copies; with style 1 or nothing to
    // handle, none at all.
    void workingCopies_data()
    {
        QTest::addColumn<QString>("style");
        QTest::addColumn<QString>("updateSet");
        QTest::addColumn<int>("workingCopies");
        QTest::newRow("selected files") << "0" << "" << 2;
        QTest::newRow("style 1") << "1" << "" << 0;
        QTest::newRow("nothing to handle") << "0" << "audiobitrate:1" << 0;
    }
    void workingCopies()
    {
        QFETCH(QString, style);
        QFETCH(QString, updateSet);
        QFETCH(int, workingCopies);
        SettingsStore::setValue(StyleKey, style);
        selectUpdateSet(updateSet);
        QObject owner;
        const QList<IdAudioFile *> files = idFiles({"01", "02", "03"}, &owner, {{"the lumens"}, {"the lumens"}, {"x"}});
        ModelUpdateOperation operation{AudioFileSelection()};
        writeTagChanges({new IdAudioFileGroup(files.mid(0, 2), {files.at(1)}, 0, &owner),
                         new IdAudioFileGroup(files.mid(2), {files.at(2)}, 2, &owner)},
                        &operation);
        QCOMPARE(operation.tagCopies().size(), workingCopies);
        QVERIFY(!operation.tagCopies().contains(files.at(0)->audioFile()));
        if (workingCopies) {
            QCOMPARE(operation.workingTag(files.at(1)->audioFile())->itemText(TagItemType::Artist),
                     QStringLiteral("The Lumens"));
            // The snapshot is the file's tag as it was.
            QCOMPARE(operation.snapshotTag(files.at(1)->audioFile())->itemText(TagItemType::Artist),
                     QStringLiteral("the lumens"));
        }
    }
};

QTEST_GUILESS_MAIN(TestIdCapitalization)
#include "tst_idcapitalization.moc"
