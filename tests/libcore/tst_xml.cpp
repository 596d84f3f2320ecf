#include <QtTest>

#include "libcore/io/iostream.h"
#include "libcore/log/exception.h"
#include "libcore/log/logger.h"
#include "libcore/xml/xmlutil.h"
#include "libcore/xml/xpath.h"

namespace {

class CollectingLogger : public Logger
{
public:
    CollectingLogger() { setRegistered(true); }
    void log(const LogMessage &message) override { codes.append(message.code); }
    QList<quint32> codes;
};

// A label per node: an element's "n" attribute (else its name), "@name=value" for an
// attribute, "text:value" for a text node.
QString label(const QDomNode &node)
{
    if (node.isAttr())
        return QStringLiteral("@%1=%2").arg(node.nodeName(), node.nodeValue());
    if (node.isText())
        return QStringLiteral("text:") + node.nodeValue();
    if (node.isElement() && node.toElement().hasAttribute(QStringLiteral("n")))
        return node.toElement().attribute(QStringLiteral("n"));
    return node.nodeName();
}

QStringList labels(const XmlNodeList &nodes)
{
    QStringList result;
    for (const QDomNode &node : nodes)
        result.append(label(node));
    return result;
}

// Whitespace-free, so that every text node below is one the test put there.
const char *const fixture = "<r n=\"r\">"
                            "<p n=\"p1\"><q n=\"q1\"/><q n=\"q2\"/></p>"
                            "<p n=\"p2\"><q n=\"q3\"/><q n=\"q4\"/></p>"
                            "<item n=\"i1\" id=\"5\"><sub/><sub/><v>9</v></item>"
                            "<item n=\"i2\"><sub/><v>-1</v></item>"
                            "<item n=\"i3\" id=\"05\"><v>x</v></item>"
                            "<a n=\"a1\"><b>1</b><b>2</b><c>1</c><c>2</c><c>3</c></a>"
                            "</r>";

} // namespace

class TestXml : public QObject
{
    Q_OBJECT
private slots:
    void declarationAndLayout()
    {
        QDomDocument doc = createXmlDocument(QStringLiteral("settings"), QStringLiteral("1.0"),
                                             QStringLiteral("UTF-8"));
        QDomElement child = appendXmlElement(doc.documentElement(), QStringLiteral("child"));
        appendXmlTextElement(child, QStringLiteral("grandchild"), QStringLiteral("two\n  lines"));
        QCOMPARE(xmlToString(doc, false),
                 QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                "<settings>\n"
                                "\t<child>\n"
                                "\t\t<grandchild>two\n  lines</grandchild>\n"
                                "\t</child>\n"
                                "</settings>\n"));
        QCOMPARE(xmlToString(doc, true),
                 QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<settings><child>"
                                "<grandchild>two\n  lines</grandchild></child></settings>"));

        const QDomDocument bare = createXmlDocument(QStringLiteral("x"), QString(), QString());
        QCOMPARE(xmlToString(bare, true), QStringLiteral("<x/>"));
    }

    void forcedUtf8_data()
    {
        QTest::addColumn<QString>("source"); // empty: a document made here, in double quotes
        QTest::addColumn<QByteArray>("expectedHead");
        QTest::newRow("double quotes") << QString() << QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>");
        QTest::newRow("single quotes")
            << QStringLiteral("<?xml version='1.0' encoding='ISO-8859-1'?><a>\u00e9</a>")
            << QByteArray("<?xml version='1.0' encoding='UTF-8'?>");
        QTest::newRow("no encoding") << QStringLiteral("<?xml version='1.0'?><a>\u00e9</a>")
                                     << QByteArray("<?xml version='1.0'?>");
        QTest::newRow("no declaration") << QStringLiteral("<a>\u00e9</a>") << QByteArray("<a>");
    }

    void forcedUtf8()
    {
        QFETCH(QString, source);
        QFETCH(QByteArray, expectedHead);
        QDomDocument doc;
        if (source.isEmpty()) {
            doc = createXmlDocument(QStringLiteral("a"), QStringLiteral("1.0"), QStringLiteral("ISO-8859-1"));
            doc.documentElement().appendChild(doc.createTextNode(QStringLiteral("\u00e9")));
        } else {
            doc = parseXml(source);
        }
        const QByteArray bytes = xmlToByteArray(doc, true);
        QVERIFY2(bytes.startsWith(expectedHead), bytes.constData());
        QVERIFY(bytes.contains("<a>\xc3\xa9</a>"));
        // The bytes read back as the same document.
        QCOMPARE(xmlNodeText(parseXmlBytes(bytes).documentElement()), QStringLiteral("\u00e9"));
    }

    void nodeText()
    {
        const QDomDocument doc = parseXml(QStringLiteral("<e>a<!--b--><c>c</c><?pi d?></e>"));
        QCOMPARE(xmlNodeText(doc.documentElement()), QStringLiteral("abcd"));
        QVERIFY(xmlNodeText(QDomNode()).isNull());
        const QDomNode attribute = doc.documentElement().attributeNode(QStringLiteral("none"));
        QVERIFY(xmlNodeText(attribute).isNull());
    }

    void setText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("new text") << QStringLiteral("new") << QStringLiteral("<e><k/>new</e>");
        QTest::newRow("empty text") << QString() << QStringLiteral("<e><k/></e>");
    }

    void setText()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QDomDocument doc = parseXml(QStringLiteral("<e>one<k/>two</e>"));
        QDomElement e = doc.documentElement();
        e.appendChild(doc.createTextNode(QStringLiteral("adjacent")));
        setXmlText(e, text);
        QCOMPARE(xmlToString(doc, true), expected);
        int textChildren = 0;
        for (QDomNode n = e.firstChild(); !n.isNull(); n = n.nextSibling())
            textChildren += n.isText() ? 1 : 0;
        QCOMPARE(textChildren, text.isEmpty() ? 0 : 1);

        // Unlike setXmlText, an empty text element still gets its (empty) text node.
        const QDomElement made = appendXmlTextElement(e, QStringLiteral("t"), QString());
        QVERIFY(made.firstChild().isText());
    }

    void escape()
    {
        const QString once = escapeXml(QStringLiteral("<a href=\"x\">&'</a>"));
        QCOMPARE(once, QStringLiteral("&lt;a href=&quot;x&quot;&gt;&amp;'&lt;/a&gt;"));
        QCOMPARE(escapeXml(QStringLiteral("&amp;")), QStringLiteral("&amp;amp;"));
    }

    void distinctNodes()
    {
        const QDomDocument doc = parseXml(QStringLiteral("<r><x/><x/><y/></r>"));
        const QDomNode a = doc.documentElement().firstChild();
        const QDomNode b = a.nextSibling(); // equal name and content, another node
        const QDomNode c = b.nextSibling();
        const XmlNodeList distinct = distinctXmlNodes({a, b, a, c, doc.documentElement().firstChild()});
        QCOMPARE(distinct.size(), 3);
        QVERIFY(distinct[0] == a && distinct[1] == b && distinct[2] == c);
    }

    void parseErrors()
    {
        CollectingLogger logger;
        try {
            parseXmlBytes("<a>\n<b></a>");
            QFAIL("no exception");
        } catch (const Exception &e) {
            QCOMPARE(e.code, 1573555257u);
            QCOMPARE(e.arguments.size(), 3);
            QCOMPARE(e.arguments[0].toInt(), 2);
            QVERIFY(e.arguments[1].toInt() > 0);
            QVERIFY(!e.arguments[2].toString().isEmpty());
        }
        try {
            parseXml(QStringLiteral("<a>"));
            QFAIL("no exception");
        } catch (const Exception &e) {
            QCOMPARE(e.code, 931486690u);
        }
        QCOMPARE(logger.codes, (QList<quint32>{1573555257u, 931486690u}));
    }

    void loadErrors()
    {
        QTemporaryDir dir;
        const QString broken = dir.filePath(QStringLiteral("broken.xml"));
        QFile file(broken);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("<settings><a></settings>");
        file.close();
        const QString missing = dir.filePath(QStringLiteral("missing.xml"));

        for (const QString &path : {broken, missing}) {
            CollectingLogger logger;
            try {
                loadXmlFile(path);
                QFAIL("no exception");
            } catch (const Exception &e) {
                QCOMPARE(e.code, 2758347452u);
                QCOMPARE(e.arguments, QVariantList{QDir::toNativeSeparators(path)});
            }
            // The cause is logged first, then the file's own error.
            QCOMPARE(logger.codes.size(), 2);
            QCOMPARE(logger.codes.last(), 2758347452u);
            QCOMPARE(logger.codes.first(), path == broken ? 1573555257u : quint32(IoStreamOpenFailedTextId));
        }
    }

    void creatingElements()
    {
        QDomDocument doc = parseXml(QStringLiteral("<r><a/></r>"));
        QDomElement root = doc.documentElement();
        insertXmlElementBefore(root, QStringLiteral("first"), root.firstChild());
        insertXmlElementBefore(root, QStringLiteral("last"), QDomNode());
        QCOMPARE(xmlToString(doc, true), QStringLiteral("<r><first/><a/><last/></r>"));

        CollectingLogger logger;
        QDomElement orphan; // belongs to no document
        try {
            appendXmlElement(orphan, QStringLiteral("x"));
            QFAIL("no exception");
        } catch (const Exception &e) {
            QCOMPARE(e.code, 711442417u);
            QCOMPARE(e.arguments, QVariantList{QStringLiteral("x")});
        }
        try {
            insertXmlElementBefore(orphan, QStringLiteral("y"), QDomNode());
            QFAIL("no exception");
        } catch (const Exception &e) {
            QCOMPARE(e.code, 3564452063u);
        }
        QCOMPARE(logger.codes.size(), 2);
    }

    void saveAndLoad()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("doc.xml"));
        QDomDocument doc = createXmlDocument(QStringLiteral("r"), QStringLiteral("1.0"),
                                             QStringLiteral("ISO-8859-1"));
        appendXmlTextElement(doc.documentElement(), QStringLiteral("v"), QStringLiteral("\u00e9"));
        saveXmlFile(doc, path, false);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<r>\n"
                                            "\t<v>\xc3\xa9</v>\n</r>\n"));
        QCOMPARE(xpathSelectTexts(loadXmlFile(path).documentElement(), QStringLiteral("v")),
                 QStringList{QStringLiteral("\u00e9")});

        CollectingLogger logger;
        QVERIFY_THROWS_EXCEPTION(Exception, saveXmlFile(doc, dir.filePath(QStringLiteral("no/such.xml")), false));
        QCOMPARE(logger.codes, QList<quint32>{quint32(IoStreamOpenFailedTextId)});
    }

    void select_data()
    {
        QTest::addColumn<QString>("context");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QStringList>("expected");
        const QStringList allItems{"i1", "i2", "i3"};
        QTest::newRow("empty path") << "" << "" << QStringList{"r"};
        QTest::newRow("self") << "" << "." << QStringList{"r"};
        QTest::newRow("parent") << "" << ".." << QStringList{"#document"};
        QTest::newRow("child elements") << "" << "*" << QStringList{"p1", "p2", "i1", "i2", "i3", "a1"};
        QTest::newRow("attributes") << "" << "@*" << QStringList{"@n=r"};
        QTest::newRow("attributes then children")
            << "p[2]" << "node()" << QStringList{"@n=p2", "q3", "q4"};
        QTest::newRow("descendants with self first") << "p[1]/q[1]" << "//q" << QStringList{"q1"};
        QTest::newRow("descendants") << "" << "//q" << QStringList{"q1", "q2", "q3", "q4"};
        QTest::newRow("descendant attributes") << "" << "//@id" << QStringList{"@id=5", "@id=05"};
        QTest::newRow("absolute from root") << "" << "/r/p" << QStringList{"p1", "p2"};
        QTest::newRow("absolute other root") << "" << "/other/p" << QStringList{};
        QTest::newRow("position per parent") << "" << "p/q[1]" << QStringList{"q1", "q3"};
        QTest::newRow("position in whole subtree") << "" << "//q[1]" << QStringList{"q1"};
        QTest::newRow("position zero") << "" << "p[1]/q[0]" << QStringList{};
        QTest::newRow("position past end") << "" << "p[1]/q[5]" << QStringList{};
        QTest::newRow("position not a number") << "" << "p[1]/q[foo]" << QStringList{};
        QTest::newRow("position two") << "" << "p[1]/q[2]" << QStringList{"q2"};
        QTest::newRow("position with blanks") << "" << "p[1]/q[ 2 ]" << QStringList{"q2"};
        QTest::newRow("last") << "" << "p[1]/q[last()]" << QStringList{"q2"};
        QTest::newRow("first") << "" << "p/q[first()]" << QStringList{"q1", "q3"};
        QTest::newRow("predicates in order") << "" << "item[@id][2]" << QStringList{"i3"};
        QTest::newRow("has attribute") << "" << "item[@id]" << QStringList{"i1", "i3"};
        QTest::newRow("attribute equals quoted") << "" << "item[@id='5']" << QStringList{"i1", "i3"};
        QTest::newRow("attribute equals number") << "" << "item[@id=5]" << QStringList{"i1", "i3"};
        QTest::newRow("attribute equals zero-padded") << "" << "item[@id=\"05\"]" << QStringList{"i1", "i3"};
        QTest::newRow("attribute not equal") << "" << "item[@id!='5']" << QStringList{"i2"};
        QTest::newRow("count") << "" << "item[count(sub)>1]" << QStringList{"i1"};
        QTest::newRow("numeric less") << "" << "item[v<10]" << QStringList{"i1"};
        QTest::newRow("numeric not text order") << "" << "item[v>=10]" << QStringList{};
        QTest::newRow("lists of different lengths equal") << "" << "a[b=c]" << QStringList{};
        QTest::newRow("lists of different lengths unequal") << "" << "a[b!=c]" << QStringList{"a1"};
        QTest::newRow("one against many") << "" << "a[c>0]" << QStringList{"a1"};
        QTest::newRow("unclosed bracket") << "" << "p[1" << QStringList{"p1", "p2"};
        QTest::newRow("stray bracket") << "" << "p]" << QStringList{};
        QTest::newRow("parent reached twice") << "" << ".//q/.." << QStringList{"p1", "p2"};
        QTest::newRow("attribute of parents") << "" << "p/q/../@n" << QStringList{"@n=p1", "@n=p2"};
        QTest::newRow("text nodes") << "" << "item/v/text()" << QStringList{"text:9", "text:-1", "text:x"};
        QTest::newRow("unknown function") << "" << "p[foo()]" << QStringList{};
    }

    void select()
    {
        QFETCH(QString, context);
        QFETCH(QString, path);
        QFETCH(QStringList, expected);
        const QDomDocument doc = parseXml(QString::fromLatin1(fixture));
        QDomNode node = doc.documentElement();
        if (!context.isEmpty())
            node = xpathSelect(node, context).value(0);
        QVERIFY(!node.isNull());
        QCOMPARE(labels(xpathSelect(node, path)), expected);
    }

    void selectFromDocument()
    {
        // An absolute path names the context node itself, which a document is not.
        const QDomDocument doc = parseXml(QString::fromLatin1(fixture));
        QVERIFY(xpathSelect(doc, QStringLiteral("/r/p")).isEmpty());
        QCOMPARE(labels(xpathSelect(doc, QStringLiteral("r/p"))), (QStringList{"p1", "p2"}));
        QCOMPARE(xpathSelectTexts(doc.documentElement(), QStringLiteral("a/c")),
                 (QStringList{"1", "2", "3"}));
    }

    void compareValues_data()
    {
        QTest::addColumn<QStringList>("left");
        QTest::addColumn<QStringList>("right");
        QTest::addColumn<int>("op");
        QTest::addColumn<bool>("expected");
        QTest::newRow("both empty equal") << QStringList{} << QStringList{} << int(XPathEqual) << true;
        QTest::newRow("empty unequal to something")
            << QStringList{} << QStringList{"a"} << int(XPathNotEqual) << true;
        QTest::newRow("empty never ordered") << QStringList{} << QStringList{"1"} << int(XPathLess) << false;
        QTest::newRow("leading zeros") << QStringList{"007"} << QStringList{"7"} << int(XPathEqual) << true;
        QTest::newRow("one widened to all")
            << QStringList{"1"} << QStringList{"1", "01"} << int(XPathEqual) << true;
        QTest::newRow("all pairs must hold")
            << QStringList{"1"} << QStringList{"1", "2"} << int(XPathEqual) << false;
        QTest::newRow("right widened") << QStringList{"2", "3"} << QStringList{"1"} << int(XPathGreater) << true;
        QTest::newRow("lengths differ")
            << QStringList{"1", "2"} << QStringList{"1", "2", "3"} << int(XPathEqual) << false;
        QTest::newRow("lengths differ unequal")
            << QStringList{"1", "2"} << QStringList{"1", "2", "3"} << int(XPathNotEqual) << true;
        QTest::newRow("numbers not text") << QStringList{"9"} << QStringList{"10"} << int(XPathLess) << true;
        QTest::newRow("equal bounds") << QStringList{"10"} << QStringList{"10"} << int(XPathLessOrEqual) << true;
        QTest::newRow("sign not a number") << QStringList{"-1"} << QStringList{"2"} << int(XPathLess) << false;
        QTest::newRow("letters never ordered")
            << QStringList{"a"} << QStringList{"b"} << int(XPathLess) << false;
        QTest::newRow("other digits") << QStringList{"\u0663"} << QStringList{"4"} << int(XPathLess) << true;
        QTest::newRow("huge numbers")
            << QStringList{"99999999999999999999"} << QStringList{"1"} << int(XPathGreater) << true;
    }

    void compareValues()
    {
        QFETCH(QStringList, left);
        QFETCH(QStringList, right);
        QFETCH(int, op);
        QFETCH(bool, expected);
        QCOMPARE(compareXPathValues(left, right, op), expected);
    }
};

QTEST_GUILESS_MAIN(TestXml)
#include "tst_xml.moc"
