#include "libcore/log/bufferedlogger.h"

BufferedLogger::BufferedLogger(QObject *parent) : Logger(parent)
{
    setRegistered(true);
}

BufferedLogger::~BufferedLogger()
{
    setRegistered(false);
}

void BufferedLogger::log(const LogMessage &message)
{
    QMutexLocker lock(&m_mutex);
    m_messages.append(message);
    dropOverflow();
    Q_EMIT changed();
}

QList<LogMessage> BufferedLogger::messages() const
{
    QMutexLocker lock(&m_mutex);
    return m_messages;
}

LogMessage BufferedLogger::lastMessage() const
{
    QMutexLocker lock(&m_mutex);
    return m_messages.isEmpty() ? LogMessage() : m_messages.last();
}

LogMessage BufferedLogger::lastMessageOfLevels(const QList<LogLevel> &levels) const
{
    QMutexLocker lock(&m_mutex);
    for (auto it = m_messages.crbegin(); it != m_messages.crend(); ++it) {
        if (levels.contains(it->level))
            return *it;
    }
    return LogMessage();
}

LogMessage BufferedLogger::lastErrorOrWarning() const
{
    return lastMessageOfLevels({Error, Warning});
}

LogMessage BufferedLogger::lastError() const
{
    return lastMessageOfLevels({Error});
}

LogMessage BufferedLogger::lastWarning() const
{
    return lastMessageOfLevels({Warning});
}

bool BufferedLogger::containsCode(quint32 code) const
{
    QMutexLocker lock(&m_mutex);
    for (const LogMessage &m : m_messages) {
        if (m.code == code)
            return true;
    }
    return false;
}

bool BufferedLogger::containsLevel(LogLevel level) const
{
    QMutexLocker lock(&m_mutex);
    for (const LogMessage &m : m_messages) {
        if (m.level == level)
            return true;
    }
    return false;
}

void BufferedLogger::clear()
{
    QMutexLocker lock(&m_mutex);
    m_messages.clear();
    Q_EMIT changed();
}

int BufferedLogger::maxCount() const
{
    QMutexLocker lock(&m_mutex);
    return m_maxCount;
}

void BufferedLogger::setMaxCount(int maxCount)
{
    QMutexLocker lock(&m_mutex);
    if (maxCount == m_maxCount)
        return;
    m_maxCount = maxCount;
    dropOverflow();
    Q_EMIT changed();
}

void BufferedLogger::dropOverflow()
{
    if (m_maxCount >= 0 && m_messages.size() > m_maxCount)
        m_messages.remove(0, m_messages.size() - m_maxCount);
}
