// A video's frame size read from the file's own header, for the container formats whose header
// names it: AVI, MPEG program and video streams, and ASF (WMV).
#pragma once

#include <string>

// False when the bytes are none of those formats or their header does not give a size.
bool ReadVideoHeaderSize(const std::string& bytes, int& width, int& height);
// The same for a file, reading no more than its first part.
bool ReadVideoFileHeaderSize(const std::string& fileName, int& width, int& height);
