#pragma once

// Qt
#include <QList>
#include <QStringList>

// Std
#include <deque>

// Local
#include "platform/dialog_runner.h"

namespace vorlane::test {

// Dialog answers given by the test instead of a person. Each run takes the
// next scripted answer of its kind; with none left the user cancels. The
// requests are recorded for inspection.
class ScriptedDialogs : public DialogRunner
{
public:
    std::deque<std::optional<QString>> openAnswers;
    std::deque<std::optional<QString>> saveAnswers;
    std::deque<std::optional<QColor>> colorAnswers;

    QList<FileDialogRequest> openRequests;
    QList<FileDialogRequest> saveRequests;
    QList<QColor> colorStarts;
    // What the save dialog said when it refused an answer.
    QStringList refusals;
    // Answers to OK/Cancel boxes (true: OK) and the texts they showed.
    std::deque<bool> okCancelAnswers;
    QStringList okCancelTexts;

    [[nodiscard]] std::optional<QString> runOpen(const FileDialogRequest &request) override
    {
        openRequests << request;
        return next(openAnswers);
    }
    [[nodiscard]] std::optional<QString> runSave(const FileDialogRequest &request) override
    {
        saveRequests << request;
        // A refused answer is followed by the next, as the user chooses again.
        std::optional<QString> answer = next(saveAnswers);
        for (QString why; answer && request.confirm && !(why = request.confirm(*answer)).isEmpty();
             answer = next(saveAnswers))
            refusals << why;
        return answer;
    }
    [[nodiscard]] std::optional<QColor> runColor(const QColor &start) override
    {
        colorStarts << start;
        return next(colorAnswers);
    }

    [[nodiscard]] bool runOkCancel(const QString &title, const QString &text) override
    {
        okCancelTexts << title + QLatin1Char('|') + text;
        return next(okCancelAnswers);
    }

private:
    // The next scripted answer, or with none left a cancel (no answer, false).
    template<typename T>
    static T next(std::deque<T> &answers)
    {
        if (answers.empty())
            return T();
        const T answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

} // namespace vorlane::test
