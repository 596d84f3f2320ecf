#pragma once

#include "libcore/log/streamlogger.h"

// Appends the log lines to a file. Registers itself, also when the file cannot be opened
// (it then writes nothing).
class FileLogger : public StreamLogger
{
    Q_OBJECT
public:
    explicit FileLogger(QObject *parent = nullptr);
    explicit FileLogger(const QString &fileName, QObject *parent = nullptr);
    ~FileLogger() override;

    // Opens the file for appending; on failure the previous file stays in use.
    void setFileName(const QString &fileName);
    QString fileName() const;

private:
    QString m_fileName;
};
