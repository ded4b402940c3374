#pragma once

#include <QString>

#include <string_view>

namespace tesslow {

// UTF-8 text from outside the program (titles, folders, file names) as a
// label shows it: control characters, which would break lines or show as
// boxes, become spaces.
QString LabelText(std::string_view utf8);

}  // namespace tesslow
