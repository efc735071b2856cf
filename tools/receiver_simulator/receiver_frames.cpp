#include "tools/receiver_simulator/receiver_frames.h"

namespace palomind::simulator {

namespace {

std::uint8_t ByteOtherThanSync(SeededRandom& random) {
    std::uint8_t b = random.Byte();
    while (b == kReceiverSyncByte) b = random.Byte();
    return b;
}

// ID, data 1, data 2 and a checksum byte, none of them 0xFE; the checksum
// matches when `matching`, and differs from the true sum otherwise.
Bytes FrameBody(SeededRandom& random, bool matching) {
    while (true) {
        const std::uint8_t id = ByteOtherThanSync(random);
        const std::uint8_t data1 = ByteOtherThanSync(random);
        const std::uint8_t data2 = ByteOtherThanSync(random);
        const std::uint8_t sum = ReceiverFrameChecksum(id, data1, data2);
        std::uint8_t check = sum;
        if (!matching) {
            check = static_cast<std::uint8_t>(sum + random.Between(1, 255));
        }
        if (check != kReceiverSyncByte) return {id, data1, data2, check};
    }
}

void Append(Bytes& bytes, const Bytes& more) {
    bytes.insert(bytes.end(), more.begin(), more.end());
}

}  // namespace

std::string_view KindName(TransmissionKind kind) {
    switch (kind) {
        case TransmissionKind::Pass:
            return "pass";
        case TransmissionKind::WrongChecksum:
            return "checksum";
        case TransmissionKind::BrokenSync:
            return "sync";
        case TransmissionKind::StrayBytes:
            return "stray";
        case TransmissionKind::Recorded:
            return "recorded";
    }
    return "?";
}

Bytes MakePassFrame(std::uint8_t id, SeededRandom& random) {
    while (true) {
        const std::uint8_t data1 = ByteOtherThanSync(random);
        const std::uint8_t data2 = ByteOtherThanSync(random);
        if (ReceiverFrameChecksum(id, data1, data2) != kReceiverSyncByte)
            return ReceiverFrame(id, data1, data2);
    }
}

Bytes MakeNoise(TransmissionKind kind, SeededRandom& random) {
    Bytes bytes;
    switch (kind) {
        case TransmissionKind::WrongChecksum:
            bytes.assign(static_cast<std::size_t>(kReceiverSyncLength), kReceiverSyncByte);
            Append(bytes, FrameBody(random, false));
            break;
        case TransmissionKind::BrokenSync: {
            // Runs of 1, 2, 4, 5 or 6: counted modulo 4 they never reach 3.
            static constexpr int kBrokenRuns[] = {1, 2, 4, 5, 6};
            bytes.assign(static_cast<std::size_t>(kBrokenRuns[random.Below(5)]), kReceiverSyncByte);
            // Behind a broken run even a matching checksum must be refused.
            Append(bytes, FrameBody(random, true));
            break;
        }
        case TransmissionKind::StrayBytes:
            for (int i = random.Between(1, 4); i > 0; --i)
                bytes.push_back(ByteOtherThanSync(random));
            break;
        case TransmissionKind::Pass:
        case TransmissionKind::Recorded:
            break;
    }
    return bytes;
}

Noise MakeRandomNoise(SeededRandom& random) {
    static constexpr TransmissionKind kNoiseKinds[] = {TransmissionKind::WrongChecksum,
                                                       TransmissionKind::BrokenSync,
                                                       TransmissionKind::StrayBytes};
    const TransmissionKind kind = kNoiseKinds[random.Below(3)];
    return {kind, MakeNoise(kind, random)};
}

}  // namespace palomind::simulator
