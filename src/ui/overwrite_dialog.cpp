#include "ui/overwrite_dialog.h"

#include "ui/controls/task_dialog.h"
#include "ui/label_text.h"

#include <QCoreApplication>
#include <QThread>

namespace tesslow {

WizardOverwriteQuestion::WizardOverwriteQuestion(QWidget* owner) : owner_(owner) {}

OverwriteQuestion::Reply WizardOverwriteQuestion::AskHere(const std::string& path)
{
    TaskDialogConfig config;
    config.parent = owner_;
    config.flags = task::kPositionRelativeToWindow;
    config.commonButtons = task::kYesButton | task::kNoButton;
    config.windowTitle = QStringLiteral("Tesslow");
    config.mainIcon = task::Icon::Question;
    config.mainInstruction = QStringLiteral("The target file already exists. Do you wish to overwrite?");
    config.content = LabelText(path);
    config.verificationText = QStringLiteral("Remember my choice for all files");
    const TaskDialogResult result = ShowTaskDialog(config);
    if (!result.shown) return {Answer::CannotAsk, false};
    return {result.button == task::kIdNo ? Answer::Skip : Answer::Overwrite, result.verificationChecked};
}

OverwriteQuestion::Reply WizardOverwriteQuestion::Ask(const std::string& path)
{
    if (QThread::currentThread() == thread()) return AskHere(path);
    Reply reply;
    QMetaObject::invokeMethod(this, [&] { reply = AskHere(path); }, Qt::BlockingQueuedConnection);
    return reply;
}

}  // namespace tesslow
