#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace palomind {

// What the server does with one request, decided from its head before the
// HTTP library parses it: the library is lenient, drops header fields past
// its own count, and cannot tell where one pipelined request ends.
struct RequestVerdict {
    int refusal = 0;          // 0: served; else the status it is refused with
    bool closeAfter = false;  // HTTP/1.0 or "Connection: close"
    const char* reason = "";  // why it is refused, for the answer's body
};

struct FramingLimits {
    // Bytes of one request: its request line, header fields and body.
    std::int64_t maxRequestBytes = 16 * 1024;
    int maxHeaders = 64;
};

// Follows the bytes a client sends and finds where each request ends, as
// HTTP/1.1 says (RFC 9112): a head up to an empty line and a body of the
// length Content-Length gives. After a request refused or closing the
// connection it reads nothing more.
class RequestFramer {
  public:
    explicit RequestFramer(FramingLimits limits) : limits_(limits) {}

    // The next bytes the client sent; the verdict of each request whose head
    // they complete (or which they make too large), in order.
    std::vector<RequestVerdict> Feed(std::string_view bytes);
    // No byte of a further request has come.
    bool BetweenRequests() const { return !stopped_ && head_.empty() && bodyLeft_ == 0; }
    bool Stopped() const { return stopped_; }

  private:
    FramingLimits limits_;
    std::string head_;  // the head of the request in progress
    std::int64_t bodyLeft_ = 0;
    bool closing_ = false;  // the request in progress is the last
    bool stopped_ = false;
};

}  // namespace palomind
