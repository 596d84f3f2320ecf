#pragma once

// The write options of ID3v2 tags: the part "id3v2" of the tagging settings.
struct Id3v2Settings {
    int version = 3; // major version written: 2, 3 or 4
    // Codec of each frame's texts: 0 ISO 8859-1, 1 UTF-8, 2 UTF-16LE, 3 UTF-16BE; 4, 5 and 6
    // ISO 8859-1 when all of a frame's texts fit it, else UTF-8, UTF-16LE or UTF-16BE.
    int textEncoding = 6;
    bool useUnsync = false;
    // Grouping and Work in the frames one popular player uses (GRP1, TIT1).
    bool iTunesTags = false;
    int preferredPaddingSize = 2048;
    int maximumPaddingSize = 8192;
    // Size of the tag the new one replaces, 0 when none; set on a working copy by the
    // writer that places the tag, never stored.
    int availableSize = 0;

    bool isValidVersion() const { return version >= 2 && version <= 4; }
    bool isValidTextEncoding() const { return textEncoding >= 0 && textEncoding <= 6; }
    bool isValid() const
    {
        return isValidVersion() && isValidTextEncoding() && preferredPaddingSize >= 0 && maximumPaddingSize >= 0;
    }
    friend bool operator==(const Id3v2Settings &, const Id3v2Settings &) = default;
};
