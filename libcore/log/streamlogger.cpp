#include "libcore/log/streamlogger.h"

#include <QFile>

#include "libcore/platform/platformidentity.h"

StreamLogger::StreamLogger(QObject *parent) : Logger(parent) {}

StreamLogger::StreamLogger(QIODevice *device, QObject *parent) : Logger(parent)
{
    setDevice(device);
}

void StreamLogger::setDevice(QIODevice *device)
{
    QMutexLocker lock(&m_mutex);
    if (device == m_device)
        return;
    delete m_device;
    m_device = device;
    if (m_device)
        m_device->setParent(this);
}

QIODevice *StreamLogger::device() const
{
    QMutexLocker lock(&m_mutex);
    return m_device;
}

void StreamLogger::log(const LogMessage &message)
{
    QMutexLocker lock(&m_mutex);
    if (!m_device)
        return;
    // Files on disk get the platform's line break; the console gets "\n".
    auto *file = qobject_cast<QFile *>(m_device);
    const bool onDisk = file && file->handle() != 1 && file->handle() != 2;
    const QString line = formatLogLine(message, showTimestamp(), showCode(), showLevel()) + QLatin1Char('\n');
    // Line breaks inside the message text are made alike, so every line of the file ends the same.
    m_device->write(convertLineEndings(line, onDisk ? LineEnding::Native : LineEnding::Lf).toUtf8());
    if (file)
        file->flush();
}
