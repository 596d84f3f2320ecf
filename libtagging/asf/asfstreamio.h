#pragma once

#include "libtagging/asf/asfattribute.h"
#include "libtagging/asf/asfsettings.h"
#include "libtagging/model/iaudiostreamio.h"

#include <QString>

class AsfObject;

// ASF files and their metadata objects.
// A stateless singleton, shared by every thread.
class AsfStreamIo : public IAudioStreamIo
{
public:
    static AsfStreamIo *instance();

    QList<AudioTag *> readTags(IoStream *stream, const QList<int> &tagTypes,
                               const TaggingSettings *settings, QObject *parent) override;
    void writeTags(IoStream *stream, const AudioTag *tag, const QList<int> &tagTypes,
                   const TaggingSettings *settings) override;
    void removeTags(IoStream *stream, const QList<int> &tagTypes,
                    const TaggingSettings *settings) override;
    AudioProperties readAudioProperties(IoStream *stream, ICodecIo *codecIo) override;
    QList<int> supportedItemTypes() const override;

    // The objects of the length bytes from the stream's position; maxCount -1 reads all.
    // Top-level objects become children of parent, nested ones of their container.
    static QList<AsfObject *> parseObjects(IoStream *stream, qint64 length, int maxCount,
                                           QObject *parent);
    // Throws unless the first object is a Header Object.
    static void checkHeader(IoStream *stream, const QList<AsfObject *> &objects);

    // Serialises an attribute as a descriptor or, when it needs more than a descriptor can
    // hold, as a Metadata Library record; a byte string already in its list is not added again.
    static void addAttribute(const AsfAttribute &attribute, QList<QByteArray> &descriptors,
                             QList<QByteArray> &libraryRecords);

    // Settings
    static AsfSettings loadSettings(const QString &group);
    static void saveSettings(const AsfSettings &settings, const QString &group);

private:
    AsfStreamIo() = default;
    ~AsfStreamIo() override = default;
};
