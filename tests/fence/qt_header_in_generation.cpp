// Must not build: generation/ is portable, and Qt is not on its include path.
#include "generation/PasswordStrength.h"

#include <QString>
