#ifndef VELLOX_APP_CONVERSION_WORKERS_H_
#define VELLOX_APP_CONVERSION_WORKERS_H_

#include <cstddef>
#include <functional>

#include "app/convert_file.h"

namespace vellox {

// Runs `convert(index)` for every index below `count` on up to `jobs`
// threads (each takes the next index in turn; when the system refuses
// every thread, this one converts them all), and hands each conversion to
// `report(index, conversion)` on this thread in index order, as soon as it
// and every one before it is done. While the conversion at `index` is
// awaited, `waiting(done, index)` is told how many are done.
void ConvertInOrder(std::size_t count, unsigned jobs,
                    const std::function<Conversion(std::size_t index)>& convert,
                    const std::function<void(std::size_t done, std::size_t index)>& waiting,
                    const std::function<void(std::size_t index, const Conversion&)>& report);

}  // namespace vellox

#endif  // VELLOX_APP_CONVERSION_WORKERS_H_
