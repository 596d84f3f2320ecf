#include "libcore/xml/xpath.h"

#include <limits>

#include "libcore/text/textmatching.h"
#include "libcore/util/listutil.h"

namespace {

// Value of a text that isDecimalNumber accepts; digits of any script count, and values
// beyond 64 bits saturate instead of wrapping.
qint64 decimalValue(const QString &text)
{
    qint64 value = 0;
    const QString trimmed = text.trimmed();
    for (qsizetype i = 0; i < trimmed.size(); ++i) {
        char32_t c = trimmed.at(i).unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < trimmed.size()
            && trimmed.at(i + 1).isLowSurrogate()) {
            c = QChar::surrogateToUcs4(trimmed.at(i), trimmed.at(i + 1));
            ++i;
        }
        const int digit = QChar::digitValue(c);
        if (digit < 0)
            continue;
        if (value > (std::numeric_limits<qint64>::max() - digit) / 10)
            return std::numeric_limits<qint64>::max();
        value = value * 10 + digit;
    }
    return value;
}

bool matchesName(const QDomNode &node, const QString &name)
{
    if (name == QLatin1String("node()"))
        return true;
    if (name == QLatin1String("text()"))
        return node.isText();
    if (name == QLatin1String("comment()"))
        return node.isComment();
    if (name == QLatin1String("element()"))
        return node.isElement();
    if (name == QLatin1String("attribute()"))
        return node.isAttr();
    if (name == QLatin1String("processing-instruction()"))
        return node.isProcessingInstruction();
    if (name == QLatin1String("document-node()"))
        return node.isDocument();
    if (name == QLatin1String("@*"))
        return node.isAttr();
    if (name.startsWith(u'@'))
        return node.isAttr() && node.nodeName() == QStringView(name).mid(1);
    if (name == QLatin1String("*"))
        return node.isElement();
    return node.isElement() && node.nodeName() == name;
}

struct OperatorSymbol {
    const char *text;
    int op;
};

// Tried in this order, so "<=" wins over "<" and "!=" over "=".
constexpr OperatorSymbol operatorSymbols[] = {
    {"!=", XPathNotEqual}, {"<=", XPathLessOrEqual}, {">=", XPathGreaterOrEqual},
    {"=", XPathEqual},     {"<", XPathLess},         {">", XPathGreater},
};

XmlNodeList applyPredicate(const XmlNodeList &candidates, const QString &predicate)
{
    if (isDecimalNumber(predicate)) {
        const qint64 position = decimalValue(predicate);
        if (position < 1 || position > candidates.size())
            return {};
        return {candidates.at(position - 1)};
    }
    if (predicate == QLatin1String("first()"))
        return candidates.mid(0, 1);
    if (predicate == QLatin1String("last()"))
        return candidates.isEmpty() ? XmlNodeList() : XmlNodeList{candidates.last()};
    for (const OperatorSymbol &symbol : operatorSymbols) {
        const QLatin1String text(symbol.text);
        const qsizetype at = predicate.indexOf(text);
        if (at < 0)
            continue;
        const QString left = predicate.left(at).trimmed();
        const QString right = predicate.mid(at + text.size()).trimmed();
        XmlNodeList kept;
        for (const QDomNode &candidate : candidates) {
            if (compareXPathValues(evaluateXPathOperand(candidate, left),
                                   evaluateXPathOperand(candidate, right), symbol.op))
                kept.append(candidate);
        }
        return kept;
    }
    if (predicate.startsWith(u'@')) {
        const QString attribute = predicate.mid(1);
        XmlNodeList kept;
        for (const QDomNode &candidate : candidates) {
            if (candidate.isElement() && candidate.toElement().hasAttribute(attribute))
                kept.append(candidate);
        }
        return kept;
    }
    return {};
}

void evaluateNameStep(XmlNodeList &output, const XmlNodeList &input, const QString &path)
{
    int depth = 0;
    qsizetype opening = -1;
    qsizetype nameEnd = -1;
    qsizetype stepEnd = path.size();
    QStringList predicates;
    for (qsizetype i = 0; i < path.size(); ++i) {
        const QChar c = path.at(i);
        if (c == u'[') {
            if (depth == 0)
                opening = i;
            if (nameEnd < 0)
                nameEnd = i;
            ++depth;
        } else if (c == u']') {
            --depth;
            if (depth == 0 && opening >= 0)
                predicates.append(path.mid(opening + 1, i - opening - 1));
        } else if (c == u'/' && depth == 0) {
            stepEnd = i;
            break;
        }
    }
    if (nameEnd < 0 || nameEnd > stepEnd)
        nameEnd = stepEnd;
    const QString name = path.left(nameEnd);

    XmlNodeList candidates;
    for (const QDomNode &node : input) {
        if (matchesName(node, name))
            candidates.append(node);
    }
    for (const QString &predicate : std::as_const(predicates))
        candidates = applyPredicate(candidates, predicate);
    evaluateXPathSteps(output, candidates, path.mid(stepEnd));
}

} // namespace

XmlNodeList xpathSelect(const QDomNode &context, const QString &path)
{
    QString normalised = path;
    if (path.startsWith(QLatin1String("//")))
        normalised = u'.' + path;
    else if (path.startsWith(u'/'))
        normalised = path.mid(1);
    else if (!path.startsWith(u'.'))
        normalised = QStringLiteral("./") + path;
    XmlNodeList output;
    evaluateXPathSteps(output, {context}, normalised);
    return distinctXmlNodes(output);
}

QStringList xpathSelectTexts(const QDomNode &context, const QString &path)
{
    QStringList texts;
    const XmlNodeList nodes = xpathSelect(context, path);
    texts.reserve(nodes.size());
    for (const QDomNode &node : nodes)
        texts.append(xmlNodeText(node));
    return texts;
}

void evaluateXPathSteps(XmlNodeList &output, const XmlNodeList &input, const QString &path)
{
    if (input.isEmpty())
        return;
    if (path.isEmpty()) {
        output.append(input);
        return;
    }
    if (path.startsWith(QLatin1String("//"))) {
        const QString rest = path.mid(2);
        for (const QDomNode &node : input) {
            XmlNodeList descendants;
            collectXmlDescendants(descendants, node);
            evaluateXPathSteps(output, descendants, rest);
        }
        return;
    }
    if (path.startsWith(u'/')) {
        const QString rest = path.mid(1);
        if (path.startsWith(QLatin1String("/.")) || path.size() == 1) {
            evaluateXPathSteps(output, input, rest);
            return;
        }
        // Each parent's children form their own list, so positions count per parent.
        for (const QDomNode &node : input)
            evaluateXPathSteps(output, xmlAttributesAndChildren(node), rest);
        return;
    }
    if (path.startsWith(QLatin1String(".."))) {
        XmlNodeList parents;
        for (const QDomNode &node : input) {
            const QDomNode parent = node.parentNode();
            if (!parent.isNull())
                parents.append(parent);
        }
        const QString rest = path.mid(2);
        for (const QDomNode &parent : distinctXmlNodes(parents))
            evaluateXPathSteps(output, {parent}, rest);
        return;
    }
    if (path.startsWith(u'.')) {
        evaluateXPathSteps(output, input, path.mid(1));
        return;
    }
    evaluateNameStep(output, input, path);
}

void collectXmlDescendants(XmlNodeList &output, const QDomNode &node)
{
    output.append(node);
    const XmlNodeList below = xmlAttributesAndChildren(node);
    for (const QDomNode &child : below)
        collectXmlDescendants(output, child);
}

QStringList evaluateXPathOperand(const QDomNode &node, const QString &operand)
{
    if (isDecimalNumber(operand))
        return {operand.trimmed()};
    if ((operand.startsWith(u'\'') && operand.endsWith(u'\''))
        || (operand.startsWith(u'"') && operand.endsWith(u'"')))
        return {operand.mid(1, operand.size() - 2)};
    if (operand.startsWith(QLatin1String("count(")) && operand.endsWith(u')')) {
        const QString inner = operand.mid(6, operand.size() - 7);
        return {QString::number(xpathSelect(node, inner).size())};
    }
    return xpathSelectTexts(node, operand);
}

bool compareXPathValues(const QStringList &left, const QStringList &right, int op)
{
    if (left.isEmpty()) {
        if (op == XPathEqual)
            return right.isEmpty();
        if (op == XPathNotEqual)
            return !right.isEmpty();
        return false;
    }
    QStringList l = left;
    QStringList r = right;
    if (l.size() == 1 && r.size() >= 2)
        l = ListUtil::filled(int(r.size()), l.first());
    else if (l.size() >= 2 && r.size() == 1)
        r = ListUtil::filled(int(l.size()), r.first());
    if (l.size() != r.size())
        return op == XPathNotEqual;
    for (qsizetype i = 0; i < l.size(); ++i) {
        const QString &a = l.at(i);
        const QString &b = r.at(i);
        bool holds = false;
        switch (op) {
        case XPathEqual:
            holds = a == b || equalNumbers(a, b);
            break;
        case XPathNotEqual:
            holds = a != b && !equalNumbers(a, b);
            break;
        case XPathLess:
        case XPathLessOrEqual:
        case XPathGreater:
        case XPathGreaterOrEqual: {
            if (!isDecimalNumber(a) || !isDecimalNumber(b))
                return false;
            const qint64 x = decimalValue(a);
            const qint64 y = decimalValue(b);
            holds = op == XPathLess ? x < y
                  : op == XPathLessOrEqual ? x <= y
                  : op == XPathGreater ? x > y
                                       : x >= y;
            break;
        }
        default:
            return false;
        }
        if (!holds)
            return false;
    }
    return true;
}
