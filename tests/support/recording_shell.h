#pragma once

// Qt
#include <QStringList>

// Local
#include "platform/shell_service.h"

namespace vorlane::test {

// Records what the program asks the shell to open instead of starting a
// browser.
class RecordingShell : public ShellService
{
public:
    void ShellOpen(const QString &target) override { opened << target; }
    QStringList opened;
};

} // namespace vorlane::test
