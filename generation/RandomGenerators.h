#pragma once

#include "generation/MainWindowState.h"
#include "generation/PasswordGenerators.h"
#include "platform/UniformPicker.h"

#include <cstdint>

namespace velkrin {

// Each fills one field of the state with plngLength characters drawn
// uniformly, with replacement, from its pool; the other fields are untouched.
// A negative length raises HostError(InvalidArgument) before the field is
// touched.
void RandomLetters(MainWindowState &state, std::int32_t plngLength, UniformPicker &picker);  // strLetters
void RandomNumbers(MainWindowState &state, std::int32_t plngLength, UniformPicker &picker);  // strNumbers
void RandomPassword(MainWindowState &state, std::int32_t plngLength, UniformPicker &picker); // strPassword

// The generators over a bare state, for composing without a window.
class StateGenerators final : public PasswordGenerators {
public:
    StateGenerators(MainWindowState &state, UniformPicker &picker) : m_state(state), m_picker(picker) {}
    void RandomLetters(std::int32_t plngLength) override { velkrin::RandomLetters(m_state, plngLength, m_picker); }
    void RandomNumbers(std::int32_t plngLength) override { velkrin::RandomNumbers(m_state, plngLength, m_picker); }
    void RandomPassword(std::int32_t plngLength) override { velkrin::RandomPassword(m_state, plngLength, m_picker); }
    UniformPicker &picker() override { return m_picker; }

private:
    MainWindowState &m_state;
    UniformPicker &m_picker;
};

} // namespace velkrin
