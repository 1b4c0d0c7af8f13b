#pragma once

#include <utility>

#include "tovan/SharedPtr.h"

namespace tovan {

// Keeps the control block, never the object: users test expired() or lock()
// before they touch what it points to.
template <class T>
class WeakPtr {
public:
    WeakPtr() noexcept = default;

    WeakPtr(const SharedPtr<T>& shared) noexcept : object_(shared.object_), refs_(shared.refs_) {
        if (refs_ != nullptr)
            refs_->add_holder();
    }

    WeakPtr(const WeakPtr& other) noexcept : object_(other.object_), refs_(other.refs_) {
        if (refs_ != nullptr)
            refs_->add_holder();
    }

    WeakPtr(WeakPtr&& other) noexcept : object_(other.object_), refs_(other.refs_) {
        other.object_ = nullptr;
        other.refs_ = nullptr;
    }

    ~WeakPtr() { reset(); }

    WeakPtr& operator=(WeakPtr other) noexcept {
        std::swap(object_, other.object_);
        std::swap(refs_, other.refs_);
        return *this;
    }

    void reset() noexcept {
        PtrRefs* refs = refs_;
        object_ = nullptr;
        refs_ = nullptr;
        if (refs != nullptr)
            refs->release_holder();
    }

    bool expired() const noexcept { return refs_ == nullptr || refs_->owners() <= 0; }

    // A null pointer once the last owner has gone.
    SharedPtr<T> lock() const noexcept {
        if (refs_ == nullptr || !refs_->try_add_owner())
            return {};
        return SharedPtr<T>(object_, refs_);
    }

private:
    T* object_ = nullptr;
    PtrRefs* refs_ = nullptr;
};

}  // namespace tovan
