// Stands in for the workbook reader in the tests of its limits: the word after the
// compound-document signature in the file it is given says how to misbehave.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    std::FILE* in = std::fopen(argv[1], "rb");
    if (!in)
        return 2;
    char buffer[64] = {};
    const std::size_t got = std::fread(buffer, 1, sizeof buffer - 1, in);
    std::fclose(in);
    const std::string mode(buffer + 8, got > 8 ? got - 8 : 0);

    if (mode == "crash")
        std::abort();
    if (mode == "spin") {
        volatile unsigned long n = 0;
        for (;;)
            n = n + 1;
    }
    if (mode == "sleep")
        std::this_thread::sleep_for(std::chrono::hours(1));
    if (mode == "hog") {
        std::vector<char*> blocks;
        for (;;) {
            char* block = static_cast<char*>(std::malloc(64 << 20));
            if (!block)
                std::abort();
            std::memset(block, 1, 64 << 20);
            blocks.push_back(block);
        }
    }
    if (mode == "flood") {
        std::fwrite("MXR1S\0\0\1\0\x01\0\0\0", 1, 13, stdout);
        static char text[1 << 16];
        std::memset(text, 'x', sizeof text);
        for (;;)
            std::fwrite(text, 1, sizeof text, stdout);
    }
    if (mode == "garbage") {
        std::fputs("this is not the reader's stream", stdout);
        return 0;
    }
    if (mode == "truncated") {
        std::fwrite("MXR1S\2\0\0\0\1\0\0\0T\4\0\0\0NA", 1, 20, stdout);
        return 0;
    }
    if (mode == "badexit") {
        // A well-formed empty sheet with a failing exit code.
        std::fwrite("MXR1S\0\0\0\0\0\0\0\0E", 1, 14, stdout);
        return 3;
    }
    return 2;
}
