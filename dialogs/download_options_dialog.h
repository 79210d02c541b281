#pragma once

#include "runs/site_book.h"

#include <QString>
#include <functional>
#include <optional>

class QWidget;

struct SiteChoice
{
    SiteOptions options;
    bool wholeDomain = false;
};

// Asks for what the window's runs on site send it and how they pace
// themselves, starting from given: the Referer (empty: the site's own), the
// user agent, the cookies file (chooseFile offers the desktop's chooser,
// opening at the path given, and returns the file chosen or nothing), the
// wait between files, and whether they hold for the site's whole domain.
// nullopt when the user cancels.
std::optional<SiteChoice> askDownloadOptions(const SiteOptions &given, const SiteBook::Site &site,
                                             const std::function<QString(const QString &)> &chooseFile,
                                             QWidget *parent);
