#include "Graphics/DepthOrder.h"

#include "Components/Sprite.h"

#include <algorithm>

namespace OrvEngine {

namespace {
// Runs this short are put in order by insertion before the merge passes.
constexpr size_t kRun = 16;
} // namespace

void DepthOrder::Sort(std::vector<std::shared_ptr<Sprite>>& sprites)
{
    const size_t count = sprites.size();
    keys_.resize(count);
    bool in_order = true;
    for (size_t i = 0; i < count; ++i) {
        keys_[i] = {sprites[i]->position.z, static_cast<uint32_t>(i)};
        if (i > 0 && keys_[i].depth < keys_[i - 1].depth) in_order = false;
    }
    if (in_order) return;
    SortKeys();
    reordered_.resize(count);
    for (size_t i = 0; i < count; ++i) reordered_[i] = std::move(sprites[keys_[i].index]);
    // The moved-from entries stay behind in reordered_ as empty pointers, keeping its capacity.
    sprites.swap(reordered_);
}

void DepthOrder::SortKeys()
{
    const auto earlier = [](const Key& a, const Key& b) { return a.depth < b.depth; };
    const size_t count = keys_.size();
    for (size_t start = 0; start < count; start += kRun) {
        const size_t end = std::min(start + kRun, count);
        for (size_t i = start + 1; i < end; ++i) {
            const Key key = keys_[i];
            size_t j = i;
            for (; j > start && earlier(key, keys_[j - 1]); --j) keys_[j] = keys_[j - 1];
            keys_[j] = key;
        }
    }
    scratch_.resize(count);
    Key* from = keys_.data();
    Key* to = scratch_.data();
    for (size_t width = kRun; width < count; width *= 2) {
        for (size_t low = 0; low < count; low += 2 * width) {
            const size_t middle = std::min(low + width, count);
            const size_t high = std::min(low + 2 * width, count);
            // std::merge takes from the first run on ties: the sort stays stable.
            std::merge(from + low, from + middle, from + middle, from + high, to + low, earlier);
        }
        std::swap(from, to);
    }
    if (from != keys_.data()) std::copy(from, from + count, keys_.data());
}

} // namespace OrvEngine
