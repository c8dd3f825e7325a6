#pragma once
// Arrays as the utility class's callers dimension them: any lower bound,
// elements lower..upper, a fixed size that the class never changes.

#include "platform/runtime/basic_runtime.h"

#include <QString>
#include <vector>

namespace tambolin {

template <class T> struct BasicArray {
    Long lower = 0;
    std::vector<T> items;

    Long upper() const { return lower + static_cast<Long>(items.size()) - 1; }
    bool contains(long long index) const { return index >= lower && index <= upper(); }
    // An index outside the bounds fails the statement.
    T &at(long long index) {
        checkIndex(index, lower, upper());
        return items[static_cast<std::size_t>(index - lower)];
    }
    const T &at(long long index) const {
        checkIndex(index, lower, upper());
        return items[static_cast<std::size_t>(index - lower)];
    }
    bool operator==(const BasicArray &) const = default;
};

using StringArray = BasicArray<QString>;

} // namespace tambolin
