#pragma once

#include <QDialog>
#include <QString>

#include <map>
#include <string>

class QCheckBox;
class QComboBox;

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
// skin, applied at the next start). OK writes what changed to the user store,
// under the same names as everything else; Cancel writes nothing.
class OptionsDialog final : public QDialog {
    Q_OBJECT
public:
    explicit OptionsDialog(QWidget* parent);
    void accept() override;

private:
    std::map<std::string, QCheckBox*> boxes_;  // by setting name
    QComboBox* skin_;
};

}  // namespace tesslow
