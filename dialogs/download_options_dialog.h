#pragma once

#include "runs/site_options.h"

#include <QString>
#include <functional>
#include <optional>

class QWidget;

// Asks for what every run of the window sends the site and how it paces
// itself, starting from given: the Referer (empty: the site's own), the user
// agent, the cookies file (chooseFile offers the desktop's chooser, opening
// at the path given, and returns the file chosen or nothing) and the wait
// between files. nullopt when the user cancels.
std::optional<SiteOptions> askDownloadOptions(const SiteOptions &given,
                                              const std::function<QString(const QString &)> &chooseFile, QWidget *parent);
