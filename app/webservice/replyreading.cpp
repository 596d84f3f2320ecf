#include "app/webservice/replyreading.h"

#include "libcore/xml/xpath.h"

QDomElement firstXmlElement(const QDomNode &context, const QString &path)
{
    for (const QDomNode &node : xpathSelect(context, path)) {
        if (node.isElement())
            return node.toElement();
    }
    return QDomElement();
}

QList<QDomElement> childXmlElements(const QDomElement &parent, const QString &name)
{
    QList<QDomElement> children;
    for (QDomElement child = parent.firstChildElement(name); !child.isNull(); child = child.nextSiblingElement(name))
        children.append(child);
    return children;
}

QString replyAttribute(const QDomNode &element, const QString &name)
{
    return xmlNodeText(xpathSelect(element, QLatin1Char('@') + name).value(0));
}

int replyNumber(const QDomNode &element, const QString &name)
{
    return replyAttribute(element, name).toInt(); // 0 when not a number
}

QList<int> parseIntList(const QString &text)
{
    QList<int> numbers;
    for (const QString &part : text.split(QLatin1Char(','))) {
        bool ok = false;
        const int number = part.toInt(&ok, 10);
        if (ok)
            numbers.append(number);
    }
    return numbers;
}
