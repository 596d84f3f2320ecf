#include "tools/tagtool/identifyreport.h"

#include <QDir>
#include <QJsonArray>

#include "app/identification/idartistname.h"
#include "app/identification/idmainhandlerthread.h"
#include "app/identification/idsegment.h"
#include "app/model/audiofileloading.h"
#include "app/model/audiofilemodeldata.h"
#include "app/model/modeldatatype.h"
#include "app/operations/audiofileselection.h"
#include "app/operations/modelupdateoperation.h"
#include "app/shell/headlessmainwindow.h"
#include "app/webservice/serviceendpoint.h"
#include "libcore/log/exception.h"
#include "libcore/settings/settingsstore.h"
#include "libgui/progress/progressdialog.h"
#include "libtagging/model/audiofile.h"
#include "libtagging/model/audiotag.h"
#include "tools/tagtool/tagreport.h"

#include <algorithm>
#include <memory>

namespace {
const quint32 UnknownOption = 3879518214u;
const quint32 MissingArgument = 2648380825u;
const quint32 NoPaths = 2437005162u;
const quint32 NoAudioFilesFound = 1276904733u;
const quint32 IdentificationFailed = 3974092704u;

// Names of the identification fields and of the confidence classes, as scripts read them.
const char *const FieldNames[] = {"", "artist", "album", "title", "trackNumber", "trackCount",
                                  "discNumber", "discCount", "releaseDate"};
const char *const ConfidenceNames[] = {"", "rejected", "weak", "strong"};
const char *const GroupTypeNames[] = {"oneArtistAlbum", "variousArtistsAlbum", "unrelatedFiles"};

QJsonValue fieldValue(int field, const QVariant &value)
{
    if (field == IdField::Artist)
        return IdArtistName::fromVariant(value).toString(false);
    if (value.canConvert<int>() && (value.typeId() == QMetaType::Int || value.typeId() == QMetaType::LongLong))
        return value.toInt();
    return value.toString();
}

QJsonObject identified(const IdFileFindings &findings)
{
    QJsonObject result;
    for (auto it = findings.values.cbegin(); it != findings.values.cend(); ++it) {
        if (it.key() <= IdField::None || it.key() > IdField::ReleaseDate)
            continue;
        const int confidence = findings.valueConfidences.value(it.key());
        result.insert(QLatin1String(FieldNames[it.key()]),
                      QJsonObject{{QStringLiteral("value"), fieldValue(it.key(), it.value())},
                                  {QStringLiteral("confidence"), confidence >= 1 && confidence <= 3
                                                                     ? QJsonValue(QLatin1String(ConfidenceNames[confidence]))
                                                                     : QJsonValue(QJsonValue::Null)}});
    }
    return result;
}

QJsonValue group(const IdFileFindings &findings)
{
    if (findings.albumGroup < 0)
        return QJsonValue::Null;
    const int type = findings.albumGroupType;
    return QJsonObject{{QStringLiteral("index"), findings.albumGroup},
                       {QStringLiteral("type"), type >= 0 && type <= 2 ? QJsonValue(QLatin1String(GroupTypeNames[type]))
                                                                       : QJsonValue(type)},
                       {QStringLiteral("artist"), findings.albumGroupArtist},
                       {QStringLiteral("album"), findings.albumGroupAlbum}};
}

// The item types whose values the update changes, with the values it gives them.
QJsonObject working(const ModelUpdateOperation *operation, AudioFile *file)
{
    const auto copies = operation->tagCopies().value(file);
    if (!copies.working)
        return {};
    const QJsonObject before = TagReport::itemsByType(copies.snapshot);
    const QJsonObject after = TagReport::itemsByType(copies.working);
    QStringList keys = before.keys() + after.keys();
    keys.removeDuplicates();
    QJsonObject result;
    for (const QString &key : std::as_const(keys)) {
        if (before.value(key) != after.value(key))
            result.insert(key, after.value(key).isUndefined() ? QJsonValue(QJsonArray()) : after.value(key));
    }
    return result;
}
} // namespace

IdentifyReport IdentifyReport::parse(const QStringList &arguments)
{
    IdentifyReport result;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (argument == u"--service") {
            if (i + 1 >= arguments.size())
                throw Exception(MissingArgument, {argument}, false);
            result.service = arguments.at(++i);
        } else if (argument.startsWith(u"--")) {
            throw Exception(UnknownOption, {argument}, false);
        } else {
            result.paths.append(argument);
        }
    }
    if (result.paths.isEmpty())
        throw Exception(NoPaths, {}, false);
    return result;
}

void IdentifyReport::run(const std::function<void(const QJsonObject &)> &print) const
{
    if (!service.isEmpty())
        SettingsStore::setValue(QLatin1String(ServiceEndpointSettingsKey), service);
    HeadlessMainWindow window;
    QStringList absolutePaths;
    for (const QString &path : paths)
        absolutePaths.append(QDir(path).absolutePath());
    openPaths(absolutePaths, true);
    QList<AudioFile *> files = window.store()->loadedFiles().values();
    if (files.isEmpty())
        throw Exception(NoAudioFilesFound, {QDir::toNativeSeparators(paths.join(u' '))}, false);
    std::sort(files.begin(), files.end(), audioFilePathLessThan);

    // Every tag cell of every file, as when the whole table is selected.
    AudioFileSelection selection(window.model());
    selection.insert(files, dataTypesOfCategories({ModelDataType::CategoryTagItem}));
    auto thread = std::make_unique<IdMainHandlerThread>(selection);
    thread->setOnlineLookup(!service.isEmpty());
    thread->setCollectsFindings(true);
    if (!runProgressThread(thread.get(), false)) {
        // A canceled thread deletes itself; nothing cancels it here, but never touch it then.
        (void)thread.release();
        throw Exception(IdentificationFailed, {}, false);
    }
    std::unique_ptr<ModelUpdateOperation> operation(thread->takeResult(nullptr));
    if (!operation)
        throw Exception(IdentificationFailed, {}, false);

    for (AudioFile *file : std::as_const(files)) {
        const IdFileFindings findings = thread->findings().value(file);
        print(QJsonObject{{QStringLiteral("path"), file->filePath()},
                          {QStringLiteral("onlineLookup"), !service.isEmpty()},
                          {QStringLiteral("identified"), identified(findings)},
                          {QStringLiteral("group"), group(findings)},
                          {QStringLiteral("working"), working(operation.get(), file)}});
    }
}
