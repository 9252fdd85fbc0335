#include "app/interface_language.h"

// Qt
#include <QByteArray>
#include <QCoreApplication>
#include <QLibraryInfo>
#include <QList>
#include <QLocale>
#include <QTranslator>

// Std
#include <optional>
#include <utility>

namespace vorlane {

namespace {

// The file dialog's words for a folder and a drive, which Qt's Japanese
// translation has under an older name only; worded as that translation
// words the dialog's other folder commands.
class FileDialogWords : public QTranslator
{
public:
    using QTranslator::QTranslator;

    [[nodiscard]] bool isEmpty() const override { return false; }

    [[nodiscard]] QString translate(const char *context, const char *sourceText,
                                    const char * /*disambiguation*/, int /*n*/) const override
    {
        if (qstrcmp(context, "QAbstractFileIconProvider") != 0)
            return {};
        if (qstrcmp(sourceText, "Folder") == 0)
            return QStringLiteral("フォルダ");
        if (qstrcmp(sourceText, "Drive") == 0)
            return QStringLiteral("ドライブ");
        return {};
    }
};

} // namespace

void useJapaneseFormats()
{
    // Each variable changed, with its value before (none: it was unset).
    QList<std::pair<const char *, std::optional<QByteArray>>> saved;
    const auto set = [&saved](const char *name, const QByteArray &value) {
        saved.append({ name, qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name))
                                                             : std::nullopt });
        if (value.isEmpty())
            qunsetenv(name);
        else
            qputenv(name, value);
    };
    // LC_ALL would override the categories below: the others keep its value.
    const QByteArray all = qgetenv("LC_ALL");
    if (!all.isEmpty()) {
        for (const char *name : { "LC_COLLATE", "LC_MONETARY", "LC_MEASUREMENT" })
            set(name, all);
        set("LC_ALL", {});
    }
    // Qt's file dialog formats dates with the system locale's time format,
    // and sizes ("バイト", "KB") in the system locale's language, which Qt
    // takes from LC_MESSAGES unless LANGUAGE names another.
    set("LC_TIME", "ja_JP.UTF-8");
    set("LC_NUMERIC", "ja_JP.UTF-8");
    set("LC_MESSAGES", "ja_JP.UTF-8");
    set("LANGUAGE", {});
    (void)QLocale::system();
    for (auto it = saved.crbegin(); it != saved.crend(); ++it) {
        if (it->second)
            qputenv(it->first, *it->second);
        else
            qunsetenv(it->first);
    }
    // Everything else Qt formats uses the default locale.
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
}

void installQtJapanese()
{
    auto *qt = new QTranslator(QCoreApplication::instance());
    if (qt->load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qt);
    QCoreApplication::installTranslator(new FileDialogWords(QCoreApplication::instance()));
}

} // namespace vorlane
