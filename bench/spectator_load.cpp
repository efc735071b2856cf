// Spectators' phones on loopback: N clients each read /race.json as the page
// does (every 500 ms, over a connection each keeps open) for a fixed time,
// then the program ends by itself. For each client and transponder it notes
// when the standings first showed each new lap count, on the monotonic clock
// the receiver simulator logs its writes with, so that the benchmark can
// measure how long a pass took to reach the spectators.
//
//   spectator_load --port P [--clients 200] [--seconds 60] [--interval-ms 500]
//                  [--threads 8] --out SEEN.txt
//
// SEEN.txt: one line "<monotonic ns> <id> <laps before> <laps now>" per news
// a client saw. The summary goes to standard output.
#include <httplib.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <nlohmann/json.hpp>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Options {
    int port = 0;
    int clients = 200;
    int seconds = 60;
    int intervalMs = 500;
    int threads = 8;
    std::string out;
};

struct Seen {
    std::int64_t nanos;
    int id, before, now;
};

struct Spectator {
    std::unique_ptr<httplib::Client> client;
    Clock::time_point due;
    std::array<int, 65> laps{};  // -1: not in the standings yet
};

// Reads the standings' IDs and lap counts and stops at the lap history: a
// phone's browser parses the whole answer, but the load generator shares the
// machine with the program it measures and needs no more.
class StandingsReader final : public nlohmann::json_sax<nlohmann::json> {
  public:
    std::vector<std::pair<std::string, std::string>> places;  // id, laps

    bool key(string_t& name) override {
        if (name == "lapHistory") return false;  // all that is needed has been read
        key_ = name;
        return true;
    }
    bool string(string_t& value) override {
        if (key_ == "id") places.emplace_back(value, "");
        if (key_ == "laps" && !places.empty()) places.back().second = value;
        return true;
    }
    bool null() override { return true; }
    bool boolean(bool) override { return true; }
    bool number_integer(number_integer_t) override { return true; }
    bool number_unsigned(number_unsigned_t) override { return true; }
    bool number_float(number_float_t, const string_t&) override { return true; }
    bool binary(binary_t&) override { return true; }
    bool start_object(std::size_t) override { return true; }
    bool end_object() override { return true; }
    bool start_array(std::size_t) override { return true; }
    bool end_array() override { return true; }
    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) override {
        failed = true;
        return false;
    }
    bool failed = false;

  private:
    std::string key_;
};

struct Totals {
    std::atomic<long> requests{0}, failures{0}, bytes{0};
};

// One thread serves its share of the spectators, each at its own pace.
void RunSpectators(std::vector<Spectator>& spectators, const Options& options,
                   Clock::time_point end, Totals& totals, std::vector<Seen>& seen) {
    const auto interval = std::chrono::milliseconds(options.intervalMs);
    while (true) {
        auto next =
            std::min_element(spectators.begin(), spectators.end(),
                             [](const Spectator& a, const Spectator& b) { return a.due < b.due; });
        if (next->due >= end) return;
        std::this_thread::sleep_until(next->due);
        next->due += interval;
        const httplib::Result result = next->client->Get("/race.json");
        ++totals.requests;
        if (!result || result->status != 200) {
            ++totals.failures;
            continue;
        }
        totals.bytes += static_cast<long>(result->body.size());
        const std::int64_t at =
            std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch())
                .count();
        StandingsReader reader;
        nlohmann::json::sax_parse(result->body, &reader);
        if (reader.failed || reader.places.size() != 20) {
            ++totals.failures;
            continue;
        }
        for (const auto& [id, laps] : reader.places) {
            if (id == "--" || laps == "---") continue;
            const int n = std::stoi(id), count = std::stoi(laps);
            if (n < 1 || n > 64) continue;
            if (count > next->laps[static_cast<std::size_t>(n)]) {
                seen.push_back({at, n, next->laps[static_cast<std::size_t>(n)], count});
                next->laps[static_cast<std::size_t>(n)] = count;
            }
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i], value = argv[i + 1];
        if (name == "--port") options.port = std::stoi(value);
        if (name == "--clients") options.clients = std::stoi(value);
        if (name == "--seconds") options.seconds = std::stoi(value);
        if (name == "--interval-ms") options.intervalMs = std::stoi(value);
        if (name == "--threads") options.threads = std::stoi(value);
        if (name == "--out") options.out = value;
    }
    if (options.port <= 0 || options.out.empty() || options.threads < 1) {
        std::fprintf(stderr,
                     "usage: spectator_load --port P --out SEEN.txt [--clients N] "
                     "[--seconds S] [--interval-ms MS] [--threads T]\n");
        return 2;
    }
    const Clock::time_point start = Clock::now();
    const Clock::time_point end = start + std::chrono::seconds(options.seconds);
    std::mt19937 random(12345);
    std::uniform_int_distribution<int> offset(0, options.intervalMs - 1);
    std::vector<std::vector<Spectator>> shares(static_cast<std::size_t>(options.threads));
    for (int i = 0; i < options.clients; ++i) {
        Spectator s;
        s.client = std::make_unique<httplib::Client>("127.0.0.1", options.port);
        s.client->set_keep_alive(true);
        s.client->set_read_timeout(5, 0);
        s.due = start + std::chrono::milliseconds(offset(random));  // not all at once
        s.laps.fill(-1);
        shares[static_cast<std::size_t>(i % options.threads)].push_back(std::move(s));
    }
    Totals totals;
    std::vector<std::vector<Seen>> seen(shares.size());
    std::vector<std::thread> threads;
    for (std::size_t t = 0; t < shares.size(); ++t) {
        if (shares[t].empty()) continue;
        threads.emplace_back(RunSpectators, std::ref(shares[t]), std::cref(options), end,
                             std::ref(totals), std::ref(seen[t]));
    }
    for (std::thread& thread : threads) thread.join();

    std::ofstream out(options.out);
    for (const auto& share : seen)
        for (const Seen& s : share)
            out << s.nanos << ' ' << s.id << ' ' << s.before << ' ' << s.now << '\n';
    const double wall = std::chrono::duration<double>(Clock::now() - start).count();
    std::printf("spectators %d for %.1f s: %ld requests (%.1f per s), %ld failed, %.1f MB read\n",
                options.clients, wall, totals.requests.load(), totals.requests.load() / wall,
                totals.failures.load(), totals.bytes.load() / 1e6);
    return totals.failures.load() == 0 ? 0 : 1;
}
