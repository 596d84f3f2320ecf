#pragma once

// The write options of ID3v1 tags: the part "id3v1" of the tagging settings.
struct Id3v1Settings {
    // 0 ISO 8859-1; 1 UTF-8; 2 ISO 8859-1 where a field's text fits it, else UTF-8.
    int textEncoding = 2;

    bool isValid() const { return textEncoding >= 0 && textEncoding <= 2; }
    friend bool operator==(const Id3v1Settings &, const Id3v1Settings &) = default;
};
