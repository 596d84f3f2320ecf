#include "libcore/xml/xmlutil.h"

#include <QDir>
#include <QDomNamedNodeMap>
#include <QMutexLocker>
#include <QRecursiveMutex>
#include <QRegularExpression>
#include <QSet>

#include <cstring>

#include "libcore/io/iostream.h"
#include "libcore/io/wholefile.h"
#include "libcore/log/exception.h"
#include "libcore/text/utf8textcodec.h"

namespace {

constexpr quint32 ParseTextFailed = 931486690;
constexpr quint32 ParseBytesFailed = 1573555257;
constexpr quint32 LoadFileFailed = 2758347452;
constexpr quint32 AppendElementFailed = 711442417;
constexpr quint32 InsertElementFailed = 3564452063;

QRecursiveMutex &parsingLock()
{
    static QRecursiveMutex mutex;
    return mutex;
}

// A DOM handle is one pointer to the shared node; its bytes identify the node, which
// lets repeated nodes be found through a set instead of comparing every pair.
const void *nodeIdentity(const QDomNode &node)
{
    static_assert(sizeof(QDomNode) == sizeof(void *));
    const void *p = nullptr;
    std::memcpy(&p, &node, sizeof p);
    return p;
}

// Leading blanks of each line that starts a tag become tabs, one for one.
QString blanksToTabs(QString text)
{
    const qsizetype n = text.size();
    QChar *d = text.data();
    qsizetype lineStart = 0;
    while (lineStart < n) {
        qsizetype i = lineStart;
        while (i < n && d[i] == u' ')
            ++i;
        if (i < n && d[i] == u'<') {
            for (qsizetype j = lineStart; j < i; ++j)
                d[j] = u'\t';
        }
        while (i < n && d[i] != u'\n')
            ++i;
        lineStart = i + 1;
    }
    return text;
}

QDomElement createElementFor(const QDomNode &parent, const QString &name, quint32 errorCode)
{
    QDomDocument document = parent.ownerDocument();
    QDomElement element;
    if (!document.isNull())
        element = document.createElement(name);
    if (element.isNull())
        throw Exception(errorCode, {name}, true);
    return element;
}

} // namespace

QString xmlNodeText(const QDomNode &node)
{
    if (node.isNull())
        return QString();
    if (node.isAttr() || node.isCDATASection() || node.isComment() || node.isProcessingInstruction()
        || node.isText())
        return node.nodeValue();
    QString text;
    for (QDomNode child = node.firstChild(); !child.isNull(); child = child.nextSibling())
        text += xmlNodeText(child);
    return text;
}

QDomDocument createXmlDocument(const QString &rootName, const QString &version, const QString &encoding)
{
    QDomDocument document;
    QString attributes;
    if (!version.isEmpty())
        attributes += QStringLiteral("version=\"") + version + QStringLiteral("\" ");
    if (!encoding.isEmpty())
        attributes += QStringLiteral("encoding=\"") + encoding + QStringLiteral("\" ");
    attributes = attributes.trimmed();
    if (!attributes.isEmpty())
        document.appendChild(document.createProcessingInstruction(QStringLiteral("xml"), attributes));
    document.appendChild(document.createElement(rootName));
    return document;
}

QString xmlToString(const QDomDocument &document, bool compact)
{
    if (compact)
        return document.toString(-1);
    return blanksToTabs(document.toString(1));
}

QByteArray xmlToByteArray(const QDomDocument &document, bool compact)
{
    QString text = xmlToString(document, compact);
    if (text.startsWith(QLatin1String("<?"))) {
        const qsizetype end = text.indexOf(QLatin1String("?>"));
        if (end >= 0) {
            QString head = text.left(end + 2);
            static const QRegularExpression single(QStringLiteral("encoding\\s*=\\s*'(.*)'"),
                                                   QRegularExpression::UseUnicodePropertiesOption
                                                       | QRegularExpression::DotMatchesEverythingOption);
            static const QRegularExpression dbl(QStringLiteral("encoding\\s*=\\s*\"(.*)\""),
                                                QRegularExpression::UseUnicodePropertiesOption
                                                    | QRegularExpression::DotMatchesEverythingOption);
            QRegularExpressionMatch match = single.match(head);
            if (!match.hasMatch())
                match = dbl.match(head);
            if (match.hasMatch()) {
                head.replace(match.capturedStart(1), match.capturedLength(1), QStringLiteral("UTF-8"));
                text.replace(0, end + 2, head);
            }
        }
    }
    return Utf8TextCodec::instance()->encodeOrEmpty(text);
}

void saveXmlFile(const QDomDocument &document, const QString &path, bool compact)
{
    writeFile(path, xmlToByteArray(document, compact));
}

void setXmlText(QDomNode element, const QString &text)
{
    QDomNode child = element.firstChild();
    while (!child.isNull()) {
        const QDomNode next = child.nextSibling();
        if (child.isText())
            element.removeChild(child);
        child = next;
    }
    if (!text.isEmpty())
        element.appendChild(element.ownerDocument().createTextNode(text));
}

QString escapeXml(const QString &text)
{
    QString result;
    result.reserve(qsizetype(text.size() * 1.1));
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'<':
            result += QLatin1String("&lt;");
            break;
        case u'>':
            result += QLatin1String("&gt;");
            break;
        case u'&':
            result += QLatin1String("&amp;");
            break;
        case u'"':
            result += QLatin1String("&quot;");
            break;
        default:
            result += c;
        }
    }
    return result;
}

XmlNodeList xmlAttributesAndChildren(const QDomNode &node)
{
    XmlNodeList nodes;
    const QDomNamedNodeMap attributes = node.attributes();
    const int count = attributes.count();
    for (int i = 0; i < count; ++i)
        nodes.append(attributes.item(i));
    for (QDomNode child = node.firstChild(); !child.isNull(); child = child.nextSibling())
        nodes.append(child);
    return nodes;
}

XmlNodeList distinctXmlNodes(const XmlNodeList &nodes)
{
    XmlNodeList result;
    result.reserve(nodes.size());
    QSet<const void *> seen;
    for (const QDomNode &node : nodes) {
        const void *id = nodeIdentity(node);
        if (seen.contains(id))
            continue;
        seen.insert(id);
        result.append(node);
    }
    return result;
}

QDomDocument parseXml(const QString &text)
{
    QMutexLocker lock(&parsingLock());
    QDomDocument document;
    QString message;
    int line = 0;
    int column = 0;
    if (!document.setContent(text, false, &message, &line, &column))
        throw Exception(ParseTextFailed, {line, column, message}, true);
    return document;
}

QDomDocument parseXmlBytes(const QByteArray &bytes)
{
    QMutexLocker lock(&parsingLock());
    IoStream stream(bytes, QIODevice::ReadOnly);
    QDomDocument document;
    QString message;
    int line = 0;
    int column = 0;
    if (!document.setContent(stream.device(), false, &message, &line, &column))
        throw Exception(ParseBytesFailed, {line, column, message}, true);
    return document;
}

QDomDocument loadXmlFile(const QString &path)
{
    try {
        return parseXmlBytes(readFile(path));
    } catch (const Exception &) {
        throw Exception(LoadFileFailed, {QDir::toNativeSeparators(path)}, true);
    }
}

QDomElement appendXmlElement(QDomNode parent, const QString &name)
{
    QDomElement element = createElementFor(parent, name, AppendElementFailed);
    parent.appendChild(element);
    return element;
}

QDomElement appendXmlTextElement(QDomNode parent, const QString &name, const QString &text)
{
    QDomElement element = appendXmlElement(parent, name);
    element.appendChild(element.ownerDocument().createTextNode(text));
    return element;
}

QDomElement insertXmlElementBefore(QDomNode parent, const QString &name, const QDomNode &referenceChild)
{
    QDomElement element = createElementFor(parent, name, InsertElementFailed);
    // Qt's insertBefore puts a new child first when the reference is null; before
    // nothing means at the end.
    if (referenceChild.isNull())
        parent.appendChild(element);
    else
        parent.insertBefore(element, referenceChild);
    return element;
}
