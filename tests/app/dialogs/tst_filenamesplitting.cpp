#include <QTest>

#include "app/dialogs/filenamesplitting.h"
#include "app/model/support_model.h"
#include "libtagging/model/audiofile.h"
#include "libtagging/model/tagitem.h"

// Splitting of file and folder names into the file tagger's parts, by every method, over
// names as they occur in real collections.
class tst_FileNameSplitting : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        loadModelTexts();
        registerTagItemTypes();
    }

    void nameLevels_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QStringList>("levels");
        QTest::newRow("file in folders") << "/music/Artist - Album/01 - Title.mp3"
                                         << QStringList{"01 - Title", "Artist - Album", "music"};
        QTest::newRow("only the last suffix goes") << "/m/a.b.mp3" << QStringList{"a.b", "m"};
        QTest::newRow("doubled slashes") << "//m//x/t.flac" << QStringList{"t", "x", "m"};
        QTest::newRow("no suffix") << "/m/README" << QStringList{"README", "m"};
        QTest::newRow("below the root") << "/t.ogg" << QStringList{"t"};
    }
    void nameLevels()
    {
        QFETCH(QString, path);
        QFETCH(QStringList, levels);
        QCOMPARE(fileNameLevels(path), levels);
    }

    // Separators and split expressions over the base name and at most three folders.
    void split_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("method");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("parts");
        const int S = FileNameSplitMethod::Separator, E = FileNameSplitMethod::SplitExpression;
        QTest::newRow("dash separator")
            << "/Music/Artist - Album/01 - Title.mp3" << S << "-"
            << QStringList{"Music", "Artist", "Album", "01", "Title"};
        QTest::newRow("each separator character on its own keeps empty parts")
            << "/Music/A - B/01 - T.mp3" << S << " -" << QStringList{"Music", "A", "", "", "B", "01", "", "", "T"};
        QTest::newRow("regex characters in a separator are literal")
            << "/x/a^b]c[d\\e.mp3" << S << "^][\\" << QStringList{"x", "a", "b", "c", "d", "e"};
        QTest::newRow("empty separator keeps levels whole")
            << "/Music/A - B/01 - T.mp3" << S << "" << QStringList{"Music", "A - B", "01 - T"};
        QTest::newRow("four levels at most")
            << "/a/b/c/d/e/f.mp3" << S << "-" << QStringList{"c", "d", "e", "f"};
        QTest::newRow("brackets and Unicode")
            << "/Musik/Björk_[Homogenic]/03_Jóga.flac" << E << "[_\\[\\]]+"
            << QStringList{"Musik", "Björk", "Homogenic", "", "03", "Jóga"};
        QTest::newRow("greedy expression") << "/m/01 --- Title.mp3" << E << "\\s*-+\\s*"
                                           << QStringList{"m", "01", "Title"};
        QTest::newRow("invalid expression splits nothing")
            << "/m/01 - Title.mp3" << E << "(-" << QStringList{"m", "01 - Title"};
        QTest::newRow("surrogate pairs survive") << "/m/\U0001D11E-x.mp3" << S << "-"
                                                 << QStringList{"m", "\U0001D11E", "x"};
    }
    void split()
    {
        QFETCH(QString, path);
        QFETCH(int, method);
        QFETCH(QString, text);
        QFETCH(QStringList, parts);
        const QString expression = method == FileNameSplitMethod::Separator ? separatorExpression(text) : text;
        QList<QStringList> all{splitNameLevels(fileNameLevels(path), expression)};
        QCOMPARE(trimFileNameParts(all), int(parts.size()));
        QCOMPARE(all.first(), parts);
    }

    void pattern_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QStringList>("expressions");
        QTest::addColumn<QList<int>>("itemTypes");
        using T = TagItemType::Id;
        QTest::newRow("number and title")
            << "%tracknumber% - %title%" << QStringList{"(\\d*)\\ \\-\\ (.*)"} << QList<int>{T::TrackNumber, T::Title};
        QTest::newRow("levels, both slashes")
            << "%artist%/%album%\\%title%" << QStringList{"(.*)", "(.*)", "(.*)"}
            << QList<int>{T::Artist, T::Album, T::Title};
        QTest::newRow("file property, unknown name and %% take no part")
            << "%filename%-%nosuchname%-%%-%title%" << QStringList{".*\\-.*\\-.*\\-(.*)"} << QList<int>{T::Title};
        QTest::newRow("slash inside a variable does not end a level")
            << "%ti/tle%x" << QStringList{".*x"} << QList<int>{};
        QTest::newRow("open variable dropped") << "a%title" << QStringList{"a"} << QList<int>{};
        QTest::newRow("upper-case variable") << "%TITLE%" << QStringList{"(.*)"} << QList<int>{T::Title};
        QTest::newRow("empty") << "" << QStringList{""} << QList<int>{};
    }
    void pattern()
    {
        QFETCH(QString, pattern);
        QFETCH(QStringList, expressions);
        QFETCH(QList<int>, itemTypes);
        const FileNamePattern result = fileNamePattern(pattern);
        QCOMPARE(result.levelExpressions, expressions);
        QCOMPARE(result.itemTypes, itemTypes);
    }

    void matchExpression_data()
    {
        QTest::addColumn<QString>("expression");
        QTest::addColumn<QStringList>("levels");
        QTest::newRow("slash and escaped backslash separate")
            << "(.*)/(\\d+)\\\\(.*)" << QStringList{"(.*)", "(\\d+)", "(.*)"};
        QTest::newRow("slash in a class stays") << "([^/]+) - (.*)" << QStringList{"([^/]+) - (.*)"};
        QTest::newRow("escaped slash stays") << "a\\/b" << QStringList{"a\\/b"};
        QTest::newRow("escaped bracket keeps the depth") << "\\((.*)/(.*)" << QStringList{"\\((.*)", "(.*)"};
        QTest::newRow("trailing lone backslash dropped") << "(.*)\\" << QStringList{"(.*)"};
        QTest::newRow("unbalanced closing") << "a)/b" << QStringList{"a)", "b"};
    }
    void matchExpression()
    {
        QFETCH(QString, expression);
        QFETCH(QStringList, levels);
        QCOMPARE(matchExpressionLevels(expression), levels);
    }

    // Patterns and match expressions over real names: unanchored, level by level from the
    // file name up, the outermost matched level first.
    void match_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("method");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("parts");
        const int P = FileNameSplitMethod::Pattern, M = FileNameSplitMethod::MatchExpression;
        QTest::newRow("pattern over two levels")
            << "/music/Air/Moon Safari/03 - Talisman.mp3" << P << "%album%/%tracknumber% - %title%"
            << QStringList{"Moon Safari", "03", "Talisman"};
        QTest::newRow("pattern with more levels than the file")
            << "/Song - Name.mp3" << P << "%artist%/%album%/%artist% - %title%" << QStringList{"Song", "Name"};
        QTest::newRow("level without match yields nothing")
            << "/m/Album/Title.mp3" << P << "%album% [%year%]/%title%" << QStringList{"Title"};
        QTest::newRow("number of a name without one is empty")
            << "/m/Intro.mp3" << P << "%tracknumber%%title%" << QStringList{"", "Intro"};
        QTest::newRow("pattern naming no tag item") << "/m/a - b.mp3" << P << "%filename% - %nothing%" << QStringList{};
        QTest::newRow("empty pattern") << "/m/a.mp3" << P << "" << QStringList{};
        QTest::newRow("match expression with captures")
            << "/m/Björk/1997 - Homogenic/01. Hunter.flac" << M << "(\\d{4}) - (.*)/(\\d+)\\. (.*)"
            << QStringList{"1997", "Homogenic", "01", "Hunter"};
        QTest::newRow("unanchored") << "/m/xx 12 yy.mp3" << M << "(\\d+)" << QStringList{"12"};
        QTest::newRow("invalid expression matches nothing") << "/m/a.mp3" << M << "(a" << QStringList{};
        QTest::newRow("optional group that took no part")
            << "/m/Title.mp3" << M << "(\\d+ - )?(.*)" << QStringList{"", "Title"};
    }
    void match()
    {
        QFETCH(QString, path);
        QFETCH(int, method);
        QFETCH(QString, text);
        QFETCH(QStringList, parts);
        const QStringList expressions = method == FileNameSplitMethod::Pattern ? fileNamePattern(text).levelExpressions
                                                                              : matchExpressionLevels(text);
        QList<QStringList> all{matchNameLevels(fileNameLevels(path), expressions)};
        QCOMPARE(trimFileNameParts(all), int(parts.size()));
        QCOMPARE(all.first(), parts);
    }

    // The identification engine's segments: folders first, then the base name, trimmed of
    // dashes; tag values play no part.
    void automatic()
    {
        QObject owner;
        QList<AudioFile *> files;
        for (const QString &name : {"01 - Hunter", "02 - Jóga", "03 - Unravel"})
            files.append(new AudioFile(QStringLiteral("/music/Björk/Homogenic/%1.mp3").arg(name), &owner));
        QList<QStringList> parts = automaticFileNameParts(files);
        QCOMPARE(parts.size(), 3);
        trimFileNameParts(parts);
        QCOMPARE(parts.at(0), (QStringList{"music", "Björk", "Homogenic", "01", "Hunter"}));
        QCOMPARE(parts.at(1), (QStringList{"music", "Björk", "Homogenic", "02", "Jóga"}));
    }
};

QTEST_GUILESS_MAIN(tst_FileNameSplitting)
#include "tst_filenamesplitting.moc"
