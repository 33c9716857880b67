#include "app/PeerwellApp.h"
#include "app/PlatformStartGuard.h"

#include <iostream>
#include <optional>
#include <string_view>

namespace {

constexpr std::string_view Usage = "Usage: peerwell [--minimized | --help | --version]\n";
constexpr std::string_view Help =
    "Watches the directories listed in peer.cfg in the current directory and logs the files\n"
    "that appear in and disappear from each one; the window edits the list.\n"
    "  --minimized  start with only the tray icon shown\n"
    "  --help       print this help and exit\n"
    "  --version    print the version and exit\n"
    "Without a display, the headless watcher peerwell-watch watches the same list.\n";

// What the command line asks for: a start, minimised or not, or an exit once it is answered.
struct Request {
    bool minimized = false;
    std::optional<int> exitStatus;
};

Request ReadCommandLine(int argc, char* argv[]) {
    Request request;
    for (int i = 1; i < argc; ++i) {
        const std::string_view option = argv[i];
        if (option == "--help") {
            std::cout << Usage << Help;
            return {.exitStatus = 0};
        }
        if (option == "--version") {
            std::cout << "peerwell " << PEERWELL_VERSION << '\n';
            return {.exitStatus = 0};
        }
        if (option != "--minimized") {
            std::cerr << "peerwell: unknown option '" << option << "'\n" << Usage;
            return {.exitStatus = 2};
        }
        request.minimized = true;
    }
    return request;
}

} // namespace

int main(int argc, char* argv[]) {
    const Request request = ReadCommandLine(argc, argv);
    if (request.exitStatus)
        return *request.exitStatus;
    std::optional<PeerwellApp> app;
    {
        const PlatformStartGuard guard;
        app.emplace(argc, argv);
    }
    return app->Run(request.minimized ? Qt::WindowMinimized : Qt::WindowNoState);
}
