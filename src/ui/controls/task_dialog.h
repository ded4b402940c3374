#pragma once

#include "ui/controls/task_dialog_config.h"

#include <QDialog>
#include <QElapsedTimer>

#include <map>
#include <optional>
#include <vector>

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QLabel;
class QProgressBar;
class QToolButton;

namespace tesslow {

// Shows a task dialog modally and waits for it: checks the configuration (at
// most 20 buttons and 20 radio buttons; command links need buttons), then
// builds the dialog, runs it, and builds it again for each navigation to a
// new configuration. A configuration that fails its checks shows nothing.
TaskDialogResult ShowTaskDialog(const TaskDialogConfig& config);

// One showing of a task dialog. Its callback gets the notifications, and may
// use the operations below (the dialog's messages) while it runs.
class TaskDialog final : public QDialog {
    Q_OBJECT
public:
    TaskDialog(const TaskDialogConfig& config, bool navigated);
    ~TaskDialog() override;

    void ClickButton(int id);
    void EnableButton(int id, bool enabled);
    void EnableRadioButton(int id, bool enabled);
    void SetProgressBarRange(int minimum, int maximum);
    // Returns the previous position.
    int SetProgressBarPos(int position);
    void SetElementText(task::Element element, const QString& text);
    void UpdateElementText(task::Element element, const QString& text) { SetElementText(element, text); }
    // Closes this showing and shows `config` in its place.
    void NavigatePage(const TaskDialogConfig& config);

    TaskDialogResult Result() const { return result_; }
    std::optional<TaskDialogConfig> TakeNavigation();

    bool CanCancel() const;

    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Build();
    QWidget* BuildTop(int contentWidth);
    QWidget* BuildButtonRow();
    QWidget* BuildFooter(int contentWidth);
    void Toggle();
    void ApplyExpanded();
    long Notify(task::Notification notification, std::uintptr_t wParam = 0, std::intptr_t lParam = 0);
    void Finish(int button);

    TaskDialogConfig config_;
    const bool navigated_;
    TaskDialogResult result_;
    std::optional<TaskDialogConfig> navigation_;
    bool expanded_ = false;
    bool started_ = false;
    bool finished_ = false;
    QElapsedTimer timerOrigin_;
    int timerId_ = 0;

    QLabel* instruction_ = nullptr;
    QLabel* content_ = nullptr;
    QLabel* expandedText_ = nullptr;
    QLabel* footerText_ = nullptr;
    QProgressBar* bar_ = nullptr;
    QCheckBox* verification_ = nullptr;
    QToolButton* expando_ = nullptr;
    QButtonGroup* radios_ = nullptr;
    std::map<int, QAbstractButton*> buttons_;
    std::vector<int> rowOrder_;  // the ids of the button row, left to right

protected:
    void timerEvent(QTimerEvent* event) override;
};

}  // namespace tesslow
