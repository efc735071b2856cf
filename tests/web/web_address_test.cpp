#include "web/web_address.h"

#include <gtest/gtest.h>

namespace palomind {
namespace {

TEST(WebAddressTest, ReadsAPortAloneOrWithAnAddress) {
    EXPECT_EQ(ParseWebAddress("8080")->port, 8080);
    EXPECT_EQ(ParseWebAddress("8080")->host, "");
    EXPECT_EQ(ParseWebAddress("127.0.0.1:9000")->host, "127.0.0.1");
    EXPECT_EQ(ParseWebAddress("[::1]:9000")->host, "::1");
    EXPECT_EQ(ParseWebAddress("127.0.0.1:0")->port, 0);  // any free port
    EXPECT_EQ(ParseWebAddress("localhost:80")->host, "localhost");
    EXPECT_EQ(ParseWebAddress("race-1.example:80")->host, "race-1.example");
}

TEST(WebAddressTest, RefusesWhatIsNoAddress) {
    for (const char* bad : {"", "x", "65536", "-1", ":80", "::1:80", "host:", "1.2.3.4:80x",
                            "1.2.3.999:80", "127.0.0.1.5:80", "[127.0.0.1]:80", "[localhost]:80",
                            "[::g]:80", "bad host:80", "-x.example:80", "a..b:80"})
        EXPECT_FALSE(ParseWebAddress(bad).has_value()) << bad;
}

TEST(WebAddressTest, LocalhostIsBothLoopbackAddressesWithoutAskingTheResolver) {
    int asked = 0;
    std::string error;
    const auto address = ResolveWebAddress(
        *ParseWebAddress("LocalHost:80"),
        [&](const std::string&) {
            ++asked;
            return std::vector<std::string>{};
        },
        error);
    ASSERT_TRUE(address.has_value()) << error;
    EXPECT_EQ(address->resolved, (std::vector<std::string>{"127.0.0.1", "::1"}));
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(WebUrl(*address, 80), "http://127.0.0.1:80/");
}

TEST(WebAddressTest, ANameIsEachAddressItResolvesToOnceInTheResolversOrder) {
    std::string error;
    const auto address = ResolveWebAddress(
        {"race.example", 0, {}},
        [](const std::string&) {
            return std::vector<std::string>{"::1", "127.0.0.3", "::1"};
        },
        error);
    ASSERT_TRUE(address.has_value());
    EXPECT_EQ(address->resolved, (std::vector<std::string>{"::1", "127.0.0.3"}));
    EXPECT_EQ(WebUrl(*address, 8080), "http://[::1]:8080/");
}

TEST(WebAddressTest, ANameWithNoAddressIsRefusedAndNumericAddressesNeedNoResolver) {
    const auto none = [](const std::string&) { return std::vector<std::string>{}; };
    std::string error;
    EXPECT_FALSE(ResolveWebAddress({"race.example", 80, {}}, none, error).has_value());
    EXPECT_EQ(error, "\"race.example\" resolves to no address");
    for (const char* numeric : {"127.0.0.1", "::1", ""}) {
        const auto kept = ResolveWebAddress({numeric, 80, {}}, none, error);
        ASSERT_TRUE(kept.has_value()) << numeric;
        EXPECT_TRUE(kept->resolved.empty()) << numeric;
    }
    EXPECT_EQ(WebUrl({"::1", 80, {}}, 80), "http://[::1]:80/");
    EXPECT_EQ(WebUrl({"", 80, {}}, 80), "http://0.0.0.0:80/");
}

}  // namespace
}  // namespace palomind
