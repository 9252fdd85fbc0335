#include "app/command_line.h"

namespace vorlane {

static QString trimSpaces(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == u' ')
        ++begin;
    while (end > begin && text[end - 1] == u' ')
        --end;
    return text.mid(begin, end - begin);
}

QString StripQuotes(const QString &text)
{
    QString s = trimSpaces(text);
    while (s.size() > 1 && s.startsWith(u'"'))
        s = trimSpaces(s.mid(1, s.size() - 2));
    return s;
}

CommandLine parseCommandLine(const QString &text)
{
    CommandLine cl;
    if (text.isEmpty())
        return cl;
    cl.empty = false;
    QString s = StripQuotes(text);
    if (s.startsWith(QLatin1String("-A "))) {
        cl.saveAtExit = true;
        s = StripQuotes(s.mid(3));
    }
    cl.path = StripQuotes(s);
    return cl;
}

QString absoluteCommandPath(const QString &path, const QString &currentDir)
{
    if (path.isEmpty() || path.startsWith(u'/'))
        return path;
    return currentDir + u'/' + path;
}

} // namespace vorlane
