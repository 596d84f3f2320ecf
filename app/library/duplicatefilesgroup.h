#pragma once

#include "app/library/duplicategroup.h"

// The duplicate sets of one target folder.
class DuplicateFilesGroup : public DuplicateGroup
{
    Q_OBJECT
public:
    explicit DuplicateFilesGroup(QObject *parent = nullptr);

    void resolve(const QList<DuplicateResolutionCondition *> &conditions, const QList<AudioFile *> &newFiles) override;
    QIcon icon() const override;

    // Whether the candidate should replace the current choice: the first condition that tells
    // them apart decides; on a full tie a library file wins over a new one.
    static bool isPreferred(AudioFile *candidate, AudioFile *current, const QList<DuplicateResolutionCondition *> &conditions,
                            const QList<AudioFile *> &newFiles);
};
