#pragma once

#include <QDomElement>
#include <QDomNode>
#include <QList>
#include <QString>

// Readers of the service's documents. Missing things read as empty texts and numbers as 0,
// so that a reply with a good status never fails on its data.

// The first element that the path selects below the context; null when there is none.
QDomElement firstXmlElement(const QDomNode &context, const QString &path);
// The child elements of that name, in document order.
QList<QDomElement> childXmlElements(const QDomElement &parent, const QString &name);
// The text of the element's attribute; empty when it is missing.
QString replyAttribute(const QDomNode &element, const QString &name);
// The attribute as a decimal integer; 0 when missing or not a number.
int replyNumber(const QDomNode &element, const QString &name);
// The decimal integers of a comma-separated text; parts that are not numbers are skipped.
QList<int> parseIntList(const QString &text);
