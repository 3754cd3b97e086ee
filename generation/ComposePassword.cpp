#include "generation/ComposePassword.h"

#include "generation/RandomGenerators.h"
#include "platform/Int16Arithmetic.h"

namespace velkrin {

QString ComposePassword(MainWindowState &state, std::int16_t check1Value, UniformPicker &picker)
{
    if (check1Value == kMixedModeChecked) {
        const std::int16_t total =
            checkedAddInt16(state.intNumbers, state.intLetters, QStringLiteral("total number of characters"));
        RandomPassword(state, std::int32_t{total}, picker);
        return state.strPassword;
    }
    RandomLetters(state, std::int32_t{state.intLetters}, picker);
    RandomNumbers(state, std::int32_t{state.intNumbers}, picker);
    return state.strLetters + state.strNumbers;
}

} // namespace velkrin
