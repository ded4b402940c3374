#include "ui/pages/ready_page.h"

#include "app/settings.h"
#include "drive/drive_model.h"
#include "drive/scsi_command.h"
#include "encoding/presets.h"
#include "ui/label_text.h"
#include "ui/options_dialog.h"
#include "ui/skin.h"
#include "ui/wizard_frame.h"
#include "ui/wizard_state.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tesslow {
namespace {

// A label that shows the end of a long text as "..." rather than growing.
class ElidedLabel final : public QLabel {
public:
    using QLabel::QLabel;
    void SetFullText(const QString& text)
    {
        full_ = text;
        setToolTip(text);
        Elide();
    }

protected:
    void resizeEvent(QResizeEvent* event) override
    {
        QLabel::resizeEvent(event);
        Elide();
    }

private:
    void Elide() { setText(fontMetrics().elidedText(full_, Qt::ElideRight, std::max(0, width() - 2))); }
    QString full_;
};

}  // namespace

ReadyPage::ReadyPage(const PageContext& context)
    : WizardPage(PageId::Ready, context), format_(new QLabel(this)), quality_(new QLabel(this)), folder_(new ElidedLabel(this))
{
    format_->setObjectName(QStringLiteral("readyFormat"));
    quality_->setObjectName(QStringLiteral("readyQuality"));
    folder_->setObjectName(QStringLiteral("readyFolder"));
    folder_->setTextFormat(Qt::PlainText);
    folder_->setMinimumWidth(50);
    folder_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    const QString press = context.skin.startLabel.isEmpty() ? QStringLiteral("Next") : QStringLiteral("Start");
    auto* intro = new QLabel(QStringLiteral("Tesslow is now ready to extract selected tracks. Please review your "
                                            "settings and press \"%1\".").arg(press),
                             this);
    intro->setWordWrap(true);
    auto* summary = new QFormLayout;
    summary->addRow(QStringLiteral("Format:"), format_);
    summary->addRow(QStringLiteral("Quality:"), quality_);
    summary->addRow(QStringLiteral("Folder:"), folder_);
    reading_ = new QLabel(this);
    reading_->setObjectName(QStringLiteral("readyReading"));
    reading_->setWordWrap(true);
    summary->addRow(QStringLiteral("Reading:"), reading_);
    options_ = new QPushButton(QStringLiteral("&Options..."), this);
    options_->setObjectName(QStringLiteral("optionsButton"));
    connect(options_, &QPushButton::clicked, this, &ReadyPage::AskDrive);
    auto* optionsRow = new QHBoxLayout;
    optionsRow->addWidget(options_);
    optionsRow->addStretch(1);
    summary->addRow(QString(), optionsRow);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(intro);
    layout->addSpacing(8);
    layout->addLayout(summary);
    layout->addStretch(1);
}

QString ReadyPage::Title() const
{
    // The classic header names the step differently from the Aero title.
    return Context().skin.kind == SkinKind::Classic ? QStringLiteral("Ready to extract") : WizardPage::Title();
}

QString ReadyPage::Subtitle() const { return QStringLiteral("Selected audio tracks will now be extracted..."); }

void ReadyPage::OnSetActive()
{
    Frame().SetButtons({});
    if (!Context().skin.startLabel.isEmpty()) Frame().SetButtonText(WizardButton::Next, Context().skin.startLabel);
    const RipJob& job = State().job;
    const FormatInfo* format = FindFormat(job.format);
    format_->setText(format ? QString::fromUtf8(format->summaryName) : QString());
    quality_->setText(QString::fromStdString(QualitySummary(job.format, job.preset, job.qualityStep)));
    static_cast<ElidedLabel*>(folder_)->SetFullText(LabelText(job.OutputFolder));
    OnOptionsChanged();
}

void ReadyPage::OnOptionsChanged() { reading_->setText(ReadingSummary(Settings())); }

void ReadyPage::OnLeave()
{
    Frame().SetButtonText(WizardButton::Next, {});
    driveAnswer_.Cancel();
    options_->setEnabled(true);
}

// With the rip's drive, what is remembered for its model shows too. The
// drive is opened and asked on a thread of its own.
void ReadyPage::AskDrive()
{
    const std::string key = State().job.driveKey;
    std::shared_ptr<ScsiCommand> drive = (*State().records)[key].drive;
    options_->setEnabled(false);
    driveAnswer_.Start(
        [key, drive] {
            DriveAnswer answer{drive, {}};
            if (!answer.drive && !key.empty()) {
                auto opened = std::make_shared<ScsiCommand>();
                if (opened->Open(key)) answer.drive = std::move(opened);
            }
            if (answer.drive) answer.model = InquireDriveModel(*answer.drive);
            return answer;
        },
        [this](DriveAnswer answer) { ShowOptions(std::move(answer)); });
}

void ReadyPage::ShowOptions(DriveAnswer answer)
{
    options_->setEnabled(true);
    if (Frame().CurrentPage() != this) return;
    DiscRecord& disc = (*State().records)[State().job.driveKey];
    if (!disc.drive) disc.drive = std::move(answer.drive);
    // The dialog is modal and waits for its search before it closes, so
    // the record stays put while the search reads the disc.
    OffsetDetector detect;
    if (disc.drive) detect = [&disc](const std::function<bool()>& giveUp) { return DetectReadOffset(disc, giveUp); };
    Frame().ShowOptions(answer.model, std::move(detect));
}

}  // namespace tesslow
