#pragma once

#include <cstddef>
#include <functional>

namespace tallyglass {

// Runs work(0) ... work(count - 1) on `jobs` threads, the calling thread among them, and hands
// each result to emit in index order, one call at a time: the thread that finishes the result
// due next hands it over, and whatever followed it that is already in, while the others go on
// working. At most `jobs` items are in work, and no more than twice as many are started and not
// yet taken for emitting, so at most 2 x `jobs` results (in flight, or finished and waiting for
// their turn) and the one being emitted exist at any time, however long the list. With one job
// everything runs on the calling thread, one item after the other. An exception from work or
// emit stops the run (items in work are finished, none is started) and is rethrown here.
template <typename Result>
void RunInOrder(std::size_t count, unsigned jobs, const std::function<Result(std::size_t)>& work,
                const std::function<void(std::size_t, Result&&)>& emit);

} // namespace tallyglass

#include "BatchRunner.inl"
