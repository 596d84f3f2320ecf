#include "libtagging/model/filetype.h"

#include <algorithm>

#include <QHash>

#include "libcore/io/iostream.h"
#include "libcore/io/paths.h"
#include "libcore/log/exception.h"
#include "libcore/text/texttable.h"
#include "libtagging/aiff/aiffstreamio.h"
#include "libtagging/asf/asfstreamio.h"
#include "libtagging/model/taginfo.h"
#include "libtagging/mp4/mp4streamio.h"
#include "libtagging/plain/freestreamio.h"
#include "libtagging/plain/monkeysaudiocodecio.h"
#include "libtagging/plain/mpegcodecio.h"
#include "libtagging/plain/musepackcodecio.h"
#include "libtagging/plain/optimfrogcodecio.h"
#include "libtagging/plain/takcodecio.h"
#include "libtagging/plain/trueaudiocodecio.h"
#include "libtagging/plain/wavpackcodecio.h"
#include "libtagging/riff/riffstreamio.h"
#include "libtagging/xiph/flacstreamio.h"
#include "libtagging/xiph/oggstreamio.h"
#include "libtagging/xiph/speexstreamio.h"

namespace {

TagTypeOption option(int tagType, int mode)
{
    return TagTypeOption{tagType, mode};
}

QList<FileType> buildRegistry()
{
    using namespace TagType;
    using namespace TagTypeMode;
    IAudioStreamIo *const plain = FreeStreamIo::instance();
    IAudioStreamIo *const ogg = OggStreamIo::instance();
    const QList<TagTypeOption> apeWritten{option(Id3v1, Remove), option(Ape, Write)};
    const QList<TagTypeOption> vorbisComment{option(VorbisComment, Write)};

    // The order is the detection order and the order of allSuffixes().
    return {
        FileType(1, {"mp1", "mp2", "mp3"}, {}, {plain},
                 {option(Id3v1, Write), option(Id3v2, Write), option(Lyrics3, Remove), option(Ape, Remove)},
                 MpegCodecIo::instance()),
        FileType(2, {"ogg", "oga", "opus"}, {}, {ogg}, vorbisComment, nullptr),
        FileType(3, {"flac", "fla"}, {}, {FlacStreamIo::instance(), ogg}, vorbisComment, nullptr),
        FileType(4, {"spx"}, {}, {ogg, SpeexStreamIo::instance()}, vorbisComment, nullptr),
        FileType(5, {"wma", "asf"}, {}, {AsfStreamIo::instance()}, {option(Asf, Write)}, nullptr),
        FileType(6, {"mp4", "m4a", "m4b", "m4p", "f4a", "f4b"}, {}, {Mp4StreamIo::instance()},
                 {option(Mp4, Write)}, nullptr),
        FileType(7, {"ape"}, {}, {plain}, apeWritten, MonkeysAudioCodecIo::instance()),
        FileType(8, {"mpc", "mpp", "mp+"}, {}, {plain}, apeWritten, MusePackCodecIo::instance()),
        FileType(9, {"wv"}, {}, {plain}, apeWritten, WavPackCodecIo::instance()),
        FileType(10, {"ofr", "ofs"}, {}, {plain}, apeWritten, OptimFrogCodecIo::instance()),
        FileType(11, {"tak"}, {}, {plain}, {option(Ape, Write)}, TakCodecIo::instance()),
        FileType(12, {"tta"}, {}, {plain},
                 {option(Id3v1, Write), option(Id3v2, Write), option(Ape, Remove)},
                 TrueAudioCodecIo::instance()),
        FileType(13, {"wav", "wave", "rmi"}, {}, {RiffStreamIo::instance()},
                 {option(RiffInfo, Write), option(Id3v2, Write)}, nullptr),
        FileType(14, {"aiff", "aif", "aifc"}, {}, {AiffStreamIo::instance()},
                 {option(Aiff, Write), option(Id3v2, Write)}, nullptr),
        FileType(16, {"aac", "aacp"}, {}, {plain}, {option(Id3v1, Write), option(Id3v2, Write)},
                 nullptr),
        FileType(0,
                 {"raw", "pcm", "mid", "kar", "shn", "ra", "amr", "ac3", "dts", "au", "snd", "vqf"},
                 {}, {plain}, {}, nullptr),
    };
}

// Display names of the ids 0 to 16; 15 has a name but no record.
const quint32 typeNameIds[] = {
    2906874188u, 887486105u,  1503943458u, 2779918179u, 4039516615u, 616415150u,
    88024313u,   907733141u,  975097658u,  1868284994u, 1448479259u, 112733724u,
    212679877u,  2485962234u, 2347582165u, 1138239104u, 2487208497u,
};

// The part of the last path component after its last dot.
QString suffixOf(const QString &name)
{
    const QString file = fileName(withoutTrailingSlash(name));
    const qsizetype dot = file.lastIndexOf(u'.');
    return dot < 0 ? QString() : file.mid(dot + 1);
}

const FileType *detectBySignature(IoStream *stream)
{
    // Opening a stream that cannot be opened logs an error; don't for nothing to compare.
    static const bool anySignature = std::any_of(FileType::all().cbegin(), FileType::all().cend(),
                                                 [](const FileType &type) { return !type.magic.isEmpty(); });
    if (!anySignature)
        return nullptr;
    QIODevice *device = stream->device();
    const bool wasOpen = device && device->isOpen();
    const FileType *found = nullptr;
    try {
        if (!wasOpen)
            stream->open(QIODevice::ReadOnly);
        for (const FileType &type : FileType::all()) {
            if (type.magic.isEmpty())
                continue;
            stream->seek(0);
            if (stream->size() < type.magic.size())
                continue;
            if (stream->readBytes(type.magic.size()) == type.magic) {
                found = &type;
                break;
            }
        }
    } catch (const Exception &) {
        found = nullptr;
    }
    if (!wasOpen && device && device->isOpen())
        device->close();
    return found;
}

} // namespace

FileType::FileType(int id, const QStringList &suffixes, const QByteArray &magic,
                   const QList<IAudioStreamIo *> &streamIos,
                   const QList<TagTypeOption> &tagTypeOptions, ICodecIo *codecIo)
    : id(id), suffixes(suffixes), magic(magic), streamIos(streamIos),
      tagTypeOptions(tagTypeOptions), codecIo(codecIo)
{
}

const QList<FileType> &FileType::all()
{
    static const QList<FileType> registry = buildRegistry();
    return registry;
}

const FileType *FileType::byId(int id)
{
    for (const FileType &type : all()) {
        if (type.id == id)
            return &type;
    }
    return nullptr;
}

const FileType *FileType::detect(IoStream *stream)
{
    if (!stream)
        return nullptr;
    const QString suffix = suffixOf(stream->name());
    if (!suffix.isEmpty()) {
        // Every file opened asks: one lookup instead of a walk over every type's suffixes.
        static const QHash<QString, const FileType *> bySuffix = [] {
            QHash<QString, const FileType *> table;
            for (const FileType &type : all()) {
                // The first type in detection order keeps a suffix two types share.
                for (const QString &known : type.suffixes) {
                    if (!table.contains(known.toLower()))
                        table.insert(known.toLower(), &type);
                }
            }
            return table;
        }();
        return bySuffix.value(suffix.toLower());
    }
    return detectBySignature(stream);
}

const QStringList &FileType::allSuffixes()
{
    static const QStringList suffixes = [] {
        QStringList list;
        for (const FileType &type : all())
            list += type.suffixes;
        return list;
    }();
    return suffixes;
}

QStringList FileType::fileDialogFilters()
{
    QStringList filters;
    for (const QString &suffix : allSuffixes())
        filters.append(QStringLiteral("*.") + suffix);
    return filters;
}

QList<TagTypeOption> FileType::defaultTagTypeOptions(int id)
{
    const FileType *type = byId(id);
    return type ? type->tagTypeOptions : QList<TagTypeOption>();
}

QList<int> FileType::defaultTagTypesWithMode(int id, int mode)
{
    QList<int> tagTypes;
    for (const TagTypeOption &option : defaultTagTypeOptions(id)) {
        if (option.mode == mode)
            tagTypes.append(option.tagType);
    }
    return tagTypes;
}

QList<int> FileType::defaultTagTypes(int id)
{
    QList<int> tagTypes;
    for (const TagTypeOption &option : defaultTagTypeOptions(id))
        tagTypes.append(option.tagType);
    return tagTypes;
}

QString FileType::typeName(int id)
{
    if (id < 0 || id >= int(std::size(typeNameIds)))
        return QString();
    return textForId(typeNameIds[id]);
}
