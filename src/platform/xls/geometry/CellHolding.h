#pragma once

namespace tavorin::xls {

// The index of the column or row that holds a pixel position (0 <= pixels <= startOf(count)):
// the last one that starts at or before it and is not hidden, found by bisection over the
// cells' start positions. Both engines anchor their shapes with it.
template <typename StartOf, typename SizeOf>
int cellHolding(double pixels, int count, StartOf startOf, SizeOf sizeOf)
{
    int low = 0;
    int high = count; // start(high) > pixels or high == count
    while (high - low > 1) {
        const int middle = low + (high - low) / 2;
        if (double(startOf(middle)) <= pixels)
            low = middle;
        else
            high = middle;
    }
    int index = low;
    while (index > 0 && sizeOf(index) <= 0) // a hidden cell cannot hold a position
        --index;
    return index;
}

} // namespace tavorin::xls
