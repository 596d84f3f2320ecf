#include "libcore/text/resourcepackage.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QResource>

#include "libcore/io/paths.h"
#include "libcore/log/exception.h"
#include "libcore/platform/platformidentity.h"
#include "libcore/text/textcatalogue.h"

namespace {

constexpr quint32 ResourceError = 868660387;

void applySystemLanguage()
{
    TextCatalogue::applyLanguage(QLocale(), QLocale(QLocale::English, QLocale::UnitedStates));
}

} // namespace

void registerResourceFile(const QString &fileName, const QString &mountRoot)
{
    try {
        applySystemLanguage();
        QStringList candidates{fileName};
        if (!isAbsolutePath(fileName)) {
            const QString appFolder = withTrailingSlash(QCoreApplication::applicationDirPath());
            candidates.append(appFolder + fileName);
            if (platformId() == 1)
                candidates.append(appFolder + QStringLiteral("../Resources/") + fileName);
        }
        bool mounted = false;
        for (const QString &candidate : std::as_const(candidates)) {
            if (QResource::registerResource(candidate, mountRoot)) {
                mounted = true;
                break;
            }
        }
        if (!mounted)
            throw Exception::quiet();
        const QString table = QStringLiteral("%1/%2").arg(mountRoot, QStringLiteral("text/text.xml"));
        if (QFileInfo::exists(withoutTrailingSlash(table))) {
            TextCatalogue::load(table);
            applySystemLanguage();
        }
    } catch (const Exception &e) {
        if (!e.message().isEmpty())
            throw;
        throw Exception(ResourceError, {fileName}, true);
    }
}

void registerResourceFiles(const QStringList &fileNames)
{
    for (const QString &name : fileNames) {
        const QString baseName = fileName(withoutTrailingSlash(name)).section(u'.', 0, 0);
        registerResourceFile(name, QStringLiteral(":/%1").arg(baseName));
    }
}
