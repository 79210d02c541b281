#pragma once

class BusyCursor;
class EngineRegistry;
class Clipboard;
class FileChoosers;
class FileLocations;
class ForegroundWindow;
class HelpViewer;
class KeepAbove;
class MessageBoxes;
class SecretStore;
class SettingsStore;
class Shell;
class TaskbarProgress;

// What the main window needs of the desktop, and the engines its runs go to.
// main() wires the real adapters; tests pass fakes.
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
    const EngineRegistry &engines;
    SecretStore &secrets;
};
