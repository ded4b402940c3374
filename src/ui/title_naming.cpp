#include "ui/title_naming.h"

#include <stdexcept>

namespace tesslow {

TitleNaming::TitleNaming(const std::string& homeUrl)
    : web(DefaultMusicBrainzOptions(homeUrl)),
      // The tracks page reads the table of contents before it starts a look-up.
      lookup(cache, &web, [](DiscRecord& record) {
          if (record.rawToc.empty()) throw std::runtime_error("Cannot read disc's TOC. Is this disc readable?");
      })
{
}

}  // namespace tesslow
