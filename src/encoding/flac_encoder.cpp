#include "encoding/flac_encoder.h"

#include "encoding/encoder_exception.h"
#include "encoding/output_file.h"
#include "encoding/picture_tags.h"
#include "encoding/vorbis_comments.h"
#include "platform/fd_io.h"

#include <unistd.h>
#include <vorbis/codec.h>

#include <cerrno>
#include <cstring>
#include <new>

namespace tesslow {

namespace {

constexpr unsigned kCompressionLevel = 5;
// Room for the ReplayGain comments set once the track (and the album) is done.
constexpr unsigned kPaddingBytes = 1024;

[[noreturn]] void InitializationFailed()
{
    throw EncoderException("flac encoder initialization failed");
}

// The track's comments, built as the Ogg Vorbis encoder builds them, then
// copied entry by entry, in order, into the FLAC block.
void FillCommentBlock(FLAC__StreamMetadata& block, const AlbumInfo& tags, std::uint32_t trackIndex,
                      std::uint32_t trackNumber)
{
    struct Comment {
        vorbis_comment value;
        Comment() { vorbis_comment_init(&value); }
        ~Comment() { vorbis_comment_clear(&value); }
    } comment;
    AddTrackComments(comment.value, tags, trackIndex, trackNumber);
    for (int i = 0; i < comment.value.comments; ++i) {
        FLAC__StreamMetadata_VorbisComment_Entry entry;
        entry.entry = reinterpret_cast<FLAC__byte*>(comment.value.user_comments[i]);
        entry.length = static_cast<FLAC__uint32>(comment.value.comment_lengths[i]);
        // Copied; fails only when out of memory (every entry is well-formed).
        if (!FLAC__metadata_object_vorbiscomment_append_comment(&block, entry, true)) throw std::bad_alloc();
    }
}

// A PICTURE block holding the front cover; the library copies every part.
FLAC__StreamMetadata* MakePictureBlock(const CoverPicture& cover)
{
    FLAC__StreamMetadata* block = FLAC__metadata_object_new(FLAC__METADATA_TYPE_PICTURE);
    if (!block) throw std::bad_alloc();
    std::string mime = cover.mime;
    FLAC__byte description[1] = {0};
    FLAC__StreamMetadata_Picture& picture = block->data.picture;
    picture.type = FLAC__STREAM_METADATA_PICTURE_TYPE_FRONT_COVER;
    picture.width = static_cast<FLAC__uint32>(cover.width);
    picture.height = static_cast<FLAC__uint32>(cover.height);
    picture.depth = static_cast<FLAC__uint32>(cover.depth);
    picture.colors = 0;
    if (!FLAC__metadata_object_picture_set_mime_type(block, mime.data(), true) ||
        !FLAC__metadata_object_picture_set_description(block, description, true) ||
        !FLAC__metadata_object_picture_set_data(
            block, reinterpret_cast<FLAC__byte*>(const_cast<char*>(cover.bytes.data())),
            static_cast<FLAC__uint32>(cover.bytes.size()), true)) {
        FLAC__metadata_object_delete(block);
        throw std::bad_alloc();
    }
    return block;
}

}  // namespace

CFLACEncoder::CFLACEncoder(const EncoderRequest& request)
    : file_(CreateOutput(request, CreateMode::Exclusive)), encoder_(FLAC__stream_encoder_new())
{
    if (!encoder_) throw std::bad_alloc();
}

CFLACEncoder::~CFLACEncoder() = default;

void CFLACEncoder::Start()
{
    if (bitsPerSample != 8 && bitsPerSample != 16) InitializationFailed();
    FLAC__StreamEncoder* encoder = encoder_.get();
    FLAC__stream_encoder_set_sample_rate(encoder, static_cast<uint32_t>(sampleRate));
    FLAC__stream_encoder_set_bits_per_sample(encoder, static_cast<uint32_t>(bitsPerSample));
    FLAC__stream_encoder_set_channels(encoder, static_cast<uint32_t>(channels));
    FLAC__stream_encoder_set_compression_level(encoder, kCompressionLevel);

    comments_.reset(FLAC__metadata_object_new(FLAC__METADATA_TYPE_VORBIS_COMMENT));
    if (!comments_) throw std::bad_alloc();
    FillCommentBlock(*comments_, tags, trackIndex, trackNumber);
    unsigned blocks = 0;
    metadataList_[blocks++] = comments_.get();
    if (const auto cover = AskCover(this->cover)) {
        picture_.reset(MakePictureBlock(*cover));
        metadataList_[blocks++] = picture_.get();
    }
    // Padding last: the ReplayGain values are set into it once the file is done.
    padding_.reset(FLAC__metadata_object_new(FLAC__METADATA_TYPE_PADDING));
    if (!padding_) throw std::bad_alloc();
    padding_->length = kPaddingBytes;
    metadataList_[blocks++] = padding_.get();
    FLAC__stream_encoder_set_metadata(encoder, metadataList_, blocks);

    const FLAC__StreamEncoderInitStatus status =
        FLAC__stream_encoder_init_stream(encoder, WriteCallback, SeekCallback, TellCallback, nullptr, this);
    if (status != FLAC__STREAM_ENCODER_INIT_STATUS_OK) {
        encoder_.reset();
        InitializationFailed();
    }
    notStarted_ = false;
}

void CFLACEncoder::Write(const void* pcm, unsigned byteCount, unsigned* consumed)
{
    if (!encoder_) InitializationFailed();  // an earlier initialisation failed
    if (notStarted_) Start();

    const unsigned bytesPerSample = static_cast<unsigned>(bitsPerSample) / 8;
    const unsigned channelCount = static_cast<unsigned>(channels);
    const std::size_t samples = byteCount / bytesPerSample;
    if (samples > capacity_) {
        samples_ = std::make_unique_for_overwrite<FLAC__int32[]>(samples);
        capacity_ = samples;
    }
    const unsigned frames = static_cast<unsigned>(samples / channelCount);
    const std::size_t used = std::size_t{frames} * channelCount;
    const auto* in = static_cast<const unsigned char*>(pcm);
    FLAC__int32* out = samples_.get();
    if (bytesPerSample == 2) {
        for (std::size_t i = 0; i < used; ++i, in += 2) out[i] = static_cast<std::int16_t>(in[0] | in[1] << 8);
    } else {
        for (std::size_t i = 0; i < used; ++i) out[i] = static_cast<FLAC__int32>(in[i]) - 128;
    }
    if (frames > 0 && !FLAC__stream_encoder_process_interleaved(encoder_.get(), out, frames)) Failed();
    if (consumed) *consumed = byteCount;
}

void CFLACEncoder::Finish()
{
    // Finishing a stream that was never initialised does nothing. A failure
    // here means the last frames or the completed stream information did not
    // reach the file, so the file is not sound.
    if (encoder_ && !FLAC__stream_encoder_finish(encoder_.get())) Failed();
}

void CFLACEncoder::Failed() const
{
    // The library only knows that a write failed; the callback kept why.
    if (writeError_ != 0) throw WriteError(writeError_);
    throw EncoderException("encoding error");
}

FLAC__StreamEncoderWriteStatus CFLACEncoder::WriteCallback(const FLAC__StreamEncoder*, const FLAC__byte buffer[],
                                                           size_t bytes, uint32_t, uint32_t, void* client)
{
    auto* self = static_cast<CFLACEncoder*>(client);
    if (WriteAll(self->file_.Get(), buffer, bytes)) return FLAC__STREAM_ENCODER_WRITE_STATUS_OK;
    self->writeError_ = errno;
    return FLAC__STREAM_ENCODER_WRITE_STATUS_FATAL_ERROR;
}

FLAC__StreamEncoderSeekStatus CFLACEncoder::SeekCallback(const FLAC__StreamEncoder*, FLAC__uint64 offset,
                                                         void* client)
{
    auto* self = static_cast<CFLACEncoder*>(client);
    return ::lseek(self->file_.Get(), static_cast<off_t>(offset), SEEK_SET) < 0
               ? FLAC__STREAM_ENCODER_SEEK_STATUS_ERROR
               : FLAC__STREAM_ENCODER_SEEK_STATUS_OK;
}

FLAC__StreamEncoderTellStatus CFLACEncoder::TellCallback(const FLAC__StreamEncoder*, FLAC__uint64* offset,
                                                         void* client)
{
    auto* self = static_cast<CFLACEncoder*>(client);
    const off_t position = ::lseek(self->file_.Get(), 0, SEEK_CUR);
    if (position < 0) return FLAC__STREAM_ENCODER_TELL_STATUS_ERROR;
    *offset = static_cast<FLAC__uint64>(position);
    return FLAC__STREAM_ENCODER_TELL_STATUS_OK;
}

}  // namespace tesslow
