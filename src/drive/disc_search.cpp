#include "drive/disc_search.h"

#include "app/disc_record.h"
#include "app/rip_job.h"
#include "drive/disc_probe.h"
#include "platform/message_sink.h"
#include "platform/messages.h"

namespace tesslow {

bool RunDiscSearch(const std::vector<std::string>& drives, DiscRecords& records, RipJob& job, MessageSink& sink)
{
    for (const std::string& key : drives) {
        if (sink.Send(UM_DISC_SEARCH_ABORT, 0, 0) != 0) break;
        if (ProbeDisc(records, key)) {
            job.driveKey = key;
            sink.Post(UM_DISC_SEARCH_DONE, 1, 0);
            return true;
        }
    }
    sink.Post(UM_DISC_SEARCH_DONE, 0, 0);
    return false;
}

}  // namespace tesslow
