#pragma once

#include <QString>
#include <QStringList>

class QUuid;

// The number of "%n" and "%Ln" placeholders (any decimal digit after them); a placeholder
// used twice counts twice.
int countPlaceholders(QStringView text);

// Whether a text is a web or file-transfer address ("http:", "https:", "www.", "ftp:", "ftps:").
bool isUrlText(const QString &text);

// The letters and numbers of a text, lower-cased: the key under which names are compared.
QString alphanumericKey(QStringView text);

// An identifier-style form: ASCII letters, digits and '_' kept, anything else dropped and
// capitalising the next kept character ("Hello world" -> "helloWorld").
QString toCamelCase(QStringView text);

// "0x" and the address in lower-case hexadecimal, at least 8 digits.
QString pointerToString(const void *pointer);

enum UuidFormat { UuidWithBraces = 0, UuidWithoutBraces = 1 };
// A null text for any other format.
QString uuidToString(const QUuid &uuid, int format = UuidWithBraces);

// Hash of a list of texts that reads at most the first 100 texts and 100 units of each; for
// hash tables keyed by long lists: QHash<QStringList, T, ...> via a hasher or a key wrapper.
// Not an overload of qHash: Qt already defines one for QStringList, and a translation unit
// that did not see ours would hash the same table differently.
size_t stringListHash(const QStringList &list, size_t seed = 0) noexcept;
