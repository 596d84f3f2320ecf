#pragma once

#include <QObject>
#include <QRecursiveMutex>
#include <QVariantList>

#include "libcore/log/logmessage.h"

// Base of every logger. Registered loggers receive every message; there is no filtering.
// Lock order: the registry mutex, then one logger's own mutex.
class Logger : public QObject
{
    Q_OBJECT
public:
    explicit Logger(QObject *parent = nullptr);
    ~Logger() override;

    virtual void log(const LogMessage &message) = 0;

    // Registration keeps the order of registration; a logger is in the registry at most once.
    void setRegistered(bool registered);
    bool isRegistered() const;

    // Which parts of the line a line writer shows; all true from construction.
    bool showTimestamp() const;
    bool showCode() const;
    bool showLevel() const;
    void setShowTimestamp(bool show);
    void setShowCode(bool show);
    void setShowLevel(bool show);

    // Hands one message to every registered logger, oldest registration first, one message
    // at a time across all threads.
    static void logToAll(const LogMessage &message);
    static void info(quint32 code, const QVariantList &arguments = {});
    static void warning(quint32 code, const QVariantList &arguments = {});
    static void error(quint32 code, const QVariantList &arguments = {});

protected:
    mutable QRecursiveMutex m_mutex;

private:
    bool m_showTimestamp = true;
    bool m_showCode = true;
    bool m_showLevel = true;
};
