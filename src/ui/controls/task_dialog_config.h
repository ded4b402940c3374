#pragma once

#include <QString>

#include <cstdint>
#include <functional>
#include <vector>

class QWidget;

namespace tesslow {

class TaskDialog;

// What a task dialog shows and how it behaves, with the flags, button sets,
// ids and notifications of the system task dialog it stands in for.
namespace task {

// Flags.
inline constexpr std::uint32_t kEnableHyperlinks = 0x0001;
inline constexpr std::uint32_t kAllowDialogCancellation = 0x0008;
inline constexpr std::uint32_t kUseCommandLinks = 0x0010;
inline constexpr std::uint32_t kUseCommandLinksNoIcon = 0x0020;
inline constexpr std::uint32_t kExpandFooterArea = 0x0040;
inline constexpr std::uint32_t kExpandedByDefault = 0x0080;
inline constexpr std::uint32_t kVerificationFlagChecked = 0x0100;
inline constexpr std::uint32_t kShowProgressBar = 0x0200;
inline constexpr std::uint32_t kShowMarqueeProgressBar = 0x0400;
inline constexpr std::uint32_t kCallbackTimer = 0x0800;
inline constexpr std::uint32_t kPositionRelativeToWindow = 0x1000;
inline constexpr std::uint32_t kRtlLayout = 0x2000;
inline constexpr std::uint32_t kNoDefaultRadioButton = 0x4000;
inline constexpr std::uint32_t kCanBeMinimized = 0x8000;

// Common buttons.
inline constexpr std::uint32_t kOkButton = 0x01;
inline constexpr std::uint32_t kYesButton = 0x02;
inline constexpr std::uint32_t kNoButton = 0x04;
inline constexpr std::uint32_t kCancelButton = 0x08;
inline constexpr std::uint32_t kRetryButton = 0x10;
inline constexpr std::uint32_t kCloseButton = 0x20;

// The ids the common buttons answer with.
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;
inline constexpr int kIdRetry = 4;
inline constexpr int kIdYes = 6;
inline constexpr int kIdNo = 7;
inline constexpr int kIdClose = 8;

enum class Icon { None, Warning, Error, Information, Shield, Question };

// Notifications to the callback; wParam and lParam as the system's.
enum class Notification {
    Created = 0,            // the dialog is shown
    Navigated = 1,          // shown again with a new configuration
    ButtonClicked = 2,      // w: button id; answer 1 keeps the dialog open
    HyperlinkClicked = 3,   // l: const QString* address
    Timer = 4,              // w: milliseconds since creation or the last reset; answer non-zero resets
    Destroyed = 5,
    RadioButtonClicked = 6, // w: radio button id
    DialogConstructed = 7,
    VerificationClicked = 8,// w: 1 checked, 0 clear
    Help = 9,
    ExpandoButtonClicked = 10, // w: 1 expanded, 0 collapsed
};

// The texts SetElementText and UpdateElementText change.
enum class Element { Content = 0, ExpandedInformation = 1, Footer = 2, MainInstruction = 3 };

struct Button {
    int id = 0;
    QString text;  // for command links: title, then a line break and the note
};

using Callback = std::function<long(TaskDialog& dialog, Notification notification, std::uintptr_t wParam,
                                    std::intptr_t lParam)>;

}  // namespace task

struct TaskDialogConfig {
    QWidget* parent = nullptr;
    std::uint32_t flags = 0;
    std::uint32_t commonButtons = 0;
    QString windowTitle;
    task::Icon mainIcon = task::Icon::None;
    QString mainInstruction;
    QString content;
    std::vector<task::Button> buttons;
    int defaultButton = 0;  // 0: the first button
    std::vector<task::Button> radioButtons;
    int defaultRadioButton = 0;  // 0: the first radio button
    QString verificationText;
    QString expandedInformation;
    QString expandedControlText;   // default "Hide details"
    QString collapsedControlText;  // default "Show details"
    task::Icon footerIcon = task::Icon::None;
    QString footer;
    task::Callback callback;
    std::uint32_t width = 0;  // in dialog units; 0: as wide as the content needs
};

// How a task dialog ended.
struct TaskDialogResult {
    bool shown = false;          // false: the configuration failed its checks and nothing was shown
    int button = task::kIdCancel;
    int radioButton = 0;
    bool verificationChecked = false;
};

}  // namespace tesslow
