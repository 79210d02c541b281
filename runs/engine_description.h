#pragma once

#include "runs/site_options.h"

#include <QString>

// What the window and the terminal know of an engine a run can be handed to:
// enough to ask for its target, word its reports and keep its settings,
// without naming the engine. Pure: Qt Core only.
struct EngineDescription
{
    // Where the engine runs: in Serimo or beside it on this machine (the
    // files land here), or at an address the user gives (here or elsewhere).
    enum class Place { ThisMachine, Address };
    // What a run needs before it starts, and how it is asked for.
    enum class Needs {
        Folder,        // a folder on this machine, from the folder chooser
        RunFolder,     // the folder runs here last went to, without asking
        AddressSecretFolder, // a daemon's address, its secret and a folder on its machine
    };

    QString name = {};        // as the user knows it: "aria2"
    QString menuName = {};    // the object name of its pop-up menu item
    QString menuCaption = {}; // that item's caption, with its mnemonic
    // The item's caption while a run is running: that item stops it. Empty:
    // the item refuses a second run instead.
    QString stopCaption = {};
    Place place = Place::ThisMachine;
    Needs needs = Needs::Folder;
    // Progress and a summary for each file; else the engine reports only
    // how many files it took.
    bool reportsEachFile = true;
    // The item shows only while the engine answers that it is there.
    bool mayBeAbsent = false;
    // The engine takes the addresses alone: no Referer, user agent, cookie
    // or wait goes with them.
    bool addressesOnly = false;
    // The settings keys of the last address and folder (empty: none kept).
    QString addressKey = {};
    QString folderKey = {};
    // The settings key of whether the secret goes to the keyring ("true"
    // or "false"; empty: the engine has no secret to remember).
    QString rememberKey = {};
    // The address offered before one was given.
    QString defaultAddress = {};
};

// Where a run goes: the folder (empty: the engine's own), and for a daemon
// its address and secret; and what its requests send the site.
struct EngineTarget
{
    QString folder = {};
    QString address = {};
    QString secret = {};
    // The secret goes to the desktop's keyring once the engine accepted it;
    // else it is kept until Serimo closes.
    bool remember = false;
    SiteOptions site = {};
    // The daemon at the address refused the secret last given for it.
    bool secretRefused = false;
    // The run goes to the series' end the search found: missing files in a
    // row before it are gaps of the series, not its end.
    bool toFoundEnd = false;
};

// The folder the runs on this machine go to (Serimo's own and those handed
// to a program beside it) is kept under this settings key.
inline const QString kRunFolderKey = QStringLiteral("DownloadFolder");
