#include "dialogs/download_options_dialog.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

namespace {
void name(QWidget *box, const char *objectName, const QString &caption)
{
    box->setObjectName(QLatin1String(objectName));
    box->setAccessibleName(QString(caption).remove(u'&').remove(u':'));
}

// A row of a caption and a text box.
QLineEdit *addTextRow(QFormLayout *form, const char *objectName, const QString &caption, const QString &text,
                      const QString &placeholder)
{
    auto *edit = new QLineEdit(text, form->parentWidget());
    name(edit, objectName, caption);
    edit->setPlaceholderText(placeholder);
    edit->setMinimumWidth(320);
    form->addRow(caption, edit);
    return edit;
}

// The cookies file's box, and Browse beside it, which asks chooseFile.
QLineEdit *addCookiesRow(QFormLayout *form, const QString &file,
                         const std::function<QString(const QString &)> &chooseFile)
{
    QWidget *dialog = form->parentWidget();
    const QString caption = QDialog::tr("&Cookies file:");
    auto *cookies = new QLineEdit(file, dialog);
    name(cookies, "editCookiesFile", caption);
    cookies->setPlaceholderText(QDialog::tr("cookies.txt or Firefox's cookies.sqlite"));
    cookies->setMinimumWidth(320);
    auto *browse = new QPushButton(QDialog::tr("&Browse..."), dialog);
    browse->setObjectName(QStringLiteral("btnBrowseCookies"));
    browse->setAutoDefault(false);
    QObject::connect(browse, &QPushButton::clicked, dialog, [cookies, chooseFile] {
        if (const QString chosen = chooseFile(cookies->text()); !chosen.isEmpty())
            cookies->setText(chosen);
    });
    auto *row = new QHBoxLayout;
    row->addWidget(cookies);
    row->addWidget(browse);
    // A row of two widgets has no buddy of its own: the caption's mnemonic
    // goes to the box.
    auto *label = new QLabel(caption, dialog);
    label->setBuddy(cookies);
    form->addRow(label, row);
    return cookies;
}

QDoubleSpinBox *addWaitRow(QFormLayout *form, int waitMs)
{
    const QString caption = QDialog::tr("&Wait between files (seconds):");
    auto *wait = new QDoubleSpinBox(form->parentWidget());
    name(wait, "editWait", caption);
    wait->setRange(0, kWaitMaximumSeconds);
    wait->setDecimals(1);
    wait->setSingleStep(0.5);
    wait->setValue(waitMs / 1000.0);
    form->addRow(caption, wait);
    return wait;
}
// Files at once over HTTP/1.1, each on a connection of its own.
QSpinBox *addConnectionsRow(QFormLayout *form, int connections)
{
    const QString caption = QDialog::tr("C&onnections per site:");
    auto *box = new QSpinBox(form->parentWidget());
    name(box, "editConnections", caption);
    box->setRange(1, kMostConnections);
    box->setValue(connections > 0 ? connections : kDefaultConnections);
    box->setToolTip(QDialog::tr("Four, as a browser's tab, is polite; more may get the address refused."));
    form->addRow(caption, box);
    return box;
}
} // namespace

std::optional<SiteChoice> askDownloadOptions(const SiteOptions &given, const SiteBook::Site &site,
                                             const std::function<QString(const QString &)> &chooseFile,
                                             QWidget *parent)
{
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("DownloadOptionsDialog"));
    dialog.setWindowTitle(QDialog::tr("Download options"));
    auto *form = new QFormLayout(&dialog);
    form->setSizeConstraint(QLayout::SetFixedSize);
    auto *forSite = new QLabel(QDialog::tr("For %1").arg(site.host), &dialog);
    forSite->setObjectName(QStringLiteral("lblSite"));
    form->addRow(forSite);
    // Created in the order Tab walks them.
    QLineEdit *referer = addTextRow(form, "editReferer", QDialog::tr("&Referer:"), given.referer.value_or(QString()),
                                    QDialog::tr("the site's own"));
    QLineEdit *agent =
        addTextRow(form, "editUserAgent", QDialog::tr("&User agent:"), given.userAgent, QDialog::tr("Serimo's own"));
    QLineEdit *cookies = addCookiesRow(form, given.cookiesFile, chooseFile);
    QDoubleSpinBox *wait = addWaitRow(form, given.waitMs);
    QSpinBox *connections = addConnectionsRow(form, given.connections);
    auto *wholeDomain = new QCheckBox(QDialog::tr("For every host of %1 &too").arg(site.domain), &dialog);
    name(wholeDomain, "chkWholeDomain", wholeDomain->text());
    wholeDomain->setChecked(site.wholeDomain);
    // An IP address has no hosts below it; for the domain itself, its
    // subdomains.
    wholeDomain->setVisible(!site.domain.isEmpty());
    if (site.domain == site.host)
        wholeDomain->setText(QDialog::tr("For its subdomains &too"));
    form->addRow(wholeDomain);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    form->addRow(buttons);
    referer->setFocus();

    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    SiteChoice chosen;
    if (const QString text = referer->text().trimmed(); !text.isEmpty())
        chosen.options.referer = text;
    chosen.options.userAgent = agent->text().trimmed();
    chosen.options.cookiesFile = cookies->text().trimmed();
    chosen.options.waitMs = int(qRound(wait->value() * 1000));
    chosen.options.connections = connections->value() == kDefaultConnections ? 0 : connections->value();
    chosen.wholeDomain = !site.domain.isEmpty() && wholeDomain->isChecked();
    return chosen;
}
