#include "platform/qt/CommandButton.h"

#include "window/WindowPolicy.h"

#include <QKeyEvent>

namespace velkrin {

CommandButton::CommandButton(QWidget *parent) : QPushButton(parent)
{
    setAutoDefault(false);
}

CommandButton::CommandButton(const QString &text, QWidget *parent) : QPushButton(text, parent)
{
    setAutoDefault(false);
}

void CommandButton::keyPressEvent(QKeyEvent *event)
{
    // Space is QPushButton's own; Return and Enter are not, without a default
    // button.
    const Key key = event->key() == Qt::Key_Return  ? Key::Return
                    : event->key() == Qt::Key_Enter ? Key::Enter
                                                    : Key::Other;
    const Qt::KeyboardModifiers held = event->modifiers();
    const KeyModifiers modifiers{held.testFlag(Qt::ShiftModifier), held.testFlag(Qt::ControlModifier),
                                 held.testFlag(Qt::AltModifier)};
    if (pressesFocusedButton(key, modifiers, event->isAutoRepeat())) {
        click();
        event->accept();
        return;
    }
    if (pressesFocusedButton(key, modifiers, false)) {
        event->accept(); // held down: pressed once already
        return;
    }
    QPushButton::keyPressEvent(event);
}

} // namespace velkrin
