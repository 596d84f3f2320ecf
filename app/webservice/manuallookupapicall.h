#pragma once

#include <QList>

#include "app/webservice/manuallookupquery.h"
#include "app/webservice/serverapicall.h"

class DbAlbumGroup;
class DbArtist;
class LinearProgressObject;

// Searches release groups by artist, release and track title. The records it creates are
// children of the query's result parent, never of the call.
class ManualLookupApiCall : public ServerApiCall
{
    Q_OBJECT
public:
    static constexpr int TimeoutMs = 15000;

    explicit ManualLookupApiCall(const ManualLookupQuery &query, QObject *parent = nullptr);
    // A given progress object gets two children: the exchange and the reading.
    void execute(CombinedProgressObject *progress) override;

    QString artist;
    QString release;
    QString title;
    QObject *resultParent = nullptr;
    bool tooManyResults = false;
    QList<DbArtist *> artists;
    QList<DbAlbumGroup *> groups;
};

// Appends the texts of a search ("a" artist, "r" release, "t" title; empty ones left out).
void addManualLookupData(QDomElement data, const QString &artist, const QString &release,
                         const QString &title);
// Whether a reply's data says that the search found too many results.
bool hasTooManyResults(const QDomElement &data);

// A caller's progress split into the exchange and the work that follows it, half each. The
// parts belong to `owner` until the caller's progress adopts them; both are null without one.
struct SplitProgress
{
    CombinedProgressObject *exchange = nullptr;
    LinearProgressObject *work = nullptr;
};
SplitProgress splitProgress(CombinedProgressObject *progress, QObject *owner);
