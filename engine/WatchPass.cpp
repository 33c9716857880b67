#include "engine/WatchPass.h"

PassOutcome RunPass(MyDir& dir, const platform::ChangeSet& changes, platform::SoundPlayer& sound,
                    const std::string& timeStamp) {
    dir.Rescan(changes);
    PassOutcome outcome{dir.Found(), {}};
    if (!changes.announced && !outcome.found.HoldsName())
        return outcome;
    outcome.written = dir.WriteLog(outcome.found, timeStamp);
    if (!dir.Wav().empty() && outcome.found.HoldsName())
        sound.PlayAsync(dir.Wav());
    return outcome;
}
