// Independent pieces of work (the tracks of a disk) spread over the cores.
#pragma once

#include <cstddef>
#include <functional>

namespace velloran {

// Calls work(i) once for every i below `count`, on as many threads as the
// machine has cores (this thread among them), and returns when all are done.
// The calls must not touch each other's data; in which order and on which
// thread they run is not fixed, so each writes its result to a place of its
// own. An exception thrown by a call is thrown again here once all stopped.
void ForEachInParallel(std::size_t count, const std::function<void(std::size_t)>& work);

}  // namespace velloran
