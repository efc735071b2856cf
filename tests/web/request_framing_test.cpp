// Where each request a client sends ends, and what is refused before the
// HTTP library parses it.
#include "web/request_framing.h"

#include <gtest/gtest.h>

#include <string>

namespace palomind {
namespace {

std::string Fields(int count) {
    std::string fields;
    for (int i = 0; i < count; ++i) fields += "X-" + std::to_string(i) + ": v\r\n";
    return fields;
}

std::vector<RequestVerdict> FeedAll(const std::string& bytes, FramingLimits limits = {}) {
    RequestFramer framer(limits);
    return framer.Feed(bytes);
}

TEST(RequestFramingTest, ServesWellFormedRequestsAndSaysWhichCloseTheConnection) {
    const struct {
        std::string request;
        bool closeAfter;
    } cases[] = {
        {"GET / HTTP/1.1\r\nHost: x\r\n\r\n", false},
        {"\r\nGET / HTTP/1.1\nHost: x\n\n", false},  // a stray line end, bare LFs
        {"GET / HTTP/1.0\r\n\r\n", true},            // no Host needed
        {"GET / HTTP/1.1\r\nHost: x\r\nConnection: keep-alive, CLOSE\r\n\r\n", true},
        {"GET / HTTP/1.1\r\nhost: x\r\nContent-Length: 2\r\ncontent-length: 2\r\n\r\nab", false},
        {"GET / HTTP/1.1\r\nHost: x\r\n" + Fields(63) + "\r\n", false},
        {"GET /?q=%C3%A9 HTTP/1.1\r\nHost: x\r\nX: caf\xC3\xA9\tau lait\r\n\r\n", false},
    };
    for (const auto& [request, closeAfter] : cases) {
        const std::vector<RequestVerdict> verdicts = FeedAll(request);
        ASSERT_EQ(verdicts.size(), 1u) << request;
        EXPECT_EQ(verdicts[0].refusal, 0) << request;
        EXPECT_EQ(verdicts[0].closeAfter, closeAfter) << request;
    }
}

TEST(RequestFramingTest, RefusesWhatHttp11RefusesAndWhatIsOverTheLimits) {
    const struct {
        std::string request;
        int status;
    } cases[] = {
        {"GET / HTTP/9.9\r\nHost: x\r\n\r\n", 505},
        {"GET / HTTP/2.0\r\nHost: x\r\n\r\n", 505},
        {"GET / HTTP/1.1\r\n\r\n", 400},
        {"GET / HTTP/1.1\r\nHost: x\r\nHost: y\r\n\r\n", 400},
        {"GET / HTTP/1.1\r\nHost: x\r\nContent-Length: 1\r\nContent-Length: 2\r\n\r\n", 400},
        {"GET / HTTP/1.1\r\nHost: x\r\nContent-Length: -1\r\n\r\n", 400},
        {"GET / HTTP/1.1\r\nHost: x\r\nContent-Length: 1x\r\n\r\n", 400},
        {"\x16\x03\x01 garbage\r\n\r\n", 400},
        {"GET  / HTTP/1.1\r\nHost: x\r\n\r\n", 400},
        {"GET / HTTP/1.1\r\nHost: x\r\nNoColon\r\n\r\n", 400},
        {"GET /\x01 HTTP/1.1\r\nHost: x\r\n\r\n", 400},
        {"GET / HTTP/1.1\r\nHost: x\r\nX: a\x1b[2Jb\r\n\r\n", 400},
        {"GET / HTTP/1.1\r\nHost : x\r\n\r\n", 400},
        {"GET / HTTP/1.1\r\nHost: x\r\nX: a\r\n folded\r\n\r\n", 400},
        {"GET / HTTP/1.1\r\nHost: x\r\n" + Fields(64) + "\r\n", 431},
        {"GET / HTTP/1.1\r\nHost: x\r\n" + Fields(200) + "\r\n", 431},
        {"GET / HTTP/1.1\r\nHost: x\r\nContent-Length: 20000\r\n\r\n", 413},
        {"GET / HTTP/1.1\r\nHost: x\r\nContent-Length: 99999999999999999999\r\n\r\n", 413},
        {"GET / HTTP/1.1\r\nHost: x\r\nX: " + std::string(20'000, 'a'), 413},  // head unfinished
        {"POST / HTTP/1.1\r\nHost: x\r\nTransfer-Encoding: chunked\r\n\r\n", 501},
    };
    for (const auto& [request, status] : cases) {
        const std::vector<RequestVerdict> verdicts = FeedAll(request);
        ASSERT_EQ(verdicts.size(), 1u) << request.substr(0, 60);
        EXPECT_EQ(verdicts[0].refusal, status) << request.substr(0, 60);
        EXPECT_TRUE(verdicts[0].closeAfter) << request.substr(0, 60);
    }
}

TEST(RequestFramingTest, LimitsEachPipelinedRequestWhereverTheBytesAreCut) {
    const std::string one = "GET / HTTP/1.1\r\nHost: x\r\nContent-Length: 5\r\n\r\nhello";
    std::string stream;
    for (int i = 0; i < 4; ++i) stream += one;
    // Each request is well within the limit; all four together are not.
    const FramingLimits limits{static_cast<std::int64_t>(one.size()), 64};
    for (const std::size_t cut : {std::size_t{1}, std::size_t{7}, stream.size()}) {
        RequestFramer framer(limits);
        std::size_t served = 0;
        for (std::size_t at = 0; at < stream.size(); at += cut) {
            for (const RequestVerdict& verdict : framer.Feed(stream.substr(at, cut))) {
                EXPECT_EQ(verdict.refusal, 0) << cut;
                ++served;
            }
            EXPECT_EQ(framer.BetweenRequests(),
                      (at + cut) % one.size() == 0 || at + cut >= stream.size())
                << cut << ' ' << at;
        }
        EXPECT_EQ(served, 4u) << cut;
    }
}

TEST(RequestFramingTest, ReadsNothingPastARefusalOrTheBodyOfAClosingRequest) {
    RequestFramer refused({});
    EXPECT_EQ(refused.Feed("GET / HTTP/9.9\r\n\r\nGET / HTTP/1.1\r\nHost: x\r\n\r\n").size(), 1u);
    EXPECT_TRUE(refused.Stopped());

    RequestFramer closing({});
    EXPECT_EQ(closing
                  .Feed("GET / HTTP/1.1\r\nHost: x\r\nConnection: close\r\n"
                        "Content-Length: 3\r\n\r\nab")
                  .size(),
              1u);
    EXPECT_FALSE(closing.Stopped());  // its body still belongs to it
    EXPECT_TRUE(closing.Feed("cGET / HTTP/1.1\r\nHost: x\r\n\r\n").empty());
    EXPECT_TRUE(closing.Stopped());
}

}  // namespace
}  // namespace palomind
