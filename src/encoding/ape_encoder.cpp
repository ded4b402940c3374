#include "encoding/ape_encoder.h"

#include "encoding/ape/ape_tag.h"
#include "encoding/picture_tags.h"
#include "encoding/ape/frame_encoder.h"
#include "encoding/encoder_exception.h"
#include "encoding/output_file.h"
#include "encoding/tag_names.h"
#include "platform/fd_io.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <new>

namespace tesslow {

int CAPEEncoder::MyIO::Read(void* buffer, unsigned bytes, unsigned* bytesRead)
{
    const ssize_t got = ReadSome(file_.Get(), buffer, bytes);
    if (got < 0) {
        failure_ = errno;
        return ape::kErrorIoRead;
    }
    if (bytesRead) *bytesRead = static_cast<unsigned>(got);
    return 0;
}

int CAPEEncoder::MyIO::Write(const void* buffer, unsigned bytes, unsigned* bytesWritten)
{
    if (!WriteAll(file_.Get(), buffer, bytes)) {
        failure_ = errno;
        return ape::kErrorIoWrite;
    }
    if (bytesWritten) *bytesWritten = bytes;
    return 0;
}

int CAPEEncoder::MyIO::Seek(std::int32_t distance, int moveMethod)
{
    ::lseek(file_.Get(), distance, moveMethod);
    return 0;
}

int CAPEEncoder::MyIO::SetEOF()
{
    const off_t position = ::lseek(file_.Get(), 0, SEEK_CUR);
    if (position >= 0 && ::ftruncate(file_.Get(), position) == 0) return 0;
    failure_ = errno;
    return ape::kErrorIoWrite;
}

std::uint32_t CAPEEncoder::MyIO::GetPosition()
{
    return static_cast<std::uint32_t>(::lseek(file_.Get(), 0, SEEK_CUR));
}

std::uint32_t CAPEEncoder::MyIO::GetSize()
{
    struct stat status {};
    return ::fstat(file_.Get(), &status) == 0 ? static_cast<std::uint32_t>(status.st_size) : 0;
}

CAPEEncoder::CAPEEncoder(const EncoderRequest& request)
    : io_(std::make_unique<MyIO>(CreateOutput(request, CreateMode::Exclusive, true))),
      compressor_(new (std::nothrow) ape::CAPECompress)
{
    if (!compressor_) throw EncoderException("monkey audio initialization error");
}

CAPEEncoder::~CAPEEncoder() = default;

void CAPEEncoder::Write(const void* pcm, unsigned byteCount, unsigned* consumed)
{
    if (!compressor_) throw EncoderException("data processing error");  // already finished
    if (notStarted_) {
        ape::WAVEFORMATEX format;
        format.wFormatTag = ape::WAVE_FORMAT_PCM;
        format.nChannels = static_cast<std::uint16_t>(channels);
        format.nSamplesPerSec = static_cast<std::uint32_t>(sampleRate);
        format.nAvgBytesPerSec = static_cast<std::uint32_t>(bitsPerSample * channels * sampleRate / 8);
        format.nBlockAlign = static_cast<std::uint16_t>(bitsPerSample * channels / 8);
        format.wBitsPerSample = static_cast<std::uint16_t>(bitsPerSample);
        format.cbSize = 0;
        // A start that fails leaves the compressor refusing every block,
        // which the add-data call below reports.
        (void)compressor_->Start(io_.get(), &format, -1, ape::kLevelNormal, nullptr, -1);
        notStarted_ = false;
    }
    const auto* bytes = static_cast<const unsigned char*>(pcm);
    for (unsigned left = byteCount; left > 0;) {
        const unsigned chunk = std::min(left, 1u << 30);
        if (compressor_->AddData(bytes, static_cast<int>(chunk)) != 0) {
            if (io_->Failure() != 0) throw WriteError(io_->Failure());  // the compressor only knows that it failed
            throw EncoderException("data processing error");
        }
        bytes += chunk;
        left -= chunk;
    }
    if (consumed) *consumed = byteCount;
}

void CAPEEncoder::Finish()
{
    if (notStarted_ || !compressor_) return;
    // The compressor writes the last frame and the completed header here;
    // a failure leaves a file that no player can read, so it is reported.
    const int finished = compressor_->Finish(nullptr, 0, 0);
    compressor_.reset();
    if (finished != 0) throw WriteError(io_->Failure());
    const auto named = NamedTags(BuildTrackTags(tags, trackIndex, trackNumber), TagFormat::Ape);
    const auto picture = AskCover(cover);
    if (named.empty() && !picture) return;

    ape::CAPETag tag(io_.get());
    for (const auto& [name, value] : named) tag.SetFieldString(name, value, true);
    if (picture) tag.SetFieldBinary(kApeCoverItem, ApeCoverValue(*picture));
    if (tag.Save() != 0) throw WriteError(io_->Failure());
}

}  // namespace tesslow
