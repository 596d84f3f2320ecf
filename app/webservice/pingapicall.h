#pragma once

#include "app/webservice/serverapicall.h"

// Tells whether the service can be reached and accepts this client; execute() throws when not.
class PingApiCall : public ServerApiCall
{
    Q_OBJECT
public:
    static constexpr int TimeoutMs = 5000;

    explicit PingApiCall(QObject *parent = nullptr);
    void execute(CombinedProgressObject *progress) override;
};
