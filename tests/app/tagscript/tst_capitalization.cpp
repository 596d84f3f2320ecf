// The six capitalisation styles, the title-case rules and capitalising after characters.

#include "app/tagscript/capitalization.h"
#include "app/tagscript/support_tagscript.h"

#include <QtTest>

class TestCapitalization : public QObject
{
    Q_OBJECT

private slots:
    void styles_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("style");
        QTest::addColumn<int>("flags");
        QTest::addColumn<QString>("expected");
        const int both = AllowLowerCase | AllowUpperCase;

        QTest::newRow("title: small words") << "the lord of the rings" << int(TitleCase) << both
                                            << "The Lord of the Rings";
        QTest::newRow("title: small word inside") << "a man for all seasons" << int(TitleCase) << both
                                                  << "A Man for All Seasons";
        QTest::newRow("title: 'n' is small, last word capital")
            << "rock 'n' roll is here to stay" << int(TitleCase) << both << "Rock 'n' Roll Is Here to Stay";
        QTest::newRow("title: bracket starts a segment")
            << "live at the apollo (the remix)" << int(TitleCase) << both << "Live at the Apollo (The Remix)";
        QTest::newRow("title: hyphen starts a segment") << "foo - the end" << int(TitleCase) << both
                                                        << "Foo - The End";
        QTest::newRow("title: first small word") << "of mice and men" << int(TitleCase) << both
                                                 << "Of Mice and Men";
        QTest::newRow("title: up inside, to last") << "what you are up to" << int(TitleCase) << both
                                                   << "What You Are up To";
        QTest::newRow("title: capitals lowered") << "MCDONALD" << int(TitleCase) << both << "Mcdonald";
        QTest::newRow("title: nothing lowered") << "MCDONALD" << int(TitleCase) << int(AllowUpperCase)
                                                << "MCDONALD";
        QTest::newRow("title: comma and slash only separate words")
            << "THE END, AND/OR THE START" << int(TitleCase) << both << "The End, and/or the Start";
        QTest::newRow("title: leading apostrophe") << "'tis the season" << int(TitleCase) << both
                                                   << "'tis the Season";
        // Not the small word (whose apostrophes are U+0027), but its capital falls on the
        // apostrophe, which has none.
        QTest::newRow("title: word starting with a typographic apostrophe")
            << u("rock \xE2\x80\x99N\xE2\x80\x99 roll") << int(TitleCase) << both
            << u("Rock \xE2\x80\x99n\xE2\x80\x99 Roll");
        QTest::newRow("title: beyond the BMP")
            << u("\xF0\x90\x90\xA8\xF0\x90\x90\x80 of \xF0\x90\x90\xA8") << int(TitleCase) << both
            << u("\xF0\x90\x90\x80\xF0\x90\x90\xA8 of \xF0\x90\x90\x80");
        QTest::newRow("title: empty") << "" << int(TitleCase) << both << "";

        QTest::newRow("unchanged") << "hELLo" << int(Unchanged) << both << "hELLo";
        QTest::newRow("lower") << "hELLo" << int(LowerCase) << both << "hello";
        QTest::newRow("lower not allowed") << "hELLo" << int(LowerCase) << int(AllowUpperCase) << "hELLo";
        QTest::newRow("upper") << u("stra\xC3\x9F" "e") << int(UpperCase) << both << "STRASSE";
        QTest::newRow("upper not allowed") << "hELLo" << int(UpperCase) << int(AllowLowerCase) << "hELLo";

        QTest::newRow("first letter") << "  hello WORLD" << int(FirstLetterUpper) << both << "  Hello world";
        QTest::newRow("first letter after apostrophe") << "'tis the season" << int(FirstLetterUpper) << both
                                                       << "'tis the season";
        QTest::newRow("first letter is a digit") << "7 SEAS" << int(FirstLetterUpper) << both << "7 seas";
        QTest::newRow("first letter raise only") << "hello WORLD" << int(FirstLetterUpper) << int(AllowUpperCase)
                                                 << "Hello WORLD";

        QTest::newRow("each word") << "hello-world foo_bar" << int(EachWordUpper) << both << "Hello-World Foo_Bar";
        QTest::newRow("each word: apostrophes inside") << "o'neil rock'n'roll" << int(EachWordUpper) << both
                                                       << "O'neil Rock'n'roll";
        QTest::newRow("each word raise only") << "mcDONALD" << int(EachWordUpper) << int(AllowUpperCase)
                                              << "McDONALD";
    }
    void styles()
    {
        QFETCH(QString, text);
        QFETCH(int, style);
        QFETCH(int, flags);
        QFETCH(QString, expected);
        QCOMPARE(applyCapitalization(text, style, flags), expected);
    }

    void unknownStyleIsNull()
    {
        QVERIFY(applyCapitalization(QStringLiteral("abc"), 7, AllowLowerCase | AllowUpperCase).isNull());
        QVERIFY(applyCapitalization(QStringLiteral("abc"), -1, AllowLowerCase | AllowUpperCase).isNull());
    }

    void after_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("style");
        QTest::addColumn<QString>("characters");
        QTest::addColumn<QString>("expected");
        QTest::newRow("after dots") << "a.b.c" << int(Unchanged) << "." << "a.B.C";
        QTest::newRow("after the style") << "mcdonald-smith" << int(FirstLetterUpper) << "-" << "Mcdonald-Smith";
        QTest::newRow("looks at the text as given") << "a..b" << int(Unchanged) << "." << "a..B";
        QTest::newRow("character beyond the BMP")
            << u("\xF0\x9F\x8E\xB5x") << int(Unchanged) << u("\xF0\x9F\x8E\xB5") << u("\xF0\x9F\x8E\xB5X");
        QTest::newRow("raises whatever the flags") << "x-y" << int(LowerCase) << "-" << "x-Y";
    }
    void after()
    {
        QFETCH(QString, text);
        QFETCH(int, style);
        QFETCH(QString, characters);
        QFETCH(QString, expected);
        QList<CodePoint> points;
        for (const char32_t c : characters.toUcs4())
            points.append(CodePoint(c));
        QCOMPARE(applyCapitalizationAfter(text, style, points, AllowLowerCase | AllowUpperCase), expected);
    }

    void segments()
    {
        // "ab (cd) e": words [0,2) in the first segment, [4,6) in the second, [8,9) after it.
        const QList<QList<int>> segments = splitTitleSegments(QStringLiteral("ab (cd) e"));
        QCOMPARE(segments, (QList<QList<int>> {{0, 2}, {4, 6}, {8, 9}}));
        QCOMPARE(titleCaseSmallWords().size(), 26);
    }
};

QTEST_GUILESS_MAIN(TestCapitalization)
#include "tst_capitalization.moc"
