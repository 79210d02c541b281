#include "dialogs/download_options_dialog.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

std::optional<SiteOptions> askDownloadOptions(const SiteOptions &given,
                                              const std::function<QString(const QString &)> &chooseFile, QWidget *parent)
{
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("DownloadOptionsDialog"));
    dialog.setWindowTitle(QDialog::tr("Download options"));
    auto *form = new QFormLayout(&dialog);
    form->setSizeConstraint(QLayout::SetFixedSize);
    auto named = [](QWidget *box, const char *name, const QString &caption) {
        box->setObjectName(QLatin1String(name));
        box->setAccessibleName(QString(caption).remove(u'&').remove(u':'));
    };
    auto lineBox = [&](const char *name, const QString &caption, const QString &text, const QString &placeholder) {
        auto *edit = new QLineEdit(text, &dialog);
        named(edit, name, caption);
        edit->setPlaceholderText(placeholder);
        edit->setMinimumWidth(320);
        return edit;
    };
    // Created in the order Tab walks them.
    const QString refererCaption = QDialog::tr("&Referer:");
    QLineEdit *referer = lineBox("editReferer", refererCaption, given.referer.value_or(QString()),
                                 QDialog::tr("the site's own"));
    form->addRow(refererCaption, referer);
    const QString agentCaption = QDialog::tr("&User agent:");
    QLineEdit *agent = lineBox("editUserAgent", agentCaption, given.userAgent, QDialog::tr("Serimo's own"));
    form->addRow(agentCaption, agent);
    const QString cookiesCaption = QDialog::tr("&Cookies file:");
    QLineEdit *cookies = lineBox("editCookiesFile", cookiesCaption, given.cookiesFile,
                                 QDialog::tr("cookies.txt or Firefox's cookies.sqlite"));
    auto *browse = new QPushButton(QDialog::tr("&Browse..."), &dialog);
    browse->setObjectName(QStringLiteral("btnBrowseCookies"));
    browse->setAutoDefault(false);
    QObject::connect(browse, &QPushButton::clicked, &dialog, [&] {
        if (const QString chosen = chooseFile(cookies->text()); !chosen.isEmpty())
            cookies->setText(chosen);
    });
    auto *cookiesRow = new QHBoxLayout;
    cookiesRow->addWidget(cookies);
    cookiesRow->addWidget(browse);
    // A row of two widgets has no buddy of its own: the caption's mnemonic
    // goes to the box.
    auto *cookiesLabel = new QLabel(cookiesCaption, &dialog);
    cookiesLabel->setBuddy(cookies);
    form->addRow(cookiesLabel, cookiesRow);
    const QString waitCaption = QDialog::tr("&Wait between files (seconds):");
    auto *wait = new QDoubleSpinBox(&dialog);
    named(wait, "editWait", waitCaption);
    wait->setRange(0, kWaitMaximumSeconds);
    wait->setDecimals(1);
    wait->setSingleStep(0.5);
    wait->setValue(given.waitMs / 1000.0);
    form->addRow(waitCaption, wait);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    form->addRow(buttons);
    referer->setFocus();

    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    SiteOptions chosen;
    if (const QString text = referer->text().trimmed(); !text.isEmpty())
        chosen.referer = text;
    chosen.userAgent = agent->text().trimmed();
    chosen.cookiesFile = cookies->text().trimmed();
    chosen.waitMs = int(qRound(wait->value() * 1000));
    return chosen;
}
