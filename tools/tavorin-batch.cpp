#include <cstdio>
#include <cstring>

// Placeholder until the first command lands.
int main(int argc, char* argv[])
{
    if (argc > 1 && std::strcmp(argv[1], "--help") == 0) {
        std::puts("usage: tavorin-batch COMMAND ...");
        return 0;
    }
    std::fputs("tavorin-batch: no command given (see --help)\n", stderr);
    return 2;
}
