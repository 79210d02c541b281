#pragma once

class BusyCursor;
class Clipboard;
class FileChoosers;
class FileLocations;
class ForegroundWindow;
class HelpViewer;
class KeepAbove;
class KGet;
class MessageBoxes;
class SecretStore;
class SettingsStore;
class Shell;
class TaskbarProgress;

// What the main window needs of the desktop. main() wires the real adapters;
// tests pass fakes.
struct Platform
{
    MessageBoxes &messageBoxes;
    Clipboard &clipboard;
    SettingsStore &settings;
    HelpViewer &help;
    BusyCursor &cursor;
    Shell &shell;
    ForegroundWindow &foreground;
    FileLocations &files;
    KeepAbove &keepAbove;
    FileChoosers &choosers;
    TaskbarProgress &taskbar;
    KGet &kget;
    SecretStore &secrets;
};
