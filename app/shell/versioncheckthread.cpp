#include "app/shell/versioncheckthread.h"

#include "app/webservice/getappversionapicall.h"
#include "libcore/log/exception.h"

VersionCheckThread::VersionCheckThread(QObject *parent) : ProgressThread(parent)
{
}

VersionCheckThread::~VersionCheckThread()
{
    cancelAndWait();
}

void VersionCheckThread::run()
{
    m_succeeded = false;
    try {
        // Made in this thread: the call's network access belongs to the thread that sends.
        GetAppVersionApiCall call;
        call.execute(nullptr);
        const GetAppVersionApiCall::Version version = call.latestVersion();
        m_major = version.major;
        m_minor = version.minor;
        m_patch = version.patch;
        m_date = call.latestVersionDate();
        m_succeeded = true;
    } catch (const Exception &) {
        // The call has logged why; the GUI side reports the failed check.
    }
    progressObject()->finish();
}
