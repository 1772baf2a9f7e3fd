#pragma once

// What the uninstaller's windows may ask of the controller.
class QuorUninstallControlInterface {
public:
    virtual ~QuorUninstallControlInterface() = default;
    // Starts the product-running check, or answers a check that waits for the user.
    virtual void startCheck() = 0;
    virtual void reserved() {}
};
