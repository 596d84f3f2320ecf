#include "app/model/artworktempfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHash>

#include "libcore/image/codedimage.h"
#include "libcore/io/filetree.h"
#include "libcore/io/paths.h"
#include "libcore/io/wholefile.h"
#include "libcore/log/exception.h"
#include "libcore/log/logger.h"

QUrl artworkTempFileUrl(const CodedImage &image)
{
    // The image last written to each path; GUI thread only.
    static QHash<QString, CodedImage> written;

    const QString application = QCoreApplication::applicationName();
    const QString path = withTrailingSlash(withoutTrailingSlash(QDir::tempPath()))
                         + (application.isEmpty() ? QString() : application + u'/')
                         + QStringLiteral("folder.") + image.suffix();
    if (image.data.isEmpty())
        return QUrl();
    // Written already, unless something cleaned the temporary folder since.
    if (written.value(path).data == image.data && QFileInfo::exists(path))
        return QUrl::fromLocalFile(path);
    try {
        makePath(parentPath(path));
        writeFile(path, image.data);
    } catch (const Exception &) {
        Logger::warning(ArtworkTempFileNotWritten, {QDir::toNativeSeparators(path)});
        return QUrl();
    }
    written.insert(path, image);
    return QUrl::fromLocalFile(path);
}
