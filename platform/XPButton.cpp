#include "platform/XPButton.h"

namespace velkrin {

XPButton::XPButton(QWidget *parent) : QPushButton(parent)
{
    connect(this, &QPushButton::clicked, this, &XPButton::press);
}

} // namespace velkrin
