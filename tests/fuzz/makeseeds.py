#!/usr/bin/env python3
"""Makes the seed corpus of the fuzz targets: tests/fuzz/corpus/<target>/.

Containers come from Debian's encoders (ffmpeg, lame, flac, oggenc, opusenc, speexenc) run
on a tenth of a second of generated tone, with the tags the encoders write themselves;
loose tags and the headers no Debian tool writes are built byte by byte here. Each seed is
small, so that libFuzzer mutates its structure rather than its audio. Run it again to
remake the seeds; the files are committed. Inputs that once made a target fail are kept
beside the seeds under names that say what is odd about them; this script leaves them alone.
"""

import base64
import os
import struct
import subprocess
import sys
import tempfile
import zlib

here = os.path.dirname(os.path.abspath(__file__))
corpus = os.path.join(here, "corpus")


def put(target, name, data):
    folder = os.path.join(corpus, target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def run(*args):
    subprocess.run(args, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


# ---- loose tags, byte by byte ----

def id3v1(title=b"Title", artist=b"Artist", album=b"Album", year=b"2001", comment=b"Comment",
          track=None, genre=17):
    def field(b, width):
        return b[:width].ljust(width, b"\0")
    if track is None:
        body = field(comment, 30)
    else:
        body = field(comment, 28) + b"\0" + bytes([track])
    return b"TAG" + field(title, 30) + field(artist, 30) + field(album, 30) + field(year, 4) + body + bytes([genre])


def synchsafe(n):
    return bytes([(n >> 21) & 0x7F, (n >> 14) & 0x7F, (n >> 7) & 0x7F, n & 0x7F])


def frame(fid, body, version, flags=b"\0\0"):
    if version == 2:
        return fid + struct.pack(">I", len(body))[1:] + body
    size = synchsafe(len(body)) if version == 4 else struct.pack(">I", len(body))
    return fid + size + flags + body


def id3v2(version, frames, flags=0, padding=16):
    body = b"".join(frames) + b"\0" * padding
    return b"ID3" + bytes([version, 0, flags]) + synchsafe(len(body)) + body


def text(s, enc=0):
    if enc == 1:
        return b"\x01\xff\xfe" + s.encode("utf-16-le")
    if enc == 3:
        return b"\x03" + s.encode("utf-8")
    return b"\x00" + s.encode("latin-1")


png = base64.b64decode(
    "iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAYAAAAfFcSJAAAADUlEQVR42mP8z8DwHwAFBQIAX8jx0gAAAABJRU5ErkJggg==")


def id3v2_frames(version):
    if version == 2:
        return [
            frame(b"TT2", text("Title"), 2),
            frame(b"TP1", text("Artist", 1), 2),
            frame(b"TCO", text("(17)Rock"), 2),
            frame(b"COM", b"\0eng" + b"desc\0" + b"a comment", 2),
            frame(b"PIC", b"\0PNG\x03cover\0" + png, 2),
            frame(b"TXX", text("KEY") + b"\0value", 2),
        ]
    return [
        frame(b"TIT2", text("Title", 3 if version == 4 else 1), version),
        frame(b"TPE1", text("Artist") + (b"\0Second" if version == 4 else b""), version),
        frame(b"TALB", text("Album"), version),
        frame(b"TRCK", text("3/12"), version),
        frame(b"TPOS", text("1/2"), version),
        frame(b"TCON", text("(17)(RX)Indie"), version),
        frame(b"TDRC" if version == 4 else b"TYER", text("2001" if version == 3 else "2001-02-03T04:05"), version),
        frame(b"TXXX", text("KEY") + b"\0value", version),
        frame(b"COMM", b"\0eng" + b"desc\0" + b"a comment", version),
        frame(b"USLT", b"\0eng" + b"\0" + b"some lyrics", version),
        frame(b"SYLT", b"\0eng\x02\x01" + b"\0" + b"line\0" + struct.pack(">I", 1000), version),
        frame(b"WXXX", b"\0link\0http://example.org/", version),
        frame(b"WOAR", b"http://example.org/artist", version),
        frame(b"APIC", b"\0image/png\0\x03cover\0" + png, version),
        frame(b"PRIV", b"owner\0" + b"\x01\x02\x03", version),
        frame(b"UFID", b"http://example.org\0" + b"id-1", version),
        frame(b"POPM", b"someone@example.org\0" + b"\xc4" + b"\0\0\0\x05", version),
        frame(b"TLAN", text("eng"), version),
        frame(b"TIPL" if version == 4 else b"IPLS", text("producer") + b"\0Somebody", version),
        frame(b"GEOB", b"\0text/plain\0name.txt\0desc\0" + b"data", version),
        frame(b"XYZW", b"unknown frame data", version),
    ]


def id3v2_seeds():
    yield "v22.id3", id3v2(2, id3v2_frames(2))
    yield "v23.id3", id3v2(3, id3v2_frames(3))
    yield "v24.id3", id3v2(4, id3v2_frames(4))
    # 2.4 with a footer and a compressed frame with its data length indicator.
    packed = zlib.compress(text("Compressed title"))
    compressed = frame(b"TIT2", struct.pack(">I", len(text("Compressed title"))) + packed, 4, flags=b"\0\x09")
    body = compressed + frame(b"TPE1", text("Artist"), 4)
    yield "v24-footer-compressed.id3", (b"ID3\x04\0\x10" + synchsafe(len(body)) + body
                                        + b"3DI\x04\0\x10" + synchsafe(len(body)))
    # 2.3, unsynchronised as a whole.
    raw = b"".join([frame(b"TIT2", text("Title"), 3), frame(b"APIC", b"\0image/png\0\x03\0" + b"\xff\xe0\xff\x00", 3)])
    unsync = raw.replace(b"\xff\x00", b"\xff\x00\x00").replace(b"\xff\xe0", b"\xff\x00\xe0")
    yield "v23-unsync.id3", b"ID3\x03\0\x80" + synchsafe(len(unsync)) + unsync
    # 2.3 with an extended header.
    ext = struct.pack(">IHI", 6, 0, 0)
    frames = frame(b"TIT2", text("Title"), 3)
    yield "v23-extended.id3", b"ID3\x03\0\x40" + synchsafe(len(ext) + len(frames)) + ext + frames


def ape(items, version=2000, header=True):
    body = b"".join(items)
    size = len(body) + 32

    def block(is_header):
        flags = (1 << 31 if header else 0) | (1 << 29 if is_header else 0)
        return b"APETAGEX" + struct.pack("<IIII", version, size, len(items), flags) + b"\0" * 8
    return (block(True) if header else b"") + body + block(False)


def ape_item(key, value, kind=0):
    return struct.pack("<II", len(value), kind << 1) + key + b"\0" + value


def ape_seeds():
    items = [
        ape_item(b"Title", b"Title"),
        ape_item(b"Artist", b"Artist\0Second"),
        ape_item(b"Album", b"Album"),
        ape_item(b"Track", b"3/12"),
        ape_item(b"Year", b"2001-02-03"),
        ape_item(b"Genre", b"Rock"),
        ape_item(b"Comment", b"a comment"),
        ape_item(b"Lyrics", b"some lyrics"),
        ape_item(b"Related", b"http://example.org/", 2),
        ape_item(b"Cover Art (Front)", b"cover.png\0" + png, 1),
        ape_item(b"Unknown Key", b"\x00\x01binary", 1),
        ape_item(b"REPLAYGAIN_TRACK_GAIN", b"-6.5 dB"),
    ]
    yield "v2.ape", ape(items)
    yield "v1.ape", ape(items[:4], version=1000, header=False)


def lyrics3_field(fid, value):
    return fid + b"%05d" % len(value) + value


def lyrics3_seeds():
    fields = [
        lyrics3_field(b"IND", b"11"),
        lyrics3_field(b"LYR", b"[00:01]first line\r\n[00:02.50]second line"),
        lyrics3_field(b"INF", b"some information"),
        lyrics3_field(b"AUT", b"Author"),
        lyrics3_field(b"EAL", b"Album"),
        lyrics3_field(b"EAR", b"Artist"),
        lyrics3_field(b"ETT", b"Title"),
    ]
    body = b"LYRICSBEGIN" + b"".join(fields)
    yield "v2.lyrics3", body + b"%06d" % len(body) + b"LYRICS200"
    yield "v1.lyrics3", b"LYRICSBEGIN" + b"plain lyrics\r\nsecond line" + b"LYRICSEND"


def vorbis_comment(fields, vendor=b"fuzz seed"):
    out = struct.pack("<I", len(vendor)) + vendor + struct.pack("<I", len(fields))
    for f in fields:
        out += struct.pack("<I", len(f)) + f
    return out


def flac_picture():
    mime = b"image/png"
    desc = b"cover"
    return (struct.pack(">II", 3, len(mime)) + mime + struct.pack(">I", len(desc)) + desc
            + struct.pack(">IIIII", 1, 1, 32, 0, len(png)) + png)


def vorbiscomment_seeds():
    fields = [b"TITLE=Title", b"ARTIST=Artist", b"ARTIST=Second", b"ALBUM=Album", b"TRACKNUMBER=3",
              b"TRACKTOTAL=12", b"DATE=2001-02-03", b"GENRE=Rock", b"COMMENT=a comment",
              b"LYRICS=some lyrics", b"LANGUAGE=eng", b"UNKNOWNFIELD=value",
              b"REPLAYGAIN_TRACK_GAIN=-6.5 dB", b"METADATA_BLOCK_PICTURE=" + base64.b64encode(flac_picture()),
              b"COVERART=" + base64.b64encode(png)]
    yield "full.vc", vorbis_comment(fields)
    yield "empty.vc", vorbis_comment([])


# ---- codec headers no Debian tool writes ----

def codec_seeds():
    yield "monkeysaudio", "new.ape", (b"MAC " + struct.pack("<HHI", 3990, 0, 52) + b"\0" * 44
                                      + struct.pack("<HHIIIHHI", 4000, 0, 73728, 1000, 10, 16, 2, 44100))
    yield "monkeysaudio", "old.ape", (b"MAC " + struct.pack("<HHHHI", 3970, 4000, 0, 2, 44100) + b"\0" * 8
                                      + struct.pack("<II", 2, 100))
    # Before 3.95 the frames held fewer blocks; 24 bits, mono, the highest level.
    yield "monkeysaudio", "old-3900-mono.ape", (b"MAC " + struct.pack("<HHHHI", 3900, 5000, 8, 1, 48000) + b"\0" * 8
                                                + struct.pack("<II", 3, 50))
    yield "optimfrog", "header.ofr", (b"OFR " + struct.pack("<IIHBBIH", 15, 88200, 0, 2, 1, 44100, 0x0140)).ljust(40, b"\0")
    # Mono 24 bits at 96 kHz.
    yield "optimfrog", "mono-24.ofr", (b"OFR " + struct.pack("<IIHBBIH", 15, 96000, 0, 4, 0, 96000, 0x0500)).ljust(40, b"\0")
    # TAK: the stream information object after the magic, fields packed from bit 0.
    bits = 0
    for first, count, value in ((14, 35, 44100), (52, 18, 44100 - 6000), (70, 5, 8), (75, 4, 1), (79, 1, 0)):
        bits |= (value & ((1 << count) - 1)) << first
    info = bits.to_bytes(10, "little")
    yield "tak", "header.tak", b"tBaK" + b"\x01" + struct.pack("<I", len(info))[:3] + info + b"\0" * 8
    # 24 bits and six channels at 96 kHz, behind an encoder information object.
    bits = 0
    for first, count, value in ((14, 35, 96000), (52, 18, 96000 - 6000), (70, 5, 16), (75, 4, 5), (79, 1, 0)):
        bits |= (value & ((1 << count) - 1)) << first
    info = bits.to_bytes(10, "little")
    encoder = b"\x00\x02\x02\x00"
    yield "tak", "encoder-then-info.tak", (b"tBaK" + b"\x04" + struct.pack("<I", len(encoder))[:3] + encoder
                                          + b"\x01" + struct.pack("<I", len(info))[:3] + info + b"\0" * 8)
    sv7 = b"MP+" + bytes([0x17]) + struct.pack("<I", 40) + b"\0\0" + bytes([0]) + b"\0" * 10 + bytes([0x40, 0x02])
    yield "musepack", "sv7.mpc", sv7.ljust(64, b"\0")
    wv = (b"wvpk" + struct.pack("<IHHIIIII", 56, 0x410, 0, 44100, 0, 22050, 1 | (9 << 23) | (1 << 11) | (1 << 12), 0))
    yield "wavpack", "block.wv", wv.ljust(64, b"\0")
    yield "trueaudio", "header.tta", (b"TTA1" + struct.pack("<HHHII", 1, 2, 16, 44100, 4410)).ljust(22, b"\0")
    yield "trueaudio", "mono-24.tta", (b"TTA1" + struct.pack("<HHHII", 1, 1, 24, 96000, 960)).ljust(22, b"\0")


# ---- containers from Debian's encoders ----

def encoded_seeds(tmp):
    tone = os.path.join(tmp, "tone.wav")
    run("ffmpeg", "-v", "error", "-f", "lavfi", "-i", "sine=frequency=440:sample_rate=8000:duration=0.1",
        "-ac", "1", tone)
    cover = os.path.join(tmp, "cover.png")
    with open(cover, "wb") as f:
        f.write(png)
    meta = ["-metadata", "title=Title", "-metadata", "artist=Artist", "-metadata", "album=Album",
            "-metadata", "date=2001", "-metadata", "track=3/12", "-metadata", "genre=Rock",
            "-metadata", "comment=a comment"]

    def out(name):
        return os.path.join(tmp, name)

    def read(name):
        with open(out(name), "rb") as f:
            return f.read()

    run("lame", "--quiet", "-b", "8", "--tt", "Title", "--ta", "Artist", "--tl", "Album", "--ty", "2001",
        "--tc", "a comment", "--tn", "3/12", "--tg", "Rock", "--ti", cover, "--add-id3v2", tone, out("a.mp3"))
    yield "tagstack", "lame-id3v2-id3v1.mp3", read("a.mp3")
    yield "mpeg", "lame.mp3", read("a.mp3")
    run("lame", "--quiet", "-V", "9", tone, out("vbr.mp3"))
    yield "mpeg", "lame-vbr-xing.mp3", read("vbr.mp3")[:4096]
    run("ffmpeg", "-v", "error", "-i", tone, "-ar", "22050", "-c:a", "libmp3lame", "-b:a", "16k", "-write_xing", "0",
        "-f", "mp3", out("mpeg2.mp3"))
    yield "mpeg", "mpeg2-layer3-no-header.mp3", read("mpeg2.mp3")[:4096]
    run("ffmpeg", "-v", "error", "-i", tone, "-ar", "32000", "-c:a", "mp2", "-b:a", "64k", "-f", "mp2", out("a.mp2"))
    yield "mpeg", "layer2.mp2", read("a.mp2")[:4096]
    # The Musepack encoder takes CD rates only.
    run("ffmpeg", "-v", "error", "-i", tone, "-ar", "44100", out("cd.wav"))
    run("mpcenc", "--silent", "--quality", "0", out("cd.wav"), out("a.mpc"))
    yield "musepack", "sv8.mpc", read("a.mpc")[:4096]
    run("wavpack", "-q", "-y", tone, "-o", out("a.wv"))
    yield "wavpack", "lossless.wv", read("a.wv")[:4096]
    run("wavpack", "-q", "-y", "-b24", tone, "-o", out("hybrid.wv"))
    yield "wavpack", "hybrid.wv", read("hybrid.wv")[:4096]
    run("ffmpeg", "-v", "error", "-i", tone, "-c:a", "tta", "-f", "tta", out("a.tta"))
    yield "trueaudio", "ffmpeg.tta", read("a.tta")[:1024]

    run("oggenc", "-Q", "-q", "-1", "-t", "Title", "-a", "Artist", "-c", "GENRE=Rock", "-o", out("a.ogg"), tone)
    yield "ogg", "vorbis.ogg", read("a.ogg")
    run("opusenc", "--quiet", "--bitrate", "6", "--title", "Title", "--artist", "Artist",
        "--picture", cover, tone, out("a.opus"))
    yield "ogg", "opus.opus", read("a.opus")
    run("speexenc", "--quiet", "--title", "Title", "--author", "Artist", tone, out("a.spx"))
    yield "ogg", "speex.spx", read("a.spx")
    run("flac", "--silent", "--ogg", "-T", "TITLE=Title", "-o", out("a.oga"), tone)
    yield "ogg", "flac.oga", read("a.oga")
    run("flac", "--silent", "-T", "TITLE=Title", "-T", "ARTIST=Artist", "-T", "ARTIST=Second",
        "--picture", cover, "--padding", "64", "-o", out("a.flac"), tone)
    yield "flac", "tags-picture.flac", read("a.flac")
    run("flac", "--silent", "--no-padding", "--no-seektable", "-o", out("bare.flac"), tone)
    yield "flac", "bare.flac", read("bare.flac")
    # Many fields, a seek table and padding.
    fields = []
    for key, value in (("TITLE", "Title"), ("ALBUM", "Album"), ("DATE", "2001-02-03"), ("TRACKNUMBER", "3"),
                       ("TRACKTOTAL", "12"), ("DISCNUMBER", "1"), ("GENRE", "Rock"), ("COMMENT", "a comment"),
                       ("LYRICS", "some lyrics"), ("REPLAYGAIN_TRACK_GAIN", "-6.5 dB"), ("UNKNOWNFIELD", "value")):
        fields += ["-T", key + "=" + value]
    run("flac", "--silent", "-S", "1x", "--padding", "128", *fields, "-o", out("fields.flac"), tone)
    yield "flac", "fields-seektable.flac", read("fields.flac")

    run("ffmpeg", "-v", "error", "-i", tone, "-i", cover, "-map", "0", "-map", "1", "-c:a", "aac", "-b:a", "8k",
        "-c:v", "copy", "-disposition:v", "attached_pic", *meta, "-f", "mp4", out("a.m4a"))
    yield "mp4", "aac-cover.m4a", read("a.m4a")
    run("ffmpeg", "-v", "error", "-i", tone, "-c:a", "alac", *meta, "-f", "ipod", out("b.m4a"))
    yield "mp4", "alac.m4a", read("b.m4a")
    # The item list first, with freeform ("----:mean:name") and unknown items, as other
    # taggers write them.
    run("ffmpeg", "-v", "error", "-i", tone, "-c:a", "aac", "-b:a", "8k", *meta, "-movflags", "+faststart",
        "-f", "mp4", out("c.m4a"))
    run("/usr/bin/python3", "-c", "import mutagen.mp4, sys\n"
        "f = mutagen.mp4.MP4(sys.argv[1])\n"
        "f['----:com.apple.iTunes:MOOD'] = [mutagen.mp4.MP4FreeForm(b'calm')]\n"
        "f['----:org.example:RATING'] = [mutagen.mp4.MP4FreeForm(b'\\x05', mutagen.mp4.AtomDataType.INTEGER)]\n"
        "f['\\xa9xyz'] = ['+00.0000+000.0000/']\n"
        "f['disk'] = [(1, 2)]\n"
        "f['tmpo'] = [120]\n"
        "f['cpil'] = True\n"
        "f.save()\n", out("c.m4a"))
    yield "mp4", "faststart-freeform.m4a", read("c.m4a")

    run("ffmpeg", "-v", "error", "-i", tone, "-t", "0.02", *meta, "-write_id3v2", "1", out("a.wav"))
    yield "riff", "info-id3.wav", read("a.wav")
    run("ffmpeg", "-v", "error", "-i", tone, "-t", "0.02", *meta, "-write_id3v2", "1", out("a.aiff"))
    yield "aiff", "id3.aiff", read("a.aiff")
    run("ffmpeg", "-v", "error", "-i", tone, "-ar", "22050", "-c:a", "wmav2", "-b:a", "32k", *meta, "-f", "asf", out("a.wma"))
    yield "asf", "wmav2.wma", read("a.wma")


def main():
    for name, data in id3v2_seeds():
        put("id3v2", name, data)
    put("id3v1", "v11.id3", id3v1(track=3))
    put("id3v1", "v10.id3", id3v1(comment=b"a comment that fills thirty by", genre=255))
    for name, data in ape_seeds():
        put("ape", name, data)
    for name, data in lyrics3_seeds():
        put("lyrics3", name, data)
    for name, data in vorbiscomment_seeds():
        put("vorbiscomment", name, data)
    for target, name, data in codec_seeds():
        put(target, name, data)

    # The stack of loose tags around a few MPEG frames, in the canonical order.
    frames = (struct.pack(">I", 0xFFFB9000) + b"\0" * 413) * 3
    lyrics = dict(lyrics3_seeds())["v2.lyrics3"]
    apev2 = dict(ape_seeds())["v2.ape"]
    v23 = dict(id3v2_seeds())["v23.id3"]
    put("tagstack", "id3v2-ape-lyrics3-id3v1.mp3", v23 + frames + apev2 + lyrics + id3v1(track=3))
    put("tagstack", "ape-front.mp3", apev2 + frames + id3v1())

    with tempfile.TemporaryDirectory() as tmp:
        for target, name, data in encoded_seeds(tmp):
            put(target, name, data)


if __name__ == "__main__":
    sys.exit(main())
