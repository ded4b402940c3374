#pragma once

#include "ripper/rip_session.h"
#include "ui/wizard_page.h"

#include <atomic>
#include <memory>

class QLabel;
class QProgressBar;

namespace tesslow {

class AnimationView;

// Page 8: the rip. Shown first, then the rip session starts (a queued call,
// so the page paints before the engine runs); the worker's messages are
// pumped on the UI thread when they arrive and with the animation's 100 ms
// beat. Bars and times move with the session's 500 ms tick. Cancel, Esc and
// the close box ask "Are you sure?"; Yes cancels, and the session gives the
// worker 5 s. The wizard never closes from here: every rip ends on the final
// page.
class ProgressPage final : public WizardPage, private RipDisplay {
    Q_OBJECT
public:
    explicit ProgressPage(const PageContext& context);
    ~ProgressPage() override;
    QString Subtitle() const override;
    void OnSetActive() override;
    bool OnKillActive() override;
    bool OnQueryCancel() override;

    bool Running() const { return session_ != nullptr; }

private:
    void StartRip();
    void Pump();
    void Finish();
    void OnRipMessage(const Message& message, const RipMonitor& monitor) override;
    void OnRipTick(const RipMonitor& monitor) override;

    AnimationView* animation_;
    QProgressBar* jobBar_;
    QLabel* status_;
    QProgressBar* trackBar_;
    QLabel* elapsed_;
    QLabel* left_;
    QTimer* beat_;
    class RipNotifier* notifier_;
    std::unique_ptr<RipSession> session_;
    std::shared_ptr<std::atomic<bool>> alive_ = std::make_shared<std::atomic<bool>>(true);
};

}  // namespace tesslow
