// In-process window-message transport (see win_ipc.h).
//
// One registry guarded by one mutex holds windows, registered messages,
// atoms, shared areas and injected faults. Window handlers are called without
// the lock held, on the sender's thread.
#include "zu/platform/win_ipc.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace zu::platform {
namespace {

std::string Upper(const char* s) {
    std::string out(s);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return out;
}

struct Window {
    std::string class_key;  // uppercase
    WindowProc proc = nullptr;
    void* context = nullptr;
    uint64_t order = 0;
    // Threads inside the handler now. Capacity is reserved at creation, so a
    // send does not allocate while no more threads than that send at once.
    std::vector<std::thread::id> senders;
};

struct Atom {
    std::string name;  // first spelling
    uint32_t refs = 0;
};

struct Area {
    std::string name;  // empty: anonymous
    uint32_t size = 0;
    std::unique_ptr<uint8_t[]> bytes;
    uint32_t handles = 0;
    uint32_t views = 0;
};

struct Fault {
    uint32_t count = 0;
    uint32_t error = 0;
};

struct Registry {
    std::mutex mutex;
    std::condition_variable send_done;

    std::map<WindowHandle, std::shared_ptr<Window>> windows;
    WindowHandle next_window = 0x10010;
    uint64_t next_order = 0;

    std::map<std::string, uint32_t> messages;  // uppercase name -> number
    uint32_t next_message = 0xC000;

    std::map<uint16_t, Atom> atoms;                // 0xC000..0xFFFF
    std::map<std::string, uint16_t> atom_by_name;  // uppercase

    std::map<std::string, Area*, std::less<>> area_by_name;  // looked up without a copy
    std::map<AreaHandle, Area*> area_handles;
    // Nodes of closed handles, reused by the next opens: a server that opens
    // and closes a client's area for every batch allocates nothing.
    std::vector<std::map<AreaHandle, Area*>::node_type> spare_handle_nodes;
    std::map<void*, Area*> area_views;
    AreaHandle next_area = 0x100;

    std::map<WindowHandle, Fault> faults;
};

// Never destroyed, so handles closed during static destruction stay valid.
constexpr size_t kSpareHandleNodes = 16;

Registry& Reg() {
    static Registry* registry = [] {
        auto* r = new Registry;
        r->spare_handle_nodes.reserve(kSpareHandleNodes);
        return r;
    }();
    return *registry;
}

thread_local uint32_t t_last_error = 0;

void ReleaseAreaIfUnused(Registry& reg, Area* area) {
    if (area->handles == 0 && !area->name.empty()) {
        auto it = reg.area_by_name.find(area->name);
        if (it != reg.area_by_name.end() && it->second == area) reg.area_by_name.erase(it);
    }
    if (area->handles == 0 && area->views == 0) delete area;
}

AreaHandle NewAreaHandle(Registry& reg, Area* area) {
    AreaHandle handle = reg.next_area;
    reg.next_area += 4;
    if (reg.spare_handle_nodes.empty()) {
        reg.area_handles[handle] = area;
    } else {
        auto node = std::move(reg.spare_handle_nodes.back());
        reg.spare_handle_nodes.pop_back();
        node.key() = handle;
        node.mapped() = area;
        reg.area_handles.insert(std::move(node));
    }
    ++area->handles;
    return handle;
}

}  // namespace

WindowHandle CreateTopLevelWindow(const char* class_name, WindowProc proc, void* context) {
    if (class_name == nullptr || proc == nullptr) {
        SetLastError(kErrorInvalidParameter);
        return 0;
    }
    Registry& reg = Reg();
    auto window = std::make_shared<Window>();
    window->class_key = Upper(class_name);
    window->proc = proc;
    window->context = context;
    window->senders.reserve(16);
    std::lock_guard<std::mutex> lock(reg.mutex);
    window->order = reg.next_order++;
    WindowHandle handle = reg.next_window;
    reg.next_window += 2;
    reg.windows[handle] = window;
    return handle;
}

void DestroyTopLevelWindow(WindowHandle window) {
    Registry& reg = Reg();
    std::unique_lock<std::mutex> lock(reg.mutex);
    auto it = reg.windows.find(window);
    if (it == reg.windows.end()) return;
    std::shared_ptr<Window> w = it->second;
    reg.windows.erase(it);
    reg.faults.erase(window);
    // Wait for sends in progress on other threads, so that the caller may free
    // the handler's context afterwards.
    const auto self = std::this_thread::get_id();
    reg.send_done.wait(lock, [&] {
        return w->senders.size() ==
               static_cast<size_t>(std::count(w->senders.begin(), w->senders.end(), self));
    });
}

WindowHandle FindTopLevelWindow(const char* class_name) {
    if (class_name == nullptr) return 0;
    const std::string key = Upper(class_name);
    Registry& reg = Reg();
    std::lock_guard<std::mutex> lock(reg.mutex);
    WindowHandle found = 0;
    uint64_t best = 0;
    for (const auto& [handle, window] : reg.windows) {
        if (window->class_key == key && (found == 0 || window->order > best)) {
            found = handle;
            best = window->order;
        }
    }
    return found;
}

uint32_t RegisterWindowMessage(const char* name) {
    if (name == nullptr || *name == '\0') {
        SetLastError(kErrorInvalidParameter);
        return 0;
    }
    const std::string key = Upper(name);
    Registry& reg = Reg();
    std::lock_guard<std::mutex> lock(reg.mutex);
    auto it = reg.messages.find(key);
    if (it != reg.messages.end()) return it->second;
    if (reg.next_message > 0xFFFF) return 0;
    uint32_t number = reg.next_message++;
    reg.messages[key] = number;
    return number;
}

uint16_t GlobalAddAtom(const char* name) {
    if (name == nullptr || *name == '\0' || std::strlen(name) > 255) {
        SetLastError(kErrorInvalidParameter);
        return 0;
    }
    // "#nnnn": an integer atom (1..0xBFFF), not reference-counted.
    if (name[0] == '#') {
        uint32_t value = 0;
        const char* p = name + 1;
        if (*p == '\0') return 0;
        for (; *p; ++p) {
            if (*p < '0' || *p > '9') break;
            value = value * 10 + static_cast<uint32_t>(*p - '0');
            if (value > 0xFFFF) break;
        }
        if (*p == '\0') {
            if (value == 0 || value >= 0xC000) {
                SetLastError(kErrorInvalidParameter);
                return 0;
            }
            return static_cast<uint16_t>(value);
        }
    }
    const std::string key = Upper(name);
    Registry& reg = Reg();
    std::lock_guard<std::mutex> lock(reg.mutex);
    auto it = reg.atom_by_name.find(key);
    if (it != reg.atom_by_name.end()) {
        ++reg.atoms[it->second].refs;
        return it->second;
    }
    for (uint32_t candidate = 0xC000; candidate <= 0xFFFF; ++candidate) {
        const auto atom = static_cast<uint16_t>(candidate);
        if (reg.atoms.count(atom)) continue;
        reg.atoms[atom] = Atom{name, 1};
        reg.atom_by_name[key] = atom;
        return atom;
    }
    SetLastError(kErrorNotEnoughMemory);
    return 0;
}

void GlobalDeleteAtom(uint16_t atom) {
    if (atom < 0xC000) return;  // integer atoms are not counted
    Registry& reg = Reg();
    std::lock_guard<std::mutex> lock(reg.mutex);
    auto it = reg.atoms.find(atom);
    if (it == reg.atoms.end()) return;
    if (--it->second.refs == 0) {
        reg.atom_by_name.erase(Upper(it->second.name.c_str()));
        reg.atoms.erase(it);
    }
}

uint32_t GlobalGetAtomName(uint16_t atom, char* out, uint32_t out_size) {
    if (out == nullptr || out_size == 0 || atom == 0) return 0;
    // Copied straight into `out`: the FSUIPC server asks for the name on
    // every batch it serves.
    auto copy = [&](std::string_view name) {
        const size_t n = std::min<size_t>(name.size(), out_size - 1);
        std::memcpy(out, name.data(), n);
        out[n] = '\0';
        return static_cast<uint32_t>(n);
    };
    if (atom < 0xC000) {
        char integer[8];
        const int n = std::snprintf(integer, sizeof integer, "#%u", static_cast<unsigned>(atom));
        return copy(std::string_view(integer, static_cast<size_t>(n)));
    }
    Registry& reg = Reg();
    std::lock_guard<std::mutex> lock(reg.mutex);
    auto it = reg.atoms.find(atom);
    if (it == reg.atoms.end()) {
        SetLastError(kErrorInvalidHandle);
        return 0;
    }
    return copy(it->second.name);
}

AreaHandle CreateSharedArea(const char* name, uint32_t size, bool* already_existed) {
    if (already_existed) *already_existed = false;
    if (size == 0) {
        SetLastError(kErrorInvalidParameter);
        return 0;
    }
    Registry& reg = Reg();
    std::lock_guard<std::mutex> lock(reg.mutex);
    if (name != nullptr && *name != '\0') {
        auto it = reg.area_by_name.find(std::string_view(name));
        if (it != reg.area_by_name.end()) {
            if (already_existed) *already_existed = true;
            SetLastError(kErrorAlreadyExists);
            return NewAreaHandle(reg, it->second);
        }
    }
    auto* area = new Area;
    area->name = name ? name : "";
    area->size = size;
    area->bytes.reset(new uint8_t[size]());  // zero-filled
    if (!area->name.empty()) reg.area_by_name[area->name] = area;
    SetLastError(0);
    return NewAreaHandle(reg, area);
}

AreaHandle OpenSharedArea(const char* name) {
    if (name == nullptr || *name == '\0') {
        SetLastError(kErrorInvalidParameter);
        return 0;
    }
    Registry& reg = Reg();
    std::lock_guard<std::mutex> lock(reg.mutex);
    auto it = reg.area_by_name.find(std::string_view(name));
    if (it == reg.area_by_name.end()) {
        SetLastError(kErrorFileNotFound);
        return 0;
    }
    return NewAreaHandle(reg, it->second);
}

void* MapSharedArea(AreaHandle area) {
    Registry& reg = Reg();
    std::lock_guard<std::mutex> lock(reg.mutex);
    auto it = reg.area_handles.find(area);
    if (it == reg.area_handles.end()) {
        SetLastError(kErrorInvalidHandle);
        return nullptr;
    }
    Area* a = it->second;
    ++a->views;
    void* view = a->bytes.get();
    reg.area_views[view] = a;
    return view;
}

uint32_t SharedAreaSize(AreaHandle area) {
    Registry& reg = Reg();
    std::lock_guard<std::mutex> lock(reg.mutex);
    auto it = reg.area_handles.find(area);
    return it == reg.area_handles.end() ? 0 : it->second->size;
}

void UnmapSharedArea(void* view) {
    if (view == nullptr) return;
    Registry& reg = Reg();
    std::lock_guard<std::mutex> lock(reg.mutex);
    auto it = reg.area_views.find(view);
    if (it == reg.area_views.end()) return;
    Area* area = it->second;
    if (--area->views == 0) reg.area_views.erase(it);
    ReleaseAreaIfUnused(reg, area);
}

void CloseSharedArea(AreaHandle area) {
    Registry& reg = Reg();
    std::lock_guard<std::mutex> lock(reg.mutex);
    auto it = reg.area_handles.find(area);
    if (it == reg.area_handles.end()) return;
    Area* a = it->second;
    if (reg.spare_handle_nodes.size() < kSpareHandleNodes) {
        reg.spare_handle_nodes.push_back(reg.area_handles.extract(it));
    } else {
        reg.area_handles.erase(it);
    }
    --a->handles;
    ReleaseAreaIfUnused(reg, a);
}

bool SendMessageTimeout(WindowHandle window, uint32_t message, uintptr_t wparam, intptr_t lparam,
                        uint32_t timeout_ms, intptr_t* result) {
    Registry& reg = Reg();
    std::shared_ptr<Window> target;
    const auto self = std::this_thread::get_id();
    {
        std::lock_guard<std::mutex> lock(reg.mutex);
        auto it = reg.windows.find(window);
        if (it == reg.windows.end()) {
            SetLastError(kErrorInvalidWindow);
            return false;
        }
        auto fault = reg.faults.find(window);
        if (fault != reg.faults.end() && fault->second.count > 0) {
            const uint32_t error = fault->second.error;
            if (--fault->second.count == 0) reg.faults.erase(fault);
            SetLastError(error);
            return false;
        }
        target = it->second;
        target->senders.push_back(self);
    }
    const auto start = std::chrono::steady_clock::now();
    const intptr_t answer = target->proc(target->context, message, wparam, lparam);
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start);
    {
        std::lock_guard<std::mutex> lock(reg.mutex);
        target->senders.erase(std::find(target->senders.begin(), target->senders.end(), self));
    }
    reg.send_done.notify_all();
    if (elapsed > std::chrono::milliseconds(timeout_ms)) {
        // The handler ran, but later than the caller was willing to wait.
        SetLastError(kErrorTimeout);
        return false;
    }
    if (result) *result = answer;
    return true;
}

uint32_t LastError() {
    return t_last_error;
}

void SetLastError(uint32_t error) {
    t_last_error = error;
}

uint32_t CurrentProcessId() {
    return static_cast<uint32_t>(::getpid());
}

void InjectSendFailures(WindowHandle window, uint32_t count, uint32_t error) {
    Registry& reg = Reg();
    std::lock_guard<std::mutex> lock(reg.mutex);
    if (count == 0) {
        reg.faults.erase(window);
    } else {
        reg.faults[window] = Fault{count, error};
    }
}

}  // namespace zu::platform
