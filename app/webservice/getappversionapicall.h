#pragma once

#include <QDate>

#include "app/webservice/serverapicall.h"

// Asks for the newest released version of the application and its release date.
class GetAppVersionApiCall : public ServerApiCall
{
    Q_OBJECT
public:
    static constexpr int TimeoutMs = 3000;

    struct Version
    {
        int major = 0;
        int minor = 0;
        int patch = 0;
        bool operator==(const Version &other) const = default;
    };

    explicit GetAppVersionApiCall(QObject *parent = nullptr);
    void execute(CombinedProgressObject *progress) override;

    // Read from the last reply; a number that is missing or not a number reads as 0.
    Version latestVersion() const;
    // A null date when the reply's numbers form no calendar date.
    QDate latestVersionDate() const;

private:
    int replyNumber(const QString &path) const;
};
