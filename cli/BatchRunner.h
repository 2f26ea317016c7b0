#pragma once

#include <cstddef>
#include <functional>

namespace tallyglass {

// Runs work(0) ... work(count - 1) on `jobs` threads and hands each result to emit in index
// order, on the calling thread. At most `jobs` items are in work, and no more than twice as
// many are started and not yet taken for emitting, so at most 2 x `jobs` results (in flight,
// or finished and waiting for their turn) and the one being emitted exist at any time, however
// long the list; a thread whose result has to wait can start the next item meanwhile. With one
// job everything runs on the calling thread, one item after the other.
template <typename Result>
void RunInOrder(std::size_t count, unsigned jobs, const std::function<Result(std::size_t)>& work,
                const std::function<void(std::size_t, Result&&)>& emit);

} // namespace tallyglass

#include "BatchRunner.inl"
