#pragma once

#include <atomic>
#include <cstdint>

namespace tovan {

// Control block shared by SharedPtr and WeakPtr. The counters are atomic because
// catalog entries are copied and released by scan threads and the user-interface
// thread under different locks.
class PtrRefs {
public:
    PtrRefs() = default;
    PtrRefs(const PtrRefs&) = delete;
    PtrRefs& operator=(const PtrRefs&) = delete;

    // Deletes the owned object; the block itself stays while holders remain.
    virtual void dispose() noexcept = 0;
    // Deletes the control block.
    virtual void destroy() noexcept { delete this; }
    virtual ~PtrRefs() = default;

    void add_owner() noexcept {
        owners_.fetch_add(1, std::memory_order_relaxed);
        holders_.fetch_add(1, std::memory_order_relaxed);
    }

    void add_holder() noexcept { holders_.fetch_add(1, std::memory_order_relaxed); }

    // Takes an owner count only while the object is still alive.
    bool try_add_owner() noexcept {
        std::int32_t current = owners_.load(std::memory_order_relaxed);
        while (current > 0) {
            if (owners_.compare_exchange_weak(current, current + 1, std::memory_order_acq_rel)) {
                holders_.fetch_add(1, std::memory_order_relaxed);
                return true;
            }
        }
        return false;
    }

    // Drops one owner and its holder count; returns the owners that remain.
    std::int32_t release_owner() noexcept {
        const std::int32_t remaining = owners_.fetch_sub(1, std::memory_order_acq_rel) - 1;
        if (remaining <= 0)
            dispose();
        release_holder();
        return remaining;
    }

    void release_holder() noexcept {
        if (holders_.fetch_sub(1, std::memory_order_acq_rel) - 1 <= 0)
            destroy();
    }

    std::int32_t owners() const noexcept { return owners_.load(std::memory_order_acquire); }
    std::int32_t holders() const noexcept { return holders_.load(std::memory_order_acquire); }

private:
    std::atomic<std::int32_t> owners_{1};
    std::atomic<std::int32_t> holders_{1};
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
