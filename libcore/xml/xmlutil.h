#pragma once

#include <QByteArray>
#include <QDomDocument>
#include <QDomElement>
#include <QDomNode>
#include <QList>
#include <QString>

// Free functions over Qt's DOM that every XML user goes through: one serialised layout
// (tab-indented or compact, always UTF-8), parsing under one process-wide lock with
// coded errors, and the node lists the path language works on.

// Lists of node handles; two entries are the same node when they refer to one DOM node.
using XmlNodeList = QList<QDomNode>;

QString xmlNodeText(const QDomNode &node);

QDomDocument createXmlDocument(const QString &rootName, const QString &version, const QString &encoding);

QString xmlToString(const QDomDocument &document, bool compact);
QByteArray xmlToByteArray(const QDomDocument &document, bool compact);
void saveXmlFile(const QDomDocument &document, const QString &path, bool compact);

void setXmlText(QDomNode element, const QString &text);
QString escapeXml(const QString &text);

XmlNodeList xmlAttributesAndChildren(const QDomNode &node);
XmlNodeList distinctXmlNodes(const XmlNodeList &nodes);

QDomDocument parseXml(const QString &text);
QDomDocument parseXmlBytes(const QByteArray &bytes);
QDomDocument loadXmlFile(const QString &path);

QDomElement appendXmlElement(QDomNode parent, const QString &name);
QDomElement appendXmlTextElement(QDomNode parent, const QString &name, const QString &text);
QDomElement insertXmlElementBefore(QDomNode parent, const QString &name, const QDomNode &referenceChild);
