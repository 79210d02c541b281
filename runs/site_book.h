#pragma once

#include "runs/site_options.h"

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QUrl>
#include <optional>

// Download options as the user set them for each site: a host
// ("img.example.org"), or a registrable domain with every host below it
// (".example.org"). A run takes the options of its own site and the defaults
// elsewhere, so that a Referer, cookies file or user agent given for one site
// never reaches another.
class SiteBook
{
public:
    // Where address's options are kept: its host, or with wholeDomain its
    // registrable domain and the hosts below it.
    struct Site
    {
        QString host;
        QString domain; // the registrable domain; empty for an IP address
        bool wholeDomain = false;
    };

    // The site whose options a run on address takes: the host's own where
    // set, else those of a domain above it, else the host alone.
    Site siteOf(const QUrl &address) const;
    // The options of a run on address; the defaults where none are set.
    SiteOptions optionsFor(const QUrl &address) const;
    // Keeps options for site, in place of the host's own where site is its
    // whole domain. The defaults remove the entry, unless a domain above
    // would then give the host its options.
    void set(const Site &site, const SiteOptions &options);
    bool isEmpty() const { return m_sites.isEmpty(); }

    // As kept in the settings: a JSON object by site ("img.example.org",
    // ".example.org"). Nothing where the text is not such an object.
    QByteArray toJson() const;
    static std::optional<SiteBook> fromJson(const QByteArray &json);

private:
    QMap<QString, SiteOptions> m_sites; // ".domain" for a whole domain
    std::optional<QString> keyFor(const QString &host) const;
};
