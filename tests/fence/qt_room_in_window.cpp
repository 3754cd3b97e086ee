// Must not build: window/ is portable, and the Qt room is not on its include path.
#include "window/Form1.h"

#include "platform/qt/QtText.h"
