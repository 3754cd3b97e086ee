#pragma once

#include "generation/ComposePassword.h"
#include "generation/MainWindowState.h"
#include "generation/PasswordGenerators.h"
#include "generation/RandomGenerators.h"
#include "generation/UniformPicker.h"

#include <cstdint>
#include <string>

namespace velkrin {

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

// The compose step over a bare state.
std::string ComposePassword(MainWindowState &state, std::int16_t check1Value, UniformPicker &picker);

} // namespace velkrin
