#include "ui/pages/progress_page.h"

#include "app/settings.h"
#include "metadata/naming.h"
#include "platform/desktop_shell.h"
#include "platform/messages.h"
#include "platform/utf.h"
#include "ui/controls/animation_view.h"
#include "ui/controls/task_dialog.h"
#include "ui/overwrite_dialog.h"
#include "ui/rip_notification.h"
#include "ui/wizard_frame.h"
#include "ui/wizard_state.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace tesslow {

ProgressPage::ProgressPage(const PageContext& context)
    : WizardPage(PageId::Progress, context),
      animation_(new AnimationView(this)),
      jobBar_(new QProgressBar(this)),
      status_(new QLabel(this)),
      trackBar_(new QProgressBar(this)),
      elapsed_(new QLabel(this)),
      left_(new QLabel(this)),
      beat_(new QTimer(this)),
      notifier_(new RipNotifier(context.shell, this))
{
    animation_->setObjectName(QStringLiteral("animation"));
    animation_->setMinimumSize(animation_->sizeHint());
    jobBar_->setObjectName(QStringLiteral("jobBar"));
    trackBar_->setObjectName(QStringLiteral("trackBar"));
    status_->setObjectName(QStringLiteral("ripStatus"));
    elapsed_->setObjectName(QStringLiteral("timeElapsed"));
    left_->setObjectName(QStringLiteral("timeLeft"));
    status_->setAlignment(Qt::AlignCenter);
    for (QProgressBar* bar : {jobBar_, trackBar_}) bar->setTextVisible(false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(animation_, 0, Qt::AlignHCenter);
    layout->addWidget(new QLabel(QStringLiteral("Ripping audio disc..."), this));
    layout->addWidget(jobBar_);
    layout->addWidget(status_);
    layout->addWidget(trackBar_);
    auto* times = new QHBoxLayout;
    times->addWidget(elapsed_);
    times->addStretch(1);
    times->addWidget(left_);
    layout->addLayout(times);
    layout->addStretch(1);
    connect(beat_, &QTimer::timeout, this, &ProgressPage::Pump);
}

ProgressPage::~ProgressPage()
{
    alive_->store(false);
    session_.reset();  // a running one is cancelled and given its deadline
}

QString ProgressPage::Subtitle() const { return QStringLiteral("Please wait while the selected tracks are extracted."); }

void ProgressPage::OnSetActive()
{
    Frame().SetButtons({.back = ButtonState::Disabled, .next = ButtonState::Hidden});
    status_->setText(QStringLiteral("Starting..."));
    jobBar_->setRange(0, 100);
    jobBar_->setValue(0);
    trackBar_->setRange(0, 100);
    trackBar_->setValue(0);
    elapsed_->setText(QStringLiteral("Time elapsed: 00:00"));
    left_->setText(QStringLiteral("Time left: ??:??"));
    State().errorText.clear();
    State().accuracyLine.clear();
    State().noteText.clear();
    animation_->Start();
    QTimer::singleShot(0, this, &ProgressPage::StartRip);
}

void ProgressPage::StartRip()
{
    if (session_ || Frame().CurrentPage() != this) return;
    WizardState& state = State();
    RipWorkerSetup setup;
    setup.job = state.job;
    setup.disc = (*state.records)[state.job.driveKey];
    // The settings as they are now: the worker never reads the store.
    setup.settings = RipSettings::From(Settings());
    setup.overwrite = state.overwrite;
    setup.question = std::make_shared<WizardOverwriteQuestion>(this);
    setup.shell = std::shared_ptr<DesktopShell>(&Context().shell, [](DesktopShell*) {});
    // A message waiting wakes the page; the 100 ms beat pumps the tick.
    session_ = std::make_unique<RipSession>(std::move(setup), static_cast<RipDisplay&>(*this), [this, alive = alive_] {
        QMetaObject::invokeMethod(QApplication::instance(), [this, alive] {
            if (alive->load()) Pump();
        }, Qt::QueuedConnection);
    });
    session_->Start();
    beat_->start(100);
}

void ProgressPage::Pump()
{
    if (session_ && !session_->Pump(std::chrono::milliseconds(0))) Finish();
}

void ProgressPage::OnRipMessage(const Message& message, const RipMonitor& monitor)
{
    if (message.id == UM_RIP_STEP && monitor.Step() == RipStep::FindingReadOffset)
        status_->setText(QStringLiteral("Finding the drive's read offset..."));
    if (message.id == UM_RIP_STEP && monitor.Step() == RipStep::ReadingSubchannel)
        status_->setText(QStringLiteral("Reading the disc's gaps and codes..."));
    if (message.id != UM_RIP_TRACK_STARTED || !monitor.CurrentTrack()) return;
    const DiscRecord& disc = (*State().records)[State().job.driveKey];
    status_->setText(QString::fromStdString(DisplayUtf8(TrackStatusText(disc, monitor))));
    trackBar_->setValue(0);
}

void ProgressPage::OnRipTick(const RipMonitor& monitor)
{
    // Ranges are in bytes and may pass what an int holds: shown in thousandths.
    auto set = [](QProgressBar* bar, std::int64_t position, std::int64_t range) {
        bar->setRange(0, 1000);
        bar->setValue(range > 0 ? static_cast<int>(std::clamp<std::int64_t>(position * 1000 / range, 0, 1000)) : 0);
    };
    set(trackBar_, monitor.TrackPosition(), monitor.TrackRange());
    set(jobBar_, monitor.JobPosition(), monitor.JobRange());
    elapsed_->setText(QString::fromStdString(monitor.Clock().ElapsedText()));
    left_->setText(QString::fromStdString(monitor.Clock().LeftText()));
}

void ProgressPage::Finish()
{
    beat_->stop();
    animation_->Stop();
    WizardState& state = State();
    state.result = session_->Result();
    state.errorText = session_->Monitor().ErrorText();
    const auto& accuracy = session_->Monitor().Accuracy();
    state.accuracyLine = accuracy && !accuracy->summary.empty() ? accuracy->summary + "." : std::string();
    // A note is a sentence of its own.
    state.noteText.clear();
    for (const std::string& line : session_->Monitor().NoteLines())
        state.noteText += line + (line.ends_with('.') ? "\n" : ".\n");
    state.tracksRipped = static_cast<int>(std::count_if(
        session_->Monitor().Tracks().begin(), session_->Monitor().Tracks().end(),
        [](const TrackOutcome& track) { return track.status == TrackOutcome::Status::Ripped; }));
    OnRipTick(session_->Monitor());
    const std::size_t errors = session_->ErrorLines().size();
    session_.reset();
    if (Settings().BeepWhenDone != 0) QApplication::beep();
    // Behind another window, the desktop tells the person.
    if (Settings().NotifyWhenDone != 0 && !window()->isActiveWindow()) {
        const QString folder = QString::fromStdString(DisplayUtf8(state.job.OutputFolder));
        switch (state.result) {
        case RipResult::Success:
            notifier_->Notify(QStringLiteral("Rip finished"), QStringLiteral("The tracks are in %1.").arg(folder),
                              state.job.OutputFolder);
            break;
        case RipResult::Canceled:
            notifier_->Notify(QStringLiteral("Rip canceled"), QString(), state.job.OutputFolder);
            break;
        case RipResult::CompletedWithErrors:
            notifier_->Notify(state.tracksRipped == 0 ? QStringLiteral("No tracks were ripped")
                                                      : QStringLiteral("Rip finished with errors"),
                              QStringLiteral("%1 error(s); see the wizard. The files are in %2.").arg(errors).arg(folder),
                              state.job.OutputFolder);
            break;
        }
    }
    Frame().SetCurSelId(TemplateOf(PageId::Final));
}

bool ProgressPage::OnKillActive()
{
    // The page is left only when its rip has ended.
    return session_ == nullptr;
}

bool ProgressPage::OnQueryCancel()
{
    // Asked every time, also while "Canceling..." shows.
    if (!session_) return false;
    TaskDialogConfig config;
    config.parent = this;
    config.flags = task::kAllowDialogCancellation | task::kPositionRelativeToWindow;
    config.commonButtons = task::kYesButton | task::kNoButton;
    config.windowTitle = QStringLiteral("Tesslow");
    config.mainIcon = task::Icon::Question;
    config.mainInstruction = QStringLiteral("Are you sure?");
    config.content = QStringLiteral("You are going to cancel ripping your disc.");
    const TaskDialogResult answer = ShowTaskDialog(config);
    // Only Yes cancels: Esc, No and a dialog that could not be shown do not.
    if (answer.shown && answer.button == task::kIdYes) {
        if (session_) {
            if (session_->CancelConfirmed())
                session_->ConfirmCancelAgain();
            else
                session_->ConfirmCancel();
            status_->setText(QStringLiteral("Canceling..."));
        }
    }
    return false;  // the rip ends on the final page, never by closing the wizard
}

}  // namespace tesslow
