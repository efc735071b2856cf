#pragma once
#include <cstdint>
#include <string>

namespace palomind {

// Why the voice speaks; the queue's policy goes by it.
enum class AnnouncementKind {
    Countdown,  // seconds left before the start or the end of the race time
    Start,      // timing opens
    Finishing,  // the race time is over
    Finished,   // an entrant finished
    Pass,       // a lap completed
    BestLap,    // a new best lap of the race
};
inline constexpr int kAnnouncementKinds = 6;

// One utterance, as queued for the voice.
struct Announcement {
    AnnouncementKind kind = AnnouncementKind::Pass;
    std::string voice;  // the speech engine's voice: "ja", "en"
    std::string text;
    int id = 0;             // the entrant (passes, best laps, finishes)
    std::int32_t tick = 0;  // the tick of the race event it tells of
};

// Takes announcements as the race raises them. Called on the thread that
// changes the race: it must not block.
class AnnouncementSink {
  public:
    virtual ~AnnouncementSink() = default;
    virtual void Announce(Announcement announcement) = 0;
};

}  // namespace palomind
