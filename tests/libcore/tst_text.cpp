#include <QtTest>

#include <QRegularExpression>
#include <QUuid>

#include "libcore/platform/platformidentity.h"
#include "libcore/text/codepoint.h"
#include "libcore/text/codepointiterator.h"
#include "libcore/text/codepointstring.h"
#include "libcore/text/formatting.h"
#include "libcore/text/stringutils.h"
#include "libcore/text/texttable.h"

namespace {
// U+1F600, one code point in two units.
const QString P = QStringLiteral("\U0001F600");

QString s(const char *text)
{
    // '#' stands for P, so rows read as in the cases: "a#b" is a, P, b.
    return QString::fromUtf8(text).replace(QLatin1Char('#'), P);
}
} // namespace

class TestText : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        TextTable::table().insert(ListConjunctionTextId, QStringLiteral("and"));
        TextTable::table().insert(BitrateUnitTextId, QStringLiteral("bit/s"));
        TextTable::table().insert(ByteUnitTextId, QStringLiteral("bytes"));
    }

    // --- code points

    void codePointConstruction()
    {
        QCOMPARE(CodePoint().value(), 0u);
        QCOMPARE(CodePoint(quint32(0x110000)).value(), 0xFFFDu);
        QCOMPARE(CodePoint(quint32(0xFFFFFFFF)).value(), 0xFFFDu);
        QCOMPARE(CodePoint(quint32(0x10FFFF)).value(), 0x10FFFFu);
        QCOMPARE(CodePoint(-1).value(), 0xFFFDu);
        QCOMPARE(CodePoint(char(0xFF)).value(), 0xFFu);
        QCOMPARE(CodePoint(char(0xE9)).value(), 0xE9u);
        QCOMPARE(CodePoint(QChar(0xD800)).value(), 0xD800u);

        const CodePoint lone{quint32(0xD800)};
        QCOMPARE(lone.toString(), QString(QChar(0xD800)));
        QCOMPARE(int(lone.toUtf16Unit()), 0xD800);

        const CodePoint smiley{quint32(0x1F600)};
        QCOMPARE(smiley.toString().size(), 2);
        QCOMPARE(int(smiley.toString()[0].unicode()), 0xD83D);
        QCOMPARE(int(smiley.toString()[1].unicode()), 0xDE00);
        QCOMPARE(int(smiley.toUtf16Unit()), 0xFFFD);

        QVERIFY(CodePoint('a') < CodePoint('b'));
        QVERIFY(CodePoint(0x1F600) > CodePoint(0xFFFF));
        QVERIFY(CodePoint('a') == CodePoint(QChar('a')));
    }

    void classification_data()
    {
        QTest::addColumn<uint>("value");
        QTest::addColumn<QString>("expected"); // letters of the predicates that hold: L M N P S W(space) R(print) A(apostrophe)
        QTest::newRow("latin a") << 0x61u << "LR";
        QTest::newRow("title case Dz") << 0x1C5u << "LR";
        QTest::newRow("combining acute") << 0x301u << "MRA";
        QTest::newRow("digit") << 0x37u << "NR";
        QTest::newRow("roman numeral") << 0x2160u << "NR";
        QTest::newRow("hyphen") << 0x2Du << "PR";
        QTest::newRow("right quote") << 0x2019u << "PRA";
        QTest::newRow("euro") << 0x20ACu << "SR";
        QTest::newRow("grave accent") << 0x60u << "SRA";
        QTest::newRow("no-break space") << 0xA0u << "WR";
        QTest::newRow("vertical tab") << 0x0Bu << "W";
        QTest::newRow("line feed") << 0x0Au << "W";
        QTest::newRow("next line (Cc)") << 0x85u << "";
        QTest::newRow("unassigned") << 0x0378u << "";
        QTest::newRow("soft hyphen (Cf)") << 0xADu << "R";
        QTest::newRow("lone surrogate") << 0xD800u << "R";
        QTest::newRow("private use") << 0xE000u << "R";
        QTest::newRow("emoji") << 0x1F600u << "SR";
        QTest::newRow("double prime") << 0x2033u << "PR";
        QTest::newRow("modifier double prime") << 0x2BAu << "LR";
        QTest::newRow("modifier prime") << 0x2B9u << "LRA";
    }

    void classification()
    {
        QFETCH(uint, value);
        QFETCH(QString, expected);
        const CodePoint c{quint32(value)};
        QString got;
        if (c.isLetter()) got += 'L';
        if (c.isMark()) got += 'M';
        if (c.isNumber()) got += 'N';
        if (c.isPunct()) got += 'P';
        if (c.isSymbol()) got += 'S';
        if (c.isSpace()) got += 'W';
        if (c.isPrint()) got += 'R';
        if (c.isApostrophe()) got += 'A';
        QCOMPARE(got, expected);
    }

    void apostropheSetIsExact()
    {
        const QList<uint> members = {0x27, 0x60, 0xB4, 0x2B9, 0x2BB, 0x2BC, 0x2BD, 0x2CA,
                                     0x2CB, 0x300, 0x301, 0x312, 0x313, 0x314, 0x315, 0x31B,
                                     0x340, 0x341, 0x343, 0x2018, 0x2019, 0x201B, 0x2032, 0x2035};
        int count = 0;
        for (uint v = 0; v < 0x3000; ++v) {
            const bool member = CodePoint(quint32(v)).isApostrophe();
            QCOMPARE(member, members.contains(v));
            count += member;
        }
        QCOMPARE(count, 24);
    }

    // --- iterator and position conversion

    void iterator()
    {
        CodePointIterator it(s("a#b"));
        QCOMPARE(it.current().value(), quint32('a'));
        QCOMPARE(it.next().value(), quint32('a'));
        QCOMPARE(it.next().value(), 0x1F600u);
        QCOMPARE(it.position, 3);
        QCOMPARE(it.next().value(), quint32('b'));
        QVERIFY(!it.hasNext());
        QCOMPARE(it.peekPrevious().value(), quint32('b'));
        QCOMPARE(it.previous().value(), quint32('b'));
        QCOMPARE(it.previous().value(), 0x1F600u);
        QCOMPARE(it.position, 1);
        it.setText(QStringLiteral("x"));
        QCOMPARE(it.position, 0);
        QCOMPARE(it.next().value(), quint32('x'));

        // An unpaired surrogate is a code point of its own, alike in every operation.
        const QString broken = QString(QChar(0xD800)) + QLatin1Char('z');
        CodePointIterator b(broken);
        QCOMPARE(b.next().value(), 0xD800u);
        QCOMPARE(b.next().value(), quint32('z'));
        QCOMPARE(codePointLength(broken), 2);
        QCOMPARE(::codePointToUnitIndex(broken, 1), 1);
    }

    void codePointToUnitIndex_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("n");
        QTest::addColumn<int>("expected");
        QTest::newRow("0") << s("a#b") << 0 << 0;
        QTest::newRow("1") << s("a#b") << 1 << 1;
        QTest::newRow("2 after pair") << s("a#b") << 2 << 3;
        QTest::newRow("3 end") << s("a#b") << 3 << 4;
        QTest::newRow("10 past end") << s("a#b") << 10 << 4;
        QTest::newRow("-1 single unit") << s("a#b") << -1 << -1;
        QTest::newRow("-2 pair start") << s("a#b") << -2 << -3;
        QTest::newRow("-3") << s("a#b") << -3 << -4;
        QTest::newRow("-1 ending in pair") << s("a#") << -1 << -2;
        QTest::newRow("-1 empty") << QString() << -1 << -1;
    }

    void codePointToUnitIndex()
    {
        QFETCH(QString, text);
        QFETCH(int, n);
        QFETCH(int, expected);
        QCOMPARE(::codePointToUnitIndex(text, n), expected);
    }

    void unitToCodePointIndex_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("n");
        QTest::addColumn<int>("expected");
        QTest::newRow("0") << s("a#b") << 0 << 0;
        QTest::newRow("-1 unchanged") << s("a#b") << -1 << -1;
        QTest::newRow("1") << s("a#b") << 1 << 1;
        QTest::newRow("low surrogate") << s("a#b") << 2 << 1;
        QTest::newRow("3") << s("a#b") << 3 << 2;
        QTest::newRow("past end") << s("a#b") << 9 << 3;
        QTest::newRow("-2 low surrogate") << s("a#b") << -2 << -2;
        QTest::newRow("-3 high surrogate") << s("a#b") << -3 << -2;
        QTest::newRow("-4 first") << s("a#b") << -4 << -3;
        QTest::newRow("-2 empty") << QString() << -2 << -1;
    }

    void unitToCodePointIndex()
    {
        QFETCH(QString, text);
        QFETCH(int, n);
        QFETCH(int, expected);
        QCOMPARE(::unitToCodePointIndex(text, n), expected);
    }

    // --- positional operations

    void readingOperations()
    {
        QCOMPARE(codePointLength(s("a#b")), 3);
        QCOMPARE(codePointLength(QString()), 0);
        QCOMPARE(codePointAt(s("a#b"), 1).value(), 0x1F600u);
        QCOMPARE(codePointAt(s("a#b"), 2).value(), quint32('b'));
        QCOMPARE(codePointAt(s("a#b"), -2).value(), 0x1F600u);
        QCOMPARE(codePointAt(s("ab"), 7).value(), 0u);
        QCOMPARE(lastCodePoint(s("a#")).value(), 0x1F600u);
        QCOMPARE(toCodePoints(s("a#b")), (QList<CodePoint>{'a', 0x1F600, 'b'}));

        QCOMPARE(leftCodePoints(s("a#b"), 2), s("a#"));
        QCOMPARE(leftCodePoints(s("a#b"), 10), s("a#b"));
        QCOMPARE(rightCodePoints(s("#ab"), 2), s("ab"));
        QCOMPARE(rightCodePoints(s("a#b"), 2), s("#b"));
        QCOMPARE(rightCodePoints(s("a#b"), 9), s("a#b"));
        QCOMPARE(rightCodePoints(s("a#b"), 0), QString());
        QCOMPARE(midCodePoints(s("a#b"), 1, 1), s("#"));
        QCOMPARE(midCodePoints(s("a#bc"), 1), s("#bc"));
        QCOMPARE(midCodePoints(s("a#bc"), 2, -5), s("bc"));
        QCOMPARE(midCodePoints(s("a#bc"), 9, 2), QString());
        QCOMPARE(midCodePoints(s("a#bc"), -3, 2), s("#b"));

        // The view forms give the same code points without copying.
        const QString text = s("a#bc");
        QCOMPARE(leftCodePoints(QStringView(text), 2).toString(), s("a#"));
        QCOMPARE(rightCodePoints(QStringView(text), 3).toString(), s("#bc"));
        QCOMPARE(midCodePoints(QStringView(text), 1, 2).toString(), s("#b"));
        QCOMPARE(midCodePoints(QStringView(text), 1, 2).data(), text.constData() + 1);
    }

    void searching()
    {
        const QString text = s("a#bxb#");
        QCOMPARE(indexOfCodePoints(text, QStringLiteral("b")), 2);
        QCOMPARE(indexOfCodePoints(text, QStringLiteral("b"), 3), 4);
        QCOMPARE(indexOfCodePoints(text, QStringLiteral("B"), 0, Qt::CaseInsensitive), 2);
        QCOMPARE(indexOfCodePoints(text, QStringLiteral("q")), -1);
        QCOMPARE(indexOfCodePoints(text, CodePoint(0x1F600), 2), 5);
        QCOMPARE(lastIndexOfCodePoints(text, QStringLiteral("b")), 4);
        QCOMPARE(lastIndexOfCodePoints(text, CodePoint(0x1F600)), 5);
        QCOMPARE(lastIndexOfCodePoints(text, CodePoint(0x1F600), 4), 1);

        QRegularExpressionMatch match;
        QCOMPARE(indexOfCodePoints(text, QRegularExpression(QStringLiteral("x(b)")), 0, &match), 3);
        QCOMPARE(match.captured(1), QStringLiteral("b"));
        QCOMPARE(lastIndexOfCodePoints(text, QRegularExpression(QStringLiteral("b"))), 4);
    }

    void justification_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("width");
        QTest::addColumn<bool>("truncate");
        QTest::addColumn<QString>("left");
        QTest::addColumn<QString>("right");
        QTest::newRow("padded") << s("ab") << 4 << false << s("ab..") << s("..ab");
        QTest::newRow("pair counts once") << s("a#") << 3 << false << s("a#.") << s(".a#");
        QTest::newRow("too long kept") << s("abcdef") << 3 << false << s("abcdef") << s("abcdef");
        QTest::newRow("too long truncated") << s("abcdef") << 3 << true << s("abc") << s("abc");
        QTest::newRow("truncated before pair") << s("a#b") << 1 << true << s("a") << s("a");
        QTest::newRow("exact") << s("abc") << 3 << true << s("abc") << s("abc");
    }

    void justification()
    {
        QFETCH(QString, text);
        QFETCH(int, width);
        QFETCH(bool, truncate);
        QFETCH(QString, left);
        QFETCH(QString, right);
        QCOMPARE(leftJustifiedCodePoints(text, width, '.', truncate), left);
        QCOMPARE(rightJustifiedCodePoints(text, width, '.', truncate), right);
        QCOMPARE(rightJustifiedCodePoints(s("a"), 3, CodePoint(0x1F600)), s("##a"));
    }

    void editing()
    {
        QString t;
        t = s("ab#");
        QCOMPARE(chopCodePoints(t, 1), s("ab"));
        t = s("ab#"); QCOMPARE(chopCodePoints(t, 5), QString());
        t = s("ab#"); QCOMPARE(chopCodePoints(t, 0), s("ab#"));
        t = s("ab#"); QCOMPARE(chopCodePoints(t, -2), s("ab#"));

        t = s("ab"); QCOMPARE(resizeCodePoints(t, 4), QStringLiteral("ab") + QChar(0) + QChar(0));
        t = s("a#b"); QCOMPARE(resizeCodePoints(t, 2), s("a#"));
        t = s("a#b"); QCOMPARE(truncateCodePoints(t, 1), s("a"));

        t = s("a#b"); QCOMPARE(insertCodePoints(t, 2, QStringLiteral("x")), s("a#xb"));
        t = s("a#b"); QCOMPARE(insertCodePoints(t, 1, CodePoint(0x1F600)), s("a##b"));
        t = s("a#b"); QCOMPARE(insertCodePoints(t, -1, QStringLiteral("x")), s("a#xb"));
        t = s("a#bc"); QCOMPARE(removeCodePoints(t, 1, 2), s("ac"));
        t = s("a#bc"); QCOMPARE(removeCodePoints(t, 1, 0), s("a#bc"));
        t = s("a#bc"); QCOMPARE(replaceCodePoints(t, 1, 1, QStringLiteral("xy")), s("axybc"));
        t = s("abc"); QCOMPARE(replaceCodePoints(t, 1, 1, CodePoint(0x1F600)), s("a#c"));

        t = s("ab"); QCOMPARE(fillCodePoints(t, CodePoint(0x1F600)), s("##"));
        t = s("ab"); QCOMPARE(fillCodePoints(t, 'x', 3), s("xxx"));
        QCOMPARE(repeatedCodePoint(3, CodePoint(0x1F600)), s("###"));
        QCOMPARE(repeatedCodePoint(0, 'x'), QString());
        QCOMPARE(reversedCodePoints(s("a#b")), s("b#a"));
        QCOMPARE(reversedCodePoints(QString()), QString());
    }

    void setCodePointAt_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("position");
        QTest::addColumn<uint>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("unit by pair") << s("abc") << 1 << 0x1F600u << s("a#c");
        QTest::newRow("pair by unit") << s("a#c") << 1 << uint('x') << s("axc");
        QTest::newRow("pair by pair") << s("a#c") << 1 << 0x10400u << (s("a") + QString::fromUcs4(U"\U00010400") + s("c"));
        QTest::newRow("unit by unit") << s("abc") << 2 << uint('x') << s("abx");
        QTest::newRow("at end appends") << s("ab") << 2 << uint('x') << s("abx");
        QTest::newRow("past end appends") << s("ab") << 5 << uint('x') << s("abx");
        QTest::newRow("pair past end") << s("ab") << 5 << 0x1F600u << s("ab#");
        QTest::newRow("negative from end") << s("a#") << -1 << uint('x') << s("ax");
        QTest::newRow("before start") << s("ab") << -9 << uint('x') << s("xb");
    }

    void setCodePointAt()
    {
        QFETCH(QString, text);
        QFETCH(int, position);
        QFETCH(uint, value);
        QFETCH(QString, expected);
        QCOMPARE(::setCodePointAt(text, position, CodePoint(quint32(value))), expected);
    }

    // --- text utilities

    void countPlaceholders_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("expected");
        QTest::newRow("none") << "100 percent" << 0;
        QTest::newRow("two digits once") << "%12" << 1;
        QTest::newRow("adjacent") << "%1%2" << 2;
        QTest::newRow("locale") << "%L1" << 1;
        QTest::newRow("escaped percent") << "%%1" << 1;
        QTest::newRow("trailing percent") << "abc%" << 0;
        QTest::newRow("trailing L") << "abc%L" << 0;
        QTest::newRow("same twice") << "%1 or %1" << 2;
        QTest::newRow("arabic-indic digit") << QString::fromUtf8("%\u0663") << 1;
    }

    void countPlaceholders()
    {
        QFETCH(QString, text);
        QFETCH(int, expected);
        QCOMPARE(::countPlaceholders(text), expected);
    }

    void isUrlText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("expected");
        QTest::newRow("http") << "http://x.org" << true;
        QTest::newRow("capitals after spaces") << "  HTTPS://X.ORG" << true;
        QTest::newRow("www") << "www.x.org" << true;
        QTest::newRow("ftp") << "FTP:" << true;
        QTest::newRow("ftps alone") << "ftps:" << true;
        QTest::newRow("no colon") << "http//x" << false;
        QTest::newRow("www without dot") << "wwwx" << false;
        QTest::newRow("other scheme") << "file:///a" << false;
        QTest::newRow("empty") << "" << false;
    }

    void isUrlText()
    {
        QFETCH(QString, text);
        QFETCH(bool, expected);
        QCOMPARE(::isUrlText(text), expected);
    }

    void alphanumericKeyAndCamelCase_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("camel");
        QTest::newRow("punctuation") << "Hello, World!" << "helloworld" << "helloWorld";
        QTest::newRow("side") << "A/B-side 2" << "abside2" << "aBSide2";
        QTest::newRow("only punctuation") << "?!-" << "" << "";
        QTest::newRow("roman numeral") << QString::fromUtf8("\u2160 x") << QString::fromUtf8("\u2170x") << "X";
        QTest::newRow("capitals") << "ALBUM ARTIST" << "albumartist" << "albumArtist";
        QTest::newRow("underscore") << "a_b c" << "abc" << "a_bC";
        QTest::newRow("non-ascii letter") << QString::fromUtf8("café bar") << QString::fromUtf8("cafébar") << "cafBar";
        QTest::newRow("marks dropped") << QString::fromUtf8("e\u0301!") << "e" << "e";
        QTest::newRow("capitals beyond ascii") << QString::fromUtf8("ÉTÉ 2") << QString::fromUtf8("été2") << "T2";
        QTest::newRow("letter beyond the first plane")
            << QString::fromUcs4(U"\U00010400x") << QString::fromUcs4(U"\U00010428x") << "X";
        QTest::newRow("lone surrogates dropped")
            << QString(u'a') + QChar(0xD800) + u'b' + QChar(0xDC00) << "ab" << "aB";
    }

    void alphanumericKeyAndCamelCase()
    {
        QFETCH(QString, text);
        QFETCH(QString, key);
        QFETCH(QString, camel);
        QCOMPARE(alphanumericKey(text), key);
        QCOMPARE(toCamelCase(text), camel);
    }

    void identifiersAndHash()
    {
        QCOMPARE(pointerToString(reinterpret_cast<const void *>(quintptr(0xABC))), QStringLiteral("0x00000abc"));
        const QUuid uuid(QStringLiteral("{6F9619FF-8B86-D011-B42D-00C04FC964FF}"));
        QCOMPARE(uuidToString(uuid, 0), QStringLiteral("{6f9619ff-8b86-d011-b42d-00c04fc964ff}"));
        QCOMPARE(uuidToString(uuid, 1), QStringLiteral("6f9619ff-8b86-d011-b42d-00c04fc964ff"));
        QVERIFY(uuidToString(uuid, 2).isNull());

        QCOMPARE(stringListHash(QStringList()), size_t(0));
        QStringList a;
        for (int i = 0; i < 150; ++i)
            a << QString(120, QChar('a' + i % 26)) + QString::number(i);
        QStringList b = a;
        b[120] = QStringLiteral("changed beyond the first hundred");
        b[3] = a[3].left(100) + QStringLiteral("tail differs");
        QCOMPARE(stringListHash(a), stringListHash(b));
        b[3] = QStringLiteral("x");
        QVERIFY(stringListHash(a) != stringListHash(b));
        QVERIFY(stringListHash(a.mid(0, 2)) != stringListHash(a.mid(0, 3)));
    }

    // --- formatting helpers

    void upperCaseFirst_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("capitalize");
        QTest::addColumn<QString>("expected");
        QTest::newRow("empty") << "" << true << "";
        QTest::newRow("flag false") << "über" << false << "über";
        QTest::newRow("lower") << QString::fromUtf8("über") << true << QString::fromUtf8("Über");
        QTest::newRow("upper") << QString::fromUtf8("Über") << true << QString::fromUtf8("Über");
        QTest::newRow("all capitals") << "ABC" << true << "ABC";
        QTest::newRow("digit") << "1st" << true << "1st";
        QTest::newRow("leading space") << " abc" << true << " abc";
        QTest::newRow("pair") << QString::fromUcs4(U"\U00010428x") << true << QString::fromUcs4(U"\U00010400x");
        QTest::newRow("title case") << QString::fromUtf8("\u01C5a") << true << QString::fromUtf8("\u01C4a");
        QTest::newRow("lower digraph") << QString::fromUtf8("\u01C6a") << true << QString::fromUtf8("\u01C4a");
        QTest::newRow("sharp s") << QString::fromUtf8("ßa") << true << QString::fromUtf8("ßa");
    }

    void upperCaseFirst()
    {
        QFETCH(QString, text);
        QFETCH(bool, capitalize);
        QFETCH(QString, expected);
        QCOMPARE(::upperCaseFirst(text, capitalize), expected);
    }

    void fillers()
    {
        QString p = QStringLiteral("%1");
        QCOMPARE(argInt(p, 7, 3, 10), QStringLiteral("007"));
        p = QStringLiteral("%1");
        QCOMPARE(argInt(p, 255, 3, 16), QStringLiteral("0ff"));
        p = QStringLiteral("%2-%1-%1");
        QCOMPARE(argInPlace(p, QStringLiteral("a"), -3, '.'), QStringLiteral("%2-a..-a.."));
        QCOMPARE(argLongLong(p, Q_INT64_C(10000000000)), QStringLiteral("10000000000-a..-a.."));
        p = QStringLiteral("%1");
        QCOMPARE(argDouble(p, 2.5, 6, 2), QStringLiteral("002.50"));
        // Chained on one pattern, as callers do.
        p = QStringLiteral("%1:%2");
        QCOMPARE(argInt(argInt(p, 1, 2), 5, 2), QStringLiteral("01:05"));
    }

    void fillPlaceholders_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<QString>("expected");
        QTest::newRow("in order") << "%1 and %2" << QStringList{"x", "y"} << "x and y";
        QTest::newRow("by number, not position") << "%2 then %1" << QStringList{"x", "y"} << "y then x";
        QTest::newRow("gaps in numbers") << "%3 %7" << QStringList{"x", "y"} << "x y";
        QTest::newRow("missing value stays") << "%1 and %2" << QStringList{"x"} << "x and %2";
        QTest::newRow("surplus ignored") << "%1" << QStringList{"x", "y"} << "x";
        QTest::newRow("repeated") << "%1 or %1" << QStringList{"a", "b"} << "a or a";
        QTest::newRow("locale form") << "%L1!" << QStringList{"x"} << "x!";
        QTest::newRow("value with placeholder") << "open %1 in %2" << QStringList{"http://h/a%2Fb", "app"}
                                               << "open http://h/a%2Fb in app";
        QTest::newRow("value with its own number") << "%1%2" << QStringList{"%1", "%2"} << "%1%2";
        QTest::newRow("escaped percent") << "%%1" << QStringList{"5"} << "%5";
        QTest::newRow("no values") << "%1" << QStringList{} << "%1";
    }

    void fillPlaceholders()
    {
        QFETCH(QString, pattern);
        QFETCH(QStringList, values);
        QFETCH(QString, expected);
        QCOMPARE(::fillPlaceholders(pattern, values), expected);
    }

    void patterns()
    {
        QCOMPARE(placeholderSequence(3, QStringLiteral(", ")), QStringLiteral("%1, %2, %3"));
        QCOMPARE(placeholderSequence(1, QStringLiteral(", ")), QStringLiteral("%1"));
        QCOMPARE(placeholderSequence(0, QStringLiteral(", ")), QString());
        QCOMPARE(placeholderSequence(-2, QStringLiteral(", ")), QString());
        QCOMPARE(listPattern(0), QString());
        QCOMPARE(listPattern(1), QStringLiteral("%1"));
        QCOMPARE(listPattern(2), QStringLiteral("%1 and %2"));
        QCOMPARE(listPattern(3), QStringLiteral("%1, %2 and %3"));
        QCOMPARE(listPattern(4), QStringLiteral("%1, %2, %3 and %4"));
        QCOMPARE(listPattern(12).right(11), QStringLiteral("%11 and %12"));
    }

    void formatDuration_data()
    {
        QTest::addColumn<int>("ms");
        QTest::addColumn<bool>("withMs");
        QTest::addColumn<QString>("expected");
        QTest::newRow("zero") << 0 << false << "00:00";
        QTest::newRow("below an hour") << 3599999 << false << "59:59";
        QTest::newRow("an hour") << 3600000 << false << "01:00:00";
        QTest::newRow("a day") << 86400000 << false << "24:00:00";
        QTest::newRow("123 hours") << 123 * 3600000 << false << "123:00:00";
        QTest::newRow("with ms") << 65000 << true << "01:05 (65,000 ms)";
    }

    void formatDuration()
    {
        QFETCH(int, ms);
        QFETCH(bool, withMs);
        QFETCH(QString, expected);
        QCOMPARE(::formatDuration(ms, withMs), expected);
    }

    void formatBitrate_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("999") << 999 << "999 bit/s";
        QTest::newRow("1000") << 1000 << "1 kbit/s";
        QTest::newRow("999999 no step up") << 999999 << "1,000 kbit/s";
        QTest::newRow("1000000") << 1000000 << "1.0 Mbit/s";
        QTest::newRow("1500000000") << 1500000000 << "1.50 Gbit/s";
    }

    void formatBitrate()
    {
        QFETCH(int, value);
        QFETCH(QString, expected);
        QCOMPARE(::formatBitrate(value), expected);
    }

    void formatByteSize_data()
    {
        QTest::addColumn<qint64>("value");
        QTest::addColumn<bool>("binary");
        QTest::addColumn<QString>("expected");
        QTest::newRow("1023") << qint64(1023) << true << "1,023 bytes";
        QTest::newRow("1024") << qint64(1024) << true << "1.0 KiB";
        QTest::newRow("1048575 no step up") << qint64(1048575) << true << "1,024.0 KiB";
        QTest::newRow("1048576") << qint64(1048576) << true << "1.00 MiB";
        QTest::newRow("5 GiB") << qint64(5) * 1024 * 1024 * 1024 << true << "5.00 GiB";
        QTest::newRow("decimal 1000") << qint64(1000) << false << "1.0 kB";
        QTest::newRow("decimal 1500000") << qint64(1500000) << false << "1.50 MB";
    }

    void formatByteSize()
    {
        QFETCH(qint64, value);
        QFETCH(bool, binary);
        QFETCH(QString, expected);
        QCOMPARE(::formatByteSize(value, binary), expected);
    }

    void unitTextWithPercentSign()
    {
        // A unit text is filled after the number; a '%' in it must not be read as a placeholder.
        TextTable::table().insert(ByteUnitTextId, QStringLiteral("%1 units"));
        QCOMPARE(::formatByteSize(12), QStringLiteral("12 %1 units"));
        TextTable::table().insert(ByteUnitTextId, QStringLiteral("bytes"));
    }

    void textTable()
    {
        QVERIFY(textForId(123456789u).isNull());
        QCOMPARE(textForId(ByteUnitTextId), QStringLiteral("bytes"));
    }

    // --- platform identity and line endings

    void platformIdentity()
    {
        QCOMPARE(platformId(), int(PlatformUnix));
        QCOMPARE(nativeLineEnding(), LineEnding::Lf);
        QCOMPARE(osName(), QSysInfo::prettyProductName());
        QVERIFY(!osName().isEmpty());
        QCOMPARE(lineEndingString(LineEnding::Native), QStringLiteral("\n"));
        QCOMPARE(lineEndingString(LineEnding::CrLf), QStringLiteral("\r\n"));
        QCOMPARE(lineEndingString(LineEnding::Cr), QStringLiteral("\r"));
        QVERIFY(lineEndingString(LineEnding::Keep).isNull());
        QVERIFY(lineEndingString(LineEnding(7)).isNull());
    }

    void convertLineEndings_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("expected");
        QTest::newRow("to lf") << "a\r\nb\rc\nd" << int(LineEnding::Lf) << "a\nb\nc\nd";
        QTest::newRow("lf cr is two") << "a\n\rb" << int(LineEnding::Lf) << "a\n\nb";
        QTest::newRow("to crlf") << "a\r\nb\rc\nd\r" << int(LineEnding::CrLf) << "a\r\nb\r\nc\r\nd\r\n";
        QTest::newRow("to cr") << "a\r\n\nb" << int(LineEnding::Cr) << "a\r\rb";
        QTest::newRow("native is lf") << "a\r\nb" << int(LineEnding::Native) << "a\nb";
        QTest::newRow("lf kept as lf") << "a\nb" << int(LineEnding::Lf) << "a\nb";
        QTest::newRow("lf without cr to crlf") << "a\nb" << int(LineEnding::CrLf) << "a\r\nb";
        QTest::newRow("no break to crlf") << "ab" << int(LineEnding::CrLf) << "ab";
        QTest::newRow("keep") << "a\r\nb\r" << int(LineEnding::Keep) << "a\r\nb\r";
        QTest::newRow("unknown kind") << "a\r\nb\r" << 7 << "a\r\nb\r";
    }

    void convertLineEndings()
    {
        QFETCH(QString, text);
        QFETCH(int, kind);
        QFETCH(QString, expected);
        QCOMPARE(::convertLineEndings(text, LineEnding(kind)), expected);
    }
};

QTEST_GUILESS_MAIN(TestText)
#include "tst_text.moc"
