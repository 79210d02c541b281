#pragma once

#include <QString>
#include <functional>
#include <optional>

class QWidget;

// Where a run goes when it is sent to a daemon at an address.
struct AddressTarget
{
    QString address;
    QString secret;
    // The folder on the daemon's machine; empty: the daemon's own.
    QString folder;
    // Whether the secret goes to the desktop's keyring, to be offered again
    // after a restart; else it is kept until Serimo closes.
    bool remember = false;
    // The daemon refused the last secret: the box starts empty, with the
    // focus.
    bool secretRefused = false;
};

// Asks for the daemon's address, its secret, the folder and whether to
// remember the secret, starting from given, in a dialog titled title; the empty folder box shows ownFolder.
// Until the folder is typed in, another address brings folderFor's folder
// for it. nullopt when the user cancels.
std::optional<AddressTarget> askAddressTarget(const QString &title, const QString &ownFolder,
                                              const AddressTarget &given, QWidget *parent,
                                              const std::function<QString(const QString &)> &folderFor = {});
