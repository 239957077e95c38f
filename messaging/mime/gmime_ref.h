// Ownership of GMime's reference-counted objects.
#pragma once

#include <gmime/gmime.h>

namespace velmora::messaging {

template <typename T>
class GRef {
  public:
    explicit GRef(T* object = nullptr) : object_(object) {}
    ~GRef() {
        if (object_ != nullptr) g_object_unref(object_);
    }
    GRef(const GRef&) = delete;
    GRef& operator=(const GRef&) = delete;
    T* get() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }

  private:
    T* object_;
};

}  // namespace velmora::messaging
