#include "libcore/io/wholefile.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <functional>

#include "libcore/io/iostream.h"
#include "libcore/log/exception.h"

namespace {

void saveFile(const QString &path, const std::function<void(IoStream &)> &body)
{
    QSaveFile file(path);
    {
        IoStream stream(&file);
        stream.open(QIODevice::WriteOnly);
        try {
            body(stream);
        } catch (...) {
            file.cancelWriting();
            throw;
        }
    }
    if (!file.commit())
        throw Exception(WholeFileSaveFailedTextId, {QDir::toNativeSeparators(path), file.errorString()});
}

} // namespace

QByteArray readFile(const QString &path)
{
    IoStream stream(path, QIODevice::ReadOnly);
    return stream.readAll();
}

QString readTextFile(const QString &path, TextCodec *codec)
{
    IoStream stream(path, QIODevice::ReadOnly);
    return stream.readText(codec, TextLengthPrefix::None, -1, -1, false, false);
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    saveFile(path, [&](IoStream &stream) { stream.writeBytes(bytes); });
}

void writeNewFile(const QString &path, const QByteArray &bytes)
{
    // NewOnly creates with O_EXCL: an entry already at the path, a link included, fails the
    // open instead of being followed or replaced.
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        throw Exception(WholeFileCreateFailedTextId, {QDir::toNativeSeparators(path), file.errorString()});
    const bool written = file.write(bytes) == bytes.size() && file.flush();
    file.close();
    if (!written || file.error() != QFileDevice::NoError) {
        const QString reason = file.errorString();
        file.remove();
        throw Exception(WholeFileCreateFailedTextId, {QDir::toNativeSeparators(path), reason});
    }
}

void writeTextFile(const QString &path, const QString &text, TextCodec *codec)
{
    saveFile(path, [&](IoStream &stream) {
        stream.writeText(text, codec, TextLengthPrefix::None, -1, -1, true, false);
    });
}
