#include "dialogs/address_dialog.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>

std::optional<AddressTarget> askAddressTarget(const QString &title, const QString &ownFolder,
                                              const AddressTarget &given, QWidget *parent,
                                              const std::function<QString(const QString &)> &folderFor)
{
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("AddressDialog"));
    dialog.setWindowTitle(title);
    auto *form = new QFormLayout(&dialog);
    form->setSizeConstraint(QLayout::SetFixedSize);
    auto box = [&](const char *name, const QString &caption, const QString &text) {
        auto *edit = new QLineEdit(text, &dialog);
        edit->setObjectName(QLatin1String(name));
        edit->setAccessibleName(QString(caption).remove(u'&').remove(u':'));
        edit->setMinimumWidth(320);
        form->addRow(caption, edit);
        return edit;
    };
    // Created in the order Tab walks them.
    QLineEdit *address = box("editAddress", QDialog::tr("&Address:"), given.address);
    QLineEdit *secret = box("editSecret", QDialog::tr("&Secret:"), given.secretRefused ? QString() : given.secret);
    secret->setEchoMode(QLineEdit::Password);
    QLineEdit *folder = box("editFolder", QDialog::tr("&Folder on that machine:"), given.folder);
    folder->setPlaceholderText(ownFolder);
    bool folderTyped = false;
    bool refilling = false;
    QObject::connect(folder, &QLineEdit::textChanged, &dialog, [&] { folderTyped = folderTyped || !refilling; });
    if (folderFor) {
        QObject::connect(address, &QLineEdit::textChanged, &dialog, [&](const QString &text) {
            if (folderTyped)
                return;
            refilling = true;
            folder->setText(folderFor(text.trimmed()));
            refilling = false;
        });
    }
    auto *remember = new QCheckBox(QDialog::tr("&Remember the secret"), &dialog);
    remember->setObjectName(QStringLiteral("checkRememberSecret"));
    remember->setToolTip(QDialog::tr("Keep the secret in the desktop's keyring once the daemon has accepted it"));
    remember->setChecked(given.remember);
    form->addRow(QString(), remember);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    form->addRow(buttons);
    if (given.secretRefused) {
        secret->setPlaceholderText(QDialog::tr("The daemon refused the last secret"));
        secret->setFocus();
    } else {
        address->setFocus();
    }

    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return AddressTarget{address->text().trimmed(), secret->text(), folder->text().trimmed(), remember->isChecked()};
}
