#include "generation/ComposePassword.h"

#include "platform/Int16Arithmetic.h"

namespace velkrin {

QString ComposePassword(PasswordGenerators &generators, const MainWindowState &state, std::int16_t check1Value)
{
    if (check1Value == kMixedModeChecked) {
        const std::int16_t total =
            checkedAddInt16(state.intNumbers, state.intLetters, QStringLiteral("total number of characters"));
        generators.RandomPassword(std::int32_t{total});
        return state.strPassword;
    }
    generators.RandomLetters(std::int32_t{state.intLetters});
    generators.RandomNumbers(std::int32_t{state.intNumbers});
    return state.strLetters + state.strNumbers;
}

} // namespace velkrin
