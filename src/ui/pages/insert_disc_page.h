#pragma once

#include "platform/worker_thread.h"
#include "ui/wizard_page.h"

#include <atomic>
#include <memory>

class QLabel;
class QProgressBar;
class QTimer;

namespace tesslow {

class QtMessageSink;

// Page 2: waiting for an audio disc. On activation (and on Next) it searches
// every drive on a thread of its own, with a busy bar and "Searching...",
// and moves on to the tracks page when a drive holds an audio disc. When none
// does it says so ("No CD or DVD drive was found." without any drive) and
// looks again every 2 seconds, quietly, going on by itself once a disc is
// there. Back and Cancel stop the search (waiting up to 1000 ms, then leaving
// it behind). After "Rip more" or a Back from the tracks page it prompts
// instead.
class InsertDiscPage final : public WizardPage {
    Q_OBJECT
public:
    explicit InsertDiscPage(const PageContext& context);
    ~InsertDiscPage() override;
    void OnSetActive() override;
    void OnLeave() override;
    PageTurn OnWizardNext() override;

    bool Searching() const { return searching_; }

private:
    void SetButtons(bool nextEnabled);
    void StartSearch(bool quietly = false);
    void StopSearch();
    void SearchDone(bool found, const std::string& driveKey);

    QLabel* status_;
    QProgressBar* bar_;
    WorkerThread search_;
    std::shared_ptr<QtMessageSink> sink_;
    std::shared_ptr<std::atomic<bool>> stop_;
    bool searching_ = false;
    bool noDrive_ = false;
    QTimer* again_;  // the next look after a search that found nothing
};

}  // namespace tesslow
