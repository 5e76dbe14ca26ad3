// The trial-division path a benchmark runs: the best one the processor has,
// or the one named on the command line (scalar, avx2, avx512), to compare.
#pragma once

#include "core/TrialKernel.h"

#include <QByteArray>
#include <cstdio>

inline void ChoosePath(int argc, char *argv[])
{
    if (argc < 2)
        return;
    const QByteArray name(argv[1]);
    const KernelPath path = name == "scalar" ? KernelPath::Scalar : name == "avx2" ? KernelPath::Avx2 : KernelPath::Avx512;
    if (!UseKernelPath(path))
        std::printf("path %s not available here\n", argv[1]);
}
