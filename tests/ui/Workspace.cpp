#include "tests/ui/Workspace.h"

#include <filesystem>

namespace uitest {

Workspace::Workspace() : cwd_(dir_.path()) {}

std::string Workspace::MakeDir(const std::string& name) const {
    std::filesystem::create_directories(dir_.path() / name);
    return dir_ / name;
}

std::vector<DirSettings> Workspace::MakeRecords(int count) const {
    std::vector<DirSettings> records;
    for (int i = 0; i < count; ++i) {
        const std::string name = "d" + std::to_string(i);
        records.push_back({MakeDir(name), "alias" + std::to_string(i), '*', "*.*", 0,
                           dir_ / (name + ".log"), ""});
    }
    return records;
}

void Workspace::WriteConfig(const std::vector<DirSettings>& records) const {
    const std::string stars(38, '*');
    std::string text = stars + "\r\n***   Do not change this file!!!   ***\r\n" + stars + "\r\n";
    const auto quoted = [](const std::string& field) { return '"' + field + '"'; };
    for (const DirSettings& r : records)
        text += quoted(r.Path) + ' ' + quoted(r.Alias) + ' ' + quoted(std::string(1, r.Kind)) +
                ' ' + quoted(r.Mask) + ' ' + quoted(std::to_string(r.Attrib)) + ' ' +
                quoted(r.Log) + ' ' + quoted(r.Wav) + "\r\n";
    testsupport::WriteFile(dir_ / "peer.cfg", text);
}

} // namespace uitest
