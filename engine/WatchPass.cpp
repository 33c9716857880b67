#include "engine/WatchPass.h"

LogWrite RunPass(MyDir& dir, const platform::ChangeSet& changes, platform::SoundPlayer& sound,
                 const std::string& timeStamp) {
    dir.Rescan(changes);
    const ScanResult found = dir.Found();
    if (!changes.announced && !found.HoldsName())
        return {};
    LogWrite written = dir.WriteLog(found, timeStamp);
    if (!dir.Wav().empty() && found.HoldsName())
        sound.PlayAsync(dir.Wav());
    return written;
}
