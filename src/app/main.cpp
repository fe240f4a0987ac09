#include <QCoreApplication>
#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("Quillon %s\n", QUILLON_VERSION);
            return 0;
        }
        if (std::strcmp(argv[i], "--help") == 0) {
            std::printf("Usage: quillon [--help] [--version]\n");
            return 0;
        }
    }
    QCoreApplication app(argc, argv);
    return 0;
}
