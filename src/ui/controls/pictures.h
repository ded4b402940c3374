#pragma once

#include <QColor>
#include <QImage>

#include <functional>
#include <string>

class QPainter;

namespace tesslow {

// The program's pictures, by the numbers the pages name them with.
inline constexpr int kProgramIcon = 128;
inline constexpr int kArrowHotIcon = 201;      // command link arrow under the mouse
inline constexpr int kArrowIcon = 202;         // command link arrow
inline constexpr int kExpandIcon = 203;        // task dialog: show details
inline constexpr int kCollapseIcon = 204;      // task dialog: hide details
inline constexpr int kHeaderPicture = 206;     // classic interior pages, top left
inline constexpr int kMarkAllPicture = 209;
inline constexpr int kWelcomeDrivePicture = 210;
inline constexpr int kWelcomeDiscPicture = 211;
inline constexpr int kSideBanner = 212;        // classic welcome and final pages, top left
inline constexpr int kPlayPicture = 213;
inline constexpr int kStopPicture = 214;
inline constexpr int kUnmarkAllPicture = 215;
inline constexpr int kAeroPreviewStrip = 223;
inline constexpr int kClassicPreviewStrip = 224;
inline constexpr int kFirstAnimationFrame = 229;  // 18 frames, 229 to 246
inline constexpr int kAnimationFrames = 18;
inline constexpr int kFinalPicture = 249;
inline constexpr int kFinalPictureWithoutTick = 250;  // a rip canceled or without any file

// Loads picture `number` from the program's resources (":/pictures/N.png",
// or N@2x.png on a screen of twice the density, marked as such). A picture
// that is missing or cannot be decoded shows the "ERROR" box with the reason
// and gives a null image, which draws nothing.
QImage LoadPicture(int number);

// Where the "ERROR" box goes; tests record it. The default shows a message
// box captioned "ERROR" with the error icon.
void SetPictureErrorBox(std::function<void(const std::string& text)> box);

// Draws `picture` with its top left at (x, y), blended over what is already
// there; greyed when `disabled`. A null picture draws nothing.
void DrawPicture(QPainter& painter, int x, int y, const QImage& picture, bool disabled = false);

}  // namespace tesslow
