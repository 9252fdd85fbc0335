#pragma once

// Qt
#include <QDesktopServices>
#include <QUrl>

// Local
#include "platform/shell_service.h"

namespace vorlane {

// Opens targets with the desktop's default programs (the web browser for
// web addresses).
class QtShellService : public ShellService
{
public:
    void ShellOpen(const QString &target) override
    {
        QDesktopServices::openUrl(QUrl::fromUserInput(target));
    }
};

} // namespace vorlane
