#pragma once

#include <QDomElement>
#include <QList>
#include <QMap>

class AudioTag;
class MetadataApiCall;
class QObject;
class TagItem;

enum LookupResultsTextId : quint32 {
    LookupValueCodeUnknownTextId = 2689054199u,    // 0xa047b5f7 [k]
    LookupValueRefusedTextId = 2882675990u,        // 0xabd22516 [item type name, value]
    LookupReferenceCodeUnknownTextId = 508379191u, // 0x1e4d4037 [k]
    LookupTooManyImagesTextId = 1578904183u,       // [the number of images fetched]
};

// The most artwork candidates of one reply element that are fetched; a reply that offers
// more (every leaflet page is kept) must not start thousands of downloads.
constexpr int MaxDownloadableImages = 100;

// New items of a lookup result by item type, each list in reply order. The items belong to
// the owner the reader was given until a tag takes them.
using LookupResultMap = QMap<int, QList<TagItem *>>;

// The items of the element's "m" children: plain values, credits gathered into one people
// list, links and user texts named after their field code, artwork the request sent (found by
// key) and, when images are allowed, artwork downloaded by the artwork settings.
LookupResultMap readAlbumData(const MetadataApiCall *call, const QDomElement &element, bool imagesAllowed,
                              QObject *owner);
// For each "x" child of the element, copies of the group's items of its item type (once per
// item type).
LookupResultMap readTrackData(const QDomElement &element, const LookupResultMap &group, QObject *owner);
// Writes a file's (or track's) element of a reply into the tag: every item type the element
// gives, with its own values first and the group's after, replaces the tag's items of that
// type. A date that only repeats part of a date the tag has already does not replace it.
void applyResultToTag(const MetadataApiCall *call, const QDomElement &element, const LookupResultMap &group,
                      bool imagesAllowed, AudioTag *tag);
