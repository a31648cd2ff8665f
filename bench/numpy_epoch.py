#!/usr/bin/env python3
"""Full-batch back-propagation epochs of a log-sigmoid network in numpy (float64), the way a user
would write the engine's training there: every layer's forward pass as one matrix product over all
pairs (bias column of ones), the deltas, each layer's gradient as one product, then the update.

Usage: numpy_epoch.py LAYERS PAIRS EPOCHS     e.g. numpy_epoch.py 64,128,128,10 1000 20
Prints one line: the median epochs per second, the peak resident memory (KiB) and the BLAS that
ran with its kernel and thread count. The caller sets OPENBLAS_NUM_THREADS.
"""
import resource
import sys
import time

import numpy as np


def main():
    layers = [int(n) for n in sys.argv[1].split(",")]
    pairs, epochs = int(sys.argv[2]), int(sys.argv[3])
    rng = np.random.default_rng(5)
    x = rng.random((pairs, layers[0]))
    t = rng.random((pairs, layers[-1]))
    w = [rng.uniform(-0.5, 0.5, (layers[j + 1], layers[j] + 1)) for j in range(len(layers) - 1)]
    ones = np.ones((pairs, 1))
    rate = 1.0

    def epoch():
        values = [np.hstack([x, ones])]
        for wj in w:
            out = 1.0 / (1.0 + np.exp(-(values[-1] @ wj.T)))
            values.append(np.hstack([out, ones]))
        o = values[-1][:, :-1]
        delta = (t - o) * o * (1.0 - o)
        for j in range(len(w) - 1, -1, -1):
            gradient = delta.T @ values[j]
            if j > 0:
                o = values[j][:, :-1]
                delta = o * (1.0 - o) * (delta @ w[j][:, :-1])
            w[j] += gradient / pairs * rate

    times = []
    for _ in range(epochs):
        start = time.perf_counter()
        epoch()
        times.append(time.perf_counter() - start)
    times.sort()
    median = times[len(times) // 2]
    blas = "?"
    try:
        import threadpoolctl

        for info in threadpoolctl.threadpool_info():
            if info.get("user_api") == "blas":
                blas = "%s/%s/%s-threads" % (info.get("internal_api"), info.get("architecture"), info.get("num_threads"))
    except ImportError:
        pass
    print("%.6f %d %s" % (1.0 / median, resource.getrusage(resource.RUSAGE_SELF).ru_maxrss, blas))


if __name__ == "__main__":
    main()
