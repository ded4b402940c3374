#pragma once

#include "encoding/ape/io.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tesslow::ape {

// An APEv2 tag at the end of a file reached through a CIO (not owned).
//
// The constructor reads the file's end: an APEv2 tag already there is loaded
// (its fields kept, its place remembered), a damaged one is ignored. Fields
// are text; names are printable ASCII of 2 to 255 characters (not "ID3",
// "TAG", "OggS" or "MP+") and compare without regard to case. Save writes the
// whole tag, with a header and a footer, where the old one began or at the
// end of the file, and cuts the file after it. A tag without fields is not
// written. One thread at a time.
class CAPETag {
public:
    explicit CAPETag(CIO* io);

    // Sets `name` to `value`; an empty value removes the field. A value that
    // is not already UTF-8 is taken as ISO-8859-1. Answers 0, or
    // kErrorBadParameter for a name that an APEv2 tag cannot carry.
    int SetFieldString(std::string_view name, std::string_view value, bool alreadyUtf8);
    // Sets `name` to a binary value (the item's flags say so), such as a
    // cover picture; an empty value removes the field. Answers as
    // SetFieldString.
    int SetFieldBinary(std::string_view name, std::string_view value);
    int Save();

private:
    struct Field {
        std::string name;
        std::string value;
        std::uint32_t flags;  // kept from a loaded tag; 0 (text) for fields set here
    };

    void Analyze();

    CIO* io_;
    std::vector<Field> fields_;    // in the order they were set
    std::uint32_t tagStart_ = 0;   // where Save writes: the old tag's start, or the file's end
};

}  // namespace tesslow::ape
