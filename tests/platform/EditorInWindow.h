#pragma once

#include <QPoint>
#include <cstdint>
#include <memory>
#include <string>

#include "gui/GraphicsFactory.h"
#include "support/SimOutputPort.h"
#include "support/TempDir.h"
#include "unit/VirtualOrvo.h"

class Control;
class GraphicsQt;
class OrvoEditor;
class OrvoPanel;
class QWidget;

// The editor as the program builds it (MakePlugin: the panel with its own images, settings and
// program operations) with its panel in a top-level Qt window on the offscreen platform, editing
// a virtual unit. Its settings file is in a temporary folder, so a zoom never touches real
// settings.
class EditorInWindow {
public:
    // makeGraphics makes the window layer: GraphicsQt itself, or a test's scripted kind of it.
    explicit EditorInWindow(GraphicsFactory makeGraphics = {});
    ~EditorInWindow();
    EditorInWindow(const EditorInWindow&) = delete;
    EditorInWindow& operator=(const EditorInWindow&) = delete;

    OrvoEditor& Editor() const { return *editor_; }
    OrvoPanel& Panel() const;
    GraphicsQt& Gui() const { return *graphics_; }
    // The panel's child widget and the window around it.
    QWidget* Widget() const;
    QWidget* Window() const { return window_.get(); }
    VirtualOrvo& Unit() { return unit_; }
    // The settings file the editor was handed, as the shell hands it the real one.
    std::string SettingsPath() const { return config_.File("settings.ini"); }

    // The editor's integer value of a unit position.
    int Value(int position) const;
    // A point of the control where the mouse reaches it and no other control, in panel pixels;
    // (-1, -1) when none.
    QPoint Reach(const Control& control) const;
    // The same for the control of a unit position.
    QPoint Reach(int position) const;

    // Makes the window the active one, as the window system does when the user clicks into it,
    // and waits until it is. False when it never became active.
    bool Activate();
    // Runs timer ticks (and posted events), at most n of them.
    void Settle(int n = 4);
    // Lets the event loop, and with it the panel's own timer, run for a while.
    static void RunFor(int ms);

private:
    TempDir config_;
    VirtualOrvo unit_;
    SimOutputPort port_{unit_};
    uint16_t channel_ = 1;
    std::unique_ptr<OrvoEditor> editor_;
    std::unique_ptr<QWidget> window_;
    GraphicsQt* graphics_ = nullptr;
};
