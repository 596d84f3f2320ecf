#include "support_interop.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace interop {

namespace {

// Prints one JSON object of key -> list of texts. Pictures, binary APE values and MP4 covers
// become "picture:<md5 of the image bytes>"; ID3 frames give their texts, MP4 pairs "n/m".
const char *const mutagenScript = R"PY(
import sys, json, hashlib, base64
import mutagen
from mutagen.id3 import Frame
from mutagen.apev2 import APEv2

def picture(data):
    return 'picture:' + hashlib.md5(data).hexdigest()

def texts(key, value):
    if isinstance(value, Frame):
        if key.startswith('APIC'):
            return [picture(value.data)]
        if hasattr(value, 'text'):
            return [str(t) for t in value.text]
        return [str(value)]
    if isinstance(value, list):
        return [t for v in value for t in texts(key, v)]
    if isinstance(value, tuple):
        return ['/'.join(str(x) for x in value)]
    kind = type(value).__name__
    if kind == 'MP4Cover':
        return [picture(bytes(value))]
    if kind == 'MP4FreeForm':
        return [bytes(value).decode('utf-8', 'replace')]
    if kind == 'APETextValue':
        return list(value)
    if kind == 'APEBinaryValue':
        data = value.value
        return [picture(data[data.index(b'\0') + 1:] if b'\0' in data else data)]
    if kind == 'ASFByteArrayAttribute' and key == 'WM/Picture':
        data = value.value
        # type, size, mime and description as UTF-16 strings ending in two zero bytes
        at = 5
        for _ in range(2):
            while data[at:at + 2] != b'\0\0':
                at += 2
            at += 2
        return [picture(data[at:])]
    if kind.startswith('ASF'):
        return [str(value.value)]
    if key.lower() == 'metadata_block_picture':
        from mutagen.flac import Picture
        return [picture(Picture(base64.b64decode(value)).data)]
    return [str(value)]

path, view = sys.argv[1], sys.argv[2]
tags = None
pictures = []
if view == 'ape':
    try:
        tags = APEv2(path)
    except mutagen.MutagenError:
        tags = None
else:
    f = mutagen.File(path)
    if f is not None:
        tags = f.tags
        pictures = getattr(f, 'pictures', None) or []
out = {}
if tags is not None:
    pairs = tags.items() if hasattr(tags, 'items') else list(tags)
    for key, value in pairs:
        # A comment frame without a language has NULs in its key.
        out.setdefault(key.replace('\0', ''), []).extend(texts(key, value))
for p in pictures:
    out.setdefault('pictures', []).append(picture(p.data))
print(json.dumps(out, ensure_ascii=True, sort_keys=True))
)PY";

// Runs the program to its end in the environment, or in the test's own when it is empty.
bool runIn(const QProcessEnvironment &environment, const QString &program, const QStringList &arguments,
           QByteArray *out, QByteArray *errors)
{
    QProcess process;
    if (!environment.isEmpty())
        process.setProcessEnvironment(environment);
    process.start(program, arguments);
    if (!process.waitForStarted(10000))
        return false;
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished(5000);
        return false;
    }
    if (out)
        *out = process.readAllStandardOutput();
    if (errors)
        *errors = process.readAllStandardError();
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

const QStringList kid3Fields{QStringLiteral("title"), QStringLiteral("artist"), QStringLiteral("album"),
                             QStringLiteral("track")};

// kid3-cli with an empty home of its own for the whole test run.
bool runKid3(const QStringList &commands, const QString &path, QByteArray *out, QByteArray *errors)
{
    static QTemporaryDir home;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), home.path());
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral(".config")));
    QStringList arguments;
    for (const QString &command : commands)
        arguments << QStringLiteral("-c") << command;
    return runIn(environment, QStringLiteral("kid3-cli"), arguments + QStringList{path}, out, errors);
}

} // namespace

bool run(const QString &program, const QStringList &arguments, QByteArray *out, QByteArray *errors)
{
    return runIn(QProcessEnvironment(), program, arguments, out, errors);
}

bool hasTool(const QString &program)
{
    if (program.contains(QLatin1Char('/')))
        return QFileInfo(program).isExecutable();
    return !QStandardPaths::findExecutable(program).isEmpty();
}

bool hasMutagen()
{
    static const bool present = hasTool(python) && run(python, {"-c", "import mutagen"});
    return present;
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString audioMd5(const QString &path)
{
    QByteArray out;
    QByteArray errors;
    if (!run(QStringLiteral("ffmpeg"), {"-v", "error", "-i", path, "-map", "0:a", "-f", "md5", "-"}, &out, &errors))
        return QStringLiteral("<failed> ") + QString::fromUtf8(errors);
    return QString::fromLatin1(out).trimmed();
}

QString pictureKey(const QByteArray &bytes)
{
    return QStringLiteral("picture:")
           + QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex());
}

QMap<QString, QStringList> mutagenTags(const QString &path, MutagenView view)
{
    QByteArray out;
    QByteArray errors;
    const QString viewName = view == MutagenView::Ape ? QStringLiteral("ape") : QStringLiteral("file");
    if (!run(python, {"-c", mutagenScript, path, viewName}, &out, &errors))
        return {{QStringLiteral("<failed>"), {QString::fromUtf8(errors)}}};
    QMap<QString, QStringList> result;
    const QJsonObject object = QJsonDocument::fromJson(out).object();
    for (auto it = object.begin(); it != object.end(); ++it) {
        QStringList values;
        for (const QJsonValue &value : it.value().toArray())
            values.append(value.toString());
        result.insert(it.key(), values);
    }
    return result;
}

ProbeResult ffprobe(const QString &path)
{
    ProbeResult result;
    QByteArray out;
    if (!run(QStringLiteral("ffprobe"),
             {"-v", "error", "-show_entries", "format_tags:stream_tags:stream=codec_type:stream_disposition=attached_pic",
              "-of", "json", path},
             &out))
        return result;
    const QJsonObject root = QJsonDocument::fromJson(out).object();
    auto addTags = [&result](const QJsonObject &tags) {
        for (auto it = tags.begin(); it != tags.end(); ++it)
            result.tags.insert(it.key().toLower(), it.value().toString());
    };
    addTags(root.value("format").toObject().value("tags").toObject());
    for (const QJsonValue &stream : root.value("streams").toArray()) {
        const QJsonObject object = stream.toObject();
        if (object.value("disposition").toObject().value("attached_pic").toInt() == 1)
            ++result.attachedPictures;
        else if (object.value("codec_type").toString() == QLatin1String("audio"))
            addTags(object.value("tags").toObject());
    }
    result.ok = true;
    return result;
}

QByteArray pngImage(int seed)
{
    QImage image(8, 8, QImage::Format_RGB32);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x)
            image.setPixel(x, y, qRgb((x * 31 + seed * 7) % 256, (y * 29 + seed) % 256, (x * y * 5) % 256));
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

bool hasKid3()
{
    return hasTool(QStringLiteral("kid3-cli"));
}

QMap<QString, QString> kid3Tags(const QString &path, const QString &tag)
{
    QStringList commands;
    for (const QString &field : kid3Fields)
        commands.append(QStringLiteral("get %1 %2").arg(field, tag));
    QByteArray out;
    QByteArray errors;
    if (!runKid3(commands, path, &out, &errors))
        return {{QStringLiteral("<failed>"), QString::fromUtf8(errors)}};
    // One line per field while the tag exists, none at all when it does not.
    QStringList lines = QString::fromUtf8(out).split(QLatin1Char('\n'));
    if (lines.last().isEmpty())
        lines.removeLast();
    QMap<QString, QString> result;
    if (lines.isEmpty())
        return result;
    if (lines.size() != kid3Fields.size())
        return {{QStringLiteral("<failed>"), QStringLiteral("unexpected output: ") + QString::fromUtf8(out)}};
    for (int i = 0; i < kid3Fields.size(); ++i) {
        if (!lines.at(i).isEmpty())
            result.insert(kid3Fields.at(i), lines.at(i));
    }
    return result;
}

bool kid3Write(const QString &path, const QString &tag, const QMap<QString, QString> &values, QString *errors)
{
    QStringList commands;
    for (auto it = values.begin(); it != values.end(); ++it) {
        // kid3-cli's own quoting: single quotes, a quote inside escaped with a backslash.
        QString value = it.value();
        value.replace(QLatin1Char('\\'), QStringLiteral("\\\\")).replace(QLatin1Char('\''), QStringLiteral("\\'"));
        commands.append(QStringLiteral("set %1 '%2' %3").arg(it.key(), value, tag));
    }
    QByteArray out;
    QByteArray err;
    if (runKid3(commands, path, &out, &err))
        return true;
    if (errors)
        *errors = QString::fromUtf8(out + err);
    return false;
}

} // namespace interop
