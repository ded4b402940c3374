#include "encoding/ape/ape_compress.h"

#include "encoding/ape/md5.h"

#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <limits>

namespace tesslow::ape {

namespace {

constexpr std::uint16_t kFileVersion = 3990;
constexpr std::uint32_t kDescriptorBytes = 52;
constexpr std::uint32_t kHeaderBytes = 24;
constexpr std::uint16_t kFlagCreateWavHeader = 32;  // the decoder builds the WAV header itself
constexpr std::uint64_t kUndeclaredAudioBytes = std::uint64_t{1} << 30;

void PutU16(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    PutU16(out, value & 0xFFFF);
    PutU16(out, value >> 16);
}

}  // namespace

CAPECompress::CAPECompress() = default;
CAPECompress::~CAPECompress() = default;

int CAPECompress::Fail(int code)
{
    error_ = code;
    return code;
}

int CAPECompress::WriteAll(const std::uint8_t* data, std::size_t bytes)
{
    while (bytes > 0) {
        const auto chunk = static_cast<unsigned>(std::min<std::size_t>(bytes, 1u << 30));
        unsigned written = 0;
        if (io_->Write(data, chunk, &written) != kErrorSuccess || written == 0) return Fail(kErrorIoWrite);
        data += written;
        bytes -= written;
    }
    return kErrorSuccess;
}

int CAPECompress::Start(CIO* output, const WAVEFORMATEX* format, std::int64_t maxAudioBytes, int level,
                        const void* headerData, std::int64_t headerBytes)
{
    if (io_) return kErrorBadParameter;  // started once already
    if (!output || !format) return Fail(kErrorBadParameter);
    if (format->wFormatTag != WAVE_FORMAT_PCM || format->wBitsPerSample != 16 ||
        (format->nChannels != 1 && format->nChannels != 2) || format->nBlockAlign != format->nChannels * 2)
        return Fail(kErrorInvalidInputFormat);
    if (!IsSupportedLevel(level) || headerBytes > 0 || (headerData && headerBytes != 0)) return Fail(kErrorBadParameter);

    io_ = output;
    level_ = level;
    channels_ = format->nChannels;
    blockAlign_ = format->nBlockAlign;
    sampleRate_ = format->nSamplesPerSec;
    blocksPerFrame_ = BlocksPerFrame(level);
    encoder_ = std::make_unique<FrameEncoder>(level, channels_);
    md5_ = std::make_unique<Md5>();

    const std::uint64_t frameBytes = std::uint64_t{blocksPerFrame_} * blockAlign_;
    const std::uint64_t audioBytes =
        maxAudioBytes < 0 ? kUndeclaredAudioBytes : static_cast<std::uint64_t>(maxAudioBytes);
    seekTable_.assign(static_cast<std::size_t>((audioBytes + frameBytes - 1) / frameBytes), 0);
    pcm_.resize(static_cast<std::size_t>(frameBytes));
    firstFrame_ = kDescriptorBytes + kHeaderBytes + static_cast<std::uint32_t>(seekTable_.size() * 4);

    // Placeholders of the right size; Finish writes the real ones over them.
    const std::vector<std::uint8_t> zeros(firstFrame_, 0);
    error_ = kErrorSuccess;
    return WriteAll(zeros.data(), zeros.size());
}

int CAPECompress::AddData(const unsigned char* data, int bytes)
{
    if (error_ != kErrorSuccess) return error_;
    if (bytes < 0 || (bytes > 0 && !data)) return kErrorBadParameter;
    auto left = static_cast<std::size_t>(bytes);
    while (left > 0) {
        const std::size_t take = std::min(left, pcm_.size() - pcmBytes_);
        std::memcpy(pcm_.data() + pcmBytes_, data, take);
        pcmBytes_ += take;
        data += take;
        left -= take;
        if (pcmBytes_ == pcm_.size()) {
            if (const int result = EncodeFrame(blocksPerFrame_); result != kErrorSuccess) return result;
        }
    }
    return kErrorSuccess;
}

int CAPECompress::EncodeFrame(std::uint32_t blocks)
{
    if (frames_ == seekTable_.size()) return Fail(kErrorAudioTooLong);
    seekTable_[frames_++] = static_cast<std::uint32_t>(firstFrame_ + logicalBytes_);
    const std::size_t before = staged_.size();
    encoder_->Encode(pcm_.data(), blocks, staged_);
    logicalBytes_ += staged_.size() - before;
    pcmBytes_ = 0;
    return WriteWholeWords(false);
}

int CAPECompress::WriteWholeWords(bool final)
{
    // Decoders read the frame area as 32-bit little-endian words whose bytes
    // run most significant first, counted from the first frame: every group
    // of four is stored reversed. The last word holds the end of the stream
    // and is always written, even when that end falls on a word boundary.
    if (final) staged_.resize((staged_.size() / 4 + 1) * 4, 0);
    const std::size_t whole = staged_.size() / 4 * 4;
    for (std::size_t i = 0; i < whole; i += 4) {
        std::swap(staged_[i], staged_[i + 3]);
        std::swap(staged_[i + 1], staged_[i + 2]);
    }
    md5_->Update(staged_.data(), whole);
    if (const int result = WriteAll(staged_.data(), whole); result != kErrorSuccess) return result;
    storedBytes_ += whole;
    staged_.erase(staged_.begin(), staged_.begin() + static_cast<std::ptrdiff_t>(whole));
    return kErrorSuccess;
}

std::vector<std::uint8_t> CAPECompress::Header(std::uint32_t finalFrameBlocks) const
{
    std::vector<std::uint8_t> header;
    PutU16(header, static_cast<std::uint32_t>(level_));
    PutU16(header, kFlagCreateWavHeader);
    PutU32(header, blocksPerFrame_);
    PutU32(header, finalFrameBlocks);
    PutU32(header, frames_);
    PutU16(header, 16);
    PutU16(header, channels_);
    PutU32(header, sampleRate_);
    return header;
}

std::vector<std::uint8_t> CAPECompress::SeekTable() const
{
    std::vector<std::uint8_t> table;
    table.reserve(seekTable_.size() * 4);
    for (std::uint32_t entry : seekTable_) PutU32(table, entry);
    return table;
}

int CAPECompress::Finish(const unsigned char* terminatingData, int terminatingBytes, int wavTerminatingBytes)
{
    if (error_ != kErrorSuccess) return error_;
    if (terminatingData || terminatingBytes != 0 || wavTerminatingBytes != 0) return kErrorBadParameter;

    const auto lastBlocks = static_cast<std::uint32_t>(pcmBytes_ / blockAlign_);
    if (lastBlocks > 0) {
        if (const int result = EncodeFrame(lastBlocks); result != kErrorSuccess) return result;
    }
    if (const int result = WriteWholeWords(true); result != kErrorSuccess) return result;

    const std::uint32_t finalFrameBlocks = lastBlocks > 0 ? lastBlocks : frames_ > 0 ? blocksPerFrame_ : 0;
    const std::vector<std::uint8_t> header = Header(finalFrameBlocks);
    const std::vector<std::uint8_t> table = SeekTable();
    md5_->Update(header.data(), header.size());
    md5_->Update(table.data(), table.size());
    const std::array<std::uint8_t, 16> digest = md5_->Final();

    std::vector<std::uint8_t> start;
    start.insert(start.end(), {'M', 'A', 'C', ' '});
    PutU16(start, kFileVersion);
    PutU16(start, 0);
    PutU32(start, kDescriptorBytes);
    PutU32(start, kHeaderBytes);
    PutU32(start, static_cast<std::uint32_t>(table.size()));
    PutU32(start, 0);  // no WAV header stored
    PutU32(start, static_cast<std::uint32_t>(storedBytes_));
    PutU32(start, static_cast<std::uint32_t>(storedBytes_ >> 32));
    PutU32(start, 0);  // no terminating data
    start.insert(start.end(), digest.begin(), digest.end());
    start.insert(start.end(), header.begin(), header.end());
    start.insert(start.end(), table.begin(), table.end());

    io_->Seek(0, SEEK_SET);
    if (const int result = WriteAll(start.data(), start.size()); result != kErrorSuccess) return result;
    io_->Seek(0, SEEK_END);
    error_ = kErrorNotStarted;  // finished: nothing more goes in
    return kErrorSuccess;
}

}  // namespace tesslow::ape
