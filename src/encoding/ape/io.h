#pragma once

#include <cstdint>

namespace tesslow::ape {

// Result codes of the library's calls; 0 is success.
inline constexpr int kErrorSuccess = 0;
inline constexpr int kErrorIoRead = 1000;
inline constexpr int kErrorIoWrite = 1001;
inline constexpr int kErrorInvalidInputFormat = 1002;  // not 16-bit PCM, mono or stereo
inline constexpr int kErrorAudioTooLong = 1003;        // more frames than the seek table holds
inline constexpr int kErrorBadParameter = 5000;        // a level or argument this library does not take
inline constexpr int kErrorNotStarted = 5001;          // AddData or Finish before a successful Start

// The abstract file the compressor and the tag writer work on. The library
// only ever calls Read, Write, Seek, SetEOF, GetPosition and GetSize; the
// other slots keep the interface whole for implementations that need them.
// Seek methods are SEEK_SET, SEEK_CUR and SEEK_END.
class CIO {
public:
    virtual ~CIO() = default;

    virtual int Open(const char* name) = 0;
    virtual int Close() = 0;
    // Both answer 0, or kErrorIoRead / kErrorIoWrite.
    virtual int Read(void* buffer, unsigned bytes, unsigned* bytesRead) = 0;
    virtual int Write(const void* buffer, unsigned bytes, unsigned* bytesWritten) = 0;
    virtual int Seek(std::int32_t distance, int moveMethod) = 0;
    virtual int Create(const char* name) = 0;
    virtual int Delete() = 0;
    virtual int SetEOF() = 0;
    virtual std::uint32_t GetPosition() = 0;
    virtual std::uint32_t GetSize() = 0;
    virtual int GetName(char* buffer) = 0;
};

}  // namespace tesslow::ape
