#include "ui/options_dialog.h"

#include "app/cd_audio.h"
#include "app/settings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace tesslow {

namespace {

struct Option {
    const char* setting;
    const char* text;
};

struct Group {
    const char* title;
    std::initializer_list<Option> options;
};

const Group kGroups[] = {
    {"Reading",
     {{"JitterCorrection", "&Jitter correction (slower, corrects a drive that reads unevenly)"},
      {"AccurateRip", "Check the tracks against the &AccurateRip database"},
      {"VerifyReads", "Read a track &again where AccurateRip cannot vouch for it"}}},
    {"Files beside the tracks",
     {{"WriteLog", "Write a rip &log"},
      {"WriteCue", "Write a &CUE sheet"},
      {"Deemphasis", "&De-emphasise pre-emphasised tracks (not WAV)"},
      {"ReplayGain", "Tag the files with their &ReplayGain (not WAV)"}}},
    {"When a rip is done",
     {{"EjectWhenDone", "&Eject the disc"},
      {"OpenFolderWhenDone", "&Open the folder"},
      {"BeepWhenDone", "&Beep"},
      {"NotifyWhenDone", "Show a desktop &notification when another window is in front"}}},
};

std::uint32_t Value(const Settings& settings, const std::string& name)
{
    for (const SettingField& field : SettingsTable())
        if (field.number && name == field.name) return settings.*field.number;
    return 0;
}

}  // namespace

QString ReadingSummary(const Settings& settings)
{
    QStringList parts;
    parts << (settings.JitterCorrection != 0 ? QStringLiteral("jitter correction on")
                                             : QStringLiteral("jitter correction off"));
    if (settings.AccurateRip != 0) parts << QStringLiteral("AccurateRip check");
    if (settings.VerifyReads != 0) parts << QStringLiteral("second read where needed");
    return parts.join(QStringLiteral(", "));
}

OptionsDialog::OptionsDialog(QWidget* parent, const DriveModel& drive, OffsetDetector detect)
    : QDialog(parent), skin_(new QComboBox(this)), drive_(drive), detect_(std::move(detect))
{
    setObjectName(QStringLiteral("optionsDialog"));
    setWindowTitle(QStringLiteral("Options"));
    const Settings settings;
    auto* layout = new QVBoxLayout(this);
    for (const Group& group : kGroups) {
        auto* box = new QGroupBox(QString::fromUtf8(group.title), this);
        auto* column = new QVBoxLayout(box);
        for (const Option& option : group.options) {
            auto* check = new QCheckBox(QString::fromUtf8(option.text), box);
            check->setObjectName(QStringLiteral("option") + QString::fromLatin1(option.setting));
            check->setChecked(Value(settings, option.setting) != 0);
            boxes_[option.setting] = check;
            column->addWidget(check);
        }
        layout->addWidget(box);
    }
    if (drive_.Known()) {
        profile_ = LoadDriveProfile(drive_);
        auto* box = new QGroupBox(QStringLiteral("This drive: %1").arg(QString::fromStdString(drive_.Name())), this);
        auto* rows = new QFormLayout(box);
        offset_ = new QSpinBox(box);
        offset_->setObjectName(QStringLiteral("optionReadOffset"));
        offset_->setRange(-kLargestReadOffset - 1, kLargestReadOffset);
        offset_->setSpecialValueText(QStringLiteral("not known yet"));
        offset_->setSuffix(QStringLiteral(" samples"));
        offset_->setValue(profile_.readOffset.value_or(-kLargestReadOffset - 1));
        auto* offsetRow = new QHBoxLayout;
        offsetRow->addWidget(offset_, 1);
        if (detect_) {
            detectButton_ = new QPushButton(QStringLiteral("De&tect"), box);
            detectButton_->setObjectName(QStringLiteral("optionDetectOffset"));
            detectButton_->setToolTip(QStringLiteral("Find the offset with the disc in the drive and AccurateRip"));
            connect(detectButton_, &QPushButton::clicked, this, &OptionsDialog::Detect);
            offsetRow->addWidget(detectButton_);
        }
        auto* offsetLabel = new QLabel(QStringLiteral("&Read offset correction:"), box);
        offsetLabel->setBuddy(offset_);
        rows->addRow(offsetLabel, offsetRow);
        if (detect_) {
            detectNote_ = new QLabel(box);
            detectNote_->setObjectName(QStringLiteral("optionDetectNote"));
            detectNote_->setWordWrap(true);
            detectNote_->hide();
            rows->addRow(detectNote_);
        }
        overread_ = new QCheckBox(QStringLiteral("O&verread: read just outside the disc's audio"), box);
        overread_->setObjectName(QStringLiteral("optionOverread"));
        overread_->setChecked(profile_.overread);
        rows->addRow(overread_);
        layout->addWidget(box);
    }
    auto* look = new QGroupBox(QStringLiteral("Look"), this);
    auto* form = new QFormLayout(look);
    skin_->setObjectName(QStringLiteral("optionSkin"));
    skin_->addItems({QStringLiteral("Aero"), QStringLiteral("Classic")});
    skin_->setCurrentIndex(settings.Skin == 1 ? 1 : 0);
    form->addRow(QStringLiteral("&Skin (at the next start):"), skin_);
    layout->addWidget(look);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

OptionsDialog::~OptionsDialog()
{
    closing_->store(true);
    if (search_.joinable()) search_.join();
}

void OptionsDialog::Detect()
{
    if (search_.joinable()) search_.join();  // the last search has posted its outcome
    detectButton_->setEnabled(false);
    detectNote_->setText(QStringLiteral("Looking for the read offset with AccurateRip..."));
    detectNote_->show();
    search_ = std::thread([this, detect = detect_, closing = closing_] {
        const OffsetDetection detection = detect([closing] { return closing->load(); });
        // The dialog waits for this thread before it goes, so `this` is
        // still there; an outcome posted as it goes is dropped with it.
        QMetaObject::invokeMethod(this, [this, detection] { Detected(detection); }, Qt::QueuedConnection);
    });
}

void OptionsDialog::Detected(const OffsetDetection& detection)
{
    detectButton_->setEnabled(true);
    if (detection.outcome == OffsetDetection::Outcome::Found) {
        offset_->setValue(*detection.result.offset);
        detectNote_->setText(QString::fromStdString(detection.text) + QStringLiteral("; OK remembers it."));
    } else {
        detectNote_->setText(QString::fromStdString(detection.text));
    }
}

void OptionsDialog::accept()
{
    Settings settings;
    for (const auto& [name, check] : boxes_) {
        const std::uint32_t wanted = check->isChecked() ? 1 : 0;
        if (Value(settings, name) != wanted) settings.WriteNumber(name, wanted);
    }
    if (offset_) {
        // The lowest value is "not known": nothing to remember.
        if (offset_->value() != offset_->minimum() && offset_->value() != profile_.readOffset)
            RememberReadOffset(drive_, offset_->value());
        if (overread_->isChecked() != profile_.overread) RememberOverread(drive_, overread_->isChecked());
    }
    const std::uint32_t skin = static_cast<std::uint32_t>(skin_->currentIndex());
    if (settings.Skin != skin) settings.WriteNumber("Skin", skin);
    QDialog::accept();
}

}  // namespace tesslow
