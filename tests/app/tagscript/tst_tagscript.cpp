// The tag-script language: parsing into a tree, the parse errors with their positions, and
// the evaluation of literals, conditionals, calls and whole scripts in both modes.

#include "app/tagscript/support_tagscript.h"
#include "app/tagscript/tagscript.h"
#include "app/tagscript/tsconditional.h"
#include "app/tagscript/tsfunction.h"
#include "app/tagscript/tsliteral.h"
#include "app/tagscript/tsoperation.h"
#include "app/tagscript/tsvariable.h"
#include "libcore/log/exception.h"

#include <QtTest>

namespace {

// The tree as a compact text: L"text", V(name), F(name: args), O(operands), C(inner).
QString describe(const TsExpression *e)
{
    if (auto *l = dynamic_cast<const TsLiteral *>(e))
        return QStringLiteral("L\"%1\"").arg(l->value.toString());
    if (auto *v = dynamic_cast<const TsVariable *>(e))
        return QStringLiteral("V(%1)").arg(v->name);
    QStringList parts;
    for (const TsExpression *child : e->children())
        parts.append(describe(child));
    if (auto *f = dynamic_cast<const TsFunction *>(e))
        return QStringLiteral("F(%1: %2)").arg(f->name, parts.join(u' '));
    if (dynamic_cast<const TsConditional *>(e))
        return QStringLiteral("C(%1)").arg(parts.join(u' '));
    return QStringLiteral("O(%1)").arg(parts.join(u' '));
}

QString messageOf(quint32 code, const QVariantList &arguments = {})
{
    return Exception(code, arguments, false).message();
}

} // namespace

class TestTagScript : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { loadEnglishTexts(); }

    void tree_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("tree");
        QTest::newRow("empty") << "" << "O()";
        QTest::newRow("single literal") << "abc" << "L\"abc\"";
        QTest::newRow("variables and text") << "%artist% - %title%" << "O(V(artist) L\" - \" V(title))";
        QTest::newRow("name kept as written") << "%ArTiSt%" << "V(ArTiSt)";
        QTest::newRow("percent escape") << "100%%" << "L\"100%\"";
        QTest::newRow("dollar escape") << "$$5" << "L\"$5\"";
        QTest::newRow("quote escape") << "''" << "L\"'\"";
        QTest::newRow("quoted variable") << "'%x%'" << "L\"%x%\"";
        QTest::newRow("quoted bracket joins text") << "a'['b" << "L\"a[b\"";
        QTest::newRow("quote pair inside quotes") << "'a''b'" << "L\"ab\"";
        QTest::newRow("quoted apostrophe") << "'it''''s'" << "L\"it's\"";
        QTest::newRow("comma and parenthesis at top") << "a,b)" << "L\"a,b)\"";
        QTest::newRow("empty function name") << "$()" << "F(: )";
        QTest::newRow("no arguments") << "$f()" << "F(f: )";
        QTest::newRow("two empty arguments") << "$f(,)" << "F(f: O() O())";
        QTest::newRow("trailing empty argument") << "$f(a,)" << "F(f: L\"a\" O())";
        QTest::newRow("space belongs to argument") << "$f(a, b)" << "F(f: L\"a\" L\" b\")";
        QTest::newRow("quoted comma") << "$f('a,b')" << "F(f: L\"a,b\")";
        QTest::newRow("operator name") << "$<=(1,2)" << "F(<=: L\"1\" L\"2\")";
        QTest::newRow("nested call") << "$upper($left(%a%,2))" << "F(upper: F(left: V(a) L\"2\"))";
        QTest::newRow("conditional")
            << "[ (%album%)]" << "C(O(L\" (\" V(album) L\")\"))";
        QTest::newRow("nested conditionals") << "[a[%x%]]" << "C(O(L\"a\" C(V(x))))";
        QTest::newRow("conditional in argument")
            << "$if(%a%,['x,y'],z)" << "F(if: V(a) C(L\"x,y\") L\"z\")";
        QTest::newRow("surrogate pair in text")
            << QString::fromUtf8("a\xF0\x9F\x8E\xB5") << QString::fromUtf8("L\"a\xF0\x9F\x8E\xB5\"");
        QTest::newRow("line break is text") << "a\n%b%" << "O(L\"a\n\" V(b))";
    }
    void tree()
    {
        QFETCH(QString, script);
        QFETCH(QString, tree);
        QObject owner;
        const TsExpression *root = parseTagScript(script, &owner);
        QCOMPARE(root->parent(), &owner);
        QCOMPARE(describe(root), tree);
    }

    void errors_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<uint>("code");
        QTest::addColumn<QVariantList>("arguments");
        QTest::addColumn<int>("position");
        QTest::newRow("quote at end") << "'" << uint(QuoteAtEndTextId) << QVariantList() << 1;
        QTest::newRow("quote at end after text") << "ab'" << uint(QuoteAtEndTextId) << QVariantList() << 3;
        QTest::newRow("unterminated quote") << "'abc" << uint(UnterminatedQuoteTextId) << QVariantList() << 4;
        QTest::newRow("percent at end") << "50%" << uint(PercentAtEndTextId) << QVariantList() << 3;
        QTest::newRow("dollar at end") << "5$" << uint(DollarAtEndTextId) << QVariantList() << 2;
        QTest::newRow("unterminated variable") << "%art" << uint(UnterminatedNameTextId) << QVariantList() << 4;
        QTest::newRow("unterminated function name") << "$up" << uint(UnterminatedNameTextId) << QVariantList() << 3;
        QTest::newRow("bad name character")
            << "%a.b%" << uint(InvalidNameCharacterTextId) << QVariantList {QStringLiteral(".")} << 3;
        QTest::newRow("non-ASCII name character")
            << QString::fromUtf8("$\xC3\xA9()") << uint(InvalidNameCharacterTextId)
            << QVariantList {QString::fromUtf8("\xC3\xA9")} << 2;
        QTest::newRow("name character beyond the BMP")
            << QString::fromUtf8("%a\xF0\x9F\x8E\xB5%") << uint(InvalidNameCharacterTextId)
            << QVariantList {QString::fromUtf8("\xF0\x9F\x8E\xB5")} << 4;
        QTest::newRow("call not closed")
            << "$upper(%artist%" << uint(MissingClosingParenthesisTextId) << QVariantList() << 15;
        QTest::newRow("bracket closes call") << "$f(a]" << uint(MissingClosingParenthesisTextId) << QVariantList() << 5;
        QTest::newRow("conditional not closed")
            << "[%album%" << uint(MissingClosingBracketTextId) << QVariantList() << 8;
        QTest::newRow("comma ends conditional in argument")
            << "$if(%a%,[x,y],z)" << uint(MissingClosingBracketTextId) << QVariantList() << 11;
        QTest::newRow("stray closing bracket")
            << "%artist%] - %title%" << uint(UnmatchedClosingBracketTextId) << QVariantList() << 9;
        QTest::newRow("stray bracket after conditional")
            << "[a]]" << uint(UnmatchedClosingBracketTextId) << QVariantList() << 4;
        QTest::newRow("too deeply nested")
            << QString(MaxScriptNesting + 1, u'[') << uint(NestingTooDeepTextId)
            << QVariantList {MaxScriptNesting} << MaxScriptNesting + 1;
    }
    void errors()
    {
        QFETCH(QString, script);
        QFETCH(uint, code);
        QFETCH(QVariantList, arguments);
        QFETCH(int, position);
        QObject owner;
        try {
            parseTagScript(script, &owner);
            QFAIL("no error");
        } catch (const Exception &e) {
            QCOMPARE(e.code, quint32(ScriptSyntaxErrorTextId));
            QVERIFY(!e.logged);
            QCOMPARE(e.arguments.size(), 2);
            const QString inner = messageOf(code, arguments);
            QVERIFY(!inner.isEmpty());
            QCOMPARE(e.arguments.at(0).toString(), inner);
            QCOMPARE(e.arguments.at(1).toInt(), position);
            QVERIFY(e.message().contains(inner));
        }
        // A failed parse leaves nothing behind.
        QVERIFY(owner.children().isEmpty());
    }

    void deepButAllowedNesting()
    {
        const QString script = QString(MaxScriptNesting, u'[') + QString(MaxScriptNesting, u']');
        QCOMPARE(textOf(script), QString());
        QString calls;
        for (int i = 0; i < MaxScriptNesting; ++i)
            calls += QStringLiteral("$upper(");
        calls += u'x' + QString(MaxScriptNesting, u')');
        QCOMPARE(textOf(calls), QStringLiteral("X"));
    }

    void evaluation_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << "" << "";
        QTest::newRow("literal") << "abc" << "abc";
        QTest::newRow("escapes") << "100%% $$5 ''" << "100% $5 '";
        QTest::newRow("conditional without variable") << "[text]" << "";
        QTest::newRow("conditional of a call without variable") << "[$upper(x)]" << "";
        QTest::newRow("unknown variable") << "a%nosuchname%b" << "ab";
        QTest::newRow("conditional of unknown variable") << "a[-%nosuchname%-]b" << "ab";
        QTest::newRow("nested calls") << "$upper($left(abcdef,$add(1,2)))" << "ABC";
        QTest::newRow("bool result") << "$eq(a,A)" << "true";
        QTest::newRow("double result") << "$add(1.5,1)" << "2.5";
        QTest::newRow("unknown function") << "<$foo(1)>" << "<>";
        QTest::newRow("slash from a function") << "$replace(a-b,-,/)" << "a/b";
    }
    void evaluation()
    {
        QFETCH(QString, script);
        QFETCH(QString, text);
        QCOMPARE(textOf(script), text);
        QCOMPARE(fileNameOf(script), text);
    }

    void operationOfUnknownType()
    {
        TsOperation operation(7, {new TsLiteral(QStringLiteral("a"))});
        QVERIFY(!operation.evaluate(nullptr, TextMode).isValid());
        TsOperation concatenation(TsOperation::Concatenation, {});
        const QVariant empty = concatenation.evaluate(nullptr, TextMode);
        QCOMPARE(empty.metaType().id(), QMetaType::QString);
        QVERIFY(empty.toString().isEmpty());
    }

    // Functions can make "." and ".." levels that variables can't; in file-name mode none
    // of them survives, so a result can't climb out of the target folder.
    void fileNameHasNoDotLevels_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("fileName");
        QTest::newRow("leading parent level")
            << "$char(46)$char(46)/etc" << "../etc" << "etc";
        QTest::newRow("inner parent levels")
            << "a/$replace(x,x,..)/$replace(x,x,..)/b" << "a/../../b" << "a/b";
        QTest::newRow("blank around parent level") << "a/$replace(x,x, .. )/b" << "a/ .. /b" << "a/b";
        QTest::newRow("current level") << "a/$left(.x,1)/b" << "a/./b" << "a/b";
        QTest::newRow("dots inside a name stay") << "$left(...x,3)/..a/b.." << ".../..a/b.." << ".../..a/b..";
        QTest::newRow("validate keeps no parent level") << "$validate(../x:y,_)" << "x_y" << "x_y";
    }
    void fileNameHasNoDotLevels()
    {
        QFETCH(QString, script);
        QFETCH(QString, text);
        QFETCH(QString, fileName);
        QCOMPARE(textOf(script), text);
        QCOMPARE(fileNameOf(script), fileName);
    }

    // Every function that lengthens texts is clamped, but nested they multiply; one typed
    // pattern must not exhaust memory.
    void resultLengthIsCapped_data()
    {
        QTest::addColumn<QString>("script");
        QTest::newRow("nested repeats") << "$repeat($repeat($repeat($repeat(abcdefghij,100),100),100),100)";
        QTest::newRow("repeat inside pad inside insert")
            << "$insert($pad($repeat($repeat($repeat(x,100),100),100),100,-),1000,$repeat($repeat(y,100),100))"
               "$repeat($repeat($repeat($repeat(z,100),100),100),100)";
        QTest::newRow("replace multiplies")
            << "$replace($repeat($repeat(aa,100),100),a,$repeat($repeat(bb,100),100))";
        QTest::newRow("regexp multiplies")
            << "$regexp($repeat($repeat(aa,100),100),a,$repeat($repeat(\\0bb,100),100))";
        QTest::newRow("validate multiplies")
            << "$validate($repeat($repeat(::,100),100),$repeat($repeat(cc,100),100))";
        QTest::newRow("concatenation")
            << "$repeat($repeat($repeat(ab,100),100),100)$repeat($repeat($repeat(ab,100),100),100)"
               "$repeat($repeat($repeat(ab,100),100),100)$repeat($repeat($repeat(ab,100),100),100)"
               "$repeat($repeat($repeat(ab,100),100),100)$repeat($repeat($repeat(ab,100),100),100)";
    }
    void resultLengthIsCapped()
    {
        QFETCH(QString, script);
        for (const bool fileName : {false, true}) {
            try {
                fileName ? fileNameOf(script) : textOf(script);
                QFAIL("no error");
            } catch (const Exception &e) {
                QCOMPARE(e.code, quint32(ScriptResultTooLongTextId));
                QCOMPARE(e.arguments, QVariantList {MaxScriptTextLength});
                QVERIFY(e.message().contains(QString::number(MaxScriptTextLength)));
            }
        }
    }

    // Comparing every character with every other is bounded like the texts' lengths.
    void distanceOfLongTexts()
    {
        QCOMPARE(textOf(QStringLiteral("$distance($repeat($repeat(a,100),20),$repeat($repeat(b,100),20))")),
                 QStringLiteral("2000"));
        try {
            textOf(QStringLiteral("$distance($repeat($repeat(a,100),50),$repeat($repeat(b,100),50))"));
            QFAIL("no error");
        } catch (const Exception &e) {
            QCOMPARE(e.code, quint32(DistanceTooLongTextId));
            QVERIFY(!e.message().isEmpty());
        }
    }

    // Scripts as a user might mistype them: every one parses or fails with a syntax error,
    // and every tree evaluates, without a crash or a leak.
    void randomScripts()
    {
        const QString alphabet = QStringLiteral("%$[]'(),ab 1-") + QString::fromUtf8("\xF0\x9F\x8E\xB5");
        const QStringList names {QStringLiteral("$upper("), QStringLiteral("$if("), QStringLiteral("$num("),
                                 QStringLiteral("$replace("), QStringLiteral("%a%"), QStringLiteral("$repeat(")};
        QRandomGenerator random(2323);
        int parsed = 0;
        for (int n = 0; n < 3000; ++n) {
            QString script;
            const int length = random.bounded(1, 24);
            for (int i = 0; i < length; ++i) {
                if (random.bounded(4) == 0)
                    script += names.at(random.bounded(int(names.size())));
                else
                    script += alphabet.at(random.bounded(int(alphabet.size())));
            }
            QObject owner;
            try {
                TsExpression *root = parseTagScript(script, &owner);
                ++parsed;
                evaluateToText(root, nullptr);
                evaluateToFileName(root, nullptr);
            } catch (const Exception &e) {
                QVERIFY2(e.code == ScriptSyntaxErrorTextId, qPrintable(script));
                const int position = e.arguments.value(1).toInt();
                QVERIFY2(position >= 1 && position <= script.size(), qPrintable(script));
                QVERIFY(owner.children().isEmpty());
            }
        }
        QVERIFY(parsed > 100);
    }

    void longResultBelowTheCap()
    {
        // 1,000,000 units: as long as a step may get.
        const QString text = textOf(QStringLiteral("$repeat($repeat($repeat(a,100),100),100)"));
        QCOMPARE(text.size(), 1000000);
    }
};

QTEST_GUILESS_MAIN(TestTagScript)
#include "tst_tagscript.moc"
