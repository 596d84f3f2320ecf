#pragma once

#include "libcore/log/logger.h"

class QIODevice;

// Writes one UTF-8 line per message to a device it owns. Does not register itself: it is the
// base of the file and console loggers.
class StreamLogger : public Logger
{
    Q_OBJECT
public:
    explicit StreamLogger(QObject *parent = nullptr);
    StreamLogger(QIODevice *device, QObject *parent = nullptr);

    void log(const LogMessage &message) override;

    // Takes ownership; the previous device is deleted. Null leaves the logger without output.
    void setDevice(QIODevice *device);
    QIODevice *device() const;

private:
    QIODevice *m_device = nullptr;
};
