#!/usr/bin/python3
"""Makes a synthetic music library for the read benchmark: N copies of one small real MP3
(encoded here by lame) under Artist/Album folders of 12 tracks, each with an ordinary ID3v2.3
tag of varied texts (title, artist, album, album artist, track, year, genre, comment; Latin-1
or UTF-16) and, on every other file, an ID3v1 tag at the end. The same N gives the same
library, byte for byte.

usage: make-library.py DIR N [--source FILE.mp3]
"""
import argparse
import math
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import wave

TRACKS_PER_ALBUM = 12
ALBUMS_PER_ARTIST = 4
GENRES = ["Rock", "Jazz", "Classical", "Electronic", "Folk", "Hip-Hop", "Ambient", "Blues"]
WORDS = ["night", "river", "blue", "song", "light", "stone", "morning", "city", "fire", "wind",
         "Straße", "café", "über", "niño", "Ωmega", "東京"]


def make_source(folder):
    """One second of a 440 Hz tone at 22.05 kHz mono, 32 kbit/s: about 4 KB of MPEG audio."""
    wav = os.path.join(folder, "tone.wav")
    mp3 = os.path.join(folder, "tone.mp3")
    rate = 22050
    with wave.open(wav, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(rate)
        w.writeframes(b"".join(struct.pack("<h", int(8000 * math.sin(2 * math.pi * 440 * i / rate)))
                               for i in range(rate)))
    subprocess.run(["lame", "--quiet", "-b", "32", "--noreplaygain", "-t", wav, mp3], check=True)
    return mp3


def syncsafe(n):
    return bytes([(n >> 21) & 0x7F, (n >> 14) & 0x7F, (n >> 7) & 0x7F, n & 0x7F])


def text_frame(frame_id, text, unicode):
    if unicode or any(ord(c) > 255 for c in text):
        body = b"\x01" + text.encode("utf-16")  # with byte order mark
    else:
        body = b"\x00" + text.encode("latin-1")
    return frame_id.encode("ascii") + struct.pack(">I", len(body)) + b"\x00\x00" + body


def comment_frame(text):
    body = b"\x01" + b"eng" + "".encode("utf-16") + b"\x00\x00" + text.encode("utf-16")
    return b"COMM" + struct.pack(">I", len(body)) + b"\x00\x00" + body


def id3v2(fields, unicode, padding):
    frames = b"".join(text_frame(fid, value, unicode) for fid, value in fields["text"])
    frames += comment_frame(fields["comment"])
    size = len(frames) + padding
    return b"ID3\x03\x00\x00" + syncsafe(size) + frames + b"\x00" * padding


def id3v1(fields, genre_index):
    def field(text, n):
        return text.encode("latin-1", "replace")[:n].ljust(n, b"\x00")
    text = dict(fields["text"])
    track = int(text["TRCK"].split("/")[0])
    return (b"TAG" + field(text["TIT2"], 30) + field(text["TPE1"], 30) + field(text["TALB"], 30)
            + field(text["TYER"], 4) + field(fields["comment"], 28) + b"\x00" + bytes([track])
            + bytes([genre_index]))


def words(seed, count):
    return " ".join(WORDS[(seed * 7 + k * 13) % len(WORDS)] for k in range(count)).capitalize()


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("dir")
    parser.add_argument("count", type=int)
    parser.add_argument("--source", help="the MP3 file to copy (default: one made with lame)")
    args = parser.parse_args()

    with tempfile.TemporaryDirectory() as scratch:
        source = args.source or make_source(scratch)
        with open(source, "rb") as f:
            audio = f.read()
    if audio.startswith(b"ID3"):
        sys.exit("make-library.py: the source must not have an ID3v2 tag")

    for i in range(args.count):
        album_no, track = divmod(i, TRACKS_PER_ALBUM)
        artist_no = album_no // ALBUMS_PER_ARTIST
        artist = "Artist %04d %s" % (artist_no, words(artist_no, 2))
        album = "Album %05d %s" % (album_no, words(album_no + 3, 3))
        title = words(i, 1 + i % 5)
        genre = i % len(GENRES)
        fields = {
            "text": [("TIT2", title), ("TPE1", artist), ("TALB", album), ("TPE2", artist),
                     ("TRCK", "%d/%d" % (track + 1, TRACKS_PER_ALBUM)), ("TYER", str(1960 + album_no % 60)),
                     ("TCON", GENRES[genre])],
            "comment": "Synthetic track %d" % i,
        }
        folder = os.path.join(args.dir, artist, album)
        os.makedirs(folder, exist_ok=True)
        data = id3v2(fields, unicode=i % 3 == 0, padding=512 + 256 * (i % 4)) + audio
        if i % 2 == 0:
            data += id3v1(fields, [17, 8, 32, 52, 80, 7, 26, 0][genre])
        with open(os.path.join(folder, "%02d %s.mp3" % (track + 1, title)), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
