#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <type_traits>
#include <utility>

#include "tovan/PtrRefs.h"

namespace tovan {

template <class>
class InplaceRef;

// Owning, reference-counted pointer: two words, the object and its control block.
template <class T>
class SharedPtr {
public:
    using element_type = T;

    SharedPtr() noexcept = default;
    SharedPtr(std::nullptr_t) noexcept {}

    // Takes ownership of a newly allocated object.
    explicit SharedPtr(T* object) : object_(object) {
        if (object_ == nullptr)
            return;
        try {
            refs_ = new PtrRefsImpl<T*, CheckedDeleter<T>>(object_);
        } catch (...) {
            delete object_;
            throw;
        }
    }

    SharedPtr(const SharedPtr& other) noexcept : object_(other.object_), refs_(other.refs_) {
        if (refs_ != nullptr)
            refs_->add_owner();
    }

    SharedPtr(SharedPtr&& other) noexcept : object_(other.object_), refs_(other.refs_) {
        other.object_ = nullptr;
        other.refs_ = nullptr;
    }

    template <class U>
    requires std::is_convertible_v<U*, T*> SharedPtr(const SharedPtr<U>& other)
    noexcept : object_(other.object_), refs_(other.refs_) {
        if (refs_ != nullptr)
            refs_->add_owner();
    }

    template <class U>
    requires std::is_convertible_v<U*, T*> SharedPtr(SharedPtr<U>&& other)
    noexcept : object_(other.object_), refs_(other.refs_) {
        other.object_ = nullptr;
        other.refs_ = nullptr;
    }

    ~SharedPtr() { reset(); }

    SharedPtr& operator=(SharedPtr other) noexcept {
        swap(other);
        return *this;
    }

    // Releases the object; returns the owners that remain (0 for a null pointer).
    std::int32_t reset() noexcept {
        PtrRefs* refs = refs_;
        object_ = nullptr;
        refs_ = nullptr;
        return refs != nullptr ? refs->release_owner() : 0;
    }

    void swap(SharedPtr& other) noexcept {
        std::swap(object_, other.object_);
        std::swap(refs_, other.refs_);
    }

    T* get() const noexcept { return object_; }
    T& operator*() const noexcept { return *object_; }
    T* operator->() const noexcept { return object_; }
    explicit operator bool() const noexcept { return object_ != nullptr; }
    std::int32_t use_count() const noexcept { return refs_ != nullptr ? refs_->owners() : 0; }

    template <class U>
    bool operator==(const SharedPtr<U>& other) const noexcept {
        return object_ == other.get();
    }
    bool operator==(std::nullptr_t) const noexcept { return object_ == nullptr; }

private:
    template <class>
    friend class SharedPtr;
    template <class>
    friend class InplaceRef;
    template <class U, class... Args>
    friend SharedPtr<U> make_shared(Args&&... args);
    template <class U, class... Args>
    friend SharedPtr<U> make_shared_with_tail(std::size_t tail_size, Args&&... args);
    template <class U, class V>
    friend SharedPtr<U> static_pointer_cast(const SharedPtr<V>& from) noexcept;
    template <class U, class V>
    friend SharedPtr<U> dynamic_pointer_cast(const SharedPtr<V>& from) noexcept;

    // Adopts a control block that already counts this pointer.
    SharedPtr(T* object, PtrRefs* refs) noexcept : object_(object), refs_(refs) {}

    T* object_ = nullptr;
    PtrRefs* refs_ = nullptr;
};

// The block for an object built inside it, optionally followed by a tail of raw
// bytes that the object uses as its own storage. One allocation instead of two
// matters for catalogs of millions of entries. The object sits at a fixed offset
// behind the block, so an 8-byte InplaceRef finds the block from the object.
template <class T>
class PtrRefsInplace final : public PtrRefs {
public:
    static constexpr std::size_t object_offset() noexcept {
        static_assert(alignof(T) <= __STDCPP_DEFAULT_NEW_ALIGNMENT__);
        return round_up(sizeof(PtrRefsInplace), alignof(T));
    }
    static constexpr std::size_t tail_offset() noexcept {
        return round_up(object_offset() + sizeof(T), alignof(void*));
    }

    static PtrRefsInplace* of(T* object) noexcept {
        return std::launder(reinterpret_cast<PtrRefsInplace*>(reinterpret_cast<std::byte*>(object) -
                                                              object_offset()));
    }

    T* object() noexcept { return std::launder(reinterpret_cast<T*>(at(object_offset()))); }
    std::byte* tail() noexcept { return at(tail_offset()); }

    void dispose() noexcept override { object()->~T(); }

    void destroy() noexcept override {
        this->~PtrRefsInplace();
        ::operator delete(static_cast<void*>(this));
    }

private:
    static constexpr std::size_t round_up(std::size_t size, std::size_t alignment) noexcept {
        return (size + alignment - 1) / alignment * alignment;
    }
    std::byte* at(std::size_t offset) noexcept {
        return reinterpret_cast<std::byte*>(this) + offset;
    }
};

template <class T, class... Args>
SharedPtr<T> make_shared(Args&&... args) {
    void* memory = ::operator new(PtrRefsInplace<T>::object_offset() + sizeof(T));
    auto* refs = new (memory) PtrRefsInplace<T>();
    try {
        new (refs->object()) T(std::forward<Args>(args)...);
    } catch (...) {
        refs->~PtrRefsInplace<T>();
        ::operator delete(memory);
        throw;
    }
    return SharedPtr<T>(refs->object(), refs);
}

// Builds T(tail, args...) where tail points to tail_size bytes right behind the
// object, aligned like a pointer.
template <class T, class... Args>
SharedPtr<T> make_shared_with_tail(std::size_t tail_size, Args&&... args) {
    void* memory = ::operator new(PtrRefsInplace<T>::tail_offset() + tail_size);
    auto* refs = new (memory) PtrRefsInplace<T>();
    try {
        new (refs->object()) T(refs->tail(), std::forward<Args>(args)...);
    } catch (...) {
        refs->~PtrRefsInplace<T>();
        ::operator delete(memory);
        throw;
    }
    return SharedPtr<T>(refs->object(), refs);
}

template <class U, class V>
SharedPtr<U> static_pointer_cast(const SharedPtr<V>& from) noexcept {
    if (from.refs_ != nullptr)
        from.refs_->add_owner();
    return SharedPtr<U>(static_cast<U*>(from.object_), from.refs_);
}

template <class U, class V>
SharedPtr<U> dynamic_pointer_cast(const SharedPtr<V>& from) noexcept {
    U* object = dynamic_cast<U*>(from.object_);
    if (object == nullptr)
        return {};
    from.refs_->add_owner();
    return SharedPtr<U>(object, from.refs_);
}

}  // namespace tovan
