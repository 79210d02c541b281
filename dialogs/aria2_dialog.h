#pragma once

#include <QString>
#include <optional>

class QWidget;

// Where a run goes when it is sent to an aria2 daemon.
struct Aria2Target
{
    QString address;
    QString secret;
    // The folder on the daemon's machine; empty: the daemon's own.
    QString folder;
};

// Asks for the daemon's address, its secret and the folder, starting from
// given; nullopt when the user cancels.
std::optional<Aria2Target> askAria2Target(const Aria2Target &given, QWidget *parent);
