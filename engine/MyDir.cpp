#include "engine/MyDir.h"

MyDir::MyDir() = default;
MyDir::MyDir(std::string Path, std::string Alias, char Kind, std::string Mask, std::int32_t Attrib,
             std::string Log, std::string Wav)
    : path_(std::move(Path)), alias_(std::move(Alias)), kind_(Kind), mask_(std::move(Mask)),
      attrib_(Attrib), log_(std::move(Log)), wav_(std::move(Wav)) {}
MyDir::MyDir(const MyDir& other) = default;
MyDir& MyDir::operator=(const MyDir& other) = default;
MyDir::MyDir(MyDir&& other) noexcept = default;
MyDir& MyDir::operator=(MyDir&& other) noexcept = default;
MyDir::~MyDir() = default;

void MyDir::Get(std::string& Path, std::string& Alias, char& Kind, std::string& Mask,
                std::int32_t& Attrib, std::string& Log, std::string& Wav) const {
    Path = path_;
    Alias = alias_;
    Kind = kind_;
    Mask = mask_;
    Attrib = attrib_;
    Log = log_;
    Wav = wav_;
}

void MyDir::Set(std::string Path, std::string Alias, char Kind, std::string Mask,
                std::int32_t Attrib, std::string Log, std::string Wav) {
    *this = MyDir(std::move(Path), std::move(Alias), Kind, std::move(Mask), Attrib, std::move(Log),
                  std::move(Wav));
}

void MyDir::Rescan() {}
void MyDir::Rescan(const platform::ChangeSet&) {}
const std::vector<std::string>* MyDir::GetAdded() {
    return nullptr;
}
const std::vector<std::string>* MyDir::GetRemoved() {
    return nullptr;
}
LogWrite MyDir::WriteLog(const std::string&) const {
    return {};
}
