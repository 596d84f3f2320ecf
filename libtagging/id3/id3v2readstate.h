#pragma once

#include "libcore/util/partialdatetime.h"
#include "libtagging/id3/id3v2frameflags.h"

class AudioTag;
class IoStream;
class QObject;
struct Id3v2Settings;
class VolumeAdjustmentTagItem;

// What one read of an ID3v2 tag shares between the frame loop and the frame handlers: the
// tag being built and the values gathered over several frames, made into items at the end.
struct Id3v2ReadState {
    AudioTag *tag = nullptr;
    const Id3v2Settings *settings = nullptr; // the options of the version written
    int version = 0;
    IoStream *sourceStream = nullptr; // names the file in messages
    PartialDateTime releaseDate;
    PartialDateTime originalReleaseDate;
    VolumeAdjustmentTagItem *volumeAdjustment = nullptr;
    QObject *parent = nullptr; // owns the items not yet known to go to the tag
    Id3v2FrameFlags flags;     // of the frame being read, for frames kept as unknown data
};
