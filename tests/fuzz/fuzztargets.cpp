#include "fuzzsupport.h"

#include "libtagging/aiff/aiffstreamio.h"
#include "libtagging/asf/asfstreamio.h"
#include "libtagging/id3/id3v1tagio.h"
#include "libtagging/id3/id3v2tagio.h"
#include "libtagging/mp4/mp4streamio.h"
#include "libtagging/plain/apetagio.h"
#include "libtagging/plain/freestreamio.h"
#include "libtagging/plain/lyrics3tagio.h"
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
#include "libtagging/xiph/vorbiscommenttagio.h"

namespace Fuzz {

const QMap<QString, Target> &targets()
{
    static const QMap<QString, Target> table{
        // Loose tags, looked for where the plain-stream tag stack looks for them.
        {QStringLiteral("id3v1"), [](const QByteArray &b) { tagIo(Id3v1TagIo::instance(), b, false); }},
        {QStringLiteral("id3v2"), [](const QByteArray &b) { tagIo(Id3v2TagIo::instance(), b, true); }},
        {QStringLiteral("ape"),
         [](const QByteArray &b) {
             tagIo(ApeTagIo::instance(), b, true);
             tagIo(ApeTagIo::instance(), b, false);
         }},
        {QStringLiteral("lyrics3"), [](const QByteArray &b) { tagIo(Lyrics3TagIo::instance(), b, false); }},
        // The bare comment, as FLAC and the Ogg codecs carry it.
        {QStringLiteral("vorbiscomment"), [](const QByteArray &b) { tagIo(VorbisCommentTagIo::instance(), b, true, true); }},
        // The stack of loose tags at both ends of a plain stream, with MPEG audio between.
        {QStringLiteral("tagstack"),
         [](const QByteArray &b) { streamIo(FreeStreamIo::instance(), b, MpegCodecIo::instance()); }},
        // Containers.
        {QStringLiteral("ogg"), [](const QByteArray &b) { streamIo(OggStreamIo::instance(), b); }},
        {QStringLiteral("flac"), [](const QByteArray &b) { streamIo(FlacStreamIo::instance(), b); }},
        {QStringLiteral("mp4"), [](const QByteArray &b) { streamIo(Mp4StreamIo::instance(), b); }},
        {QStringLiteral("riff"), [](const QByteArray &b) { streamIo(RiffStreamIo::instance(), b); }},
        {QStringLiteral("aiff"), [](const QByteArray &b) { streamIo(AiffStreamIo::instance(), b); }},
        {QStringLiteral("asf"), [](const QByteArray &b) { streamIo(AsfStreamIo::instance(), b); }},
        // Codec headers.
        {QStringLiteral("mpeg"), [](const QByteArray &b) { codecIo(MpegCodecIo::instance(), b); }},
        {QStringLiteral("musepack"), [](const QByteArray &b) { codecIo(MusePackCodecIo::instance(), b); }},
        {QStringLiteral("wavpack"), [](const QByteArray &b) { codecIo(WavPackCodecIo::instance(), b); }},
        {QStringLiteral("tak"), [](const QByteArray &b) { codecIo(TakCodecIo::instance(), b); }},
        {QStringLiteral("trueaudio"), [](const QByteArray &b) { codecIo(TrueAudioCodecIo::instance(), b); }},
        {QStringLiteral("monkeysaudio"), [](const QByteArray &b) { codecIo(MonkeysAudioCodecIo::instance(), b); }},
        {QStringLiteral("optimfrog"), [](const QByteArray &b) { codecIo(OptimFrogCodecIo::instance(), b); }},
    };
    return table;
}

} // namespace Fuzz
