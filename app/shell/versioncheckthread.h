#pragma once

#include <QDate>

#include "libcore/progress/progressthread.h"

// Asks the service for the newest version of the program, away from the GUI thread so that
// the window stays responsive while the call waits for its answer.
class VersionCheckThread : public ProgressThread
{
    Q_OBJECT
public:
    explicit VersionCheckThread(QObject *parent = nullptr);
    ~VersionCheckThread() override;

    // Valid once the thread has ended: whether the call succeeded and what it answered.
    bool succeeded() const { return m_succeeded; }
    int major() const { return m_major; }
    int minor() const { return m_minor; }
    int patch() const { return m_patch; }
    QDate releaseDate() const { return m_date; }

protected:
    void run() override;

private:
    bool m_succeeded = false;
    int m_major = 0;
    int m_minor = 0;
    int m_patch = 0;
    QDate m_date;
};
