// PictureHeader: the size a picture file's header claims, read from the file's first bytes, for the
// formats FreeImage cannot load without their pixels. Reads no pixels and allocates nothing for them.
#pragma once

#include <string>

namespace OrvEngine {
namespace PictureHeader {

// The width and height the header claims that FreeImage would allocate for, for the FreeImage
// format given (a FREE_IMAGE_FORMAT value); false when the format is not one of those, or the header
// cannot be read or says nothing that could be checked.
bool ClaimedSize(int format, const std::string& path, unsigned& width, unsigned& height);

} // namespace PictureHeader
} // namespace OrvEngine
