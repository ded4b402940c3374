#pragma once

#include <string>

namespace tesslow {

// The system's message for an errno value, as shown inside user messages such as
// "cannot create file (%1%)": trailing full stops, line feeds and carriage
// returns are removed.
std::string SystemErrorText(int errorNumber);

}  // namespace tesslow
