// KSMON's load check and unload. This program does not link KSMON: it loads and unloads it
// itself, and runs a helper with a stand-in core library of a chosen version preloaded.

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <kestrune.h>
#include <ksmon.h>

#include <cstdio>
#include <string>

namespace {

using MonitorData = decltype(&RS_MonitorData);

std::string Run(const std::string& command) {
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return out;
    char buf[256];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, pipe)) > 0) out.append(buf, n);
    pclose(pipe);
    return out;
}

std::string LoadWithCoreVersion(int version) {
    return Run("KESTRUNE_STUB_VERSION=" + std::to_string(version) + " LD_PRELOAD='" +
               KSMON_TEST_OLDCORE + "' '" + KSMON_TEST_LOADCHECK + "' '" + KSMON_LIBRARY +
               "' 2>&1");
}

TEST(KsmonLoad, CoreOlderThan1280IsRefused) {
    std::string out = LoadWithCoreVersion(1279);
    EXPECT_NE(out.find("NOTE: Incompatible KESTRUNE.DLL !"), std::string::npos) << out;
    EXPECT_NE(out.find("start=0 fill=0 value=0"), std::string::npos) << out;
}

TEST(KsmonLoad, Core1280IsAccepted) {
    std::string out = LoadWithCoreVersion(1280);
    EXPECT_EQ(out.find("Incompatible"), std::string::npos) << out;
    EXPECT_NE(out.find("start=1 fill=1 value=0"), std::string::npos) << out;
}

int g_seen = 0;
void KESTRUNE_CALL Count(int, int, const unsigned char*, int) {
    ++g_seen;
}

TEST(KsmonUnload, UnloadStopsEveryPort) {
    ASSERT_EQ(KestruneOpenLoopback(7, 8), KESTRUNE_OK);
    ASSERT_EQ(KestruneOpenLoopback(255, 254), KESTRUNE_OK);
    void* library = dlopen(KSMON_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    auto monitor = reinterpret_cast<MonitorData>(dlsym(library, "RS_MonitorData"));
    ASSERT_NE(monitor, nullptr);
    for (int port : {7, 255}) {
        int32_t mode = RS_MONITOR_HEX;
        ASSERT_EQ(monitor(port, RS_MONITOR_START, nullptr, &mode), 1);
        ASSERT_EQ(KestruneWrite(port, "abc", 3), 3);
        int32_t fill = 0;
        ASSERT_EQ(monitor(port, RS_MONITOR_FILL, nullptr, &fill), 1);
        EXPECT_GT(fill, 0);
    }
    ASSERT_EQ(dlclose(library), 0);
    EXPECT_EQ(dlopen(KSMON_LIBRARY, RTLD_NOW | RTLD_NOLOAD), nullptr);  // really gone

    // Traffic after the unload reaches no stale callback, and each port takes a new monitor.
    auto install = reinterpret_cast<KestruneMonitorProc>(KestruneFunction(155));
    for (int port : {7, 255}) {
        EXPECT_EQ(KestruneWrite(port, "x", 1), 1);
        KestruneMonitorRecord reg{};
        reg.kind = KESTRUNE_MONITOR_KIND;
        reg.callback = &Count;
        EXPECT_EQ(install(port, &reg), 1) << port;
        g_seen = 0;
        EXPECT_EQ(KestruneWrite(port, "y", 1), 1);
        EXPECT_EQ(g_seen, 1);
    }
    for (int port : {7, 8, 255, 254}) KestruneClose(port);
}

TEST(KsmonUnload, ReloadStartsWithNoPortMonitored) {
    ASSERT_EQ(KestruneOpenLoopback(9, 10), KESTRUNE_OK);
    for (int round = 0; round < 2; ++round) {
        void* library = dlopen(KSMON_LIBRARY, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(library, nullptr);
        auto monitor = reinterpret_cast<MonitorData>(dlsym(library, "RS_MonitorData"));
        int32_t fill = 9;
        EXPECT_EQ(monitor(9, RS_MONITOR_FILL, nullptr, &fill), 0);
        EXPECT_EQ(monitor(9, RS_MONITOR_START, nullptr, nullptr), 1);
        dlclose(library);
    }
    KestruneClose(9);
    KestruneClose(10);
}

}  // namespace
