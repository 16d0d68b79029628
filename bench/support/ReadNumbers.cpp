// The least a process that loads a Touchstone file must do: read the file and convert
// every number with std::from_chars. The whole-process benchmarks time torvex --check
// against it.
#include <charconv>
#include <cstdio>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    std::FILE* f = std::fopen(argv[1], "rb");
    if (!f)
        return 1;
    std::string text;
    char buf[1 << 16];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
        text.append(buf, n);
    std::fclose(f);
    double sum = 0;
    long count = 0;
    const char* p = text.data();
    const char* end = p + text.size();
    while (p < end) {
        if (*p == '!' || *p == '#') {
            while (p < end && *p != '\n')
                ++p;
            continue;
        }
        if (*p == ' ' || *p == '\n' || *p == '\r' || *p == '\t') {
            ++p;
            continue;
        }
        double v = 0;
        const auto r = std::from_chars(p, end, v);
        sum += v;
        ++count;
        p = r.ptr == p ? p + 1 : r.ptr;
    }
    std::printf("%ld numbers, sum %g\n", count, sum);
    return 0;
}
