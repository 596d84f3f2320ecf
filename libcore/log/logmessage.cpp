#include "libcore/log/logmessage.h"

#include <QDateTime>

#include "libcore/text/formatting.h"
#include "libcore/text/stringutils.h"
#include "libcore/text/texttable.h"

LogMessage::LogMessage() : time(QDateTime::currentMSecsSinceEpoch()) {}

LogMessage::LogMessage(quint32 code, LogLevel level, const QVariantList &arguments)
    : code(code), level(level), arguments(arguments), time(QDateTime::currentMSecsSinceEpoch())
{
    for (QVariant &a : this->arguments) {
        if (a.typeId() == QMetaType::QString) {
            const QString s = a.toString();
            if (s.size() > MaxArgumentLength)
                a = QVariant(s.left(MaxArgumentLength));
        } else if (a.typeId() == QMetaType::QByteArray) {
            const QByteArray b = a.toByteArray();
            if (b.size() > MaxArgumentLength)
                a = QVariant(b.left(MaxArgumentLength));
        }
    }
}

LogMessage::LogMessage(const QString &text, LogLevel level)
    : m_text(text), level(level), time(QDateTime::currentMSecsSinceEpoch())
{
}

QString LogMessage::text() const
{
    if (level == NoLevel)
        return QString();
    if (code == 0)
        return m_text;
    return formatMessageText(code, arguments);
}

QVariantList flattenArguments(const QVariantList &arguments)
{
    if (arguments.size() == 1 && arguments.first().typeId() == QMetaType::QVariantList)
        return arguments.first().toList();
    return arguments;
}

QString formatMessageText(quint32 code, const QVariantList &arguments)
{
    const QString text = textForId(code);
    const qsizetype n = std::min<qsizetype>(countPlaceholders(upperCaseFirst(text, true)), arguments.size());
    QStringList values;
    values.reserve(n);
    for (qsizetype i = 0; i < n; ++i)
        values.append(arguments.at(i).toString());
    // Capitalised after filling, so a text that begins with a placeholder shows its argument
    // capitalised.
    return upperCaseFirst(fillPlaceholders(text, values), true);
}

QString formatLogLine(const LogMessage &message, bool showTime, bool showCode, bool showLevel)
{
    if (message.level == NoLevel)
        return QString();
    QString line;
    if (showTime) {
        line += QLatin1Char('[')
                + QDateTime::fromMSecsSinceEpoch(message.time).toLocalTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"))
                + QLatin1String("] ");
    }
    if (showCode)
        line += QStringLiteral("[%1] ").arg(message.code, 8, 16, QLatin1Char('0'));
    if (showLevel) {
        switch (message.level) {
        case Info:
            line += QLatin1String("[INFO] ");
            break;
        case Warning:
            line += QLatin1String("[WARNING] ");
            break;
        case Error:
            line += QLatin1String("[ERROR] ");
            break;
        case Question:
            line += QLatin1String("[QUESTION] ");
            break;
        default:
            break;
        }
    }
    return line + message.text();
}
