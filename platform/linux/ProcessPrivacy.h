#pragma once

namespace velkrin {

// Before any password exists: no core file on a crash, and no other process
// of the same user may attach to this one or read its memory (a process that
// is not dumpable has its /proc files owned by root). In every build: the
// sanitizers' leak check makes the process dumpable for its own helper only
// while it runs, at exit.
void keepMemoryPrivate();

// Past a file-size limit (ulimit -f) the kernel sends SIGXFSZ, which ends the
// program by default; ignored, a save's write() fails with EFBIG instead and
// the user is told. Once, at start-up.
void surviveFileSizeLimit();

} // namespace velkrin
