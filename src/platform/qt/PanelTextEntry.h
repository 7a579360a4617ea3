#pragma once

#include <QLineEdit>
#include <QPointer>

class QLabel;

struct Parameter;
class GraphicsQt;

// The in-place value entry over a control. It only reports what happens to it (focus, Enter,
// Escape) as entry states; the panel's timer acts on them at its next tick. Characters that
// cannot belong to a value of the parameter are dropped, pasted text included, and the entry
// says why in a note beside it; a value the editor refuses is said there too, the entry staying
// open for a better one.
class PanelTextEntry : public QLineEdit {
    Q_OBJECT

public:
    PanelTextEntry(GraphicsQt& graphics, const Parameter* param, QWidget* parent);
    ~PanelTextEntry() override;
    // Stop reporting: the graphics object closes the entry.
    void Detach() { graphics_ = nullptr; }
    // The text with every character the parameter does not take removed.
    QString Filtered(const QString& text) const;
    // Shows why a value or a character was refused, beside the entry, until the next edit;
    // an empty text hides the note.
    void ShowRefusal(const QString& text);
    QString Refusal() const;
    // The note's place in the panel, under the entry or above it where the panel ends.
    QRect NoteGeometry() const;

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void SetState(int state);
    // The text typed or pasted lost characters: the note says what the entry takes.
    void RefuseCharacters(const QString& dropped);

    GraphicsQt* graphics_;
    const Parameter* param_;
    // A sibling in the panel, so that it may stand outside the entry's small box.
    QPointer<QLabel> note_;
};
