#include "zu/platform/win_ipc.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace zu::platform {
namespace {

TEST(WinIpcTest, RegisteredMessagesAreStableAndCaseInsensitive) {
    const uint32_t a = RegisterWindowMessage("FsasmLib:IPC");
    EXPECT_GE(a, 0xC000u);
    EXPECT_LE(a, 0xFFFFu);
    EXPECT_EQ(RegisterWindowMessage("FSASMLIB:ipc"), a);
    const uint32_t b = RegisterWindowMessage("ZuTest:Other message");
    EXPECT_NE(b, a);
    EXPECT_GE(b, 0xC000u);
    EXPECT_EQ(RegisterWindowMessage(nullptr), 0u);
    EXPECT_EQ(RegisterWindowMessage(""), 0u);
}

TEST(WinIpcTest, AtomsAreReferenceCountedAndCaseInsensitive) {
    const uint16_t atom = GlobalAddAtom("FsasmLib:IPC:zu:1");
    ASSERT_GE(atom, 0xC000u);
    EXPECT_EQ(GlobalAddAtom("FSASMLIB:ipc:ZU:1"), atom);
    char name[64];
    EXPECT_EQ(GlobalGetAtomName(atom, name, sizeof name), std::strlen("FsasmLib:IPC:zu:1"));
    EXPECT_STREQ(name, "FsasmLib:IPC:zu:1");
    char small[5];
    EXPECT_EQ(GlobalGetAtomName(atom, small, sizeof small), 4u);
    EXPECT_STREQ(small, "Fsas");

    GlobalDeleteAtom(atom);  // one reference left
    EXPECT_EQ(GlobalGetAtomName(atom, name, sizeof name), std::strlen("FsasmLib:IPC:zu:1"));
    GlobalDeleteAtom(atom);  // gone
    EXPECT_EQ(GlobalGetAtomName(atom, name, sizeof name), 0u);

    const uint16_t other = GlobalAddAtom("ZuTest:another");
    EXPECT_NE(other, 0u);
    GlobalDeleteAtom(other);
    EXPECT_EQ(GlobalAddAtom(nullptr), 0u);
    EXPECT_EQ(GlobalAddAtom(""), 0u);
    EXPECT_EQ(GlobalAddAtom(std::string(256, 'x').c_str()), 0u);
    // Integer atoms.
    EXPECT_EQ(GlobalAddAtom("#123"), 123u);
    EXPECT_EQ(GlobalGetAtomName(123, name, sizeof name), 4u);
    EXPECT_STREQ(name, "#123");
}

TEST(WinIpcTest, SharedAreaIsSharedBetweenCreateAndOpen) {
    bool existed = true;
    const AreaHandle created = CreateSharedArea("ZuTest:Area", 4096, &existed);
    ASSERT_NE(created, 0u);
    EXPECT_FALSE(existed);
    EXPECT_EQ(LastError(), 0u);
    EXPECT_EQ(SharedAreaSize(created), 4096u);
    auto* view = static_cast<uint8_t*>(MapSharedArea(created));
    ASSERT_NE(view, nullptr);
    for (int i = 0; i < 4096; ++i) ASSERT_EQ(view[i], 0) << "not zero-filled at " << i;
    std::memcpy(view, "hello", 6);

    const AreaHandle opened = OpenSharedArea("ZuTest:Area");
    ASSERT_NE(opened, 0u);
    auto* other = static_cast<char*>(MapSharedArea(opened));
    ASSERT_NE(other, nullptr);
    EXPECT_STREQ(other, "hello");

    const AreaHandle again = CreateSharedArea("ZuTest:Area", 100, &existed);
    ASSERT_NE(again, 0u);
    EXPECT_TRUE(existed);
    EXPECT_EQ(LastError(), kErrorAlreadyExists);
    EXPECT_EQ(SharedAreaSize(again), 4096u);
    auto* third = static_cast<char*>(MapSharedArea(again));
    EXPECT_STREQ(third, "hello");
    UnmapSharedArea(third);
    CloseSharedArea(again);

    // The area lives while a view refers to it, even when every handle is closed.
    CloseSharedArea(created);
    CloseSharedArea(opened);
    EXPECT_EQ(SharedAreaSize(created), 0u);
    EXPECT_EQ(MapSharedArea(created), nullptr);
    EXPECT_STREQ(other, "hello");
    UnmapSharedArea(other);
    EXPECT_STREQ(reinterpret_cast<char*>(view), "hello");
    UnmapSharedArea(view);

    // The name was released: a new area starts zeroed.
    EXPECT_EQ(OpenSharedArea("ZuTest:Area"), 0u);
    EXPECT_EQ(LastError(), kErrorFileNotFound);
    const AreaHandle fresh = CreateSharedArea("ZuTest:Area", 16, &existed);
    EXPECT_FALSE(existed);
    auto* fresh_view = static_cast<uint8_t*>(MapSharedArea(fresh));
    EXPECT_EQ(fresh_view[0], 0);
    UnmapSharedArea(fresh_view);
    CloseSharedArea(fresh);

    EXPECT_EQ(CreateSharedArea("ZuTest:Zero", 0, nullptr), 0u);
    EXPECT_EQ(OpenSharedArea("ZuTest:Never"), 0u);
}

struct Server {
    std::atomic<int> calls{0};
    uint32_t message = 0;
};

intptr_t ServerProc(void* context, uint32_t message, uintptr_t wparam, intptr_t lparam) {
    auto* server = static_cast<Server*>(context);
    ++server->calls;
    if (message != server->message) return -1;
    // Like FS98MAIN: look up the area through the atom's name and answer in it.
    char name[256];
    if (GlobalGetAtomName(static_cast<uint16_t>(wparam), name, sizeof name) == 0) return 0;
    AreaHandle area = OpenSharedArea(name);
    if (area == 0) return 0;
    auto* data = static_cast<int32_t*>(MapSharedArea(area));
    data[1] = data[0] * 2;
    UnmapSharedArea(data);
    CloseSharedArea(area);
    return 1 + lparam;
}

TEST(WinIpcTest, SendDeliversToTheHandler) {
    Server server;
    server.message = RegisterWindowMessage("ZuTest:Request");
    const WindowHandle window = CreateTopLevelWindow("ZuTestMain", ServerProc, &server);
    ASSERT_NE(window, 0u);
    EXPECT_EQ(FindTopLevelWindow("zutestmain"), window);

    const std::string area_name = "ZuTest:IPC:" + std::to_string(CurrentProcessId()) + ":1";
    const AreaHandle area = CreateSharedArea(area_name.c_str(), 64, nullptr);
    auto* data = static_cast<int32_t*>(MapSharedArea(area));
    data[0] = 21;
    const uint16_t atom = GlobalAddAtom(area_name.c_str());

    intptr_t result = 0;
    ASSERT_TRUE(SendMessageTimeout(window, server.message, atom, 10, 2000, &result));
    EXPECT_EQ(result, 11);
    EXPECT_EQ(data[1], 42);
    EXPECT_EQ(server.calls.load(), 1);

    // Sends from several threads at once.
    std::vector<std::thread> threads;
    std::atomic<int> ok{0};
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 100; ++i) {
                intptr_t r = 0;
                if (SendMessageTimeout(window, server.message + 0, 0, 0, 2000, &r)) ++ok;
            }
        });
    }
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(ok.load(), 400);
    EXPECT_EQ(server.calls.load(), 401);

    GlobalDeleteAtom(atom);
    UnmapSharedArea(data);
    CloseSharedArea(area);
    DestroyTopLevelWindow(window);
    EXPECT_EQ(FindTopLevelWindow("ZuTestMain"), 0u);
}

TEST(WinIpcTest, FindReturnsTheMostRecentWindowOfTheClass) {
    Server server;
    const WindowHandle first = CreateTopLevelWindow("ZuTestRecent", ServerProc, &server);
    const WindowHandle second = CreateTopLevelWindow("ZuTestRecent", ServerProc, &server);
    EXPECT_NE(first, second);
    EXPECT_EQ(FindTopLevelWindow("ZUTESTRECENT"), second);
    DestroyTopLevelWindow(second);
    EXPECT_EQ(FindTopLevelWindow("ZuTestRecent"), first);
    DestroyTopLevelWindow(first);
    EXPECT_EQ(FindTopLevelWindow("ZuTestRecent"), 0u);
    EXPECT_EQ(CreateTopLevelWindow("ZuTestRecent", nullptr, nullptr), 0u);
}

TEST(WinIpcTest, MissingWindow) {
    EXPECT_EQ(FindTopLevelWindow("ZuTestNoSuchClass"), 0u);
    intptr_t result = 77;
    SetLastError(0);
    EXPECT_FALSE(SendMessageTimeout(0, 0xC000, 0, 0, 100, &result));
    EXPECT_EQ(LastError(), kErrorInvalidWindow);
    EXPECT_FALSE(SendMessageTimeout(0xFFFFFFF0u, 0xC000, 0, 0, 100, &result));
    EXPECT_EQ(LastError(), kErrorInvalidWindow);
    EXPECT_EQ(result, 77);
}

TEST(WinIpcTest, InjectedFailuresWithAndWithoutErrorCode) {
    Server server;
    server.message = RegisterWindowMessage("ZuTest:Request");
    const WindowHandle window = CreateTopLevelWindow("ZuTestFaults", ServerProc, &server);
    intptr_t result = 0;

    InjectSendFailures(window, 2, 0);
    SetLastError(1234);
    EXPECT_FALSE(SendMessageTimeout(window, 1, 0, 0, 100, &result));
    EXPECT_EQ(LastError(), 0u);  // time-out without a system error
    SetLastError(1234);
    EXPECT_FALSE(SendMessageTimeout(window, 1, 0, 0, 100, &result));
    EXPECT_EQ(LastError(), 0u);
    EXPECT_EQ(server.calls.load(), 0);
    EXPECT_TRUE(SendMessageTimeout(window, 1, 0, 0, 100, &result));
    EXPECT_EQ(server.calls.load(), 1);

    InjectSendFailures(window, 1, kErrorTimeout);
    EXPECT_FALSE(SendMessageTimeout(window, 1, 0, 0, 100, &result));
    EXPECT_EQ(LastError(), kErrorTimeout);
    EXPECT_TRUE(SendMessageTimeout(window, 1, 0, 0, 100, &result));

    InjectSendFailures(window, 5, 5);
    InjectSendFailures(window, 0, 0);  // cleared
    EXPECT_TRUE(SendMessageTimeout(window, 1, 0, 0, 100, &result));
    EXPECT_EQ(server.calls.load(), 3);
    DestroyTopLevelWindow(window);
}

intptr_t SlowProc(void*, uint32_t, uintptr_t, intptr_t) {
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    return 5;
}

TEST(WinIpcTest, SlowHandlerReportsTimeOut) {
    const WindowHandle window = CreateTopLevelWindow("ZuTestSlow", SlowProc, nullptr);
    intptr_t result = 0;
    EXPECT_FALSE(SendMessageTimeout(window, 1, 0, 0, 10, &result));
    EXPECT_EQ(LastError(), kErrorTimeout);
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(SendMessageTimeout(window, 1, 0, 0, 5000, &result));
    EXPECT_EQ(result, 5);
    DestroyTopLevelWindow(window);
}

TEST(WinIpcTest, LastErrorIsPerThread) {
    SetLastError(42);
    uint32_t other = 1;
    std::thread([&] {
        other = LastError();
        SetLastError(7);
    }).join();
    EXPECT_EQ(other, 0u);
    EXPECT_EQ(LastError(), 42u);
    EXPECT_EQ(CurrentProcessId(), static_cast<uint32_t>(::getpid()));
}

}  // namespace
}  // namespace zu::platform
