#pragma once

#include <QMetaType>
#include <QString>
#include <QVariantList>

enum LogLevel : qint32 {
    Info = 0,
    Warning = 1,
    Error = 2,
    Question = 3, // dialogs' validation messages; never logged
    NoLevel = 4,  // the empty message, returned by queries that find nothing
};

// One diagnostic record. Long text and byte arguments are cut to 1024 units at construction,
// so a runaway value does not bloat every buffered copy and log line.
class LogMessage
{
public:
    // The empty message: no text, level NoLevel.
    LogMessage();
    LogMessage(quint32 code, LogLevel level, const QVariantList &arguments);
    LogMessage(const QString &text, LogLevel level);

    // The display text: empty for NoLevel, the free text when the code is 0, else the
    // catalogue text of the code with the arguments filled in.
    QString text() const;

    static constexpr qsizetype MaxArgumentLength = 1024;

    quint32 code = 0;
    QString m_text; // free text, used only when code is 0
    LogLevel level = NoLevel;
    QVariantList arguments;
    qint64 time = 0; // milliseconds since the epoch, UTC
};

Q_DECLARE_METATYPE(LogMessage)

// A single argument that is itself a list stands for the list of arguments (one level only).
QVariantList flattenArguments(const QVariantList &arguments);

// The catalogue text of `code`, capitalised, with its placeholders filled by the arguments'
// text forms in one pass: an argument that contains "%2" stays as it is.
QString formatMessageText(quint32 code, const QVariantList &arguments);

// One line of a log file or the console, without a line break: "[time] [code] [LEVEL] text",
// each part only when asked for; empty for a NoLevel message.
QString formatLogLine(const LogMessage &message, bool showTime, bool showCode, bool showLevel);
