#pragma once

namespace ostrel {

// The printer set-up dialog.
class PrintSetup
{
public:
    virtual ~PrintSetup() = default;
    virtual void ShowPrintSetup() = 0;
};

} // namespace ostrel
