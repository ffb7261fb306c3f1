#include <cstdio>

int main() {
    std::puts("prescripts: the window layer is not built yet; nothing to start.");
    return 0;
}
