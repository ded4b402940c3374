#include "drive/sg_io_transport.h"

#include <fcntl.h>
#include <scsi/sg.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <algorithm>
#include <cerrno>
#include <fstream>

namespace tesslow {

namespace {

int KernelSgIo(int fd, sg_io_hdr& header) { return ::ioctl(fd, SG_IO, &header); }

}  // namespace

SgIoTransport::SgIoTransport(UniqueFd device, SgIoCall call)
    : device_(std::move(device)), call_(call ? std::move(call) : SgIoCall(KernelSgIo))
{
}

bool SgIoTransport::Send(const CommandBlock& block, std::span<std::uint8_t, kSenseLength> sense)
{
    std::fill(sense.begin(), sense.end(), 0);
    std::lock_guard lock(mutex_);
    if (!device_.Valid()) {
        errno = EBADF;
        return false;
    }

    sg_io_hdr header{};
    header.interface_id = 'S';
    header.cmdp = const_cast<unsigned char*>(block.cdb.data());
    header.cmd_len = block.cdbLength;
    switch (block.direction) {
    case DataDirection::None:
        header.dxfer_direction = SG_DXFER_NONE;
        break;
    case DataDirection::In:
        header.dxfer_direction = SG_DXFER_FROM_DEV;
        break;
    case DataDirection::Out:
        header.dxfer_direction = SG_DXFER_TO_DEV;
        break;
    }
    if (block.direction != DataDirection::None) {
        header.dxferp = block.buffer;
        header.dxfer_len = block.length;
    }
    header.sbp = sense.data();
    header.mx_sb_len = static_cast<unsigned char>(sense.size());
    header.timeout = block.timeoutSeconds * 1000u;

    if (call_(device_.Get(), header) < 0) return false;
    if ((header.info & SG_INFO_OK_MASK) == SG_INFO_OK) {
        std::fill(sense.begin(), sense.end(), 0);
        return true;
    }
    if (header.sb_len_wr > 0) return true;
    // The adapter or the driver failed the command (time-out, device gone), or
    // the device refused it without saying why: not delivered, never success.
    errno = EIO;
    return false;
}

void SgIoTransport::Close()
{
    std::lock_guard lock(mutex_);
    device_.Reset();
}

bool SgIoTransport::IsOpen() const
{
    std::lock_guard lock(mutex_);
    return device_.Valid();
}

bool IsOpticalDevice(const std::string& path)
{
    struct stat info;
    if (::stat(path.c_str(), &info) != 0) return false;
    const char* kind = S_ISBLK(info.st_mode) ? "block" : S_ISCHR(info.st_mode) ? "char" : nullptr;
    if (kind) {
        const std::string typePath = std::string("/sys/dev/") + kind + "/" + std::to_string(major(info.st_rdev)) + ":" +
                                     std::to_string(minor(info.st_rdev)) + "/device/type";
        std::ifstream typeFile(typePath);
        int type = -1;
        if (typeFile >> type && type == 5) return true;
    }
    errno = ENODEV;
    return false;
}

std::shared_ptr<ScsiTransport> OpenSgIoDrive(const std::string& path)
{
    if (!IsOpticalDevice(path)) return nullptr;
    UniqueFd fd(::open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC));
    if (!fd.Valid()) return nullptr;
    return std::make_shared<SgIoTransport>(std::move(fd));
}

}  // namespace tesslow
