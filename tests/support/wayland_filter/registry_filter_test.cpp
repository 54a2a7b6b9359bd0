#include "tests/support/wayland_filter/registry_filter.h"

#include <gtest/gtest.h>

#include <cstring>

namespace wendrel::wl_filter {
namespace {

using Bytes = std::vector<std::uint8_t>;

void Put(Bytes& out, std::uint32_t word) {
    out.resize(out.size() + sizeof word);
    std::memcpy(out.data() + out.size() - sizeof word, &word, sizeof word);
}

Bytes Message(std::uint32_t object, std::uint32_t opcode, const Bytes& arguments) {
    Bytes out;
    Put(out, object);
    Put(out, static_cast<std::uint32_t>((8 + arguments.size()) << 16 | opcode));
    out.insert(out.end(), arguments.begin(), arguments.end());
    return out;
}

Bytes Words(std::initializer_list<std::uint32_t> words) {
    Bytes out;
    for (std::uint32_t word : words)
        Put(out, word);
    return out;
}

Bytes Global(std::uint32_t registry, std::uint32_t name, const std::string& interface) {
    Bytes arguments = Words({name, static_cast<std::uint32_t>(interface.size() + 1)});
    arguments.insert(arguments.end(), interface.begin(), interface.end());
    arguments.resize(arguments.size() + 4 - interface.size() % 4, 0);
    Put(arguments, 1);
    return Message(registry, 0, arguments);
}

Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& part : parts)
        out.insert(out.end(), part.begin(), part.end());
    return out;
}

// The compositor's side of a connection whose client made registry 2,
// given `step` bytes at a time.
Bytes EventsPassed(CRegistryFilter& filter, const Bytes& events, std::size_t step) {
    Bytes out;
    for (std::size_t at = 0; at < events.size(); at += step)
        filter.FromCompositor(events.data() + at, std::min(step, events.size() - at), out);
    return out;
}

class RegistryFilterTest : public ::testing::TestWithParam<std::size_t> {
  protected:
    RegistryFilterTest() : filter({"wp_viewporter", "zwlr_layer_shell_v1"}) {
        const Bytes request = Message(1, 1, Words({2}));  // wl_display.get_registry
        filter.FromClient(request.data(), request.size(), passed);
    }
    CRegistryFilter filter;
    Bytes passed;
};

TEST_P(RegistryFilterTest, HidesTheNamedGlobalsHoweverTheBytesAreCut) {
    EXPECT_EQ(passed, Message(1, 1, Words({2})));
    const Bytes kept = Join({Global(2, 1, "wl_compositor"), Global(2, 9, "wl_output")});
    const Bytes events = Join({Global(2, 1, "wl_compositor"), Global(2, 5, "wp_viewporter"),
                               Global(2, 6, "zwlr_layer_shell_v1"), Global(2, 9, "wl_output"),
                               Message(2, 1, Words({5})), Message(2, 1, Words({9})),
                               Global(7, 8, "wp_viewporter")});  // not a registry: left alone
    const Bytes expected = Join({kept, Message(2, 1, Words({9})), Global(7, 8, "wp_viewporter")});
    EXPECT_EQ(EventsPassed(filter, events, GetParam()), expected);
    EXPECT_EQ(filter.HiddenCount(), 2u);
    EXPECT_EQ(filter.TakeHidden(),
              (std::vector<std::string>{"wp_viewporter", "zwlr_layer_shell_v1"}));
    EXPECT_TRUE(filter.TakeHidden().empty());
}

INSTANTIATE_TEST_SUITE_P(Steps, RegistryFilterTest, ::testing::Values(1, 3, 8, 4096));

TEST_F(RegistryFilterTest, ARegistryTheCompositorDeletedIsNoLongerFiltered) {
    const Bytes events = Join({Message(1, 1, Words({2})), Global(2, 5, "wp_viewporter")});
    EXPECT_EQ(EventsPassed(filter, events, events.size()), events);
}

TEST_F(RegistryFilterTest, OddGlobalsAndStreamsPassUntouched) {
    // A string longer than its message, and an empty one.
    const Bytes odd = Join({Message(2, 0, Words({5, 400, 0, 1})), Message(2, 0, Words({5, 0, 1}))});
    EXPECT_EQ(EventsPassed(filter, odd, 5), odd);
    // A size smaller than a header: from there on, bytes as they come.
    const Bytes broken = Join({Words({2, 4u << 16}), Global(2, 5, "wp_viewporter")});
    EXPECT_EQ(EventsPassed(filter, broken, 3), broken);
}

TEST(RegistryFilterBadRequest, IsOneWholeMessageOnNoObjectTheClientMade) {
    const Bytes bad = CRegistryFilter::BadRequest();
    ASSERT_EQ(bad.size(), 8u);
    std::uint32_t words[2];
    std::memcpy(words, bad.data(), sizeof words);
    EXPECT_EQ(words[1] >> 16, 8u);
    EXPECT_GT(words[0], 0x100000u);
    EXPECT_LT(words[0], 0xff000000u);
}

}  // namespace
}  // namespace wendrel::wl_filter
