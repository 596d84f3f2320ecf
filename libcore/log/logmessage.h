#pragma once

#include <QString>
#include <QVariantList>

enum LogLevel : qint32 {
    Info = 0,
    Warning = 1,
    Error = 2,
    Question = 3,
    NoLevel = 4,
};

// One diagnostic record. Long text and byte arguments are cut to 1024 units at construction.
class LogMessage
{
public:
    LogMessage(quint32 code, LogLevel level, const QVariantList &arguments);
    LogMessage(const QString &text, LogLevel level);

    QString text() const;

    quint32 code = 0;
    QString m_text; // free text, used only when code is 0
    LogLevel level = NoLevel;
    QVariantList arguments;
    qint64 time = 0;
};

QVariantList flattenArguments(const QVariantList &arguments);
