# Tav's `go` against the GNU 68HC11/68HC12 simulator on the same bytes: whole
# process, median of interleaved runs, each net of the empty program. The
# programs come from "WORK=... python3 ../shared/perf/perf.py build" and the
# simulator from ../shared/perf/build-gnusim.sh. This is the harness's `time`
# step without its instruction-count check, which needs a counting variant of
# the GNU simulator.
#   WORK=/tmp/tavperf python3 bench/side_by_side.py TAVC GNU_RUN [runs] [pack|nopack]
import os, statistics, subprocess, sys, tempfile, time

build = os.environ.get("WORK", "/tmp/tavperf") + "/build"
tavc, gnu_run = sys.argv[1], sys.argv[2]
runs = int(sys.argv[3]) if len(sys.argv) > 3 else 11
pack = (sys.argv[4] if len(sys.argv) > 4 else "pack") == "pack"
# Simulated instructions per program at full size (rounds x instructions a round).
INSTRUCTIONS = {"arith": 5500 * 11000, "crc16": 6300 * 9248, "bsort": 165 * 370900, "calls": 1760 * 33989}

config = tempfile.mkdtemp(prefix="tav-side-cfg.")
if not pack:
    with open(os.path.join(config, "ZUZU12Z.INI"), "w") as f:
        f.write("[Options]\nPeripherals=off\n")


def tav_input(name):
    nm = subprocess.run(["m68hc11-nm", f"{build}/{name}.elf"], capture_output=True, text=True).stdout.split()
    done = int(nm[nm.index("done") - 2], 16)
    path = f"{build}/{name}.side.in"
    with open(path, "w") as f:
        f.write(f"load {build}/{name}.s19\nmm 0x16 0xfd\nbreak @0x{0x7F0000 + done:06x}\ngo\nquit\n")
    return path


def once(argv, env=None):
    start = time.perf_counter()
    pid = os.fork()
    if pid == 0:
        null = os.open("/dev/null", os.O_WRONLY)
        os.dup2(null, 1)
        os.dup2(null, 2)
        os.execve(argv[0], argv, env or os.environ)
    _, _, usage = os.wait4(pid, 0)
    return time.perf_counter() - start, usage.ru_utime + usage.ru_stime


tav_env = dict(os.environ, TAV_CONFIG_DIR=config)
medians = {}
fastest = {}
print(f"median of {runs} interleaved runs; load average {os.getloadavg()[0]:.2f}; pack {'on' if pack else 'off'}")
for name in ["empty", "arith", "crc16", "bsort", "calls"]:
    commands = {"gnu": ([gnu_run, "--load-vma", f"{build}/{name}.elf"], None),
                "tav": ([tavc, "-i", tav_input(name)], tav_env)}
    samples = {k: ([], []) for k in commands}
    for _ in range(runs):
        for k, (argv, env) in commands.items():
            wall, cpu = once(argv, env)
            samples[k][0].append(wall)
            samples[k][1].append(cpu)
    medians[name] = {k: (statistics.median(w), statistics.median(c)) for k, (w, c) in samples.items()}
    fastest[name] = {k: min(w) for k, (w, c) in samples.items()}
    if name == "empty":
        continue
    net = {k: (medians[name][k][0] - medians["empty"][k][0], medians[name][k][1] - medians["empty"][k][1])
           for k in commands}
    mips = INSTRUCTIONS[name] / net["tav"][0] / 1e6
    print(f"{name:6} GNU {net['gnu'][0]:.3f}s (cpu {net['gnu'][1]:.3f})  Tav {net['tav'][0]:.3f}s "
          f"(cpu {net['tav'][1]:.3f})  GNU/Tav {net['gnu'][0] / net['tav'][0]:.2f}x  Tav {mips:.0f} M instr/s",
          flush=True)
    # The machine's wall clock has slow phases that take whole runs of either
    # simulator: the fastest run of each is the steadier comparison.
    low = {k: fastest[name][k] - fastest["empty"][k] for k in commands}
    print(f"{'':6} fastest: GNU {low['gnu']:.3f}s  Tav {low['tav']:.3f}s  GNU/Tav {low['gnu'] / low['tav']:.2f}x  "
          f"Tav {INSTRUCTIONS[name] / low['tav'] / 1e6:.0f} M instr/s", flush=True)
