#include "encoding/ogg_encoder.h"

#include "encoding/encoder_exception.h"
#include "encoding/output_file.h"
#include "encoding/picture_tags.h"
#include "encoding/vorbis_comments.h"
#include "platform/fd_io.h"

#include <ogg/ogg.h>
#include <vorbis/codec.h>
#include <vorbis/vorbisenc.h>

#include <cerrno>
#include <new>

namespace tesslow {

namespace {

constexpr int kSerialNumber = 0;

[[noreturn]] void LogicFault()
{
    throw EncoderException("internal vorbis logic fault");
}

}  // namespace

// The libogg and libvorbis states of one stream. Each part is released exactly
// once, by the destructor, whichever of them were set up.
struct COGGEncoder::Codec {
    ogg_stream_state stream{};
    ogg_page page{};
    ogg_packet packet{};
    vorbis_dsp_state dsp{};
    vorbis_block block{};
    vorbis_info info{};
    vorbis_comment comment{};

    Codec(int channels, long rate, QualityPreset preset, std::int32_t nominalBitRate, const AlbumInfo& tags,
          std::uint32_t trackIndex, std::uint32_t trackNumber)
    {
        try {
            vorbis_info_init(&info);
            infoLive_ = true;
            int result;
            switch (preset) {
            case QualityPreset::Low: result = vorbis_encode_init_vbr(&info, channels, rate, 0.0f); break;
            case QualityPreset::High: result = vorbis_encode_init_vbr(&info, channels, rate, 0.8f); break;
            case QualityPreset::Custom: result = vorbis_encode_init(&info, channels, rate, -1, nominalBitRate, -1); break;
            case QualityPreset::Medium:
            default: result = vorbis_encode_init_vbr(&info, channels, rate, 0.5f); break;
            }
            if (result < 0) LogicFault();
            if (vorbis_analysis_init(&dsp, &info) != 0) LogicFault();
            dspLive_ = true;
            vorbis_block_init(&dsp, &block);
            blockLive_ = true;
            if (ogg_stream_init(&stream, kSerialNumber) != 0) throw std::bad_alloc();
            streamLive_ = true;
            vorbis_comment_init(&comment);
            commentLive_ = true;
            AddTrackComments(comment, tags, trackIndex, trackNumber);
        } catch (...) {
            Release();
            throw;
        }
    }
    ~Codec() { Release(); }
    Codec(const Codec&) = delete;
    Codec& operator=(const Codec&) = delete;

private:
    void Release() noexcept
    {
        if (streamLive_) ogg_stream_clear(&stream);
        if (blockLive_) vorbis_block_clear(&block);
        if (dspLive_) vorbis_dsp_clear(&dsp);
        if (commentLive_) vorbis_comment_clear(&comment);
        if (infoLive_) vorbis_info_clear(&info);
        streamLive_ = blockLive_ = dspLive_ = commentLive_ = infoLive_ = false;
    }

    bool infoLive_ = false, dspLive_ = false, blockLive_ = false, streamLive_ = false, commentLive_ = false;
};

COGGEncoder::COGGEncoder(const EncoderRequest& request)
    : file_(CreateOutput(request, CreateMode::Replace)), preset_(request.preset), nominalBitRate_(request.qualityValue)
{
}

COGGEncoder::~COGGEncoder() = default;

void COGGEncoder::Start()
{
    if (bitsPerSample != 8 && bitsPerSample != 16) LogicFault();
    codec_ = std::make_unique<Codec>(channels, sampleRate, preset_, nominalBitRate_, tags, trackIndex, trackNumber);
    notStarted_ = false;
    if (const auto picture = AskCover(cover))
        vorbis_comment_add_tag(&codec_->comment, "METADATA_BLOCK_PICTURE", Base64(FlacPictureBody(*picture)).c_str());

    ogg_packet identification, comments, setup;
    if (vorbis_analysis_headerout(&codec_->dsp, &codec_->comment, &identification, &comments, &setup) != 0)
        LogicFault();
    ogg_stream_packetin(&codec_->stream, &identification);
    ogg_stream_packetin(&codec_->stream, &comments);
    ogg_stream_packetin(&codec_->stream, &setup);
    // Flushing puts the headers on pages of their own: the audio starts on a new page.
    while (ogg_stream_flush(&codec_->stream, &codec_->page) != 0)
        WritePage(codec_->page.header, codec_->page.header_len, codec_->page.body, codec_->page.body_len);
}

void COGGEncoder::Write(const void* pcm, unsigned byteCount, unsigned* consumed)
{
    if (notStarted_) Start();
    if (!codec_) LogicFault();  // written after Finish

    const unsigned bytesPerSample = static_cast<unsigned>(bitsPerSample) / 8;
    const unsigned channelCount = static_cast<unsigned>(channels);
    const unsigned frames = byteCount / (bytesPerSample * channelCount);
    // Declaring 0 samples written would end the stream, so a block shorter than
    // one frame is simply dropped.
    if (frames > 0) {
        float** buffer = vorbis_analysis_buffer(&codec_->dsp, static_cast<int>(frames));
        const auto* in = static_cast<const unsigned char*>(pcm);
        if (bytesPerSample == 2) {
            for (unsigned frame = 0; frame < frames; ++frame)
                for (unsigned channel = 0; channel < channelCount; ++channel, in += 2)
                    buffer[channel][frame] = static_cast<std::int16_t>(in[0] | in[1] << 8) / 32768.0f;
        } else {
            for (unsigned frame = 0; frame < frames; ++frame)
                for (unsigned channel = 0; channel < channelCount; ++channel, ++in)
                    buffer[channel][frame] = (static_cast<int>(*in) - 128) / 128.0f;
        }
        vorbis_analysis_wrote(&codec_->dsp, static_cast<int>(frames));
        Drain(*codec_);
    }
    if (consumed) *consumed = byteCount;
}

void COGGEncoder::Finish()
{
    if (!codec_) return;  // never written (nothing to write) or already finished
    // Released however this ends, so a failed Finish is never repeated on a
    // stream that has already been ended.
    const std::unique_ptr<Codec> codec = std::move(codec_);
    vorbis_analysis_wrote(&codec->dsp, 0);  // end of stream
    Drain(*codec);
}

void COGGEncoder::Drain(Codec& c)
{
    while (vorbis_analysis_blockout(&c.dsp, &c.block) == 1) {
        vorbis_analysis(&c.block, nullptr);
        vorbis_bitrate_addblock(&c.block);
        while (vorbis_bitrate_flushpacket(&c.dsp, &c.packet) == 1) {
            ogg_stream_packetin(&c.stream, &c.packet);
            while (ogg_stream_pageout(&c.stream, &c.page) != 0) {
                WritePage(c.page.header, c.page.header_len, c.page.body, c.page.body_len);
                if (ogg_page_eos(&c.page)) break;
            }
        }
    }
}

void COGGEncoder::WritePage(const void* header, long headerBytes, const void* body, long bodyBytes)
{
    if (!WriteAll(file_.Get(), header, static_cast<std::size_t>(headerBytes)) ||
        !WriteAll(file_.Get(), body, static_cast<std::size_t>(bodyBytes)))
        throw WriteError(errno);
}

}  // namespace tesslow
