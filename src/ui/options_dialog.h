#pragma once

#include "app/drive_profile.h"
#include "ripper/read_offset_choice.h"

#include <QDialog>
#include <QString>

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <thread>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;

namespace tesslow {

struct Settings;

// Searches the drive's read offset with the disc in it, for the dialog's
// "Detect"; run off the GUI thread. `giveUp` turns true when the dialog
// closes.
using OffsetDetector = std::function<OffsetDetection(const std::function<bool()>& giveUp)>;

// How the disc will be read, in a line for the ready page: "jitter
// correction on, AccurateRip check, second read where needed".
QString ReadingSummary(const Settings& settings);

// The options of the settings store, in one dialog: how the disc is read
// (jitter correction, AccurateRip, a second read where AccurateRip cannot
// vouch), the files beside the tracks (rip log, CUE sheet, de-emphasis), what
// happens when a rip is done (eject, open the folder, beep, a desktop
// notification) and the look (the
// skin, applied at the next start). With the drive of the rip at hand it
// also shows what is remembered for that drive model: its read offset
// correction and whether it may overread; with a detector, "Detect" finds the
// offset with the disc (the search runs on a thread of its own, and closing
// the dialog ends it). OK writes what changed to the user
// store, under the same names as everything else; Cancel writes nothing.
class OptionsDialog final : public QDialog {
    Q_OBJECT
public:
    explicit OptionsDialog(QWidget* parent, const DriveModel& drive = {}, OffsetDetector detect = {});
    ~OptionsDialog() override;
    OptionsDialog(const OptionsDialog&) = delete;
    OptionsDialog& operator=(const OptionsDialog&) = delete;
    void accept() override;

private:
    void Detect();
    void Detected(const OffsetDetection& detection);

    std::map<std::string, QCheckBox*> boxes_;  // by setting name
    QComboBox* skin_;
    DriveModel drive_;
    DriveProfile profile_;
    QSpinBox* offset_ = nullptr;  // with a drive: its lowest value stands for "not known"
    QCheckBox* overread_ = nullptr;
    OffsetDetector detect_;
    QPushButton* detectButton_ = nullptr;
    QLabel* detectNote_ = nullptr;
    std::shared_ptr<std::atomic<bool>> closing_ = std::make_shared<std::atomic<bool>>(false);
    std::thread search_;
};

}  // namespace tesslow
