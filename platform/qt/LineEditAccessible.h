#pragma once

namespace velkrin {

// Once per program: every QLineEdit reports its text to assistive technology
// as one run of text attributes. Qt 6.4 reports a run of length zero at each
// offset, and Orca 43 joins those runs into a line that ends one character
// early ("4000" for 40000, nothing for "3").
void installLineEditAccessibility();

} // namespace velkrin
