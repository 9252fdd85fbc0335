#include "app/interface_language.h"

// Qt
#include <QByteArray>
#include <QList>
#include <QLocale>

// Std
#include <optional>
#include <utility>

namespace vorlane {

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
    // LC_ALL would override the two categories below: the others keep its
    // value, so the system locale's name (and the order of sorted names)
    // stays the user's.
    const QByteArray all = qgetenv("LC_ALL");
    if (!all.isEmpty()) {
        for (const char *name : { "LC_COLLATE", "LC_MESSAGES", "LC_MONETARY", "LC_MEASUREMENT" })
            set(name, all);
        set("LC_ALL", {});
    }
    // Qt's file dialog formats dates and sizes with the system locale.
    set("LC_TIME", "ja_JP.UTF-8");
    set("LC_NUMERIC", "ja_JP.UTF-8");
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

} // namespace vorlane
