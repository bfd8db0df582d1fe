// A move-only owner of one handle of the operating system: it closes the
// handle exactly once, when it is reset, assigned over or destroyed, and
// never after release() has handed it on. `Traits` names the value that is
// no handle (Invalid()) and closes a handle (Close(handle)). Each owner keeps
// its own Traits object, so a closer that needs to know more than the
// handle (the registry a key was opened from) moves along with it.
#pragma once
#include <utility>

namespace platform {

template <typename Handle, typename Traits>
class UniqueHandle {
  public:
    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle, Traits traits = Traits())
        : traits_(std::move(traits)), handle_(handle) {}
    ~UniqueHandle() { reset(); }
    UniqueHandle(UniqueHandle&& other) noexcept
        : traits_(other.traits_), handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) {
            reset(other.release(), other.traits_);
        }
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    Handle get() const { return handle_; }
    // Closes the handle held and lends the slot to a call that fills it.
    Handle* put() {
        reset();
        return &handle_;
    }
    Handle release() { return std::exchange(handle_, Traits::Invalid()); }
    void reset(Handle handle = Traits::Invalid()) {
        if (handle_ != Traits::Invalid()) {
            traits_.Close(handle_);
        }
        handle_ = handle;
    }
    explicit operator bool() const { return handle_ != Traits::Invalid(); }

  protected:
    const Traits& traits() const { return traits_; }
    // Closes the handle held (with the traits it came with) and takes
    // `handle`, to be closed with `traits`.
    void reset(Handle handle, Traits traits) {
        reset(handle);
        traits_ = std::move(traits);
    }

  private:
    Traits traits_{};
    Handle handle_ = Traits::Invalid();
};

}  // namespace platform
