#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <QVariantList>

#include "app/identification/idfingerprinter.h"
#include "app/webservice/metadataapicall.h"

class IdAudioFile;
class IdAudioFileGroup;
class ModelUpdateOperation;

enum AutoLookupApiCallTextId : quint32 {
    AutoLookupFileCountTextId = 2359901123u, // 0x8ca93bc3 [files in the reply, files in the request]
};

// Asks the service about one album group of the identification: what the engine has worked
// out about the group and each of its files, their fingerprints and some of their tag values,
// and for embedded artwork a key and a size (never the picture). The reply carries tag data
// per file, which applyResults writes into the working copies of an update operation.
class AutoLookupApiCall : public MetadataApiCall
{
    Q_OBJECT
public:
    static constexpr int TimeoutMs = 15000;

    // The group, its files, their tags and artwork must outlive the call.
    AutoLookupApiCall(IdAudioFileGroup *group, const QMap<IdAudioFile *, IdFingerprintResult> &fingerprints,
                      QObject *parent = nullptr);
    void execute(CombinedProgressObject *progress) override;
    ArtworkTagItem *requestArtwork(const QString &key) const override;

    // Writes the reply into the working copies of the group's selected files: their per-file
    // item types are cleared and the reply's items put in. Throws (and changes nothing) when
    // the reply has another number of files than the request.
    void applyResults(ModelUpdateOperation *operation, bool imagesAllowed);

    // The item types sent for every file, in request order.
    static const QList<int> &fileItemTypes();
    // The item types the group itself carries for a group type.
    static QList<int> groupItemTypes(int groupType);

    IdAudioFileGroup *group() const { return m_group; }

private:
    QVariantList groupValues(int itemType) const;
    QVariantList fileValues(IdAudioFile *file, int itemType) const;

    IdAudioFileGroup *m_group;
    QMap<IdAudioFile *, IdFingerprintResult> m_fingerprints;
    QMap<QString, ArtworkTagItem *> m_sentArtwork;
};

// The key under which a request names an artwork: the checksum of its encoded picture and its
// picture type, e.g. "2c17398c.3".
QString artworkImageKey(const ArtworkTagItem *artwork);
