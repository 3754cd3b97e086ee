#include "generation/StateGenerators.h"

namespace velkrin {

std::string ComposePassword(MainWindowState &state, std::int16_t check1Value, UniformPicker &picker)
{
    StateGenerators generators(state, picker);
    return ComposePassword(generators, state, check1Value);
}

} // namespace velkrin
