#pragma once

#include "app/webservice/serverapicall.h"

class DbAlbumGroup;

// Fetches the releases of a release group, with their events, media, tracks and artwork
// candidates, and fills the group with them.
class ReleaseGroupLookupApiCall : public ServerApiCall
{
    Q_OBJECT
public:
    static constexpr int TimeoutMs = 15000;

    explicit ReleaseGroupLookupApiCall(DbAlbumGroup *group, QObject *parent = nullptr);
    void execute(CombinedProgressObject *progress) override;

    DbAlbumGroup *group = nullptr; // not owned
};
