#pragma once

#include <QString>

// Opens the maker's home page in the user's browser, without waiting.
class HomePageLauncher {
public:
    virtual ~HomePageLauncher() = default;
    // Does nothing for an empty address.
    void open(const QString& address);

protected:
    virtual void launch(const QString& address) = 0;
};

// "explorer" and the address on Windows; the desktop's URL opener elsewhere.
class DesktopHomePageLauncher : public HomePageLauncher {
protected:
    void launch(const QString& address) override;
};
