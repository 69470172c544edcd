#pragma once
// One table of objects named by handle values, for every kind of handle the
// platform hands out: kernel objects, GDI objects, device contexts, menus,
// image lists, accelerator tables, registry keys and windows. Each kind keeps
// its own numbering (first value and step), so handles of one kind look the
// same from run to run. A value still in use, or one the table reserves
// (registry roots), is skipped; narrow handle types wrap around safely.
//
// The table itself takes no lock: a table used from several threads is used
// under its owner's lock, as that owner's other state is.

#include <cstdint>
#include <memory>
#include <type_traits>
#include <unordered_map>
#include <utility>

#include "platform/core/LastError.h"
#include "platform/core/Types.h"

namespace ce {

template <class T, class Handle>
class HandleTable {
public:
    // Pointer handles (HANDLE, HWND, HMENU, ...) are numbered as integers.
    using Value = std::conditional_t<std::is_pointer_v<Handle>, std::uintptr_t, Handle>;

    struct Numbering {
        Value first = 1;
        Value step = 1;
        // Values never handed out besides 0 (which never is).
        bool (*reserved)(Value) = nullptr;
    };

    explicit HandleTable(Numbering numbering) : numbering_(numbering), next_(numbering.first) {}

    // Takes the object and names it with the next free value.
    Handle Insert(std::unique_ptr<T> object) {
        while (next_ == 0 || objects_.count(next_) != 0 ||
               (numbering_.reserved != nullptr && numbering_.reserved(next_)))
            next_ += numbering_.step;
        Value value = next_;
        next_ += numbering_.step;
        objects_.emplace(value, std::move(object));
        return ToHandle(value);
    }

    // The object a handle names, or nullptr.
    T* Lookup(Handle handle) const {
        auto it = objects_.find(ToValue(handle));
        return it == objects_.end() ? nullptr : it->second.get();
    }

    // The same, setting the thread's last error to `error` when the handle
    // names nothing.
    T* LookupOrError(Handle handle, DWORD error) const {
        T* object = Lookup(handle);
        if (object == nullptr)
            SetLastError(error);
        return object;
    }

    // The object when it is a U, else nullptr.
    template <class U>
    U* LookupAs(Handle handle) const {
        return dynamic_cast<U*>(Lookup(handle));
    }

    bool Contains(Handle handle) const { return objects_.count(ToValue(handle)) != 0; }

    // Forgets the handle and hands its object over (nullptr when the handle
    // names nothing), so that the caller decides when it is destroyed: after
    // a lock is let go, or once nothing of it runs any more.
    std::unique_ptr<T> Erase(Handle handle) {
        auto it = objects_.find(ToValue(handle));
        if (it == objects_.end())
            return nullptr;
        std::unique_ptr<T> object = std::move(it->second);
        objects_.erase(it);
        return object;
    }

    std::size_t Count() const { return objects_.size(); }

    // Calls f(handle, object) for every object; f must not insert or erase.
    template <class F>
    void ForEach(F&& f) const {
        for (const auto& [value, object] : objects_)
            f(ToHandle(value), *object);
    }

    // Forgets every object; the numbering goes on where it was.
    void Clear() { objects_.clear(); }

private:
    static Value ToValue(Handle handle) {
        if constexpr (std::is_pointer_v<Handle>)
            return reinterpret_cast<Value>(handle);
        else
            return handle;
    }
    static Handle ToHandle(Value value) {
        if constexpr (std::is_pointer_v<Handle>)
            return reinterpret_cast<Handle>(value);
        else
            return value;
    }

    Numbering numbering_;
    Value next_;
    std::unordered_map<Value, std::unique_ptr<T>> objects_;
};

// The process's table of objects of type T, made on first use and never
// destroyed: statics destroyed at exit may still close handles.
template <class T, class Handle, typename HandleTable<T, Handle>::Value First,
          typename HandleTable<T, Handle>::Value Step,
          bool (*Reserved)(typename HandleTable<T, Handle>::Value) = nullptr>
HandleTable<T, Handle>& ProcessHandleTable() {
    static auto* table = new HandleTable<T, Handle>({First, Step, Reserved});
    return *table;
}

}  // namespace ce
