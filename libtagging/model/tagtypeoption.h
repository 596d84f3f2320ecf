#pragma once

// What the writer does with one tag type of a file.
namespace TagTypeMode {
enum Mode : int {
    Write = 0,  // written when the file is saved
    Keep = 1,   // left untouched when found
    Remove = 2, // removed when the file is saved
};
}

// One default tag type of a file type and what the writer does with it.
struct TagTypeOption
{
    int tagType = 0;
    int mode = TagTypeMode::Write;

    bool operator==(const TagTypeOption &other) const = default;
};
