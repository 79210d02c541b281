#pragma once

#include <QString>
#include <optional>

class QWidget;

// Where a run goes when it is sent to a daemon at an address.
struct AddressTarget
{
    QString address;
    QString secret;
    // The folder on the daemon's machine; empty: the daemon's own.
    QString folder;
};

// Asks for the daemon's address, its secret and the folder, starting from
// given, in a dialog titled title; the empty folder box shows ownFolder.
// nullopt when the user cancels.
std::optional<AddressTarget> askAddressTarget(const QString &title, const QString &ownFolder,
                                              const AddressTarget &given, QWidget *parent);
