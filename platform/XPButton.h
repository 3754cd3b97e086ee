#pragma once

#include <QPushButton>

namespace velkrin {

// The window's push button: a caption, a font and a press event.
class XPButton : public QPushButton {
    Q_OBJECT
public:
    explicit XPButton(QWidget *parent = nullptr);

signals:
    void press();
};

} // namespace velkrin
