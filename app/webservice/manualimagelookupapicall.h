#pragma once

#include "app/webservice/dbimagelookupresult.h"
#include "app/webservice/manuallookupquery.h"
#include "app/webservice/serverapicall.h"

// Searches artwork by artist, release and track title, then downloads a first set of the
// candidates: the preferred ones, or every one when none of those gave an image.
class ManualImageLookupApiCall : public ServerApiCall
{
    Q_OBJECT
public:
    static constexpr int TimeoutMs = 15000;

    explicit ManualImageLookupApiCall(const ManualLookupQuery &query, QObject *parent = nullptr);
    // A given progress object gets two children: the exchange and the downloads.
    void execute(CombinedProgressObject *progress) override;

    QString artist;
    QString release;
    QString title;
    DbImageLookupResult result;
};
