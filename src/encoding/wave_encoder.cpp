#include "encoding/wave_encoder.h"

#include "encoding/encoder_exception.h"
#include "encoding/output_file.h"
#include "platform/fd_io.h"

#include <unistd.h>

#include <array>
#include <cstring>

namespace tesslow {

namespace {

constexpr std::uint32_t kHeaderBytes = 46;
constexpr std::uint32_t kRiffSizeOffset = 4;
constexpr std::uint32_t kDataSizeOffset = 42;

void Put16(std::uint8_t* at, std::uint32_t value)
{
    at[0] = static_cast<std::uint8_t>(value);
    at[1] = static_cast<std::uint8_t>(value >> 8);
}

void Put32(std::uint8_t* at, std::uint32_t value)
{
    Put16(at, value & 0xFFFF);
    Put16(at + 2, value >> 16);
}

bool WriteAt(int fd, off_t offset, std::uint32_t value)
{
    std::uint8_t bytes[4];
    Put32(bytes, value);
    return ::pwrite(fd, bytes, 4, offset) == 4;
}

}  // namespace

CWaveEncoder::CWaveEncoder(const EncoderRequest& request) : file_(CreateOutput(request, CreateMode::Replace)) {}

CWaveEncoder::~CWaveEncoder()
{
    if (!headerPending_ && !sizesDone_) (void)CompleteSizes();
}

void CWaveEncoder::Write(const void* pcm, unsigned byteCount, unsigned* consumed)
{
    if (headerPending_) {
        const auto channelCount = static_cast<std::uint32_t>(channels);
        const auto bytesPerSample = static_cast<std::uint32_t>(bitsPerSample) / 8;
        const auto rate = static_cast<std::uint32_t>(sampleRate);
        std::array<std::uint8_t, kHeaderBytes> header{};
        std::memcpy(&header[0], "RIFF", 4);
        Put32(&header[4], kHeaderBytes - 8);  // completed by CompleteSizes
        std::memcpy(&header[8], "WAVE", 4);
        std::memcpy(&header[12], "fmt ", 4);
        Put32(&header[16], 18);
        Put16(&header[20], 1);  // PCM
        Put16(&header[22], channelCount);
        Put32(&header[24], rate);
        Put32(&header[28], bytesPerSample * rate * channelCount);
        Put16(&header[32], channelCount * bytesPerSample);
        Put16(&header[34], static_cast<std::uint32_t>(bitsPerSample));
        Put16(&header[36], 0);  // extra-size field
        std::memcpy(&header[38], "data", 4);
        Put32(&header[42], 0);
        if (!WriteAll(file_.Get(), header.data(), header.size())) throw WriteError(errno);
        headerPending_ = false;
    }
    if (!WriteAll(file_.Get(), pcm, byteCount)) throw WriteError(errno);
    dataBytes_ += byteCount;
    if (consumed) *consumed = byteCount;
}

void CWaveEncoder::Finish()
{
    if (headerPending_) return;
    if (!CompleteSizes()) throw WriteError(errno);
}

bool CWaveEncoder::CompleteSizes()
{
    sizesDone_ = true;
    const int fd = file_.Get();
    // A RIFF chunk of odd size is followed by one pad byte that the outer size counts.
    const std::uint32_t pad = dataBytes_ % 2;
    bool ok = true;
    if (pad) {
        const std::uint8_t zero = 0;
        ok = ::pwrite(fd, &zero, 1, kHeaderBytes + dataBytes_) == 1;
    }
    ok = ok && WriteAt(fd, kRiffSizeOffset, kHeaderBytes - 8 + dataBytes_ + pad);
    ok = ok && WriteAt(fd, kDataSizeOffset, dataBytes_);
    return ok;
}

}  // namespace tesslow
