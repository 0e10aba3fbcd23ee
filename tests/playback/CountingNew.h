#pragma once

#include <cstddef>

// The test program's operator new and delete count the calls made on a thread while it
// has asked for it.
void CountAllocationsHere(bool on);
// Calls counted so far, on all threads.
long CountedAllocations();
// The largest block asked for by a counted call since counting last turned on.
std::size_t LargestCountedAllocation();
