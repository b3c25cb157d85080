// A structural check of enhanced metafiles before the platform's metafile player sees them: the
// player trusts record sizes, counts, offsets and object indexes and writes out of bounds on
// damaged files.
#pragma once

#include <string>

// True when bytes hold an enhanced metafile whose header and record chain agree with its size,
// whose every record is at least its type's size and holds what its counts and offsets say, whose
// object indexes lie within the header's handle count and whose bounds GDI can draw. Record types
// the check does not know (rare ones) fail it.
bool IsSafeEnhancedMetafile(const std::string& bytes);
