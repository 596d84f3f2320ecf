#include "libcore/log/filelogger.h"

#include <QFile>

#include <memory>

FileLogger::FileLogger(QObject *parent) : StreamLogger(parent)
{
    setRegistered(true);
}

FileLogger::FileLogger(const QString &fileName, QObject *parent) : StreamLogger(parent)
{
    setFileName(fileName);
    setRegistered(true);
}

FileLogger::~FileLogger()
{
    setRegistered(false);
}

void FileLogger::setFileName(const QString &fileName)
{
    QMutexLocker lock(&m_mutex);
    auto file = std::make_unique<QFile>(fileName);
    // Read-write rather than append: the old content stays and we write at its end.
    if (!file->open(QIODevice::ReadWrite) || !file->seek(file->size()))
        return;
    setDevice(file.release());
    m_fileName = fileName;
}

QString FileLogger::fileName() const
{
    QMutexLocker lock(&m_mutex);
    return m_fileName;
}
