#include "libcore/io/wholefile.h"

#include <QDir>
#include <QSaveFile>

#include <functional>

#include "libcore/io/iostream.h"
#include "libcore/log/exception.h"

namespace {

constexpr quint32 SaveFailed = 2619166359u;

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
        throw Exception(SaveFailed, {QDir::toNativeSeparators(path), file.errorString()});
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

void writeTextFile(const QString &path, const QString &text, TextCodec *codec)
{
    saveFile(path, [&](IoStream &stream) {
        stream.writeText(text, codec, TextLengthPrefix::None, -1, -1, true, false);
    });
}
