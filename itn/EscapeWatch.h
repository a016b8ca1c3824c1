// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Long loops (reversal, duplicate search) stop while the Escape key is held down.
// Qt has no "is this key down" call, so one application-wide filter follows the
// Escape key's press and release.
namespace EscapeWatch {
// Starts watching (once per application); cheap to call again.
void install();
bool held();
// Tests and loops that start afresh.
void setHeld(bool down);
} // namespace EscapeWatch
