#include "ui/help.h"

#include "platform/desktop_shell.h"

#include <QDir>
#include <QUrl>

namespace tesslow {

std::string HelpPageUrl(const std::string& appPath, int context)
{
    const QString page = QDir(QString::fromStdString(appPath)).filePath(QStringLiteral("help/%1.html").arg(context));
    return QUrl::fromLocalFile(page).toString().toStdString();
}

void OpenHelp(DesktopShell& shell, const std::string& appPath, int context)
{
    shell.Open(HelpPageUrl(appPath, context));
}

}  // namespace tesslow
