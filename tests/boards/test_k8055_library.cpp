#include <QString>
#include <dlfcn.h>
#include <gtest/gtest.h>

// The built board library as the program loads it: by file, with every entry
// point found by name. No board is plugged in where the tests run, so every
// call must come back with -1 at once, and none may hang.
namespace {

const char* const EntryPoints[] = {
    "OpenDevice",          "CloseDevice",       "ReadAnalogChannel",  "ReadAllAnalog",
    "OutputAnalogChannel", "OutputAllAnalog",   "ClearAnalogChannel", "ClearAllAnalog",
    "SetAnalogChannel",    "SetAllAnalog",      "WriteAllDigital",    "ClearDigitalChannel",
    "ClearAllDigital",     "SetDigitalChannel", "SetAllDigital",      "ReadDigitalChannel",
    "ReadAllDigital",      "ReadCounter",       "ResetCounter",       "SetCounterDebounceTime",
};

class K8055Library : public ::testing::Test {
  protected:
    void SetUp() override {
        handle = dlopen(SPURWERK_BINARY_DIR "/libspurwerk_k8055.so", RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(handle, nullptr) << dlerror();
    }
    void TearDown() override {
        if (handle) dlclose(handle);
    }
    template <class Fn> Fn Entry(const char* name) {
        return reinterpret_cast<Fn>(dlsym(handle, name));
    }

    void* handle = nullptr;
};

} // namespace

TEST_F(K8055Library, ExportsTheTwentyEntryPointsAndHidesItsInnards) {
    for (const char* name : EntryPoints)
        EXPECT_NE(dlsym(handle, name), nullptr) << name;
    // The protocol code is linked in but not exported, so it cannot clash with
    // another board library loaded into the same process.
    EXPECT_EQ(dlsym(handle, "_ZN5k805511BuildReportENS_7CommandERKNS_7OutputsE"), nullptr);
}

TEST_F(K8055Library, WithoutABoardEveryCallFailsAtOnce) {
    using NoArg = long (*)();
    using OneArg = long (*)(long);
    using TwoArg = long (*)(long, long);
    using Analog = long (*)(long*, long*);
    const auto open = Entry<OneArg>("OpenDevice");
    ASSERT_NE(open, nullptr);
    for (const long card : {0L, 1L, 2L, 3L, -1L, 4L})
        EXPECT_EQ(open(card), -1) << card;
    EXPECT_EQ(Entry<NoArg>("CloseDevice")(), -1);
    EXPECT_EQ(Entry<NoArg>("ReadAllDigital")(), -1);
    EXPECT_EQ(Entry<OneArg>("ReadCounter")(1), -1);
    EXPECT_EQ(Entry<TwoArg>("OutputAnalogChannel")(1, 128), -1);
    EXPECT_EQ(Entry<NoArg>("ClearAllDigital")(), -1);
    long a1 = 7, a2 = 7;
    EXPECT_EQ(Entry<Analog>("ReadAllAnalog")(&a1, &a2), -1);
    EXPECT_EQ(Entry<Analog>("ReadAllAnalog")(nullptr, nullptr), -1);
    EXPECT_EQ(a1, 7);
}
