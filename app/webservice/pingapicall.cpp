#include "app/webservice/pingapicall.h"

PingApiCall::PingApiCall(QObject *parent) : ServerApiCall(QStringLiteral("5d81fc49"), parent) {}

void PingApiCall::execute(CombinedProgressObject *progress)
{
    send(progress, TimeoutMs);
}
