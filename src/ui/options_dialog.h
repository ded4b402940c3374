#pragma once

#include "app/drive_profile.h"

#include <QDialog>
#include <QString>

#include <map>
#include <string>

class QCheckBox;
class QComboBox;
class QSpinBox;

namespace tesslow {

struct Settings;

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
// correction and whether it may overread. OK writes what changed to the user
// store, under the same names as everything else; Cancel writes nothing.
class OptionsDialog final : public QDialog {
    Q_OBJECT
public:
    explicit OptionsDialog(QWidget* parent, const DriveModel& drive = {});
    void accept() override;

private:
    std::map<std::string, QCheckBox*> boxes_;  // by setting name
    QComboBox* skin_;
    DriveModel drive_;
    DriveProfile profile_;
    QSpinBox* offset_ = nullptr;  // with a drive: its lowest value stands for "not known"
    QCheckBox* overread_ = nullptr;
};

}  // namespace tesslow
