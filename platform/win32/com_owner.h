#pragma once
// Owners for COM: an interface pointer released once, a BSTR freed once, a VARIANT
// cleared once, and COM itself initialised on this thread for a scope.

#include <objbase.h>
#include <oleauto.h>

#include <string_view>
#include <utility>

namespace kestrum::win32 {

template <typename Interface>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) {
            reset();
            pointer_ = std::exchange(other.pointer_, nullptr);
        }
        return *this;
    }
    ~ComPtr() { reset(); }

    Interface* get() const { return pointer_; }
    Interface* operator->() const { return pointer_; }
    explicit operator bool() const { return pointer_ != nullptr; }
    // For out parameters: releases what is held and hands out the slot.
    Interface** put() {
        reset();
        return &pointer_;
    }
    void** putVoid() { return reinterpret_cast<void**>(put()); }
    void reset() {
        if (pointer_) std::exchange(pointer_, nullptr)->Release();
    }

private:
    Interface* pointer_ = nullptr;
};

class Bstr {
public:
    Bstr() = default;
    explicit Bstr(std::wstring_view text) : text_(::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    ~Bstr() { ::SysFreeString(text_); }

    BSTR get() const { return text_; }
    BSTR* put() {
        ::SysFreeString(std::exchange(text_, nullptr));
        return &text_;
    }
    // A null BSTR is the empty text.
    std::wstring_view view() const {
        return text_ ? std::wstring_view(text_, ::SysStringLen(text_)) : std::wstring_view();
    }

private:
    BSTR text_ = nullptr;
};

class Variant {
public:
    Variant() { ::VariantInit(&value_); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    ~Variant() { ::VariantClear(&value_); }

    const VARIANT& get() const { return value_; }
    VARIANT* put() {
        ::VariantClear(&value_);
        return &value_;
    }

private:
    VARIANT value_{};
};

// COM on this thread for the life of the object. A thread that already has COM in
// the other kind of apartment keeps it, and it is used as it is.
class ComApartment {
public:
    explicit ComApartment(DWORD model) : result_(::CoInitializeEx(nullptr, model)) {}
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    ~ComApartment() {
        if (SUCCEEDED(result_)) ::CoUninitialize();
    }
    bool usable() const { return SUCCEEDED(result_) || result_ == RPC_E_CHANGED_MODE; }

private:
    HRESULT result_;
};

}  // namespace kestrum::win32
