#pragma once

#include <QStringList>

#include "libcore/xml/xmlutil.h"

// A small path language modelled on XPath location paths ("/text/t", "id/text()",
// "item[@id='5']"). It never fails: a path outside the grammar selects fewer nodes or none.

// Comparison operators of predicates.
enum XPathOperator {
    XPathEqual = 1,
    XPathNotEqual = 2,
    XPathLess = 3,
    XPathLessOrEqual = 4,
    XPathGreater = 5,
    XPathGreaterOrEqual = 6,
};

XmlNodeList xpathSelect(const QDomNode &context, const QString &path);
QStringList xpathSelectTexts(const QDomNode &context, const QString &path);

// The evaluator's steps, for the two functions above.
void evaluateXPathSteps(XmlNodeList &output, const XmlNodeList &input, const QString &path);
void collectXmlDescendants(XmlNodeList &output, const QDomNode &node);
QStringList evaluateXPathOperand(const QDomNode &node, const QString &operand);
bool compareXPathValues(const QStringList &left, const QStringList &right, int op);
