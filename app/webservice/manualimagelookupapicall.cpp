#include "app/webservice/manualimagelookupapicall.h"

#include "app/webservice/manuallookupapicall.h"
#include "libcore/log/exception.h"
#include "libcore/progress/combinedprogressobject.h"
#include "libcore/progress/linearprogressobject.h"
#include "libcore/xml/xpath.h"

ManualImageLookupApiCall::ManualImageLookupApiCall(const ManualLookupQuery &query, QObject *parent)
    : ServerApiCall(QStringLiteral("75e5f6f5"), parent),
      artist(query.artist),
      release(query.release),
      title(query.title)
{
    addManualLookupData(requestData(), artist, release, title);
}

void ManualImageLookupApiCall::execute(CombinedProgressObject *progress)
{
    QObject run; // owns the progress children until they are adopted
    result = DbImageLookupResult();

    const SplitProgress parts = splitProgress(progress, &run);
    LinearProgressObject *downloads = parts.work;
    send(parts.exchange, TimeoutMs);
    auto finish = [progress] {
        if (progress)
            progress->finish();
    };

    const QDomElement data = replyData();
    result.tooManyResults = hasTooManyResults(data);
    if (result.tooManyResults || data.isNull()) {
        finish();
        return;
    }
    int preferred = 0;
    for (const QDomNode &element : xpathSelect(data, QStringLiteral("a"))) {
        const DbAlbumImage image = readAlbumImage(element);
        preferred += image.preferred ? 1 : 0;
        result.entries.append({image, CodedImage()});
    }
    if (result.entries.isEmpty()) {
        finish();
        return;
    }
    if (downloads)
        downloads->setMaximum(preferred);

    // Downloads take long; a cancelled search stops between them.
    auto canceled = [progress] { return progress && progress->isCanceled(); };
    for (int i = 0; i < result.entries.size() && !canceled(); ++i) {
        if (!result.entries[i].image.preferred)
            continue;
        try {
            result.download(i);
            if (downloads)
                downloads->advance(1);
        } catch (const Exception &) {
            // one candidate that cannot be fetched does not end the search
        }
    }
    if (result.downloadedCount() == 0 && !canceled()) {
        if (downloads)
            downloads->setMaximum(int(result.entries.size()) - preferred);
        for (int i = 0; i < result.entries.size() && !canceled(); ++i) {
            if (result.entries[i].image.preferred)
                continue;
            try {
                result.download(i);
            } catch (const Exception &) {
            }
            if (downloads)
                downloads->advance(1);
        }
    }
    finish();
    if (result.downloadedCount() == 0)
        result = DbImageLookupResult(); // nothing to show is the same as nothing found
}
