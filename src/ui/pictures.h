#pragma once

#include <QImage>

namespace tesslow {

// A picture of the program's resources by its number (":/pictures/N.png");
// a null image when there is none.
QImage LoadPicture(int number);

// The program's pictures by number.
inline constexpr int kProgramIcon = 128;
inline constexpr int kHeaderPicture = 206;  // classic interior pages, top left
inline constexpr int kSideBanner = 212;     // classic welcome and final pages, top left

}  // namespace tesslow
