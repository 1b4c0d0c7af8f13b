#pragma once

#include <cassert>
#include <utility>

#include "tovan/SharedPtr.h"

namespace tovan {

// Owning reference to an object that make_shared or make_shared_with_tail built
// in place: one word instead of SharedPtr's two, since the control block sits at
// a fixed offset before the object. Folders of millions of entries hold their
// children this way. Move-only: it holds exactly one owner count.
template <class T>
class InplaceRef {
public:
    InplaceRef() noexcept = default;

    // Adds an owner.
    explicit InplaceRef(const SharedPtr<T>& shared) noexcept : object_(shared.object_) {
        assert(is_inplace(shared));
        if (object_ != nullptr)
            block()->add_owner();
    }

    // Takes over the pointer's owner count.
    explicit InplaceRef(SharedPtr<T>&& shared) noexcept : object_(shared.object_) {
        assert(is_inplace(shared));
        shared.object_ = nullptr;
        shared.refs_ = nullptr;
    }

    InplaceRef(InplaceRef&& other) noexcept : object_(other.object_) { other.object_ = nullptr; }

    InplaceRef& operator=(InplaceRef&& other) noexcept {
        InplaceRef(std::move(other)).swap(*this);
        return *this;
    }

    ~InplaceRef() {
        if (object_ != nullptr)
            block()->release_owner();
    }

    void swap(InplaceRef& other) noexcept { std::swap(object_, other.object_); }

    // Another owner, for keeping the object past this reference.
    SharedPtr<T> shared() const noexcept {
        if (object_ == nullptr)
            return {};
        block()->add_owner();
        return SharedPtr<T>(object_, block());
    }

    T* get() const noexcept { return object_; }
    T& operator*() const noexcept { return *object_; }
    T* operator->() const noexcept { return object_; }
    explicit operator bool() const noexcept { return object_ != nullptr; }

private:
    PtrRefsInplace<T>* block() const noexcept { return PtrRefsInplace<T>::of(object_); }

    // Objects made any other way have their block elsewhere.
    static bool is_inplace(const SharedPtr<T>& shared) noexcept {
        return shared.object_ == nullptr || shared.refs_ == PtrRefsInplace<T>::of(shared.object_);
    }

    T* object_ = nullptr;
};

}  // namespace tovan
