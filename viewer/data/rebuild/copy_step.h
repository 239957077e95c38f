// One step of a message rebuild run on its own: an error of the messaging
// component or of a file operation ends that step only.
#pragma once

#include <exception>
#include <new>

namespace velmora {

template <typename Step>
void RunCopyStep(Step&& step) {
    try {
        step();
    } catch (const std::bad_alloc&) {
        throw;
    } catch (const std::exception&) {
        // The error's text is dropped; the rebuild goes on with the next item.
    }
}

}  // namespace velmora
