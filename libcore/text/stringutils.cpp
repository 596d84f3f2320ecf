#include "libcore/text/stringutils.h"

#include <algorithm>

#include <QHash>
#include <QUuid>

#include "libcore/text/codepoint.h"
#include "libcore/text/codepointiterator.h"

int countPlaceholders(QStringView text)
{
    int count = 0;
    const qsizetype len = text.size();
    for (qsizetype i = 0; i < len; ++i) {
        if (text[i] != u'%')
            continue;
        qsizetype j = i + 1;
        if (j < len && text[j] == u'L')
            ++j;
        if (j < len && text[j].isDigit())
            ++count;
        // Scanning goes on right after the '%' (or its 'L'): "%%1" counts once.
        i = j - 1;
    }
    return count;
}

bool isUrlText(const QString &text)
{
    const QString t = text.trimmed().toLower();
    for (const char *prefix : {"http:", "https:", "www.", "ftp:", "ftps:"}) {
        if (t.startsWith(QLatin1String(prefix)))
            return true;
    }
    return false;
}

QString alphanumericKey(QStringView text)
{
    QString key(text.size(), Qt::Uninitialized);
    QChar *out = key.data();
    qsizetype length = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i].unicode();
        if (unit < 0x80) {
            // Letters are lowered here already, so that the final pass changes nothing
            // in a plain ASCII text and copies nothing.
            if ((unit >= u'a' && unit <= u'z') || (unit >= u'0' && unit <= u'9'))
                out[length++] = QChar(unit);
            else if (unit >= u'A' && unit <= u'Z')
                out[length++] = QChar(char16_t(unit + (u'a' - u'A')));
            continue;
        }
        const bool pair = QChar::isHighSurrogate(unit) && i + 1 < text.size() && text[i + 1].isLowSurrogate();
        const CodePoint c(pair ? quint32(QChar::surrogateToUcs4(unit, text[i + 1].unicode())) : quint32(unit));
        if (c.isLetter() || c.isNumber()) {
            out[length++] = QChar(unit);
            if (pair)
                out[length++] = text[i + 1];
        }
        if (pair)
            ++i;
    }
    key.truncate(length);
    return std::move(key).toLower();
}

QString toCamelCase(QStringView text)
{
    QString result;
    result.reserve(text.size());
    bool upper = false;
    CodePointIterator it(text.toString());
    while (it.hasNext()) {
        const quint32 v = it.next().value();
        const bool kept = (v >= 'a' && v <= 'z') || (v >= 'A' && v <= 'Z') || (v >= '0' && v <= '9') || v == '_';
        if (!kept) {
            upper = true;
            continue;
        }
        const QChar c{char16_t(v)};
        result.append(upper ? c.toUpper() : c.toLower());
        upper = false;
    }
    return result;
}

QString pointerToString(const void *pointer)
{
    return QStringLiteral("0x%1").arg(quintptr(pointer), 8, 16, QLatin1Char('0'));
}

QString uuidToString(const QUuid &uuid, int format)
{
    switch (format) {
    case UuidWithBraces:
        return uuid.toString(QUuid::WithBraces).toLower();
    case UuidWithoutBraces:
        return uuid.toString(QUuid::WithoutBraces).toLower();
    default:
        return QString();
    }
}

size_t stringListHash(const QStringList &list, size_t seed) noexcept
{
    if (list.isEmpty())
        return 0;
    size_t h = size_t(list.size());
    const qsizetype n = std::min<qsizetype>(list.size(), 100);
    for (qsizetype i = 0; i < n; ++i)
        h ^= qHash(QStringView(list.at(i)).left(100), seed);
    return h;
}
