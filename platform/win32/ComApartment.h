#pragma once

namespace velkrin::win32 {

// COM on this thread (a single-threaded apartment) while it lives: the
// window's screen-reader objects reach other processes through it, and
// their calls come in through the window's message loop.
class ComApartment {
public:
    ComApartment();
    ~ComApartment();
    ComApartment(const ComApartment &) = delete;
    ComApartment &operator=(const ComApartment &) = delete;

private:
    bool m_joined;
};

} // namespace velkrin::win32
