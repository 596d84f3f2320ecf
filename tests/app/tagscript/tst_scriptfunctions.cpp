// The script function library: calling convention, value rules, and every family of
// functions with its edge values.

#include "app/tagscript/scriptvalues.h"
#include "app/tagscript/support_tagscript.h"
#include "app/tagscript/tagscript.h"
#include "libcore/util/random.h"

#include <QtTest>

class TestScriptFunctions : public QObject
{
    Q_OBJECT

private:
    // A row's expected value: its type matters as much as its value (the int 3, not "3").
    static void compareValue(const QVariant &actual, const QVariant &expected)
    {
        QCOMPARE(actual.metaType().id(), expected.metaType().id());
        if (expected.isValid())
            QCOMPARE(actual, expected);
    }

private slots:
    void initTestCase()
    {
        loadEnglishTexts();
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }

    void calls_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QVariant>("value");
        const QVariant invalid;

        // Names and argument counts
        QTest::newRow("name in any case") << "$ADD(1,2)" << QVariant(3);
        QTest::newRow("operator name") << "$+(1,2)" << QVariant(3);
        QTest::newRow("too many arguments") << "$add(1,2,3)" << invalid;
        QTest::newRow("unknown name") << "$foo(1)" << invalid;
        QTest::newRow("empty name") << "$()" << invalid;
        QTest::newRow("title takes one") << "$title(a,b)" << invalid;
        QTest::newRow("if2 takes two") << "$if2(a,b,c)" << invalid;
        QTest::newRow("len takes one") << "$len()" << invalid;

        // Logic and truth
        QTest::newRow("space is true") << "$if( ,a,b)" << QVariant(u("a"));
        QTest::newRow("False is false") << "$if(False,a,b)" << QVariant(u("b"));
        QTest::newRow("0 is false") << "$if(0,a,b)" << QVariant(u("b"));
        QTest::newRow("empty is false") << "$if(,fallback)" << QVariant(u("fallback"));
        QTest::newRow("value with fallback") << "$if(x,b)" << QVariant(u("x"));
        QTest::newRow("true of a number") << "$if($add(1,1),b)" << QVariant(2);
        QTest::newRow("and") << "$and(1,x)" << QVariant(true);
        QTest::newRow("&& with false") << "$&&(1,false)" << QVariant(false);
        QTest::newRow("or") << "$or(0,)" << QVariant(false);
        QTest::newRow("not") << "$not(0)" << QVariant(true);

        // Comparisons
        QTest::newRow("numbers with zeros") << "$eq(01,1)" << QVariant(true);
        QTest::newRow("decimal and integer") << "$eq(1.0,1)" << QVariant(true);
        QTest::newRow("texts ignore case") << "$eq(abc,ABC)" << QVariant(true);
        QTest::newRow("ne of texts") << "$ne(abc,ABC)" << QVariant(false);
        QTest::newRow("gt of numbers") << "$gt(10,9)" << QVariant(true);
        QTest::newRow("gt with no number") << "$gt(10,9x)" << QVariant(false);
        QTest::newRow("lt of numbers") << "$lt(9,10)" << QVariant(true);
        QTest::newRow("lt of texts") << "$lt(9,10x)" << QVariant(false);
        QTest::newRow("gte") << "$>=(2, 2)" << QVariant(true);
        QTest::newRow("lte of negative") << "$leql(-3,-2)" << QVariant(true);
        QTest::newRow("ifgreater") << "$ifgreater(10,9,a,b)" << QVariant(u("a"));
        QTest::newRow("ifgreater of equal texts") << "$ifgreater(abc,ABC,a,b)" << QVariant(u("b"));
        QTest::newRow("iflonger compares texts") << "$iflonger(abc,10,a,b)" << QVariant(u("a"));
        QTest::newRow("bools compare as nothing") << "$eq($eq(a,a),$eq(a,a))" << QVariant(false);
        QTest::newRow("bools not unequal either") << "$ne($eq(a,a),$eq(a,b))" << QVariant(false);

        // Arithmetic
        QTest::newRow("add with blanks") << "$add(1, 2)" << QVariant(3);
        QTest::newRow("add decimal") << "$add(1.5,1)" << QVariant(2.5);
        QTest::newRow("add no number") << "$add(1,x)" << invalid;
        QTest::newRow("add wraps") << "$add(2147483647,1)" << QVariant(-2147483647 - 1);
        QTest::newRow("mul wraps") << "$mul(65536,65536)" << QVariant(0);
        QTest::newRow("sub") << "$-(3,5)" << QVariant(-2);
        QTest::newRow("huge number is no int") << "$add(99999999999,1)" << invalid;
        QTest::newRow("plus sign is no decimal") << "$add(+1.5,1)" << invalid;
        QTest::newRow("plus sign converts to integer") << "$add(+7,1)" << QVariant(8);
        QTest::newRow("point without digits") << "$add(1.,1)" << invalid;
        QTest::newRow("div truncates") << "$div(7,2)" << QVariant(3);
        QTest::newRow("div negative") << "$div(-7,2)" << QVariant(-3);
        QTest::newRow("div decimal") << "$div(7.0,2)" << QVariant(3.5);
        QTest::newRow("div by zero") << "$div(7,0)" << QVariant(0);
        QTest::newRow("div decimal by zero") << "$div(7.5,0)" << QVariant(0.0);
        QTest::newRow("div smallest by -1") << "$div(-2147483648,-1)" << QVariant(-2147483647 - 1);
        QTest::newRow("mod") << "$mod(7,3)" << QVariant(1);
        QTest::newRow("mod negative") << "$mod(-7,3)" << QVariant(-1);
        QTest::newRow("mod by zero") << "$mod(7,0)" << QVariant(0);
        QTest::newRow("mod of decimal") << "$mod(7.5,2)" << invalid;
        QTest::newRow("mod smallest by -1") << "$mod(-2147483648,-1)" << QVariant(0);
        QTest::newRow("odd") << "$odd(3)" << QVariant(true);
        QTest::newRow("odd negative") << "$odd(-3)" << QVariant(true);
        QTest::newRow("even") << "$odd(4)" << QVariant(false);
        QTest::newRow("odd of text") << "$odd(x)" << QVariant(false);

        // Number formatting
        QTest::newRow("num pads") << "$num(7,3)" << QVariant(u("007"));
        QTest::newRow("num negative") << "$num(-7,3)" << QVariant(u("-07"));
        QTest::newRow("num wider number") << "$num(1234,2)" << QVariant(u("1234"));
        QTest::newRow("num zero width") << "$num(7,0)" << QVariant(u("7"));
        QTest::newRow("num width clamped") << "$num(7,1000)" << QVariant(QString(99, u'0') + u'7');
        QTest::newRow("num negative width") << "$num(7,-3)" << QVariant(u("700"));
        QTest::newRow("num of text") << "$num(x,3)" << QVariant(u("x"));
        QTest::newRow("fmtnum") << "$fmtnum(1234567)" << QVariant(u("1.234.567"));
        QTest::newRow("fmtnum negative") << "$fmtnum(-123456)" << QVariant(u("-123.456"));
        QTest::newRow("fmtnum short") << "$fmtnum(12)" << QVariant(u("12"));
        QTest::newRow("fmtnum smallest") << "$fmtnum(-2147483648)" << QVariant(u("-2.147.483.648"));
        QTest::newRow("fmtnum of decimal") << "$fmtnum(1.5)" << QVariant(u("1.5"));
        QTest::newRow("fmtsize bytes") << "$fmtsize(1023)" << QVariant(u("1,023 bytes"));
        QTest::newRow("fmtsize KiB") << "$fmtsize(2048)" << QVariant(u("2.0 KiB"));
        QTest::newRow("fmtsize of text") << "$fmtsize(x)" << QVariant(u("0 bytes"));

        // Dates
        QTest::newRow("date of a text") << "$date(2005-03-07,dd.MM.yyyy)" << QVariant(u("07.03.2005"));
        QTest::newRow("date with year only") << "$date(2005,yyyy-MM-dd)" << QVariant(u("2005"));
        QTest::newRow("date with missing first part") << "$datetime(2005,dd.MM.yyyy)" << QVariant(u(""));
        QTest::newRow("date with time") << "$date(2005-03-07T10:20,hh:mm)" << QVariant(u("10:20"));
        QTest::newRow("date of nothing") << "$date(x,yyyy)" << QVariant(u(""));
        QTest::newRow("timestamp") << "$timestamp(1970-01-02)" << QVariant(qlonglong(86400));
        QTest::newRow("timestamp before 1970") << "$timestamp(1969-12-31T23:59:59)" << QVariant(qlonglong(-1));
        QTest::newRow("timestamp without year") << "$timestamp(x)" << invalid;

        // Environment
        QTest::newRow("getenv unset") << "$getenv(MELO_NAME_THAT_IS_NOT_SET)" << QVariant(u(""));
        QTest::newRow("getenv") << "$getenv(MELO_SCRIPT_TEST)" << QVariant(u("\xC3\xA9t\xC3\xA9"));

        // Length and single characters
        QTest::newRow("len") << "$len(abc)" << QVariant(3);
        QTest::newRow("len counts units") << u("$len(\xF0\x9F\x8E\xB5)") << QVariant(2);
        QTest::newRow("isempty without argument") << "$isempty()" << QVariant(true);
        QTest::newRow("isempty of a space") << "$isempty( )" << QVariant(false);
        QTest::newRow("isempty of nothing") << "$isempty(%nosuchname%)" << QVariant(true);
        QTest::newRow("char") << "$char(65)" << QVariant(u("A"));
        QTest::newRow("char negative") << "$char(-1)" << QVariant(QString(QChar(0xFFFD)));
        QTest::newRow("char too large") << "$char(1114112)" << QVariant(QString(QChar(0xFFFD)));
        QTest::newRow("char beyond the BMP") << "$char(127925)" << QVariant(u("\xF0\x9F\x8E\xB5"));
        QTest::newRow("char zero") << "$char(0)" << QVariant(QString(QChar(0)));
        QTest::newRow("char of text") << "$char(x)" << invalid;
        QTest::newRow("ord") << "$ord(Abc)" << QVariant(65);
        QTest::newRow("ord empty") << "$ord(%nosuchname%)" << QVariant(0);
        QTest::newRow("ord beyond the BMP") << u("$ord(\xF0\x9F\x8E\xB5x)") << QVariant(127925);
        QTest::newRow("isdigit") << "$isdigit(7a)" << QVariant(true);
        QTest::newRow("isdigit first only") << "$isdigit(a7)" << QVariant(false);
        QTest::newRow("isdigit other script") << u("$isdigit(\xD9\xA3)") << QVariant(true);
        QTest::newRow("isdigit empty") << "$isdigit(%nosuchname%)" << QVariant(false);

        // Search
        QTest::newRow("contains is case-sensitive") << "$contains(ABC,b)" << QVariant(false);
        QTest::newRow("in with empty") << "$in(abc,)" << QVariant(true);
        QTest::newRow("startswith") << "$startswith(abc,ab)" << QVariant(true);
        QTest::newRow("endswith") << "$endswith(abc,B)" << QVariant(false);
        QTest::newRow("indexof") << "$indexof(abcabc,c)" << QVariant(3);
        QTest::newRow("find") << "$find(abcabc,c)" << QVariant(2);
        QTest::newRow("FIND in capitals") << "$FIND(abcabc,c)" << QVariant(2);
        QTest::newRow("lastindexof") << "$lastindexof(abcabc,c)" << QVariant(6);
        QTest::newRow("indexof missing") << "$indexof(abc,x)" << QVariant(0);
        QTest::newRow("find missing") << "$find(abc,x)" << QVariant(-1);
        QTest::newRow("strrchr") << "$strrchr(a.b.c,.)" << QVariant(4);
        QTest::newRow("strchr takes a text") << "$strchr(abcd,cd)" << QVariant(3);
        QTest::newRow("lastindexof empty") << "$lastindexof(abc,)" << QVariant(4);

        // Slicing
        QTest::newRow("left") << "$left(abc,2)" << QVariant(u("ab"));
        QTest::newRow("left negative") << "$left(abc,-1)" << QVariant(u("abc"));
        QTest::newRow("left of text") << "$left(abc,x)" << QVariant(u("abc"));
        QTest::newRow("right") << "$right(abc,2)" << QVariant(u("bc"));
        QTest::newRow("truncate negative") << "$truncate(abc,-1)" << QVariant(u(""));
        QTest::newRow("truncate long") << "$truncate(abc,9)" << QVariant(u("abc"));
        QTest::newRow("mid character") << "$mid(abc,2)" << QVariant(u("b"));
        QTest::newRow("mid before start") << "$mid(abc,0)" << QVariant(u(""));
        QTest::newRow("mid past end") << "$mid(abc,4)" << QVariant(u(""));
        QTest::newRow("mid smallest int") << "$mid(abc,-2147483648)" << QVariant(u(""));
        QTest::newRow("mid of text") << "$mid(abc,x)" << invalid;
        QTest::newRow("mid three of text") << "$mid(abc,x,1)" << QVariant(u("abc"));
        QTest::newRow("mid range") << "$mid(abcdef,2,3)" << QVariant(u("bcd"));
        QTest::newRow("mid negative count") << "$mid(abcdef,2,-1)" << QVariant(u("bcdef"));
        QTest::newRow("mid from zero") << "$mid(abcdef,0,2)" << QVariant(u("a"));
        QTest::newRow("mid2") << "$mid2(abcdef,3)" << QVariant(u("cdef"));
        QTest::newRow("mid2 from zero") << "$mid2(abcdef,0)" << QVariant(u("abcdef"));
        QTest::newRow("substr") << "$substr(abcdef,1,3)" << QVariant(u("bc"));
        QTest::newRow("substr from end") << "$substr(abcdef,-2)" << QVariant(u("ef"));
        QTest::newRow("substr end from end") << "$substr(abcdef,2,-1)" << QVariant(u("cde"));
        QTest::newRow("substr far before start") << "$substr(abcdef,-10,2)" << QVariant(u("ab"));
        QTest::newRow("substr backwards") << "$substr(abcdef,4,2)" << QVariant(u(""));
        QTest::newRow("substr of text") << "$substr(abcdef,1,x)" << QVariant(u("abcdef"));

        // Editing
        QTest::newRow("insert") << "$insert(abc,2,X)" << QVariant(u("aXbc"));
        QTest::newRow("insert at zero") << "$insert(ab,0,X)" << QVariant(u("Xab"));
        QTest::newRow("insert past end") << "$insert(ab,5,X)" << QVariant(u("ab  X"));
        QTest::newRow("insert clamped") << "$insert(a,2000,X)" << QVariant(u("a") + QString(999, u' ') + u'X');
        QTest::newRow("insert of text") << "$insert(ab,x,X)" << QVariant(u("ab"));
        QTest::newRow("remove text") << "$remove(a-b-c,-)" << QVariant(u("abc"));
        QTest::newRow("remove nothing") << "$remove(abc,)" << QVariant(u("abc"));
        QTest::newRow("remove range") << "$remove(abcdef,2,3)" << QVariant(u("aef"));
        QTest::newRow("remove past end") << "$remove(abcdef,5,10)" << QVariant(u("abcd"));
        QTest::newRow("remove before start") << "$remove(abcdef,-1,2)" << QVariant(u("abcdef"));
        QTest::newRow("remove none") << "$remove(abcdef,2,0)" << QVariant(u("abcdef"));
        QTest::newRow("replace pairs in order") << "$replace(aXbX,X,-,-,+)" << QVariant(u("a+b+"));
        QTest::newRow("replace is case-sensitive") << "$replace(aA,a,b)" << QVariant(u("bA"));
        QTest::newRow("replace even count") << "$replace(a,b,c,d)" << invalid;
        QTest::newRow("replace too few") << "$replace(a,b)" << invalid;
        QTest::newRow("regexp") << "$regexp(Hello,l+,L)" << QVariant(u("HeLo"));
        QTest::newRow("regexp case-sensitive") << "$regexp(Hello,h,J)" << QVariant(u("Hello"));
        QTest::newRow("regexp ignoring case") << "$regexp(Hello,h,J,1)" << QVariant(u("Jello"));
        QTest::newRow("regexp cs 0") << "$regexp(Hello,h,J,0)" << QVariant(u("Hello"));
        QTest::newRow("regexp captures") << "$rreplace(John Smith,'(\\w+) (\\w+)','\\2, \\1')"
                                         << QVariant(u("Smith, John"));
        QTest::newRow("regexp ten is one and zero") << "$regexp(ab,'(a)',\\10)" << QVariant(u("a0b"));
        QTest::newRow("regexp missing group stays") << "$regexp(ab,a,\\1)" << QVariant(u("\\1b"));
        QTest::newRow("regexp word is Unicode") << u("$regexp(\xC3\xA9t\xC3\xA9 x,\\w+,W)") << QVariant(u("W W"));
        QTest::newRow("regexp invalid") << "$regexp(abc,'(',x)" << QVariant(u("abc"));
        QTest::newRow("repeat") << "$repeat(ab,3)" << QVariant(u("ababab"));
        QTest::newRow("repeat negative") << "$repeat(ab,-2)" << QVariant(u(""));
        QTest::newRow("repeat clamped") << "$len($repeat(ab,500))" << QVariant(200);
        QTest::newRow("reverse keeps pairs") << u("$reverse(a\xF0\x9F\x8E\xB5" "b)") << QVariant(u("b\xF0\x9F\x8E\xB5" "a"));
        QTest::newRow("trim") << "$trim(  a b  )" << QVariant(u("a b"));
        QTest::newRow("pad") << "$pad(7,3,0)" << QVariant(u("007"));
        QTest::newRow("pad right") << "$pad(ab,-4,.)" << QVariant(u("ab.."));
        QTest::newRow("pad never cuts") << "$pad(abcdef,3,x)" << QVariant(u("abcdef"));
        QTest::newRow("pad with blank") << "$pad(7,3,)" << QVariant(u("  7"));
        QTest::newRow("pad clamped") << "$len($pad(7,-5000,x))" << QVariant(100);
        QTest::newRow("split") << "$split(a;b;c,;,1)" << QVariant(u("b"));
        QTest::newRow("split from end") << "$split(a;b;c,;,-1)" << QVariant(u("c"));
        QTest::newRow("split keeps empty parts") << "$split(a;;c,;,1)" << QVariant(u(""));
        QTest::newRow("split outside") << "$split(a;b,;,5)" << QVariant(u(""));
        QTest::newRow("split of text") << "$split(a;b,;,x)" << QVariant(u(""));
        QTest::newRow("validate") << "$validate(a:b?c,_)" << QVariant(u("a_b_c"));
        QTest::newRow("validate keeps slash") << "$validate(a/b,_)" << QVariant(u("a/b"));
        QTest::newRow("distance") << "$distance(kitten,sitting)" << QVariant(3);
        QTest::newRow("distance beyond the BMP") << u("$distance(\xF0\x9F\x8E\xB5,x)") << QVariant(1);

        // Case
        QTest::newRow("upper") << u("$upper(stra\xC3\x9F" "e)") << QVariant(u("STRASSE"));
        QTest::newRow("lower") << "$lower(ABC)" << QVariant(u("abc"));
        QTest::newRow("title is each word") << "$title(war and peace)" << QVariant(u("War And Peace"));
        QTest::newRow("caps") << "$caps(hELLO wORLD)" << QVariant(u("Hello World"));
        QTest::newRow("caps2 raises only") << "$caps2(mcDONALD)" << QVariant(u("McDONALD"));
        QTest::newRow("caps3") << "$caps3(hELLO wORLD)" << QVariant(u("Hello world"));
        QTest::newRow("caps after characters") << "$caps(mcdonald-smith,-)" << QVariant(u("Mcdonald-Smith"));
        QTest::newRow("caps3 after characters") << "$caps3(a.b.c,.)" << QVariant(u("A.B.C"));
        QTest::newRow("caps beyond the BMP")
            << u("$caps(\xF0\x90\x90\xA8x \xF0\x90\x90\xA8\xF0\x90\x90\x80)")
            << QVariant(u("\xF0\x90\x90\x80x \xF0\x90\x90\x80\xF0\x90\x90\xA8"));
    }
    void calls()
    {
        QFETCH(QString, script);
        QFETCH(QVariant, value);
        qputenv("MELO_SCRIPT_TEST", QByteArray("\xC3\xA9t\xC3\xA9"));
        compareValue(evaluateScript(script), value);
    }

    // Both branches and the arguments of unknown functions are evaluated: a counter or a
    // random number advances all the same.
    void everyArgumentIsEvaluated()
    {
        seedProcessRandomGenerator(7);
        const QVariant first = evaluateScript(QStringLiteral("$rand()"));
        const QVariant second = evaluateScript(QStringLiteral("$rand()"));
        seedProcessRandomGenerator(7);
        QCOMPARE(evaluateScript(QStringLiteral("$foo($rand())")).isValid(), false);
        QCOMPARE(evaluateScript(QStringLiteral("$rand()")), second);
        seedProcessRandomGenerator(7);
        QCOMPARE(evaluateScript(QStringLiteral("$if(1,$rand(),$rand())")), first);
        QCOMPARE(first.metaType().id(), QMetaType::Int);
        QVERIFY(first.toInt() >= 0 && second.toInt() >= 0);
    }

    void dateOfTodayUsesClockFormat()
    {
        const QString before = QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
        const QString today = evaluateScript(QStringLiteral("$date(yyyy-MM-dd)")).toString();
        QVERIFY(today == before || today == QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")));
    }

    void valueRules_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<bool>("number");
        QTest::addColumn<bool>("decimal");
        QTest::newRow("int") << QVariant(5) << true << false;
        QTest::newRow("long long") << QVariant(qlonglong(5)) << true << false;
        QTest::newRow("double") << QVariant(0.5) << true << true;
        QTest::newRow("bool") << QVariant(true) << false << false;
        QTest::newRow("invalid") << QVariant() << false << false;
        QTest::newRow("date") << QVariant(QDate(2005, 3, 7)) << false << false;
        QTest::newRow("text integer with blanks") << QVariant(u(" -12 ")) << true << false;
        QTest::newRow("text decimal") << QVariant(u(" -2.25 ")) << true << true;
        QTest::newRow("point at end") << QVariant(u("1.")) << false << false;
        QTest::newRow("point at start") << QVariant(u(".5")) << false << false;
        QTest::newRow("decimal comma") << QVariant(u("1,5")) << false << false;
        QTest::newRow("plus sign") << QVariant(u("+7")) << false << false;
        QTest::newRow("empty") << QVariant(u("")) << false << false;
        QTest::newRow("other script digits") << QVariant(u("\xD9\xA3\xD9\xA4")) << true << false;
    }
    void valueRules()
    {
        QFETCH(QVariant, value);
        QFETCH(bool, number);
        QFETCH(bool, decimal);
        QCOMPARE(isScriptNumber(value), number);
        QCOMPARE(isScriptDecimal(value), decimal);
    }

    void dateValues()
    {
        QCOMPARE(scriptDateValue(QVariant(u("2005-03"))), PartialDateTime(2005, 3));
        QCOMPARE(scriptDateValue(QVariant(QDate(2005, 3, 7))), PartialDateTime(2005, 3, 7));
        QCOMPARE(scriptDateValue(QVariant(QTime(10, 20))), PartialDateTime(-1, -1, -1, 10, 20, 0, 0));
        QCOMPARE(scriptDateValue(QVariant::fromValue(PartialDateTime(1999))), PartialDateTime(1999));
        QCOMPARE(scriptDateValue(QVariant(42)), PartialDateTime());
        // A date held as a date value has no text: text functions see nothing.
        QCOMPARE(scriptText(QVariant::fromValue(PartialDateTime(1999))), QString());
    }
};

QTEST_GUILESS_MAIN(TestScriptFunctions)
#include "tst_scriptfunctions.moc"
