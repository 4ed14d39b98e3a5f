#pragma once

#include <QString>

class CPrompt;

// Which simulator programs this user has agreed to run. A solution file
// names its simulator, and a file from someone else could name any
// program; a path this user typed or chose is theirs, a path that only
// came with a file is run once they said yes to it. The answer is kept
// per path in the user's settings, so it is asked once.
namespace SimulatorTrust {

// Remembers that the user chose this program themselves.
void Confirm(const QString &path);

// True when the program may run: confirmed before, or confirmed now
// through prompt. A path refused before is refused again with a word on
// how to run it anyway.
bool MayRun(const QString &path, CPrompt &prompt);

} // namespace SimulatorTrust
