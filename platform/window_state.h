#pragma once

class QWidget;

// Asks the window manager to keep the window above ordinary windows, or not,
// without re-creating the window.
void setKeepAbove(QWidget *window, bool above);
bool isKeptAbove(const QWidget *window);
