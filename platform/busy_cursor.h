#pragma once

// The application-wide busy cursor. It is never stacked: "busy" sets it once,
// "ready" removes it however often it was asked for.
class BusyCursor
{
public:
    virtual ~BusyCursor() = default;
    virtual void busy() = 0;
    virtual void ready() = 0;
};

class QtBusyCursor : public BusyCursor
{
public:
    void busy() override;
    void ready() override;
};
