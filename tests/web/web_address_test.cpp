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
}

TEST(WebAddressTest, RefusesWhatIsNoAddress) {
    for (const char* bad : {"", "x", "65536", "-1", ":80", "::1:80", "host:", "1.2.3.4:80x"})
        EXPECT_FALSE(ParseWebAddress(bad).has_value()) << bad;
}

}  // namespace
}  // namespace palomind
