#pragma once

#include <benchmark/benchmark.h>

namespace vima {

// The body of a benchmark's main() for code that needs a Qt application object.
template<typename Application>
int runQtBenchmarks(int argc, char **argv)
{
    Application app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

} // namespace vima
