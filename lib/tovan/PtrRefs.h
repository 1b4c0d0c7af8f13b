#pragma once

#include <atomic>
#include <cstdint>

namespace tovan {

// The control block of SharedPtr. The counter is atomic because
// catalog entries are copied and released by scan threads and the user-interface
// thread under different locks.
class PtrRefs {
public:
    PtrRefs() = default;
    PtrRefs(const PtrRefs&) = delete;
    PtrRefs& operator=(const PtrRefs&) = delete;

    // Deletes the owned object.
    virtual void dispose() noexcept = 0;
    // Deletes the control block.
    virtual void destroy() noexcept { delete this; }
    virtual ~PtrRefs() = default;

    void add_owner() noexcept { owners_.fetch_add(1, std::memory_order_relaxed); }

    // Drops one owner; the last one deletes the object and the block. Returns the
    // owners that remain.
    std::int32_t release_owner() noexcept {
        const std::int32_t remaining = owners_.fetch_sub(1, std::memory_order_acq_rel) - 1;
        if (remaining <= 0) {
            dispose();
            destroy();
        }
        return remaining;
    }

    std::int32_t owners() const noexcept { return owners_.load(std::memory_order_acquire); }

private:
    std::atomic<std::int32_t> owners_{1};
};

template <class T>
struct CheckedDeleter {
    void operator()(T* object) const noexcept {
        static_assert(sizeof(T) > 0, "CheckedDeleter needs a complete type");
        delete object;
    }
};

template <class P, class D>
class PtrRefsImpl;

// The block for an object allocated on its own with new.
template <class T, class D>
class PtrRefsImpl<T*, D> final : public PtrRefs {
public:
    explicit PtrRefsImpl(T* object) noexcept : object_(object) {}

    void dispose() noexcept override {
        D()(object_);
        object_ = nullptr;
    }

private:
    T* object_;
};

}  // namespace tovan
