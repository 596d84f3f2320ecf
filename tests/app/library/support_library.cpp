#include "app/library/support_library.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLocale>
#include <QRandomGenerator>

#include "libcore/log/exception.h"
#include "libcore/progress/progressobject.h"
#include "libcore/settings/settingsstore.h"
#include "libcore/text/resourcepackage.h"
#include "libcore/text/textcatalogue.h"
#include "libtagging/model/audiofile.h"
#include "libtagging/model/audiotag.h"
#include "libtagging/model/tagitem.h"
#include "libtagging/support_tools.h"

void loadLibraryTestEnvironment()
{
    registerResourceFiles({QStringLiteral("libcore.rcc"), QStringLiteral("libtagging.rcc"),
                           QStringLiteral("melotaxonic.rcc")});
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    TextCatalogue::applyLanguage(english, english);
    SettingsStore::loadDefaultsFile(QStringLiteral(":/melotaxonic/settings/defaults.xml"));
    SettingsStore::reset();
}

QString encodeAudio(const QString &folder, const QString &suffix, quint32 seed)
{
    // A tenth of a second of quiet noise, 16-bit mono at 44.1 kHz.
    QByteArray samples(44100 / 10 * 2, '\0');
    QRandomGenerator random(seed);
    for (qsizetype i = 0; i < samples.size(); i += 2) {
        const qint16 value = qint16(int(random.bounded(2000)) - 1000);
        samples[i] = char(value & 0xFF);
        samples[i + 1] = char((value >> 8) & 0xFF);
    }
    const QString raw = QDir(folder).filePath(QStringLiteral("noise%1.raw").arg(seed));
    QFile file(raw);
    if (!file.open(QIODevice::WriteOnly) || file.write(samples) != samples.size())
        return {};
    file.close();
    const QString out = QDir(folder).filePath(QStringLiteral("noise%1.%2").arg(seed).arg(suffix));
    bool ok = false;
    if (suffix == QLatin1String("mp3")) {
        ok = run(QStringLiteral("lame"), {"--quiet", "-r", "-s", "44.1", "--bitwidth", "16", "-m", "m", "--signed",
                                          "--little-endian", "-b", "32", "--noreplaygain", "-t", raw, out});
    } else if (suffix == QLatin1String("flac")) {
        ok = run(QStringLiteral("flac"), {"--silent", "-f", "--force-raw-format", "--endian=little", "--sign=signed",
                                          "--channels=1", "--bps=16", "--sample-rate=44100", raw, "-o", out});
    }
    QFile::remove(raw);
    return ok ? out : QString();
}

bool makeTaggedFile(const QString &encoded, const QString &path, const QMap<int, QVariant> &tags)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile::remove(path);
    if (!QFile::copy(encoded, path))
        return false;
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    try {
        AudioFile file(path);
        auto *tag = new AudioTag;
        for (auto it = tags.cbegin(); it != tags.cend(); ++it) {
            TagItem *item = TagItem::create(it.key(), tag);
            if (!item || !item->fromVariant(it.value()))
                return false;
            tag->addItem(item);
        }
        file.setTag(tag, 0);
        file.writeTags(0);
    } catch (const Exception &) {
        return false;
    }
    return true;
}

namespace {

quint32 be24(const QByteArray &bytes, qsizetype at)
{
    return (quint32(quint8(bytes[at])) << 16) | (quint32(quint8(bytes[at + 1])) << 8) | quint32(quint8(bytes[at + 2]));
}

} // namespace

QByteArray audioPayload(const QString &path)
{
    const QByteArray bytes = fileBytes(path);
    if (bytes.startsWith("fLaC")) {
        qsizetype at = 4;
        while (at + 4 <= bytes.size()) {
            const bool last = quint8(bytes[at]) & 0x80;
            at += 4 + be24(bytes, at + 1);
            if (last)
                break;
        }
        return bytes.mid(at);
    }
    qsizetype start = 0;
    if (bytes.startsWith("ID3") && bytes.size() >= 10) {
        const quint32 size = (quint32(bytes[6] & 0x7F) << 21) | (quint32(bytes[7] & 0x7F) << 14) |
                             (quint32(bytes[8] & 0x7F) << 7) | quint32(bytes[9] & 0x7F);
        start = 10 + size + ((bytes[5] & 0x10) ? 10 : 0);
    }
    qsizetype end = bytes.size();
    if (end - start >= 128 && bytes.mid(end - 128, 3) == "TAG")
        end -= 128;
    // Padding of the ID3v2 tag is not audio.
    while (start < end && bytes[start] == '\0')
        ++start;
    return bytes.mid(start, end - start);
}

QStringList filesBelow(const QString &folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext())
        files.append(QDir(folder).relativeFilePath(it.next()));
    files.sort();
    return files;
}

QStringList mutagenTags(const QString &path)
{
    const QByteArray output = outputOf(QStringLiteral("/usr/bin/python3"),
        {"-c", "import sys, mutagen\n"
               "f = mutagen.File(sys.argv[1], easy=True)\n"
               "for k in sorted((f.tags or {}).keys()):\n"
               "    print('%s=%s' % (k, '/'.join(f.tags[k])))\n",
         path});
    QStringList lines = QString::fromUtf8(output).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    lines.sort();
    return lines;
}

QList<quint32> CollectingLogger::codes() const
{
    QList<quint32> result;
    for (const LogMessage &message : messages)
        result.append(message.code);
    return result;
}

int CollectingLogger::count(quint32 code) const
{
    return int(codes().count(code));
}

void LibraryCancellingLogger::log(const LogMessage &message)
{
    if (message.code == m_code && ++m_seen == m_nth)
        m_progress->cancel();
}
