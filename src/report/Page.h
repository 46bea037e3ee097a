#pragma once

#include "report/PageItem.h"

#include <vector>

namespace report {

// One laid-out page: its number from 1 and its items in drawing order.
struct Page
{
    int number = 1;
    Length width;
    Length height;
    std::vector<PageItem> items;

    // The items of one kind, in drawing order.
    template<typename Item> std::vector<Item> all() const
    {
        std::vector<Item> result;
        for (const PageItem& item : items) {
            if (const auto* found = std::get_if<Item>(&item))
                result.push_back(*found);
        }
        return result;
    }
};

} // namespace report
