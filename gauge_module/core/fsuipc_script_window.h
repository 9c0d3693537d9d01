// A scripted FSUIPC window for tests, benchmarks and fuzz targets: a
// top-level window that serves the client's batches from a 64 KB offset
// space held in memory. Reads are answered from `memory`, writes land in it.
// Header-only; not part of the module.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "zu/platform/win_ipc.h"

namespace zu::testing {

struct FsuipcScriptWindow {
    platform::WindowHandle window = 0;
    uint32_t message = 0;
    intptr_t answer = 1;   // what the window answers a batch with
    uint32_t batches = 0;  // batches served
    // The client's library version written to 0x330A (kept apart, as FSUIPC
    // does, so it does not overlay the simulator word at 0x3308).
    uint16_t library_version = 0;
    // Called after a batch was served, with the shared area (32768 bytes).
    void (*after_serve)(FsuipcScriptWindow* self, uint8_t* area) = nullptr;
    void* user = nullptr;
    char area_name[64] = {};
    platform::AreaHandle area = 0;
    uint8_t* view = nullptr;
    uint8_t memory[65536] = {};

    void Set32(uint32_t offset, uint32_t v) { std::memcpy(memory + offset, &v, 4); }
    uint32_t Get32(uint32_t offset) const {
        uint32_t v;
        std::memcpy(&v, memory + offset, 4);
        return v;
    }
    uint16_t Get16(uint32_t offset) const {
        uint16_t v;
        std::memcpy(&v, memory + offset, 2);
        return v;
    }
    void SetText(uint32_t offset, const char* text) {
        const size_t n = std::min<size_t>(std::strlen(text) + 1, 256);
        std::memcpy(memory + offset, text, n);
    }
};

inline uint32_t ScriptLoad32(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

inline void ScriptReleaseArea(FsuipcScriptWindow* s) {
    if (s->view != nullptr) platform::UnmapSharedArea(s->view);
    if (s->area != 0) platform::CloseSharedArea(s->area);
    s->view = nullptr;
    s->area = 0;
    s->area_name[0] = '\0';
}

inline void ScriptServe(FsuipcScriptWindow* s, uint8_t* area) {
    uint32_t pos = 0;
    constexpr uint32_t kArea = 32768;
    while (kArea - pos >= 16) {
        const uint32_t kind = ScriptLoad32(area + pos);
        const uint32_t offset = ScriptLoad32(area + pos + 4);
        const uint32_t size = ScriptLoad32(area + pos + 8);
        if (kind == 1) {
            if (size > kArea - pos - 16) return;
            uint8_t* data = area + pos + 16;
            if (uint64_t{offset} + size <= sizeof s->memory) {
                std::memcpy(data, s->memory + offset, size);
            }
            pos += 16 + size;
        } else if (kind == 2) {
            if (size > kArea - pos - 12) return;
            if (offset == 0x330A && size == 2) {
                std::memcpy(&s->library_version, area + pos + 12, 2);
            } else if (uint64_t{offset} + size <= sizeof s->memory) {
                std::memcpy(s->memory + offset, area + pos + 12, size);
            }
            pos += 12 + size;
        } else {
            return;
        }
    }
}

inline intptr_t ScriptWindowProc(void* context, uint32_t message, uintptr_t wparam, intptr_t) {
    auto* s = static_cast<FsuipcScriptWindow*>(context);
    if (message != s->message) return 0;
    char name[64];
    if (platform::GlobalGetAtomName(static_cast<uint16_t>(wparam), name, sizeof name) == 0) {
        return 0;
    }
    if (s->view == nullptr || std::strcmp(name, s->area_name) != 0) {
        ScriptReleaseArea(s);
        s->area = platform::OpenSharedArea(name);
        if (s->area == 0) return 0;
        s->view = static_cast<uint8_t*>(platform::MapSharedArea(s->area));
        if (s->view == nullptr) return 0;
        std::snprintf(s->area_name, sizeof s->area_name, "%s", name);
    }
    ++s->batches;
    if (s->answer == 1) ScriptServe(s, s->view);
    if (s->after_serve != nullptr) s->after_serve(s, s->view);
    return s->answer;
}

// Opens the window under `class_name` with the version words FSUIPC reports.
inline void ScriptWindowStart(FsuipcScriptWindow* s, const char* class_name,
                              uint32_t fsuipc_version = 0x19990000,
                              uint32_t simulator_word = 0xFADE0007) {
    s->message = platform::RegisterWindowMessage("FsasmLib:IPC");
    s->Set32(0x3304, fsuipc_version);
    s->Set32(0x3308, simulator_word);
    s->window = platform::CreateTopLevelWindow(class_name, ScriptWindowProc, s);
}

inline void ScriptWindowStop(FsuipcScriptWindow* s) {
    if (s->window != 0) platform::DestroyTopLevelWindow(s->window);
    s->window = 0;
    ScriptReleaseArea(s);
}

}  // namespace zu::testing
