// Sets items of the APEv2 tag at the end of a Monkey's Audio file.

#include "encoding/ape/ape_tag.h"
#include "encoding/tag_update.h"
#include "platform/fd_io.h"
#include "platform/unique_fd.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace tesslow {

namespace {

// The tag writer's view of the file: a descriptor that keeps the errno of
// the first call that failed.
class FileIo final : public ape::CIO {
public:
    explicit FileIo(int fd) : fd_(fd) {}

    int Open(const char*) override { return 0; }
    int Close() override { return 0; }
    int Read(void* buffer, unsigned bytes, unsigned* bytesRead) override
    {
        const ssize_t got = ReadFull(fd_, buffer, bytes);
        if (got < 0) return Failed(ape::kErrorIoRead);
        if (bytesRead) *bytesRead = static_cast<unsigned>(got);
        return 0;
    }
    int Write(const void* buffer, unsigned bytes, unsigned* bytesWritten) override
    {
        if (!WriteAll(fd_, buffer, bytes)) return Failed(ape::kErrorIoWrite);
        if (bytesWritten) *bytesWritten = bytes;
        return 0;
    }
    int Seek(std::int32_t distance, int moveMethod) override
    {
        return ::lseek(fd_, distance, moveMethod) < 0 ? Failed(ape::kErrorIoRead) : 0;
    }
    int Create(const char*) override { return 0; }
    int Delete() override { return 0; }
    int SetEOF() override
    {
        const off_t position = ::lseek(fd_, 0, SEEK_CUR);
        return position >= 0 && ::ftruncate(fd_, position) == 0 ? 0 : Failed(ape::kErrorIoWrite);
    }
    std::uint32_t GetPosition() override { return static_cast<std::uint32_t>(::lseek(fd_, 0, SEEK_CUR)); }
    std::uint32_t GetSize() override
    {
        struct stat status {};
        return ::fstat(fd_, &status) == 0 ? static_cast<std::uint32_t>(status.st_size) : 0;
    }
    int GetName(char*) override { return 0; }

    int Failure() const { return failure_; }

private:
    int Failed(int code)
    {
        if (failure_ == 0) failure_ = errno;
        return code;
    }

    int fd_;
    int failure_ = 0;
};

}  // namespace

void UpdateApeTags(const std::string& path, const TagUpdate& tags)
{
    const UniqueFd file(::open(path.c_str(), O_RDWR | O_CLOEXEC));
    if (!file) TagUpdateFailed(errno);
    FileIo io(file.Get());
    // The tag is written where the old one began: the audio before it is
    // never touched.
    ape::CAPETag tag(&io);
    for (const auto& [name, value] : tags)
        if (tag.SetFieldString(name, value, true) != 0) TagUpdateFailed("the tag " + name + " cannot be written");
    if (tag.Save() != 0 || ::fsync(file.Get()) != 0) TagUpdateFailed(io.Failure() != 0 ? io.Failure() : errno);
}

}  // namespace tesslow
