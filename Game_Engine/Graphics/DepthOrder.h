// DepthOrder: the sprite list's stable sort by cached depth, done in place with buffers kept from
// frame to frame, so a frame's sort allocates nothing once the list has stopped growing.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace OrvEngine {

class Sprite;

class DepthOrder {
public:
    // Ascending by cached depth (position z); sprites of equal depth keep their order in the list,
    // so the list remembers last frame's order among ties. A list already in order is not touched.
    void Sort(std::vector<std::shared_ptr<Sprite>>& sprites);

private:
    struct Key {
        float depth;
        uint32_t index;
    };
    void SortKeys();

    std::vector<Key> keys_;
    std::vector<Key> scratch_;
    std::vector<std::shared_ptr<Sprite>> reordered_;
};

} // namespace OrvEngine
