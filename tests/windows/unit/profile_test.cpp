// The registry profile, on Wine's real registry, under a company key of
// this run's own that the tests delete afterwards.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "framework/windows/win_app.h"

namespace wendrel {
namespace {

class ProfileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        m_company = "Wendrel Test " + std::to_string(GetCurrentProcessId()) + "-" +
                    std::to_string(GetTickCount());
        m_app.SetRegistryKey(m_company.c_str());
        m_app.m_strAppName = "wendrel";
    }
    void TearDown() override {
        HKEY hSoftware = nullptr;
        ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "software", 0, KEY_ALL_ACCESS, &hSoftware),
                  ERROR_SUCCESS);
        RegDeleteTreeA(hSoftware, m_company.c_str());
        RegCloseKey(hSoftware);
    }

    std::string SectionPath(const std::string& app = "wendrel") const {
        return "software\\" + m_company + "\\" + app + "\\LEAF";
    }

    // Stores a value of any type and size directly.
    void Store(DWORD type, const void* data, DWORD size) {
        HKEY hKey = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, SectionPath().c_str(), 0, nullptr, 0,
                                  KEY_WRITE, nullptr, &hKey, nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExA(hKey, "NoDirect", 0, type, static_cast<const BYTE*>(data), size),
                  ERROR_SUCCESS);
        RegCloseKey(hKey);
    }

    int Read(int nDefault = 0) {
        return static_cast<int>(m_app.GetProfileInt("LEAF", "NoDirect", nDefault));
    }

    std::string m_company;
    CWinApp m_app;
};

TEST_F(ProfileTest, NoValueReadsTheDefaultAndLeavesTheKeyPathBehind) {
    HKEY hKey = nullptr;
    ASSERT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, SectionPath().c_str(), 0, KEY_READ, &hKey),
              ERROR_SUCCESS);
    EXPECT_EQ(Read(0), 0);
    EXPECT_EQ(Read(42), 42);
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, SectionPath().c_str(), 0, KEY_READ, &hKey),
              ERROR_SUCCESS);
    DWORD values = 99;
    RegQueryInfoKeyA(hKey, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr,
                     nullptr, nullptr, nullptr);
    RegCloseKey(hKey);
    EXPECT_EQ(values, 0u);
}

TEST_F(ProfileTest, WrittenValuesReadBackAsFourByteDwords) {
    for (int value : {0, 1, 7, -5}) {
        SCOPED_TRACE(value);
        ASSERT_TRUE(m_app.WriteProfileInt("LEAF", "NoDirect", value));
        EXPECT_EQ(Read(123), value);

        HKEY hKey = nullptr;
        ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, SectionPath().c_str(), 0, KEY_READ, &hKey),
                  ERROR_SUCCESS);
        DWORD type = 0;
        std::uint8_t data[16] = {};
        DWORD size = sizeof data;
        ASSERT_EQ(RegQueryValueExA(hKey, "NoDirect", nullptr, &type, data, &size), ERROR_SUCCESS);
        RegCloseKey(hKey);
        EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
        EXPECT_EQ(size, 4u);
    }
}

TEST_F(ProfileTest, LongerValuesOfAnyTypeReadAsTheDefault) {
    const char text[] = "hello";
    Store(REG_SZ, text, sizeof text);
    EXPECT_EQ(Read(9), 9);
    const std::uint64_t wide = 1;
    Store(REG_QWORD, &wide, sizeof wide);
    EXPECT_EQ(Read(9), 9);
    const std::uint8_t eight[8] = {1, 0, 0, 0, 0, 0, 0, 0};
    Store(REG_BINARY, eight, sizeof eight);
    EXPECT_EQ(Read(9), 9);
}

TEST_F(ProfileTest, TheTypeOfShortValuesIsNotLookedAt) {
    const std::uint8_t four[4] = {7, 0, 0, 0};
    Store(REG_BINARY, four, sizeof four);
    EXPECT_EQ(Read(9), 7);
    const char text[] = "ab";
    Store(REG_SZ, text, sizeof text);
    EXPECT_EQ(Read(9), 'a' | ('b' << 8));
}

TEST_F(ProfileTest, TwoApplicationNamesKeepSeparateSettings) {
    CWinApp other;
    other.SetRegistryKey(m_company.c_str());
    other.m_strAppName = "wendrel-copy";
    ASSERT_TRUE(m_app.WriteProfileInt("LEAF", "NoDirect", 1));
    EXPECT_EQ(other.GetProfileInt("LEAF", "NoDirect", 0), 0u);
    ASSERT_TRUE(other.WriteProfileInt("LEAF", "NoDirect", 7));
    EXPECT_EQ(Read(), 1);
    EXPECT_EQ(other.GetProfileInt("LEAF", "NoDirect", 0), 7u);
    HKEY hKey = nullptr;
    ASSERT_EQ(
        RegOpenKeyExA(HKEY_CURRENT_USER, SectionPath("wendrel-copy").c_str(), 0, KEY_READ, &hKey),
        ERROR_SUCCESS);
    RegCloseKey(hKey);
}

TEST_F(ProfileTest, WithoutARegistryKeyNothingIsStored) {
    CWinApp bare;
    bare.m_strAppName = "wendrel";
    EXPECT_FALSE(bare.WriteProfileInt("LEAF", "NoDirect", 1));
    EXPECT_EQ(bare.GetProfileInt("LEAF", "NoDirect", 3), 3u);
}

}  // namespace
}  // namespace wendrel
