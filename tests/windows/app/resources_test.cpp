// The saver's resources as the system and the scene read them.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "scene/leaf_scene.h"
#include "scene/packaged_pictures.h"
#include "scene/saver_core.h"

namespace wendrel {
namespace {

std::vector<std::uint8_t> ReadPicture(const std::string& name) {
    std::string path = WENDREL_PICTURES_DIR;
    path += '/';
    path += name;
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string ResourceText(int id, int type) {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC info = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(type));
    if (info == nullptr)
        return {};
    const char* data = static_cast<const char*>(LockResource(LoadResource(module, info)));
    return std::string(data, SizeofResource(module, info));
}

// Reads a dialog template (DLGTEMPLATE and DLGITEMTEMPLATE records).
class CTemplateReader {
  public:
    explicit CTemplateReader(const std::uint8_t* p) : m_start(p), m_p(p) {}
    std::uint32_t Dword() {
        std::uint32_t v;
        std::memcpy(&v, m_p, 4);
        m_p += 4;
        return v;
    }
    std::uint16_t Word() {
        std::uint16_t v;
        std::memcpy(&v, m_p, 2);
        m_p += 2;
        return v;
    }
    std::int16_t Short() { return static_cast<std::int16_t>(Word()); }
    std::string Text() {
        std::string s;
        for (std::uint16_t c = Word(); c != 0; c = Word())
            s += static_cast<char>(c);
        return s;
    }
    // A name or ordinal: "#n" for an ordinal.
    std::string NameOrOrdinal() {
        std::uint16_t first;
        std::memcpy(&first, m_p, 2);
        if (first == 0xFFFF) {
            Word();
            std::string ordinal = "#";
            ordinal += std::to_string(Word());
            return ordinal;
        }
        return Text();
    }
    void AlignDword() {
        while ((m_p - m_start) % 4 != 0)
            ++m_p;
    }

  private:
    const std::uint8_t* m_start;
    const std::uint8_t* m_p;
};

struct Item {
    std::uint32_t style;
    int x, y, cx, cy;
    std::uint16_t id;
    std::string windowClass, text;
};

TEST(Resources, ConfigurationDialogTemplate) {
    const std::string bytes = ResourceText(133, 5);
    ASSERT_FALSE(bytes.empty());
    CTemplateReader r(reinterpret_cast<const std::uint8_t*>(bytes.data()));
    EXPECT_EQ(r.Dword(), 0x80C800C0u);  // WS_POPUP|WS_CAPTION|WS_SYSMENU|DS_MODALFRAME|DS_SETFONT
    EXPECT_EQ(r.Dword(), 0u);
    const int count = r.Word();
    EXPECT_EQ(r.Short(), 0);
    EXPECT_EQ(r.Short(), 0);
    EXPECT_EQ(r.Short(), 186);
    EXPECT_EQ(r.Short(), 78);
    EXPECT_EQ(r.NameOrOrdinal(), "");  // no menu
    EXPECT_EQ(r.NameOrOrdinal(), "");  // the standard dialog class
    EXPECT_EQ(r.Text(), "Wendrel configuration");
    EXPECT_EQ(r.Word(), 8);
    EXPECT_EQ(r.Text(), "MS Sans Serif");

    const Item expected[] = {
        {0x50010001, 129, 7, 50, 14, 1, "#128", "OK"},
        {0x50010000, 129, 24, 50, 14, 2, "#128", "Cancel"},
        {0x50010003, 7, 44, 88, 10, 1011, "#128", "Do not use &DirectDraw"},
        {0x50010000, 7, 57, 172, 14, 1012, "#128", "&Go to the TAVRIN Software home page"},
        {0x50020000, 41, 14, 66, 8, 0xFFFF, "#130", "Wendrel Version 1.0"},
        {0x50020000, 7, 30, 110, 8, 0xFFFF, "#130", "\xA9 1997 TAVRIN Software"},
        {0x50000003, 7, 7, 21, 20, 0xFFFF, "#130", "#128"},
    };
    ASSERT_EQ(count, 7);
    for (const Item& want : expected) {
        r.AlignDword();
        Item got{};
        got.style = r.Dword();
        EXPECT_EQ(r.Dword(), 0u) << want.text;
        got.x = r.Short();
        got.y = r.Short();
        got.cx = r.Short();
        got.cy = r.Short();
        got.id = r.Word();
        got.windowClass = r.NameOrOrdinal();
        got.text = r.NameOrOrdinal();
        EXPECT_EQ(r.Word(), 0) << want.text;
        EXPECT_EQ(got.style, want.style) << want.text;
        EXPECT_EQ(got.x, want.x) << want.text;
        EXPECT_EQ(got.y, want.y) << want.text;
        EXPECT_EQ(got.cx, want.cx) << want.text;
        EXPECT_EQ(got.cy, want.cy) << want.text;
        EXPECT_EQ(got.id, want.id) << want.text;
        EXPECT_EQ(got.windowClass, want.windowClass) << want.text;
        EXPECT_EQ(got.text, want.text);
    }
}

TEST(Resources, NameTheSystemListsTheSaverUnder) {
    char text[64] = "";
    EXPECT_EQ(LoadStringA(GetModuleHandleA(nullptr), 1, text, sizeof text), 7);
    EXPECT_STREQ(text, "Wendrel");
}

TEST(Resources, BitmapsAreThePackagedPicturesWithoutFileHeader) {
    std::vector<std::pair<int, std::string>> pictures = {{129, "background.bmp"}};
    for (int id = 148; id <= 155; ++id)
        pictures.emplace_back(id, "leaf" + std::to_string(id).append(".bmp"));
    for (const auto& [id, name] : pictures) {
        const auto file = ReadPicture(name);
        ASSERT_GT(file.size(), 14u) << name;
        const auto bitmap = PackagedBitmap(id);
        ASSERT_EQ(bitmap.size(), file.size() - 14) << name;
        EXPECT_TRUE(std::equal(bitmap.begin(), bitmap.end(), file.begin() + 14)) << name;
    }
    EXPECT_TRUE(PackagedBitmap(130).empty());
    EXPECT_TRUE(PackagedBitmap(147).empty());
}

TEST(Resources, TheSceneLoadsItsBackgroundFromThem) {
    CSaverCore core;
    CLeafScene scene;
    std::string error;
    EXPECT_TRUE(scene.LoadBackground(error)) << error;
}

TEST(Resources, CursorAndIcon) {
    HINSTANCE hInstance = GetModuleHandleA(nullptr);
    HCURSOR hCursor = LoadCursorA(hInstance, MAKEINTRESOURCEA(129));
    ASSERT_NE(hCursor, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(hCursor, &info));
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(info.xHotspot, 15u);
    EXPECT_EQ(info.yHotspot, 15u);
    DeleteObject(info.hbmMask);
    DeleteObject(info.hbmColor);
    EXPECT_NE(LoadIconA(hInstance, MAKEINTRESOURCEA(128)), nullptr);
}

TEST(Resources, VersionAndManifest) {
    const std::string version = ResourceText(1, 16);
    ASSERT_FALSE(version.empty());
    const std::string manifest = ResourceText(1, 24);
    EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos);
    EXPECT_NE(manifest.find("version=\"6.0.0.0\""), std::string::npos);
    EXPECT_NE(manifest.find("<dpiAware"), std::string::npos);
    EXPECT_NE(manifest.find("PerMonitorV2"), std::string::npos);
}

}  // namespace
}  // namespace wendrel
