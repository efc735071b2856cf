#include "meeting/meeting_commands.h"

#include <optional>

#include "meeting/command_input.h"
#include "meeting/command_output.h"
#include "meeting/final_result.h"
#include "meeting/mains.h"
#include "meeting/qualifying_ranking.h"
#include "meeting/single_key.h"

namespace palomind {

namespace {

// The answer of one run, or nothing with `error` set.
std::optional<std::string> Answer(std::string_view run, std::string_view in, std::string& error) {
    if (run == "--rank") {
        const std::optional<RankInput> input = ReadRankInput(in, error);
        if (!input) return std::nullopt;
        return RankingJson(RankQualifying(input->settings, input->entrants, input->rounds));
    }
    if (run == "--mains") {
        const std::optional<MainsInput> input = ReadMainsInput(in, error);
        if (!input) return std::nullopt;
        return MainsJson(MainsFromRanking(input->ranking, input->size, input->bump));
    }
    if (run == "--grid") {
        const std::optional<GridInput> input = ReadGridInput(in, error);
        if (!input) return std::nullopt;
        return GridJson(
            BumpUpGrid(input->locked, input->bumpSlots, StartersInFinishingOrder(input->lower)));
    }
    const std::optional<FinalInput> input = ReadFinalInput(in, error);
    if (!input) return std::nullopt;
    return FinalJson(ClassFinalResult(input->qualifying, input->mains));
}

}  // namespace

bool IsMeetingCommand(std::string_view run) {
    return run == "--rank" || run == "--mains" || run == "--grid" || run == "--final";
}

int RunMeetingCommand(std::string_view run, const std::string& inPath,
                      const std::optional<std::string>& outPath, FileStore& files,
                      std::ostream& err) {
    if (!outPath) {
        err << "palomind: " << run << " needs --out OUT.json\n";
        return 2;
    }
    const std::optional<std::string> in = files.ReadAll(inPath);
    if (!in) {
        err << "palomind: cannot read " << inPath << '\n';
        return 1;
    }
    std::string error;
    const std::optional<std::string> answer = Answer(run, *in, error);
    if (!answer) {
        err << "palomind: " << inPath << ": " << error << '\n';
        return 2;
    }
    if (!files.WriteAtomically(*outPath, *answer)) {
        err << "palomind: cannot write " << *outPath << '\n';
        return 1;
    }
    return 0;
}

}  // namespace palomind
