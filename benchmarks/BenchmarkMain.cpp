#include "BenchmarkDesktop.h"

int main(int argc, char** argv) {
    return corvane::benchmarks::runBenchmarks(argc, argv);
}
