#include <QtTest>

#include "app/identification/idsection.h"
#include "app/identification/idstring.h"
#include "app/identification/idversionitem.h"
#include "app/identification/idversionsignalphrase.h"
#include "app/identification/idversionsummary.h"
#include "app/identification/idword.h"

#include "support_identification.h"

#include <memory>

namespace {
QString joined(const QList<IdWord *> &words)
{
    QStringList texts;
    for (const IdWord *word : words)
        texts.append(word->text());
    return texts.join(u'|');
}

QString sectionsOf(const IdString &string)
{
    QStringList texts;
    for (const IdSection *section : string.sections())
        texts.append(section->text());
    return texts.join(u'|');
}

// Owns words made for a test.
struct Words {
    explicit Words(const QString &text) : list(splitIntoIdWords(text)) {}
    ~Words() { qDeleteAll(list); }
    QList<IdWord *> list;
};
} // namespace

// Identification strings: words, sections, the section analysis and version phrases.
class TestIdStrings : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { setUpIdentificationTests(); }

    void tokenizer_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("words");
        QTest::addColumn<QList<int>>("kinds");
        const int W = IdWordKind::Word, S = IdWordKind::Separator, D = IdWordKind::Dash;
        QTest::newRow("letters and numbers") << "abc123def" << "abc|123|def" << QList<int>{W, W, W};
        QTest::newRow("slash") << "AC/DC" << "AC|/|DC" << QList<int>{W, S, W};
        QTest::newRow("spaced dash") << "Foo - Bar" << "Foo| |-| |Bar" << QList<int>{W, S, D, S, W};
        QTest::newRow("en dash") << "a\u2013b" << "a|\u2013|b" << QList<int>{W, D, W};
        QTest::newRow("number glued to a word") << "Track12" << "Track|12" << QList<int>{W, W};
        QTest::newRow("vulgar fraction is a number") << "\u00bd" << "\u00bd" << QList<int>{W};
        QTest::newRow("combining accent") << "e\u0301" << "e|\u0301" << QList<int>{W, S};
        QTest::newRow("symbol above the BMP") << "a\U0001D11Eb" << "a|\U0001D11E|b" << QList<int>{W, S, W};
        QTest::newRow("CJK run") << "\u5468\u6770\u502b 01" << "\u5468\u6770\u502b| |01" << QList<int>{W, S, W};
        QTest::newRow("empty") << "" << "" << QList<int>{};
    }
    void tokenizer()
    {
        QFETCH(QString, text);
        QFETCH(QString, words);
        QFETCH(QList<int>, kinds);
        const Words made(text);
        QCOMPARE(joined(made.list), words);
        QList<int> madeKinds;
        for (const IdWord *word : made.list)
            madeKinds.append(word->kind());
        QCOMPARE(madeKinds, kinds);
    }

    void sections_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<quint32>("mask");
        QTest::addColumn<QString>("sections");
        QTest::addColumn<QList<quint32>>("flags"); // of every word, in order
        QTest::newRow("leading number, dashes") << "01 - Intro Song" << 1u << "01 |-| Intro Song"
                                                << QList<quint32>{6, 1, 1, 0, 0, 0, 0};
        QTest::newRow("leading number, numbers too") << "01 - Intro Song" << 3u << "01| |-| Intro Song"
                                                     << QList<quint32>{6, 1, 1, 0, 0, 0, 0};
        QTest::newRow("number after words") << "Title 03" << 3u << "Title |03" << QList<quint32>{0, 2, 2};
        QTest::newRow("year range never cuts") << "1999-2004" << 1u << "1999-2004" << QList<quint32>{16, 16, 0};
        QTest::newRow("falling years cut") << "1999 - 1987" << 1u << "1999 |-| 1987"
                                           << QList<quint32>{0, 1, 1, 0, 0};
        QTest::newRow("short hyphenation kept") << "Jay-Zed Band - Song Title" << 1u
                                                << "Jay-Zed Band |-| Song Title"
                                                << QList<quint32>{32, 32, 0, 0, 0, 1, 1, 0, 0, 0, 0};
        QTest::newRow("short hyphenation cut") << "Jay-Zed Band - Song Title" << 33u
                                               << "Jay|-|Zed Band |-| Song Title"
                                               << QList<quint32>{32, 32, 0, 0, 0, 1, 1, 0, 0, 0, 0};
        QTest::newRow("short sides without spaced dash") << "Foo-Bar" << 1u << "Foo-Bar" << QList<quint32>{32, 32, 0};
        QTest::newRow("long sides") << "Alpha-Beta" << 1u << "Alpha|-|Beta" << QList<quint32>{1, 1, 0};
        QTest::newRow("number-only side") << "Track 01-02" << 1u << "Track 01|-|02" << QList<quint32>{0, 2, 3, 3, 2};
        QTest::newRow("bracketed year") << "Title (2004)" << 9u << "Title |(|2004|)" << QList<quint32>{0, 8, 8, 8, 8};
        QTest::newRow("bracketed version phrase skipped") << "Title (Live) 2" << 3u << "Title (Live) |2"
                                                          << QList<quint32>{0, 0, 0, 0, 0, 2, 2};
        QTest::newRow("bracketed other words looked into") << "Title (Part 2)" << 3u << "Title (Part |2|)"
                                                           << QList<quint32>{0, 0, 0, 0, 2, 2, 0};
        QTest::newRow("common word hyphen") << "Rock-and-Roll Song" << 1u << "Rock-and-Roll Song"
                                            << QList<quint32>{96, 96, 96, 96, 0, 0, 0};
        QTest::newRow("single dash") << "-" << 1u << "-" << QList<quint32>{1};
        QTest::newRow("last word breaks") << "Song -" << 1u << "Song |-" << QList<quint32>{0, 1, 1};
        QTest::newRow("empty") << "" << 1u << "" << QList<quint32>{};
    }
    void sections()
    {
        QFETCH(QString, text);
        QFETCH(quint32, mask);
        QFETCH(QString, sections);
        QFETCH(QList<quint32>, flags);
        IdString string(text);
        string.setSectionBreaks(mask);
        QCOMPARE(sectionsOf(string), sections);
        QCOMPARE(string.text(), text);
        QList<quint32> madeFlags;
        for (const IdWord *word : string.words())
            madeFlags.append(word->breakFlags);
        QCOMPARE(madeFlags, flags);
        for (int i = 0; i < string.sections().size(); ++i) {
            QCOMPARE(string.sections().at(i)->index, i);
            QCOMPARE(string.sections().at(i)->string(), &string);
            for (const IdWord *word : string.sections().at(i)->words())
                QCOMPARE(word->section(), string.sections().at(i));
        }
    }

    void numbering()
    {
        IdString string("Artist Name - Song Title");
        QCOMPARE(sectionsOf(string), QString("Artist Name |-| Song Title"));
        QList<int> stringIndexes, sectionIndexes;
        for (const IdWord *word : string.realWords()) {
            stringIndexes.append(word->stringIndex);
            sectionIndexes.append(word->sectionIndex);
        }
        QCOMPARE(stringIndexes, (QList<int>{0, 1, 2, 3}));
        QCOMPARE(sectionIndexes, (QList<int>{0, 1, 0, 1}));
        QCOMPARE(string.words().at(1)->stringIndex, -1);
        QCOMPARE(string.sectionsWithWords().size(), 2);

        QCOMPARE(string.textOfWordRange(1, 2), QString("Name - Song"));
        QCOMPARE(string.textOfWordRange(2, 99), QString("Song Title"));
        QCOMPARE(string.textOfWordRange(2, 1), QString());
        QCOMPARE(string.textOfWordRange(7, 9), QString());
    }

    void editing()
    {
        IdString string("Artist Name - Song Title");
        IdSection *first = string.sections().first();
        first->marked = true;
        string.setSectionBreaks(1); // unchanged: the same sections
        QCOMPARE(string.sections().first(), first);
        QVERIFY(first->marked);

        // A word set to a dash becomes one, but the string is not cut again.
        IdWord *name = first->realWords().at(1);
        name->setText("-");
        QCOMPARE(name->kind(), int(IdWordKind::Dash));
        QCOMPARE(string.text(), QString("Artist - - Song Title"));
        QCOMPARE(string.sections().size(), 3);
        QCOMPARE(first->hasWords(), true);
        QCOMPARE(string.realWords().size(), 3);

        // Section texts replace their words; the same text keeps them.
        IdSection *last = string.sections().last();
        const QList<IdWord *> before = last->words();
        last->setText(last->text());
        QCOMPARE(last->words(), before);
        last->setText(" Other Song!");
        QCOMPARE(joined(last->words()), QString(" |Other| |Song|!"));
        QCOMPARE(last->words().at(1)->breakFlags, 0u);
        QCOMPARE(string.text(), QString("Artist - - Other Song!"));
        QCOMPARE(string.realWords().last()->stringIndex, 2); // the dash is no word any more

        // Inserting before a numbered word, or at the end for an unknown number.
        IdWord *inserted = last->insertWord(1, "Big");
        QCOMPARE(joined(last->words()), QString(" |Other| |Big|Song|!"));
        QCOMPARE(inserted->sectionIndex, 1);
        last->insertWord(9, "End");
        QCOMPARE(string.text(), QString("Artist - - Other BigSong!End"));

        // A cut at a new mask keeps the words and their marks.
        IdWord *song = last->realWords().at(0);
        song->category = 5;
        string.setSectionBreaks(3);
        QCOMPARE(song->category, 5);
        QCOMPARE(string.text(), QString("Artist - - Other BigSong!End"));
    }

    void phraseTable()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("phrases.csv");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("kind\tphrase\textension\tbrackets\tfield\n"
                   "1\tlive\t0\tTRUE\t\n"
                   "3\tremixed by\t3\tfalse\t3\n"
                   "x\tfour columns\t0\tfalse\n"
                   "1\tsix\t0\tfalse\t0\t0\n"
                   "y\tbad numbers\tz\tyes\tq");
        file.close();
        QList<IdVersionSignalPhrase *> phrases;
        readVersionPhrases(path, phrases);
        QCOMPARE(phrases.size(), 3);
        QCOMPARE(phrases.at(0)->kind, 1);
        QCOMPARE(phrases.at(0)->bracketsOnly, true);
        QCOMPARE(phrases.at(0)->field, 0);
        QCOMPARE(joined(phrases.at(1)->words), QString("remixed| |by"));
        QCOMPARE(phrases.at(1)->extension, 3);
        QCOMPARE(phrases.at(1)->field, 3);
        QCOMPARE(phrases.at(2)->kind, 0);
        QCOMPARE(phrases.at(2)->bracketsOnly, false);

        // Extra separators of the text are passed over; the phrase's own must be met.
        const Words text("x Remixed  , by Foo");
        QCOMPARE(phrases.at(1)->matchAt(text.list, 2), 7);
        QCOMPARE(phrases.at(1)->matchAt(text.list, 0), -1);
        const Words glued("Remixedby");
        QCOMPARE(phrases.at(1)->matchAt(glued.list, 0), -1);
        qDeleteAll(phrases);
        QVERIFY_THROWS_EXCEPTION(std::exception, [] {
            QList<IdVersionSignalPhrase *> none;
            try {
                readVersionPhrases("/no/such/file.csv", none);
            } catch (...) {
                throw std::runtime_error("thrown");
            }
        }());
        QVERIFY(!loadVersionPhrases().isEmpty());
    }

    void versionItem_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("field");  // -1: made without a field
        QTest::addColumn<QList<int>>("allowed");
        QTest::addColumn<QList<int>>("kinds");
        QTest::addColumn<QString>("kindText"); // the text of the first kind
        QTest::addColumn<QString>("remainder");
        QTest::addColumn<bool>("otherWords");
        QTest::addColumn<int>("suggested");
        QTest::newRow("bracketed version") << "Song (Live)" << -1 << QList<int>{} << QList<int>{1} << ""
                                           << "Song " << true << 3;
        QTest::newRow("only word") << "Live" << -1 << QList<int>{} << QList<int>{1} << "" << "" << false << 3;
        QTest::newRow("outside brackets") << "Live Song" << -1 << QList<int>{} << QList<int>{} << "" << "Live Song"
                                          << true << 0;
        QTest::newRow("outside brackets, kind allowed") << "Live Song" << -1 << QList<int>{1} << QList<int>{1} << ""
                                                        << " Song" << true << 3;
        QTest::newRow("bracketed alone") << "(Remix)" << -1 << QList<int>{} << QList<int>{3} << "" << "" << false << 3;
        QTest::newRow("remix with its remixer") << "Song (DJ Foo Remix)" << -1 << QList<int>{} << QList<int>{3}
                                                << "DJ Foo" << "Song " << true << 3;
        QTest::newRow("later phrase wins") << "Song [Radio Edit]" << -1 << QList<int>{} << QList<int>{1} << ""
                                           << "Song " << true << 3;
        QTest::newRow("featured artist outside brackets") << "Artist feat. Guest" << -1 << QList<int>{}
                                                          << QList<int>{2} << "Guest" << "Artist " << true << 1;
        QTest::newRow("featuring without a name is dropped") << "Song (feat.)" << -1 << QList<int>{} << QList<int>{}
                                                             << "" << "Song (feat.)" << true << 3;
        QTest::newRow("both artists in a title's brackets") << "Song (Guest feat. Other)" << 3 << QList<int>{}
                                                            << QList<int>{2} << "Other, Guest" << "Song " << true << 3;
        QTest::newRow("live at a place") << "Song (Live at Wembley)" << -1 << QList<int>{} << QList<int>{5}
                                         << "Wembley" << "Song " << true << 3;
        QTest::newRow("phrase of another field") << "Song (from Film)" << 1 << QList<int>{} << QList<int>{} << ""
                                                 << "Song (from Film)" << true << 0;
        QTest::newRow("phrase of its field") << "Song (from Film)" << 3 << QList<int>{} << QList<int>{7} << "Film"
                                             << "Song " << true << 3;
        QTest::newRow("nested brackets") << "Song (Mix [Live])" << -1 << QList<int>{} << QList<int>{1, 3} << ""
                                         << "Song " << true << 3;
        QTest::newRow("empty") << "" << -1 << QList<int>{} << QList<int>{} << "" << "" << false << 0;
    }
    void versionItem()
    {
        QFETCH(QString, text);
        QFETCH(int, field);
        QFETCH(QList<int>, allowed);
        QFETCH(QList<int>, kinds);
        QFETCH(QString, kindText);
        QFETCH(QString, remainder);
        QFETCH(bool, otherWords);
        QFETCH(int, suggested);
        const Words words(text);
        auto item = field < 0 ? std::make_unique<IdVersionItem>(words.list)
                              : std::make_unique<IdVersionItem>(words.list, field);
        item->setAllowedKinds(QSet<int>(allowed.cbegin(), allowed.cend()));
        QList<int> found = item->kinds().values();
        std::sort(found.begin(), found.end());
        QCOMPARE(found, kinds);
        QCOMPARE(item->textForKind(kinds.value(0)), kindText.isEmpty() ? QString() : kindText);
        QCOMPARE(item->remainderText(), remainder);
        QCOMPARE(item->hasOtherWords(), otherWords);
        QCOMPARE(item->suggestedField(), suggested);
        QCOMPARE(item->text(), text);
        QCOMPARE(item->isEmpty(), kinds.isEmpty());
    }

    void versionSummary()
    {
        const Words a("Song (DJ Foo Remix)");
        const Words b("Remix Song (Live)");
        const Words c("Other (Big DJ Remix)");
        IdVersionItem first(a.list), second(b.list), third(c.list);
        QCOMPARE(second.kinds(), QSet<int>{1});
        IdVersionSummary summary;
        summary.buildFrom({&first, &second, &third});
        QCOMPARE(summary.kinds, (QSet<int>{1, 3}));
        // A kind seen in one place is accepted outside brackets in the others.
        QCOMPARE(second.kinds(), (QSet<int>{1, 3}));
        QCOMPARE(second.allowedKinds(), (QSet<int>{1, 3}));
        QCOMPARE(summary.texts.value(3), QString("DJ Foo")); // the earlier on equal length

        IdVersionSummary other;
        other.kinds = {3, 5};
        other.texts = {{3, "Someone Else"}, {5, "Wembley"}};
        summary.merge(other);
        QCOMPARE(summary.kinds, (QSet<int>{1, 3, 5}));
        QCOMPARE(summary.texts.value(3), QString("Someone Else"));
        QCOMPARE(summary.texts.value(5), QString("Wembley"));
    }
};

QTEST_GUILESS_MAIN(TestIdStrings)
#include "tst_idstrings.moc"
