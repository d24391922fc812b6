#include <cstdio>

int main() {
    std::fputs("usage: korvane -f INPUT.mid\n", stderr);
    return 2;
}
