#include "engine/interface/status_block.h"

#include <algorithm>
#include <mutex>

namespace corvex {
namespace {

std::mutex* LockOf(void* lock) {
    return static_cast<std::mutex*>(lock);
}

void CopyText(const CorvexChar* text, CorvexChar* out, uint32_t capacity) {
    if (out == nullptr || capacity == 0) return;
    uint32_t n = 0;
    while (n + 1 < capacity && n < CORVEX_STATUS_TEXT_LENGTH - 1 && text[n] != 0) {
        out[n] = text[n];
        ++n;
    }
    out[n] = 0;
}

void Destroy(CSThreadStatusMessage* self) {
    delete LockOf(self->firstLock);
    delete LockOf(self->secondLock);
    delete self;
}

void CopyFirstText(CSThreadStatusMessage* self, CorvexChar* out, uint32_t capacity) {
    CopyText(self->firstText, out, capacity);
}

void CopySecondText(CSThreadStatusMessage* self, CorvexChar* out, uint32_t capacity) {
    std::lock_guard<std::mutex> hold(*LockOf(self->secondLock));
    CopyText(self->secondText, out, capacity);
}

void SetSecondText(CSThreadStatusMessage* self, const CorvexChar* text) {
    std::lock_guard<std::mutex> hold(*LockOf(self->secondLock));
    CopyText(text != nullptr ? text : u"", self->secondText, CORVEX_STATUS_TEXT_LENGTH);
    self->secondChanged = 1;
}

const CSThreadStatusMessageOps kMessageOps = {Destroy, CopyFirstText, CopySecondText,
                                              SetSecondText};

}  // namespace

StatusBlock* NewStatusBlock() {
    auto* message = new CSThreadStatusMessage{};
    message->ops = &kMessageOps;
    message->firstLock = new std::mutex;
    message->secondLock = new std::mutex;
    return new StatusBlock{new int32_t{0}, new uint8_t{0}, 0, message};
}

void FreeStatusBlock(StatusBlock* block) {
    if (block == nullptr) return;
    delete block->stopWord;
    delete block->flag;
    if (block->message != nullptr) block->message->ops->destroy(block->message);
    delete block;
}

}  // namespace corvex
