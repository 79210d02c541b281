#pragma once

#include <QString>
#include <memory>

// The title of the window in front, of whatever program.
class ForegroundWindow
{
public:
    virtual ~ForegroundWindow() = default;
    // Empty when there is no such window or its title cannot be read.
    virtual QString title() = 0;
};
