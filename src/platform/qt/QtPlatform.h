#pragma once

#include <memory>
#include <string>

class QtTextRenderer;

// The Qt platform for the life of the application: while it exists, panels are built on Qt
// windows and text is set by Qt. Create it after the QApplication, destroy it before.
class QtPlatform {
public:
    // userDataFolder: the per-user application-data folder as the shell found it, which every
    // panel's graphics core reports (empty: none).
    explicit QtPlatform(const std::string& userDataFolder = {});
    ~QtPlatform();
    QtPlatform(const QtPlatform&) = delete;
    QtPlatform& operator=(const QtPlatform&) = delete;

private:
    std::unique_ptr<QtTextRenderer> textRenderer_;
};
