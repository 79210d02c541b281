#include "app/terminal_lines.h"

#include "common/translate_main.h"
#include "runs/cookie_file.h"

#include <cstdio>
#include <unistd.h>

void complain(const QString &text)
{
    std::fprintf(stderr, "serimo: %s\n", text.toLocal8Bit().constData());
}

bool stderrIsTerminal()
{
    return ::isatty(STDERR_FILENO) != 0;
}

void drawProgressLine(const QString &line)
{
    std::fprintf(stderr, "\r%s\033[K", line.toLocal8Bit().constData());
    std::fflush(stderr);
}

void clearProgressLine()
{
    std::fprintf(stderr, "\r\033[K");
}

bool announceSiteOptions(SiteOptions &site)
{
    // Once a run: its end search and its download share the reading.
    if (!site.checkCertificates && !site.cookiesRead)
        complain(trMain("certificates are not checked (--no-check-certificate)"));
    QString leftOut;
    const QString error = readRunCookies(site, &leftOut);
    if (!error.isEmpty() || !leftOut.isEmpty())
        complain(error.isEmpty() ? leftOut : error);
    return error.isEmpty();
}
