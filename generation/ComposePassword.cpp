#include "generation/ComposePassword.h"

#include "generation/UniformPicker.h"
#include "generation/Int16Arithmetic.h"

#include <algorithm>

namespace velkrin {

std::string ComposePassword(PasswordGenerators &generators, const MainWindowState &state, std::int16_t check1Value)
{
    // One draw for the whole password: its bytes come from the operating
    // system in one call now and are wiped once it is made.
    if (check1Value == kMixedModeChecked) {
        const std::int16_t total = checkedAddInt16(state.intNumbers, state.intLetters, "total number of characters");
        const UniformPicker::Draw draw(generators.picker(), total);
        generators.RandomPassword(std::int32_t{total});
        return state.strPassword;
    }
    const UniformPicker::Draw draw(generators.picker(), std::max<std::int64_t>(state.intLetters, 0) +
                                                            std::max<std::int64_t>(state.intNumbers, 0));
    generators.RandomLetters(std::int32_t{state.intLetters});
    generators.RandomNumbers(std::int32_t{state.intNumbers});
    return state.strLetters + state.strNumbers;
}

} // namespace velkrin
