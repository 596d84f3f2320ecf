#pragma once

#include <QString>
#include <QVariant>

// The text functions of the script library, as the name table calls them: the lower-cased
// call name and the argument values, whose number the table has checked. Lengths and
// positions count UTF-16 units except where a function says code points.

QVariant scriptLength(const QString &key, const QVariantList &arguments);
QVariant scriptIsEmpty(const QString &key, const QVariantList &arguments);
QVariant scriptChar(const QString &key, const QVariantList &arguments);
QVariant scriptOrd(const QString &key, const QVariantList &arguments);
QVariant scriptIsDigit(const QString &key, const QVariantList &arguments);

QVariant scriptContains(const QString &key, const QVariantList &arguments);
QVariant scriptStartsWith(const QString &key, const QVariantList &arguments);
QVariant scriptEndsWith(const QString &key, const QVariantList &arguments);
// 1-based, 0 when missing; under the name "find" 0-based, -1 when missing.
QVariant scriptIndexOf(const QString &key, const QVariantList &arguments);
QVariant scriptLastIndexOf(const QString &key, const QVariantList &arguments);

QVariant scriptLeft(const QString &key, const QVariantList &arguments);
QVariant scriptRight(const QString &key, const QVariantList &arguments);
QVariant scriptMidCharacter(const QString &key, const QVariantList &arguments);
QVariant scriptMid(const QString &key, const QVariantList &arguments);
QVariant scriptMidToEnd(const QString &key, const QVariantList &arguments);
QVariant scriptSubstr(const QString &key, const QVariantList &arguments);
QVariant scriptTruncate(const QString &key, const QVariantList &arguments);

QVariant scriptInsert(const QString &key, const QVariantList &arguments);
QVariant scriptRemoveText(const QString &key, const QVariantList &arguments);
QVariant scriptRemoveRange(const QString &key, const QVariantList &arguments);
QVariant scriptReplace(const QString &key, const QVariantList &arguments);
QVariant scriptRegExpReplace(const QString &key, const QVariantList &arguments);
QVariant scriptRepeat(const QString &key, const QVariantList &arguments);
QVariant scriptReverse(const QString &key, const QVariantList &arguments);
QVariant scriptTrim(const QString &key, const QVariantList &arguments);
QVariant scriptPad(const QString &key, const QVariantList &arguments);
QVariant scriptSplit(const QString &key, const QVariantList &arguments);
QVariant scriptValidate(const QString &key, const QVariantList &arguments);
QVariant scriptDistance(const QString &key, const QVariantList &arguments);

QVariant scriptUpper(const QString &key, const QVariantList &arguments);
QVariant scriptLower(const QString &key, const QVariantList &arguments);
QVariant scriptCaps(const QString &key, const QVariantList &arguments);
QVariant scriptCaps2(const QString &key, const QVariantList &arguments);
QVariant scriptCaps3(const QString &key, const QVariantList &arguments);
