# SPDX-License-Identifier: MIT
"""Paired measurements for the side-by-side benchmarks: the program and its peers run in turns
within one run, the order rotating every round so that a machine that gets busier or quieter
favours nobody, and every figure is a ratio to the peer of the same round. Reported: the median
ratio and its spread (lowest and highest), with the machine's load before and after."""
import os
import statistics
import subprocess
import tempfile
import time


def load():
    with open("/proc/loadavg") as f:
        return " ".join(f.read().split()[:3])


def run(argv):
    """Runs one process to its end; returns its wall seconds, CPU seconds and peak resident KiB.
    The peak comes from GNU time: a child forked from this script would start with the script's
    own peak, since the kernel keeps the larger of the two across exec."""
    with tempfile.NamedTemporaryFile("r") as peak:
        start = time.perf_counter()
        process = subprocess.Popen(["/usr/bin/time", "-f", "%M", "-o", peak.name, *argv], stdout=subprocess.DEVNULL,
                                   stderr=subprocess.PIPE)
        _, status, usage = os.wait4(process.pid, 0)
        wall = time.perf_counter() - start
        errors = process.stderr.read().decode(errors="replace")
        process.stderr.close()
        if os.waitstatus_to_exitcode(status) != 0:
            raise RuntimeError("%s failed: %s" % (argv[0], errors.strip()))
        return {"wall": wall, "cpu": usage.ru_utime + usage.ru_stime, "rss": int(peak.read().split()[-1])}


def rounds(contenders, count):
    """contenders: name -> callable returning a dict of figures. Runs each once per round, in an
    order that rotates from round to round. Returns name -> list of dicts, one per round."""
    names = list(contenders)
    results = {name: [] for name in names}
    for r in range(count):
        order = names[r % len(names):] + names[:r % len(names)]
        for name in order:
            results[name].append(contenders[name]())
    return results


def ratios(results, subject, peer, figure):
    return [s[figure] / p[figure] for s, p in zip(results[subject], results[peer])]


def summary(values):
    return "%.2f (%.2f-%.2f)" % (statistics.median(values), min(values), max(values))


def print_table(results, subject, peers, figures, goals=None):
    """One line per peer: the subject's median ratio to it for each figure, with the spread."""
    goals = goals or {}
    for name in [subject] + peers:
        cells = ["%s %.3f" % (figure, statistics.median(r[figure] for r in results[name])) for figure in figures]
        print("  %-34s median %s" % (name, "  ".join(cells)))
    for peer in peers:
        cells = []
        for figure in figures:
            cell = "%s x%s" % (figure, summary(ratios(results, subject, peer, figure)))
            if (peer, figure) in goals:
                cell += " [goal %s]" % goals[(peer, figure)]
            cells.append(cell)
        print("  %s / %s: %s" % (subject, peer, "  ".join(cells)))
