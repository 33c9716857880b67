#include "app/PeerwellApp.h"

int main(int argc, char* argv[]) {
    PeerwellApp app(argc, argv);
    return app.Run();
}
