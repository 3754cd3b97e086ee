#pragma once

#include <QPushButton>

namespace velkrin {

// A push button that Enter and Return press as well as Space, as users of
// desktop tools expect, with no default-button behaviour: the key presses
// the focused button only.
class CommandButton : public QPushButton {
    Q_OBJECT
public:
    explicit CommandButton(QWidget *parent = nullptr);
    explicit CommandButton(const QString &text, QWidget *parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent *event) override;
};

} // namespace velkrin
