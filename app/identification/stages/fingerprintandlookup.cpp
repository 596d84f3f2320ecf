#include "app/identification/stages/fingerprintandlookup.h"

#include "app/identification/idaudiofile.h"
#include "app/identification/idaudiofilegroup.h"
#include "app/identification/idfingerprinter.h"
#include "app/webservice/autolookupapicall.h"
#include "libcore/progress/combinedprogressobject.h"
#include "libcore/progress/linearprogressobject.h"
#include "libcore/settings/settingsstore.h"
#include "libtagging/model/audiofile.h"
#include "libtagging/model/audiotag.h"

namespace {

// A file that carries both values already is not fingerprinted again.
bool needsFingerprint(const IdAudioFile *file)
{
    const AudioTag *tag = file->audioFile() ? file->audioFile()->combinedTag() : nullptr;
    return !tag || !tag->contains(TagItemType::PlayDuration) || !tag->contains(TagItemType::Fingerprint);
}

} // namespace

void fingerprintAndLookup(const QList<IdAudioFileGroup *> &groups, CombinedProgressObject *progress,
                          ModelUpdateOperation *operation)
{
    QObject local; // the calls, and the progress objects nobody adopted
    auto canceled = [progress] { return progress && progress->isCanceled(); };

    QList<CombinedProgressObject *> groupProgress;
    if (progress) {
        for (const IdAudioFileGroup *group : groups) {
            auto *part = new CombinedProgressObject(&local);
            progress->addChild(part, double(group->files.size()), true);
            groupProgress.append(part);
        }
    }
    if (groups.isEmpty()) {
        if (progress)
            progress->finish();
        return;
    }
    qsizetype total = 0;
    for (const IdAudioFileGroup *group : groups)
        total += group->files.size();

    for (qsizetype g = 0; g < groups.size(); ++g) {
        IdAudioFileGroup *group = groups.at(g);
        CombinedProgressObject *part = groupProgress.value(g);
        auto *fingerprinting = new LinearProgressObject(&local);
        auto *lookup = new CombinedProgressObject(&local);
        if (part) {
            part->addChild(fingerprinting, 1, true);
            part->addChild(lookup, 1, true);
        }

        QList<IdAudioFile *> unprinted;
        for (IdAudioFile *file : group->files) {
            if (needsFingerprint(file))
                unprinted.append(file);
        }
        // The runner stops its calculators when the progress is cancelled (and kills any that
        // hangs); only complete results come back, so a failed run leaves the tag's values.
        const QMap<IdAudioFile *, IdFingerprintResult> fingerprints = fingerprintFiles(unprinted, fingerprinting);
        if (canceled())
            return;

        auto *call = new AutoLookupApiCall(group, fingerprints, &local);
        executeWithRetry(call, lookup);
        if (canceled())
            return;

        const bool imagesAllowed = (group->type == IdAudioFileGroup::UnrelatedFiles && total > MaxFilesForUnrelatedArtwork)
                                       ? false
                                       : SettingsStore::boolValue(QStringLiteral("artwork/download/enabled"));
        call->applyResults(operation, imagesAllowed);
        if (part)
            part->finish();
        if (canceled())
            return;
    }
    if (progress)
        progress->finish();
}
