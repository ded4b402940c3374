#pragma once

#include "app/rip_job.h"

#include <string>
#include <utility>
#include <vector>

namespace tesslow {

// Text tags to set in a finished file, (name, value) pairs: a name is set to
// its value, replacing every value it had (names compare without regard to
// letter case), and added when the file does not have it.
using TagUpdate = std::vector<std::pair<std::string, std::string>>;

// Sets `tags` in the closed file at `path`, written by Tesslow's encoder of
// `format`, rewriting only the tag area: the audio keeps its bytes (Ogg pages
// after the headers at most get new sequence numbers and checksums). Either
// the old file or the new one is there after a crash:
// - FLAC: the Vorbis comment block through libFLAC's metadata interface, in
//   the padding when it fits (the encoder leaves some), else libFLAC's own
//   rewrite through a temporary file;
// - Ogg Vorbis: the comment header packet, written anew with the setup header
//   into a temporary file that is renamed over the old one;
// - MP3: TXXX frames of the ID3v2 tag at the start, in place within the tag's
//   padding, else through a temporary file with room for more;
// - Monkey's Audio: the APEv2 tag at the end, written where it began;
// - WMA: attributes of the ASF header's extended content description, the
//   header written anew into a temporary file.
// WAV files carry no tags: nothing is done. Throws EncoderException "cannot
// write tags (<reason>)". Any thread; one call per file at a time.
void UpdateTags(FormatCode format, const std::string& path, const TagUpdate& tags);

// The same for each format; called by UpdateTags.
void UpdateFlacTags(const std::string& path, const TagUpdate& tags);
void UpdateOggTags(const std::string& path, const TagUpdate& tags);
void UpdateId3v2Tags(const std::string& path, const TagUpdate& tags);
void UpdateApeTags(const std::string& path, const TagUpdate& tags);
void UpdateAsfTags(const std::string& path, const TagUpdate& tags);

// The failure of a tag update: "cannot write tags (<reason>)".
[[noreturn]] void TagUpdateFailed(const std::string& reason);
// The same with the system's text for errno `error`.
[[noreturn]] void TagUpdateFailed(int error);

}  // namespace tesslow
