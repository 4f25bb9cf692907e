// Keeps a data file's own text when the file is written again: a number whose text in the file
// being replaced reads back as the same value keeps that text, and so does the final line end.
// It does not check or change the JSON itself; the serializer writes that.
#pragma once

#include <string>

namespace OrvEngine {

// `fresh` as it is to be written over a file that holds `old`. Numbers are matched by their place
// in the document (member names, repeats counted, and element indices) and compared as floats,
// which is what the data holds; a fresh whole number (written from an integer) stands as written.
// Text that is not JSON on either side leaves the numbers of `fresh` as they are.
std::string KeepFileFormatting(const std::string& fresh, const std::string& old);

} // namespace OrvEngine
