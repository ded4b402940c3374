#pragma once

#include "drive/scsi_transport.h"
#include "platform/unique_fd.h"

#include <functional>
#include <memory>
#include <mutex>
#include <string>

struct sg_io_hdr;

namespace tesslow {

// Sends commands to a Linux device with the SG_IO ioctl (sg_io_hdr_t): the
// CDB, the data direction and buffer, an 18-byte sense buffer and the
// time-out in milliseconds. A command the kernel reports as fine is answered
// with no sense; one that returned sense data is answered with it; any other
// outcome (the ioctl fails; the adapter or driver reports an error, such as a
// time-out; a SCSI status other than GOOD without sense data) counts as not
// delivered, so a failure can never read as success. The residual count is
// not examined.
//
// The ioctl is reached through `SgIoCall`, so tests can stand in for the
// kernel; the default is ::ioctl(fd, SG_IO, header).
class SgIoTransport final : public ScsiTransport {
public:
    using SgIoCall = std::function<int(int fd, sg_io_hdr& header)>;

    explicit SgIoTransport(UniqueFd device, SgIoCall call = {});

    bool Send(const CommandBlock& block, std::span<std::uint8_t, kSenseLength> sense) override;
    void Close() override;
    bool IsOpen() const override;

private:
    mutable std::mutex mutex_;
    UniqueFd device_;
    SgIoCall call_;
};

// True when `path` is an optical drive: a block or SCSI generic device whose
// SCSI device type (sysfs) is 5. Looks only at metadata; never opens it.
// errno is ENOENT for a missing path, ENODEV for any other device or file.
bool IsOpticalDevice(const std::string& path);

// Opens an optical drive read-write and non-blocking. nullptr with errno set
// on failure.
std::shared_ptr<ScsiTransport> OpenSgIoDrive(const std::string& path);

}  // namespace tesslow
