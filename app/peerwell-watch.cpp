#include <cstdio>

int main() {
    std::puts("peerwell-watch: not built yet");
    return 0;
}
