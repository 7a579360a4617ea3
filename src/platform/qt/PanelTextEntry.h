#pragma once

#include <QLineEdit>

struct Parameter;
class GraphicsQt;

// The in-place value entry over a control. It only reports what happens to it (focus, Enter,
// Escape) as entry states; the panel's timer acts on them at its next tick. Characters that
// cannot belong to a value of the parameter are dropped, pasted text included.
class PanelTextEntry : public QLineEdit {
    Q_OBJECT

public:
    PanelTextEntry(GraphicsQt& graphics, const Parameter* param, QWidget* parent);
    // Stop reporting: the graphics object closes the entry.
    void Detach() { graphics_ = nullptr; }
    // The text with every character the parameter does not take removed.
    QString Filtered(const QString& text) const;

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void SetState(int state);

    GraphicsQt* graphics_;
    const Parameter* param_;
};
