#pragma once

#include "platform/qt/CommandButton.h"

namespace velkrin {

// The window's push button: a caption, a font and a press event.
class XPButton : public CommandButton {
    Q_OBJECT
public:
    explicit XPButton(QWidget *parent = nullptr);

signals:
    void press();
};

} // namespace velkrin
