#pragma once
// Room for large lists reserved in one piece, backed by huge pages where the
// system offers them.

#include <cstddef>
#include <vector>

namespace karvello {

// Tells the system that the bytes at data are best backed by huge pages: a
// list of megabytes that is written once then costs a page fault for every
// 2 MB instead of every 4 KB, which on a virtual machine is most of the cost
// of writing it. Only whole huge pages inside the range are affected. A hint
// only: it does nothing where the system has no such pages, and never fails.
void AdviseHugePages(const void* data, std::size_t bytes);

// Reserves room for count elements and gives the room the hint above.
template <typename T> void ReserveLarge(std::vector<T>& list, std::size_t count) {
    list.reserve(count);
    AdviseHugePages(list.data(), list.capacity() * sizeof(T));
}

// Readies the heap for a run that allocates many small blocks summing to
// megabytes (maps of thousands of markers): about bytes of it (from 1 to 32
// MiB; less does nothing) are backed by huge pages as they are first written,
// and blocks up to that size come from it rather than from mappings of their
// own. Called once, at the start of a short run; a hint only, like the one
// above.
void PrepareHeapForLargeWork(std::size_t bytes);

} // namespace karvello
