#pragma once

#include <QList>

#include "libcore/log/logger.h"

// Keeps the messages in memory. Registers itself, so a command creates one on the stack to
// collect what its work logs, from any thread, and asks it afterwards.
class BufferedLogger : public Logger
{
    Q_OBJECT
public:
    explicit BufferedLogger(QObject *parent = nullptr);
    ~BufferedLogger() override;

    void log(const LogMessage &message) override;

    // Queries return copies; "nothing found" is the empty message (level NoLevel).
    QList<LogMessage> messages() const;
    LogMessage lastMessage() const;
    LogMessage lastMessageOfLevels(const QList<LogLevel> &levels) const;
    LogMessage lastErrorOrWarning() const;
    LogMessage lastError() const;
    LogMessage lastWarning() const;
    bool containsCode(quint32 code) const;
    bool containsLevel(LogLevel level) const;

    void clear();
    // -1: unbounded. Otherwise the oldest messages beyond the bound are dropped.
    int maxCount() const;
    void setMaxCount(int maxCount);

Q_SIGNALS:
    // Emitted with the logger's lock (and during dispatch the registry's) held.
    void changed();

private:
    void dropOverflow();

    QList<LogMessage> m_messages;
    int m_maxCount = -1;
};
