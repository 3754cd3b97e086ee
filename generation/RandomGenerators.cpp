#include "generation/RandomGenerators.h"

#include "generation/CharacterPools.h"
#include "platform/HostError.h"

namespace velkrin {

namespace {

void fillFromPool(std::string &field, std::int32_t plngLength, std::string_view pool, UniformPicker &picker,
                  const char *what)
{
    if (plngLength < 0)
        throw HostError(HostErrorKind::InvalidArgument, FailureCause::Negative, what, std::to_string(plngLength));
    // Sized once, then overwritten in place: resize() keeps the buffer when
    // the length is unchanged, so a steady run of passwords allocates
    // nothing here.
    field.resize(static_cast<std::size_t>(plngLength));
    char *out = field.data();
    const UniformPicker::Draw draw(picker, plngLength); // joins the compose step's draw
    const auto poolSize = static_cast<unsigned>(pool.size());
    for (std::int32_t i = 0; i < plngLength; ++i)
        out[i] = pool[picker.pick(poolSize)];
}

} // namespace

void RandomLetters(MainWindowState &state, std::int32_t plngLength, UniformPicker &picker)
{
    fillFromPool(state.strLetters, plngLength, kLetterPool, picker, "number of letters");
}

void RandomNumbers(MainWindowState &state, std::int32_t plngLength, UniformPicker &picker)
{
    fillFromPool(state.strNumbers, plngLength, kDigitPool, picker, "number of digits");
}

void RandomPassword(MainWindowState &state, std::int32_t plngLength, UniformPicker &picker)
{
    fillFromPool(state.strPassword, plngLength, kMixedPool, picker, "number of characters");
}

} // namespace velkrin
