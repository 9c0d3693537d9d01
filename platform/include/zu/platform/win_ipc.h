// The window-message transport that the simulator's FSUIPC module offers,
// in-process: top-level windows found by class name, registered window
// messages, global atoms, named shared areas and a blocking send with
// time-out that delivers to the window's handler.
//
// The simulator stand-in creates a window of class "FS98MAIN" (and, as
// configured, "UIPCMAIN") whose handler serves requests; the module's FSUIPC
// client finds it and talks to it through these functions. Everything lives
// in this shared library, so the module and the host see one registry.
//
// All functions are thread-safe. Handles and atoms are never 0 when valid.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zu::platform {

using WindowHandle = uint64_t;  // 0: none
using WindowProc = intptr_t (*)(void* context, uint32_t message, uintptr_t wparam, intptr_t lparam);

WindowHandle CreateTopLevelWindow(const char* class_name, WindowProc proc, void* context);
// Waits for sends to that window in progress on other threads, so its
// context may be freed afterwards; pending injected failures are dropped.
void DestroyTopLevelWindow(WindowHandle window);
// The most recently created window of that class, or 0.
WindowHandle FindTopLevelWindow(const char* class_name);

// Returns the same number (0xC000..0xFFFF) for the same name (case-insensitive), 0 on failure.
uint32_t RegisterWindowMessage(const char* name);

// Global atoms: reference-counted names (case-insensitive); 0 on failure.
uint16_t GlobalAddAtom(const char* name);
void GlobalDeleteAtom(uint16_t atom);
// Copies the atom's name (truncated to out_size - 1 characters, always
// terminated); returns the number of characters copied, 0 for an unknown atom.
// "#nnnn" names (nnnn in 1..0xBFFF) are integer atoms: GlobalAddAtom returns
// nnnn itself and they are not reference-counted.
uint32_t GlobalGetAtomName(uint16_t atom, char* out, uint32_t out_size);

// Named shared areas (page-file mappings). Create returns 0 on failure and
// sets *already_existed when the name was taken (the existing area is then
// returned, as the system does, and the caller decides; LastError() is then
// kErrorAlreadyExists, otherwise 0). Names are case-sensitive, as kernel
// object names are; a null or empty name makes an anonymous area. New memory
// is zero-filled. The memory lives while any handle or view refers to it; the
// name is released when the last handle is closed. In-process, every view of
// an area is the same address.
using AreaHandle = uint64_t;
AreaHandle CreateSharedArea(const char* name, uint32_t size, bool* already_existed);
AreaHandle OpenSharedArea(const char* name);  // 0 when none
void* MapSharedArea(AreaHandle area);         // null on failure
uint32_t SharedAreaSize(AreaHandle area);
void UnmapSharedArea(void* view);
void CloseSharedArea(AreaHandle area);

// Sends a message and waits for the handler's answer. Returns false when the
// window does not exist, the handler did not answer within `timeout_ms` or an
// injected fault fails the send; LastError() then tells why (0: time-out
// without a system error). The handler is called synchronously on the calling
// thread; when it took longer than `timeout_ms` it has run, but the send
// reports kErrorTimeout and *result is not set. On success LastError() is
// left as it was.
bool SendMessageTimeout(WindowHandle window, uint32_t message, uintptr_t wparam, intptr_t lparam,
                        uint32_t timeout_ms, intptr_t* result);

uint32_t LastError();  // of the calling thread
void SetLastError(uint32_t error);
uint32_t CurrentProcessId();

inline constexpr uint32_t kErrorFileNotFound = 2;       // OpenSharedArea: no such name
inline constexpr uint32_t kErrorInvalidHandle = 6;      // unknown area handle or atom
inline constexpr uint32_t kErrorNotEnoughMemory = 8;    // atom table full
inline constexpr uint32_t kErrorInvalidParameter = 87;  // null/empty name, size 0
inline constexpr uint32_t kErrorAlreadyExists = 183;    // CreateSharedArea found the name
inline constexpr uint32_t kErrorInvalidWindow = 1400;
inline constexpr uint32_t kErrorTimeout = 1460;

// Test hook: the next `count` sends to `window` fail with `error` (0 makes
// them look like a time-out without a system error).
void InjectSendFailures(WindowHandle window, uint32_t count, uint32_t error);

}  // namespace zu::platform
