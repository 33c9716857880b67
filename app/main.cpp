#include "app/PeerwellApp.h"

#include <iostream>
#include <string_view>

// The only show state a starter can ask for on the command line is the minimised one.
int main(int argc, char* argv[]) {
    const bool minimized = argc == 2 && std::string_view(argv[1]) == "--minimized";
    if (argc > 1 && !minimized) {
        std::cerr << "Usage: peerwell [--minimized]\n";
        return 2;
    }
    PeerwellApp app(argc, argv);
    return app.Run(minimized ? Qt::WindowMinimized : Qt::WindowNoState);
}
