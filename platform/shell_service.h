#pragma once

// Qt
#include <QString>

namespace vorlane {

// The desktop shell's "open" action.
class ShellService
{
public:
    virtual ~ShellService() = default;

    // Hands target (a web address or a path) to the desktop's default
    // program for it and returns at once; failures are ignored.
    virtual void ShellOpen(const QString &target) = 0;
};

} // namespace vorlane
