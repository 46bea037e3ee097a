#include "DeviceOffset.h"

#include <vector>

namespace report {
namespace {

struct Entry
{
    const QPaintDevice* device;
    const DeviceOffset* owner;
    DeviceOffset::Shift shift;
};

std::vector<Entry>& entries()
{
    static std::vector<Entry> all;
    return all;
}

} // namespace

DeviceOffset::DeviceOffset(const QPaintDevice* device, Length x, Length y)
{
    entries().push_back({device, this, {x, y}});
}

DeviceOffset::~DeviceOffset()
{
    auto& all = entries();
    std::erase_if(all, [this](const Entry& e) { return e.owner == this; });
}

DeviceOffset::Shift DeviceOffset::of(const QPaintDevice* device)
{
    const auto& all = entries();
    for (auto it = all.rbegin(); it != all.rend(); ++it) {
        if (it->device == device)
            return it->shift;
    }
    return {};
}

} // namespace report
