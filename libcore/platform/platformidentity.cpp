#include "libcore/platform/platformidentity.h"

#include <QSysInfo>

int platformId()
{
#if defined(Q_OS_WIN)
    return PlatformWindows;
#elif defined(Q_OS_MACOS)
    return PlatformMac;
#else
    return PlatformUnix;
#endif
}

QString osName()
{
    static const QString name = QSysInfo::prettyProductName();
    return name;
}

LineEnding nativeLineEnding()
{
#if defined(Q_OS_WIN)
    return LineEnding::CrLf;
#else
    return LineEnding::Lf;
#endif
}

QString lineEndingString(LineEnding kind)
{
    if (kind == LineEnding::Native)
        kind = nativeLineEnding();
    switch (kind) {
    case LineEnding::Lf:
        return QStringLiteral("\n");
    case LineEnding::CrLf:
        return QStringLiteral("\r\n");
    case LineEnding::Cr:
        return QStringLiteral("\r");
    default:
        return QString();
    }
}

QString convertLineEndings(const QString &text, LineEnding kind)
{
    if (kind == LineEnding::Keep)
        return text;
    // Most texts come without a carriage return: with LF endings, or without any line
    // break, they stay as they are and need no copy.
    const LineEnding resolved = kind == LineEnding::Native ? nativeLineEnding() : kind;
    if (!text.isEmpty() && !text.contains(u'\r') && (resolved == LineEnding::Lf || !text.contains(u'\n')))
        return text;
    const QString ending = lineEndingString(kind);
    if (ending.isEmpty())
        return text;
    QString result;
    result.reserve(text.size());
    const qsizetype len = text.size();
    for (qsizetype i = 0; i < len; ++i) {
        const QChar c = text[i];
        if (c == u'\r') {
            if (i + 1 < len && text[i + 1] == u'\n')
                ++i;
            result += ending;
        } else if (c == u'\n') {
            result += ending;
        } else {
            result += c;
        }
    }
    return result;
}
