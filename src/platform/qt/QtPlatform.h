#pragma once

#include <memory>

class QtTextRenderer;

// The Qt platform for the life of the application: while it exists, panels are built on Qt
// windows and text is set by Qt. Create it after the QApplication, destroy it before.
class QtPlatform {
public:
    QtPlatform();
    ~QtPlatform();
    QtPlatform(const QtPlatform&) = delete;
    QtPlatform& operator=(const QtPlatform&) = delete;

private:
    std::unique_ptr<QtTextRenderer> textRenderer_;
};
