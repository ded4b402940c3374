#pragma once

#include "encoding/overwrite.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

namespace tesslow {

// The existing-file question in the wizard: a task dialog owned by the page
// that runs the rip, titled "Tesslow", asking "The target file already
// exists. Do you wish to overwrite?" about the full path, with Yes, No and
// "Remember my choice for all files". No skips the file; Yes overwrites it.
//
// Ask may be called from the rip worker's thread: the question is put to the
// user on the UI thread while the worker waits. The object lives on the UI
// thread.
class WizardOverwriteQuestion final : public QObject, public OverwriteQuestion {
    Q_OBJECT
public:
    explicit WizardOverwriteQuestion(QWidget* owner);

    Reply Ask(const std::string& path) override;

private:
    Reply AskHere(const std::string& path);

    QPointer<QWidget> owner_;
};

}  // namespace tesslow
