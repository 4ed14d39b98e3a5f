#pragma once

// The translation tests' name for the shared tree sketches.
#include "treesketch.h"

namespace BtSketch {
using TreeSketch::AddTree;
}
