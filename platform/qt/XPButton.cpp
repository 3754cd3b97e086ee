#include "platform/qt/XPButton.h"

namespace velkrin {

XPButton::XPButton(QWidget *parent) : CommandButton(parent)
{
    connect(this, &QPushButton::clicked, this, &XPButton::press);
}

} // namespace velkrin
