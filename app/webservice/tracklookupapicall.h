#pragma once

#include <QList>
#include <QMultiMap>

#include "app/webservice/metadataapicall.h"

class AudioTag;

enum TrackLookupApiCallTextId : quint32 {
    TrackLookupIdUnreadableTextId = 3793964610u, // 0xe2234e42 [i]
};

// Fetches the full tag data of tracks the user picked by their service ids, and writes it
// into the tags of the files assigned to each track.
class TrackLookupApiCall : public MetadataApiCall
{
    Q_OBJECT
public:
    static constexpr int TimeoutMs = 15000;

    explicit TrackLookupApiCall(const QList<qint32> &trackIds, QObject *parent = nullptr);
    void execute(CombinedProgressObject *progress) override;

    // Every tag under a track's id gets the track's items; item types the reply leaves out
    // stay as they are. Artwork is downloaded only when images are allowed.
    void applyResults(const QMultiMap<qint32, AudioTag *> &tags, bool imagesAllowed);

    const QList<qint32> trackIds;
};
