// Game controllers on the kernel's event interface, or a scripted stick
// (see joystick.h).
#include "zu/platform/joystick.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/input.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

namespace zu::platform {
namespace {

constexpr int kMaxHandles = 4;
constexpr int kScriptedAxes = 8;
constexpr int32_t kScriptedLimit = 16383;

struct Device {
    bool used = false;
    JoystickKind kind = JoystickKind::kNone;
    int fd = -1;
    bool acquired = false;
    int32_t range_min = -kScriptedLimit;
    int32_t range_max = kScriptedLimit;
    // evdev: which absolute axes exist; the two slider codes (-1: none).
    std::array<bool, 6> has_axis{};
    int slider_code[2] = {-1, -1};
};

std::mutex mutex;
JoystickKind selected = JoystickKind::kScripted;
std::string evdev_path;
std::array<Device, kMaxHandles> devices;
std::array<int32_t, kScriptedAxes> scripted_axes{};
bool scripted_plugged = true;

bool TestBit(const unsigned long* bits, int bit) {
    constexpr int kBitsPerLong = 8 * sizeof(unsigned long);
    return (bits[bit / kBitsPerLong] >> (bit % kBitsPerLong)) & 1UL;
}

struct Capabilities {
    unsigned long abs[(ABS_MAX + 1 + 63) / 64] = {};
    unsigned long key[(KEY_MAX + 1 + 63) / 64] = {};
};

bool ReadCapabilities(int fd, Capabilities* caps) {
    return ::ioctl(fd, EVIOCGBIT(EV_ABS, sizeof caps->abs), caps->abs) >= 0 &&
           ::ioctl(fd, EVIOCGBIT(EV_KEY, sizeof caps->key), caps->key) >= 0;
}

bool IsJoystick(const Capabilities& caps) {
    if (!TestBit(caps.abs, ABS_X) || !TestBit(caps.abs, ABS_Y)) return false;
    for (int b = BTN_JOYSTICK; b < BTN_JOYSTICK + 16; ++b) {
        if (TestBit(caps.key, b)) return true;
    }
    for (int b = BTN_GAMEPAD; b < BTN_GAMEPAD + 16; ++b) {
        if (TestBit(caps.key, b)) return true;
    }
    return false;
}

// The event devices in number order.
std::vector<std::string> ListEventDevices() {
    std::vector<std::pair<int, std::string>> found;
    if (DIR* dir = ::opendir("/dev/input")) {
        while (const dirent* e = ::readdir(dir)) {
            int n = 0;
            if (std::sscanf(e->d_name, "event%d", &n) == 1) {
                found.emplace_back(n, std::string("/dev/input/") + e->d_name);
            }
        }
        ::closedir(dir);
    }
    std::sort(found.begin(), found.end());
    std::vector<std::string> out;
    for (auto& f : found) out.push_back(std::move(f.second));
    return out;
}

int32_t OpenEvdev(Device* d) {
    std::vector<std::string> candidates;
    if (!evdev_path.empty()) {
        candidates.push_back(evdev_path);
    } else {
        candidates = ListEventDevices();
    }
    for (const std::string& path : candidates) {
        const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) continue;
        Capabilities caps;
        if (ReadCapabilities(fd, &caps) && (IsJoystick(caps) || !evdev_path.empty())) {
            d->fd = fd;
            for (int a = 0; a < 6; ++a) d->has_axis[a] = TestBit(caps.abs, ABS_X + a);
            int s = 0;
            for (int code = ABS_RZ + 1; code < ABS_HAT0X && s < 2; ++code) {
                if (TestBit(caps.abs, code)) d->slider_code[s++] = code;
            }
            return kJoystickOk;
        }
        ::close(fd);
    }
    return kJoystickNoDevice;
}

Device* Find(JoystickHandle h) {
    if (h == 0 || h > kMaxHandles) return nullptr;
    Device& d = devices[h - 1];
    return d.used ? &d : nullptr;
}

// Maps `v` from lo..hi onto the device's range.
int32_t MapRange(const Device& d, int64_t v, int64_t lo, int64_t hi) {
    if (hi <= lo) return 0;
    v = std::clamp<int64_t>(v, lo, hi);
    const int64_t span = static_cast<int64_t>(d.range_max) - d.range_min;
    return static_cast<int32_t>(d.range_min + ((v - lo) * span + (hi - lo) / 2) / (hi - lo));
}

bool EvdevAxis(const Device& d, int code, int32_t* out) {
    input_absinfo info{};
    if (::ioctl(d.fd, EVIOCGABS(code), &info) < 0) return false;
    *out = MapRange(d, info.value, info.minimum, info.maximum);
    return true;
}

int32_t ReadEvdev(const Device& d, JoystickState* s) {
    int32_t* axes[6] = {&s->lX, &s->lY, &s->lZ, &s->lRx, &s->lRy, &s->lRz};
    for (int a = 0; a < 6; ++a) {
        if (d.has_axis[a] && !EvdevAxis(d, ABS_X + a, axes[a])) return kJoystickReadFailed;
    }
    for (int i = 0; i < 2; ++i) {
        if (d.slider_code[i] >= 0 && !EvdevAxis(d, d.slider_code[i], &s->rglSlider[i])) {
            return kJoystickReadFailed;
        }
    }
    return kJoystickOk;
}

void ReadScripted(const Device& d, JoystickState* s) {
    int32_t* axes[kScriptedAxes] = {&s->lX,  &s->lY,  &s->lZ,           &s->lRx,
                                    &s->lRy, &s->lRz, &s->rglSlider[0], &s->rglSlider[1]};
    for (int a = 0; a < kScriptedAxes; ++a) {
        *axes[a] = MapRange(d, scripted_axes[a], -kScriptedLimit, kScriptedLimit);
    }
}

// A call on a device that is present (scripted: plugged in).
int32_t Present(const Device& d) {
    if (d.kind == JoystickKind::kScripted && !scripted_plugged) return kJoystickNoDevice;
    return kJoystickOk;
}

}  // namespace

void SelectJoystick(JoystickKind kind, const std::string& path) {
    std::lock_guard lock(mutex);
    selected = kind;
    evdev_path = path;
}

int32_t JoystickOpen(JoystickHandle* handle) {
    if (handle == nullptr) return kJoystickBadHandle;
    *handle = 0;
    std::lock_guard lock(mutex);
    auto free_slot =
        std::find_if(devices.begin(), devices.end(), [](const Device& d) { return !d.used; });
    if (free_slot == devices.end()) return kJoystickNoDevice;
    Device d;
    d.kind = selected;
    switch (selected) {
        case JoystickKind::kNone:
            return kJoystickNoDevice;
        case JoystickKind::kScripted:
            if (!scripted_plugged) return kJoystickNoDevice;
            break;
        case JoystickKind::kEvdev:
            if (int32_t r = OpenEvdev(&d); r < 0) return r;
            break;
    }
    d.used = true;
    *free_slot = d;
    *handle = static_cast<JoystickHandle>(free_slot - devices.begin() + 1);
    return kJoystickOk;
}

int32_t JoystickSetRange(JoystickHandle h, int32_t min, int32_t max) {
    std::lock_guard lock(mutex);
    Device* d = Find(h);
    if (d == nullptr || max <= min) return kJoystickBadHandle;
    if (int32_t r = Present(*d); r < 0) return r;
    d->range_min = min;
    d->range_max = max;
    return kJoystickOk;
}

int32_t JoystickAcquire(JoystickHandle h) {
    std::lock_guard lock(mutex);
    Device* d = Find(h);
    if (d == nullptr) return kJoystickBadHandle;
    if (int32_t r = Present(*d); r < 0) return r;
    d->acquired = true;
    return kJoystickOk;
}

int32_t JoystickUnacquire(JoystickHandle h) {
    std::lock_guard lock(mutex);
    Device* d = Find(h);
    if (d == nullptr) return kJoystickBadHandle;
    d->acquired = false;
    return kJoystickOk;
}

int32_t JoystickPoll(JoystickHandle h) {
    std::lock_guard lock(mutex);
    Device* d = Find(h);
    if (d == nullptr) return kJoystickBadHandle;
    if (int32_t r = Present(*d); r < 0) {
        d->acquired = false;  // a device that went away must be taken again
        return r;
    }
    return d->acquired ? kJoystickOk : kJoystickNotAcquired;
}

int32_t JoystickGetState(JoystickHandle h, JoystickState* state) {
    std::lock_guard lock(mutex);
    Device* d = Find(h);
    if (d == nullptr || state == nullptr) return kJoystickBadHandle;
    if (int32_t r = Present(*d); r < 0) return r;
    if (!d->acquired) return kJoystickNotAcquired;
    JoystickState s{};
    std::fill(std::begin(s.rgdwPOV), std::end(s.rgdwPOV), 0xFFFFFFFFu);
    if (d->kind == JoystickKind::kEvdev) {
        if (int32_t r = ReadEvdev(*d, &s); r < 0) {
            d->acquired = false;
            return r;
        }
    } else {
        ReadScripted(*d, &s);
    }
    *state = s;
    return kJoystickOk;
}

void JoystickClose(JoystickHandle h) {
    std::lock_guard lock(mutex);
    Device* d = Find(h);
    if (d == nullptr) return;
    if (d->fd >= 0) ::close(d->fd);
    *d = Device{};
}

void ScriptedJoystickSetAxis(int axis, int32_t value) {
    if (axis < 0 || axis >= kScriptedAxes) return;
    std::lock_guard lock(mutex);
    scripted_axes[axis] = std::clamp(value, -kScriptedLimit, kScriptedLimit);
}

int32_t ScriptedJoystickAxis(int axis) {
    if (axis < 0 || axis >= kScriptedAxes) return 0;
    std::lock_guard lock(mutex);
    return scripted_axes[axis];
}

void ScriptedJoystickPlug(bool plugged) {
    std::lock_guard lock(mutex);
    scripted_plugged = plugged;
}

bool ScriptedJoystickPlugged() {
    std::lock_guard lock(mutex);
    return scripted_plugged;
}

int ScriptedJoystickOpenHandles() {
    std::lock_guard lock(mutex);
    return static_cast<int>(std::count_if(devices.begin(), devices.end(), [](const Device& d) {
        return d.used && d.kind == JoystickKind::kScripted;
    }));
}

}  // namespace zu::platform
