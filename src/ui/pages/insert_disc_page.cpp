#include "ui/pages/insert_disc_page.h"

#include "app/settings.h"
#include "drive/disc_search.h"
#include "drive/drive_list.h"
#include "platform/messages.h"
#include "ui/qt_message_sink.h"
#include "ui/wizard_frame.h"
#include "ui/wizard_state.h"

#include <QLabel>
#include <QProgressBar>
#include <QTimer>
#include <QVBoxLayout>

namespace tesslow {
namespace {

constexpr auto kSearchWait = std::chrono::milliseconds(1000);
constexpr int kLookAgainMs = 2000;

}  // namespace

InsertDiscPage::InsertDiscPage(const PageContext& context)
    : WizardPage(PageId::InsertDisc, context), status_(new QLabel(this)), bar_(new QProgressBar(this)),
      again_(new QTimer(this))
{
    again_->setSingleShot(true);
    again_->setInterval(kLookAgainMs);
    connect(again_, &QTimer::timeout, this, [this] { StartSearch(true); });
    status_->setObjectName(QStringLiteral("searchStatus"));
    status_->setWordWrap(true);
    bar_->setObjectName(QStringLiteral("searchBar"));
    bar_->setRange(0, 0);  // busy
    bar_->setTextVisible(false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(status_);
    layout->addWidget(bar_);
    layout->addStretch(1);
}

InsertDiscPage::~InsertDiscPage() { StopSearch(); }

void InsertDiscPage::SetButtons(bool nextEnabled)
{
    const bool welcomeShown = Settings().SkipFirst == 0;
    Frame().SetButtons({.back = welcomeShown ? ButtonState::Enabled : ButtonState::Hidden,
                        .next = nextEnabled ? ButtonState::Enabled : ButtonState::Disabled});
}

void InsertDiscPage::OnSetActive() { StartSearch(); }

PageTurn InsertDiscPage::OnWizardNext()
{
    StartSearch();
    return PageTurn::Stay();
}

// Back and Cancel stop the search; Next starts it again.
void InsertDiscPage::OnLeave() { StopSearch(); }

void InsertDiscPage::StartSearch(bool quietly)
{
    again_->stop();
    if (State().ripAgain) {
        State().ripAgain = false;
        bar_->hide();
        status_->setText(QStringLiteral("Please insert audio disc and click \"Next\"."));
        SetButtons(true);
        return;
    }
    StopSearch();
    // A second look keeps the page as it is until a disc is found.
    if (!quietly) {
        SetButtons(false);
        bar_->show();
        status_->setText(QStringLiteral("Searching..."));
    }
    searching_ = true;

    // The search works on records and a job of its own: one that is left
    // behind never touches the wizard's. The found drive's record is handed
    // over with the result.
    auto stop = std::make_shared<std::atomic<bool>>(false);
    auto records = std::make_shared<DiscRecords>();
    auto job = std::make_shared<RipJob>();
    auto sink = std::make_shared<QtMessageSink>(
        [this, stop, records, job](const Message& message) -> std::intptr_t {
            if (message.id == UM_DISC_SEARCH_ABORT) return stop->load() ? 1 : 0;
            if (message.id == UM_DISC_SEARCH_DONE) {
                if (message.wParam == 1) (*State().records)[job->driveKey] = (*records)[job->driveKey];
                SearchDone(message.wParam == 1, job->driveKey);
            }
            return 0;
        },
        1);
    stop_ = stop;
    sink_ = sink;
    const std::vector<std::string> drives = ListDrives();
    noDrive_ = drives.empty();
    search_ = WorkerThread([drives, records, job, sink] { RunDiscSearch(drives, *records, *job, *sink); });
}

void InsertDiscPage::StopSearch()
{
    again_->stop();
    if (stop_) stop_->store(true);
    if (sink_) sink_->Close();
    if (search_.Running()) search_.WaitFor(kSearchWait);
    searching_ = false;
}

void InsertDiscPage::SearchDone(bool found, const std::string& driveKey)
{
    searching_ = false;
    sink_->Close();
    search_.WaitFor(kSearchWait);
    if (found) {
        State().job.driveKey = driveKey;
        Frame().SetCurSel(Frame().CurrentIndex() + 1);
        return;
    }
    bar_->hide();
    status_->setText(noDrive_ ? QStringLiteral("No CD or DVD drive was found.")
                              : QStringLiteral("No audio disc found in any of your optical drives. Please insert audio "
                                               "disc and click \"Next\"."));
    SetButtons(true);
    if (Frame().CurrentPage() == this) again_->start();
}

}  // namespace tesslow
