#pragma once

// Qt
#include <QPointer>
#include <QWidget>

// Local
#include "platform/dialog_runner.h"

namespace vorlane {

// Shows QFileDialog and QColorDialog modally over a parent window.
class QtDialogRunner : public DialogRunner
{
public:
    void setParent(QWidget *parent) { m_parent = parent; }

    [[nodiscard]] std::optional<QString> runOpen(const FileDialogRequest &request) override;
    [[nodiscard]] std::optional<QString> runSave(const FileDialogRequest &request) override;
    [[nodiscard]] std::optional<QColor> runColor(const QColor &start) override;
    [[nodiscard]] bool runOkCancel(const QString &title, const QString &text) override;

private:
    [[nodiscard]] std::optional<QString> runFile(const FileDialogRequest &request, bool save);
    QPointer<QWidget> m_parent;
};

} // namespace vorlane
