// Standard input, output and error as the program finds them at start-up.
// A program started with one of them closed would otherwise hand that
// descriptor to the next file it opens, and its messages would be written
// into that file (a merged SIMA file beginning with "ok a.mif").
#pragma once

namespace quorvex {

// Opens the null device on each of descriptors 0, 1 and 2 that is closed and
// remembers which were. Call first thing in main, before any file is opened.
// On Windows, whose handles are never reused that way, it does nothing.
void GuardStandardStreams();

// Whether descriptor `fd` (0, 1 or 2) was closed when the program started:
// what is written to it then reaches no one, which is an error, not success.
bool StandardStreamWasClosed(int fd);

}  // namespace quorvex
