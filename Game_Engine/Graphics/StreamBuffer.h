// StreamBuffer: vertices written afresh every frame into a GL array buffer that grows when they no
// longer fit. Makes and keeps no GL object: the caller owns the buffer and its size.
#pragma once

#include <cstddef>
#include <cstdint>

namespace OrvEngine {

// Writes `bytes` of `data` at the start of the array buffer `buffer`, whose size in bytes is
// `capacity`; a buffer too small first grows to the larger of `bytes` and twice its size. Leaves
// no array buffer bound.
void WriteStreamBuffer(uint32_t buffer, size_t& capacity, const void* data, size_t bytes);

} // namespace OrvEngine
