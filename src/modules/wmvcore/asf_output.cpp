#include "modules/wmvcore/asf_output.h"

#include "platform/fd_io.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/samplefmt.h>
}

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace wmvcore {

namespace {

constexpr int kIoBufferBytes = 64 * 1024;

}  // namespace

HRESULT ErrnoResult(int error)
{
    switch (error) {
    case ENOSPC:
    case EDQUOT: return static_cast<HRESULT>(0x80070070);  // disk full
    case EFBIG: return static_cast<HRESULT>(0x800700DF);   // file too large
    case EACCES:
    case EPERM:
    case EROFS: return static_cast<HRESULT>(0x80070005);  // access denied
    case ENOENT: return static_cast<HRESULT>(0x80070003);   // path not found
    case ENOTDIR: return static_cast<HRESULT>(0x8007010B);  // the directory name is invalid
    default: return E_FAIL;
    }
}

int AsfOutput::WritePacket(void* opaque, std::uint8_t* data, int size)
{
    auto* self = static_cast<AsfOutput*>(opaque);
    if (tesslow::WriteAll(self->fd_, data, static_cast<std::size_t>(size))) return size;
    self->lastErrno_ = errno;
    return AVERROR(errno);
}

std::int64_t AsfOutput::SeekFile(void* opaque, std::int64_t offset, int whence)
{
    auto* self = static_cast<AsfOutput*>(opaque);
    if (whence & AVSEEK_SIZE) {
        struct stat status {};
        return ::fstat(self->fd_, &status) == 0 ? status.st_size : AVERROR(errno);
    }
    const off_t at = ::lseek(self->fd_, offset, whence & ~AVSEEK_FORCE);
    if (at < 0) self->lastErrno_ = errno;
    return at < 0 ? AVERROR(errno) : at;
}

HRESULT AsfOutput::Open(int fd, const CodecFormat& format, const Attributes& attributes,
                        std::unique_ptr<AsfOutput>& output)
{
    std::unique_ptr<AsfOutput> made(new (std::nothrow) AsfOutput(fd));
    if (!made) return E_OUTOFMEMORY;
    AsfOutput& out = *made;
    out.channels_ = format.wave.nChannels;

    if (avformat_alloc_output_context2(&out.muxer_, nullptr, "asf", nullptr) < 0 || !out.muxer_)
        return E_OUTOFMEMORY;
    auto* buffer = static_cast<unsigned char*>(av_malloc(kIoBufferBytes));
    if (!buffer) return E_OUTOFMEMORY;
    out.muxer_->pb = avio_alloc_context(buffer, kIoBufferBytes, 1, &out, nullptr, WritePacket, SeekFile);
    if (!out.muxer_->pb) {
        av_free(buffer);
        return E_OUTOFMEMORY;
    }
    out.muxer_->flags |= AVFMT_FLAG_CUSTOM_IO;

    const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_WMAV2);
    if (!codec) return NS_E_INVALID_OUTPUT_FORMAT;
    out.encoder_ = avcodec_alloc_context3(codec);
    if (!out.encoder_) return E_OUTOFMEMORY;
    out.encoder_->sample_rate = static_cast<int>(format.wave.nSamplesPerSec);
    av_channel_layout_default(&out.encoder_->ch_layout, out.channels_);
    out.encoder_->sample_fmt = AV_SAMPLE_FMT_FLTP;
    out.encoder_->bit_rate = format.bitRate;
    out.encoder_->time_base = {1, out.encoder_->sample_rate};
    if (out.muxer_->oformat->flags & AVFMT_GLOBALHEADER) out.encoder_->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if (avcodec_open2(out.encoder_, codec, nullptr) < 0) return NS_E_INVALID_OUTPUT_FORMAT;

    AVStream* stream = avformat_new_stream(out.muxer_, nullptr);
    if (!stream || avcodec_parameters_from_context(stream->codecpar, out.encoder_) < 0) return E_OUTOFMEMORY;
    stream->time_base = out.encoder_->time_base;
    for (const auto& [name, value] : attributes) av_dict_set(&out.muxer_->metadata, name.c_str(), value.c_str(), 0);

    out.frame_ = av_frame_alloc();
    out.packet_ = av_packet_alloc();
    if (!out.frame_ || !out.packet_) return E_OUTOFMEMORY;
    out.frame_->format = AV_SAMPLE_FMT_FLTP;
    out.frame_->nb_samples = out.encoder_->frame_size;
    out.frame_->sample_rate = out.encoder_->sample_rate;
    if (av_channel_layout_copy(&out.frame_->ch_layout, &out.encoder_->ch_layout) < 0 ||
        av_frame_get_buffer(out.frame_, 0) < 0)
        return E_OUTOFMEMORY;

    if (const int result = avformat_write_header(out.muxer_, nullptr); result < 0) return out.Fail(result);

    // Decoders of this codec drop the first frame they decode (the codec's
    // delay), which FFmpeg's encoder does not make up for: a frame of
    // silence goes first, so that the track's first samples are heard.
    av_samples_set_silence(out.frame_->extended_data, 0, out.encoder_->frame_size, out.channels_,
                           AV_SAMPLE_FMT_FLTP);
    out.buffered_ = out.encoder_->frame_size;
    if (const HRESULT lead = out.SendFrame(false); lead != S_OK) return lead;
    output = std::move(made);
    return S_OK;
}

AsfOutput::~AsfOutput()
{
    av_packet_free(&packet_);
    av_frame_free(&frame_);
    avcodec_free_context(&encoder_);
    if (muxer_) {
        if (muxer_->pb) {
            av_freep(&muxer_->pb->buffer);
            avio_context_free(&muxer_->pb);
        }
        avformat_free_context(muxer_);
    }
}

HRESULT AsfOutput::Fail(int averror)
{
    // A write or seek that failed explains itself through errno; anything
    // else is the encoder's or the muxer's own failure.
    failed_ = lastErrno_ != 0 ? ErrnoResult(lastErrno_) : averror == AVERROR(ENOMEM) ? E_OUTOFMEMORY : E_FAIL;
    return failed_;
}

HRESULT AsfOutput::Drain()
{
    for (;;) {
        const int received = avcodec_receive_packet(encoder_, packet_);
        if (received == AVERROR(EAGAIN) || received == AVERROR_EOF) return S_OK;
        if (received < 0) return Fail(received);
        av_packet_rescale_ts(packet_, encoder_->time_base, muxer_->streams[0]->time_base);
        packet_->stream_index = 0;
        if (const int written = av_write_frame(muxer_, packet_); written < 0) {
            av_packet_unref(packet_);
            return Fail(written);
        }
        av_packet_unref(packet_);
        if (muxer_->pb->error < 0) return Fail(muxer_->pb->error);
    }
}

HRESULT AsfOutput::SendFrame(bool last)
{
    frame_->nb_samples = buffered_;
    frame_->pts = nextPts_;
    nextPts_ += buffered_;
    const int sent = avcodec_send_frame(encoder_, frame_);
    buffered_ = 0;
    if (sent < 0) return Fail(sent);
    if (const HRESULT drained = Drain(); drained != S_OK) return drained;
    // The encoder keeps no reference to the frame's buffers once it has
    // taken them; make them writable again for the next samples.
    if (!last && av_frame_make_writable(frame_) < 0) return Fail(AVERROR(ENOMEM));
    return S_OK;
}

HRESULT AsfOutput::Write(const std::int16_t* samples, std::size_t frames)
{
    if (failed_ != S_OK) return failed_;
    const int frameSize = encoder_->frame_size;
    while (frames > 0) {
        const auto take = static_cast<int>(std::min<std::size_t>(frames, static_cast<std::size_t>(frameSize - buffered_)));
        for (int channel = 0; channel < channels_; ++channel) {
            auto* plane = reinterpret_cast<float*>(frame_->extended_data[channel]) + buffered_;
            for (int i = 0; i < take; ++i) plane[i] = samples[i * channels_ + channel] / 32768.0f;
        }
        samples += static_cast<std::size_t>(take) * static_cast<std::size_t>(channels_);
        frames -= static_cast<std::size_t>(take);
        buffered_ += take;
        if (buffered_ == frameSize) {
            if (const HRESULT result = SendFrame(false); result != S_OK) return result;
        }
    }
    return S_OK;
}

HRESULT AsfOutput::Finish()
{
    if (failed_ != S_OK) return failed_;
    if (buffered_ > 0) {
        if (const HRESULT result = SendFrame(true); result != S_OK) return result;
    }
    if (const int flushed = avcodec_send_frame(encoder_, nullptr); flushed < 0) return Fail(flushed);
    if (const HRESULT drained = Drain(); drained != S_OK) return drained;
    if (const int trailer = av_write_trailer(muxer_); trailer < 0) return Fail(trailer);
    avio_flush(muxer_->pb);
    if (muxer_->pb->error < 0) return Fail(muxer_->pb->error);
    failed_ = E_UNEXPECTED;  // finished: nothing more goes in
    return S_OK;
}

}  // namespace wmvcore
